#pragma once
// The node of every widget tree. A widget has a name, a parent, owned
// children drawn and updated in order, a position relative to its parent, a
// size, an alpha and a colour, named states (ui_state.h) and the flags that
// decide drawing, input and selection. Trees are built by the UI manager from
// Lua tables; screens find their elements with findDescendant and show, hide,
// enable and switch states through them.
//
//   KR::UIWidget* screen = KR::UIManager::getInstance()->loadUI("menu_ui", "menu", nullptr, "default");
//   screen->show();
//   screen->findDescendant("play")->disable();
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

class Animation;
class IFunction;
class LuaScript;
class UIState;

// Type codes of the widget classes (getType).
enum UIWidgetType : int32_t {
  kUIWidgetType = 0,
  kUIButtonType = 1,
  kUICheckBoxType = 2,
  kUILabelType = 3,
  kUIListViewType = 4,
  kUIParticleFXType = 5,
  kUIProgressBarType = 6,
  kUISceneNodeType = 7,
  kUISpriteType = 9,
  kUITextEditType = 10,
  kUISceneListType = 11,
};

class UIWidget {
 public:
  // Every field at its default; the creator inserts the widget into the parent.
  UIWidget(const std::string& name, UIWidget* parent);
  // Deletes the states (and their changes), then the children.
  virtual ~UIWidget();
  UIWidget(const UIWidget&) = delete;
  UIWidget& operator=(const UIWidget&) = delete;

  // ---- overridden by the widget classes ----
  virtual Vector2<float> getSize() const { return size; }
  // Attaches a command to a named event; the widget owns the function object
  // from now on (the base has no events and deletes it).
  virtual void processEvent(const std::string& event, IFunction* function);
  // Offers the frame's input event (UIInputEvent); non-zero when taken.
  virtual int32_t processMessage(uint32_t /*event*/) { return processMessageReturnValue; }
  // point in the coordinates of absolute positions.
  virtual bool hitTest(const Vector2<float>& point);
  virtual void setClientRect(const Rect& rect);
  virtual void setVisible(bool value) { visible = value; }
  virtual int32_t getType() const { return kUIWidgetType; }
  virtual void draw() {}
  virtual void drawAfterChildren() {}
  virtual void onUpdate(float) {}
  // Reads the common keys of the current table of the script; classes read
  // them first and then their own.
  virtual void load(LuaScript& script);
  virtual void onStateEntered(UIState*) {}
  virtual void onClientRectChanged() {}

  // ---- tree and geometry ----
  // Depth first, pre-order, starting with the widget itself.
  UIWidget* findDescendant(const std::string& name);
  // A child or a descendant of a child (not the widget itself).
  bool hasDescendant(const UIWidget* widget) const;
  // 0 on success; 1 for a negative index or a child already in the list.
  int insertChild(int index, UIWidget* child);
  // 0 when removed, 1 when it was not a child; its parent field is kept.
  int removeChild(UIWidget* child);
  void deleteChildren();
  Vector2<float> getAbsolutePosition() const;
  // From the absolute position to the farthest right and bottom corner of the
  // widget and its subtree (the size field, not getSize).
  Vector2<float> getTotalSize() const;
  bool isClippedOut() const;

  // ---- drawing and update ----
  void render(bool force);
  void update(float dt);
  void clearDrawnFlag();

  // ---- states ----
  void setState(const std::string& name);
  void setStateForcibly(const std::string& name);
  void applyStateForcibly(UIState* state);
  // Stores and enters the state, unless the name exists (the state is then
  // not taken: the caller keeps it).
  bool addState(const std::string& name, UIState* state);
  std::string getCurrentStateName() const;
  UIState* findState(const std::string& name) const;
  void addDefaultIdleState();
  void ensureHideState();

  // ---- showing and enabling ----
  void show();
  void showForcibly();
  void hide();
  void hideForcibly();
  void enable();
  void disable();

  // ---- frame animation ----
  static void bindPosTrack(Animation* animation, UIWidget* widget);
  static void bindAlphaTrack(Animation* animation, UIWidget* widget);

  std::string name;
  UIWidget* parent;
  std::vector<UIWidget*> children;
  Vector2<float> position;
  Vector2<float> offset;
  Vector2<float> size;
  float alpha = 1.0f;
  bool selected = false;
  bool shown = true;
  bool modal = true;
  Rect clientRect;
  bool clientRectSet = false;
  float hideStateDuration = 0.25f;
  bool notSelecting = false;
  std::map<std::string, UIState*> states;
  UIState* currentState = nullptr;
  bool visible = true;
  bool enabled = true;
  Color color = Color::fromARGB(0xFFFFFFFFu);
  int32_t tabOrder = -1;
  int32_t defaultChildTabOrder = -1;
  uint8_t hotkey = 0;
  int32_t tabNavigation = 0;
  bool drawn = false;
  int32_t processMessageReturnValue = 0;
  bool ownerDrawn = false;
  Rect customContentRect;
  bool customContentRectEnabled = false;
  bool locked = false;
  bool destroyPending = false;
  // Set on a root that its owner draws under a camera of its own (pan, zoom):
  // turns a pointer position on the screen into the tree's coordinates, so
  // that hover, presses and clicks land on what the player sees there.
  std::function<Vector2<float>(const Vector2<float>&)> pointerToTree;
  // Set on a root that its owner draws over every other tree: where the
  // pointer hits it, the roots below it in the shown stack see the pointer
  // nowhere (no press, no click, no hover).
  bool coversBelow = false;

 private:
  void enterState(const std::string& name, bool forcibly);
  void enterFound(UIState* state, bool forcibly);
  void showWith(bool forcibly);
  void hideWith(bool forcibly);
};

}  // namespace KR
