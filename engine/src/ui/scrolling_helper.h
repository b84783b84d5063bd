#pragma once
// The scroller of a scene list (ui_scene_list.h): it moves the list's "#list"
// node and drives nodes and markers of the list's scene; it holds no items.
// A strip (strip_scrolling_helper.h) scrolls continuously, a book
// (book_scrolling_helper.h) page by page. The list creates one at the end of
// its construction and calls it from its update and its wheel events, on the
// main thread under the UI manager's lock.
#include <string>

#include "vector2.h"

namespace AE {
class ISceneNode;
}

namespace KR {

class UIPCController;
class UISceneList;

class ScrollingHelper {
 public:
  explicit ScrollingHelper(UISceneList* list_) : list(list_) {}
  virtual ~ScrollingHelper() = default;
  ScrollingHelper(const ScrollingHelper&) = delete;
  ScrollingHelper& operator=(const ScrollingHelper&) = delete;

  // Called by the list's update whenever no item is pressed.
  virtual void update(float dt) = 0;
  // The wheel: forward for kind 7, back for kind 8.
  virtual void processMessage(bool /*forward*/) {}
  // Still moving the list on its own (a glide, a page turn): the list's
  // items wait with the pointer until it stands, or the movement, which only
  // runs while no item holds the pointer, would freeze under it.
  virtual bool isMoving() const { return false; }

  UISceneList* list;
  // Dragging the list, or (strip) holding its thumb: the list then neither
  // offers its items the pointer nor snaps back.
  bool busy = false;

 protected:
  // The terms both scrollers share, over the list's fields.
  const UIPCController& pointer() const;
  bool hits(AE::ISceneNode* node, const Vector2<float>& at) const;
  // The "#list" node's position along the list's axis, and setting it.
  float getOffset() const;
  Vector2<float> listPosition() const;
  void moveList(const Vector2<float>& position);
  void setOffset(float offset);
  void stopSnapBack();
  // The offset limited to [range - outside, outside], the other coordinate 0.
  void clampList();
  // Stops the node's markers and plays the one named old>new of the three
  // element states (0 regular, 1 select, 2 pressed).
  static void playTransition(AE::ISceneNode* node, int from, int to, bool stopRecursive);
  // Plays the node's marker, logging a missing one.
  static void playMarker(AE::ISceneNode* node, const std::string& name);
};

// "regular", "select", "pressed".
const char* elementStateName(int state);

}  // namespace KR
