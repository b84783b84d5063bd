#pragma once
// A list whose whole look is an authored scene. The scene names by '#' where
// the list lies ("#list", whose markers carry the layout settings "#indent:",
// "#outside:", "#correctionTime:", "#padding:" and "#area_scale:"), which area
// shows items ("#mask") and, optionally, what an item looks like ("#item",
// only a pattern for the padding). Items are scenes of their own whose
// children "#btn:name", "#text:name" and "#icon:name" are their elements and
// whose "#size:w/h" marker gives their size; interactive elements switch
// between "regular", "select" and "pressed" by playing the scene's transition
// markers ("regular>select", ...). A strip or a book scroller moves the list
// (scrolling_helper.h); past either end the list snaps back.
//
//   { id = "levels", class = "UISceneList", scene = "level_list_xml", type = "book", scrolling = 3,
//     orient = "hor", items = { { scene = "level_item_xml", id = "level1" }, ... } }
//   list->itemListeners / list->listeners: the game's callbacks (clicks, presses).
//
// Main thread only, inside the UI manager's update.
#include <string>
#include <vector>

#include "ui/ui_widget.h"

namespace AE {
class ISceneNode;
}

namespace KR {

class ScrollingHelper;
class UISceneList;
class UISceneListItem;

// Told when a "#btn:" element of an item was clicked (pressed and released on it).
class UISceneListItemListener {
 public:
  virtual ~UISceneListItemListener() = default;
  virtual void onItemButtonClicked(UISceneListItem* item, const std::string& element) = 0;
};

// Told when an item takes the pointer (one of its elements is entered) and
// when it lets it go again (left with the button up, or the press cancelled).
class UISceneListListener {
 public:
  virtual ~UISceneListListener() = default;
  virtual void onItemPressed(UISceneList*, UISceneListItem*) {}
  virtual void onItemReleased(UISceneList*, UISceneListItem*) {}
};

class UISceneListItem {
 public:
  enum ElementKind { kButtonElement, kTextElement, kIconElement };

  class Element {
   public:
    Element(ElementKind kind_, const std::string& name_, AE::ISceneNode* node_)
        : kind(kind_), name(name_), node(node_) {}
    virtual ~Element() = default;
    ElementKind kind;
    std::string name;
    AE::ISceneNode* node;
    int32_t state = 0;  // 0 regular, 1 select, 2 pressed; 3 ignores the pointer
    bool interactive = false;
  };
  // An element typed by its node's kind (null when the node is of another kind).
  template <typename Node>
  class TElement : public Element {
   public:
    TElement(ElementKind kind_, const std::string& name_, AE::ISceneNode* node_) : Element(kind_, name_, node_) {}
    Node* typedNode() const;
  };

  // Wraps a node; the item deletes it unless borrowed.
  UISceneListItem(const std::string& name, AE::ISceneNode* node, bool borrowsNode = false);
  // Loads the item's scene file (no node when it cannot be read).
  UISceneListItem(const std::string& sceneFile, const std::string& name);
  virtual ~UISceneListItem();
  UISceneListItem(const UISceneListItem&) = delete;
  UISceneListItem& operator=(const UISceneListItem&) = delete;

  // 0 nothing, 1 an element took the pointer, 2 the item let go of its element.
  int processInput(const Vector2<float>& position, bool leftDown);
  void setElementState(Element* element, int32_t state);
  Element* findElement(const std::string& elementName) const;

  AE::ISceneNode* node = nullptr;
  std::string name;
  bool borrowsNode = false;
  Vector2<float> lastPointer;
  std::vector<Element*> elements;
  Element* pressedElement = nullptr;
  std::vector<UISceneListItemListener*> listeners;
  float width = 100.0f;
  float height = 100.0f;

 private:
  void collectElements();
};

class UISceneList : public UIWidget {
 public:
  // Builds the list from its scene: fatal without "#list" or "#mask". A null
  // scene makes an empty list that shows and does nothing.
  UISceneList(const std::string& name, UIWidget* parent, AE::ISceneNode* scene, int32_t type, bool ownsScene,
              bool vertical = true, uint32_t scrollingFlags = 3);
  // Deletes the items, the scroller and the scene when owned.
  ~UISceneList() override;

  // The wheel goes to the scroller; nothing is taken.
  int32_t processMessage(uint32_t event) override;
  bool hitTest(const Vector2<float>& point) override;
  void setVisible(bool value) override;
  int32_t getType() const override { return kUISceneListType; }
  void draw() override;
  void onUpdate(float dt) override;
  // Plays the scene's marker for the state change (see the source).
  void onStateEntered(UIState* state) override;

  // Takes the item, hangs its node under "#list" and lays the items out.
  void addItem(UISceneListItem* item);
  void layoutItems();
  // Scrollable: items, and either an overhang allowed or more than the area.
  bool needsCorrection() const;
  // The snap-back toward [range, 0].
  void updateCorrection(float dt);
  float along(const Vector2<float>& v) const { return vertical ? v.y : v.x; }

  struct Correction {
    float remaining = 0.0f;
    float start = 0.0f;
    float end = 0.0f;
  };

  int32_t type = 0;  // 1 book, anything else strip
  ScrollingHelper* scroller = nullptr;
  AE::ISceneNode* scene = nullptr;
  AE::ISceneNode* mask = nullptr;
  AE::ISceneNode* list = nullptr;
  std::vector<UISceneListItem*> items;
  UISceneListItem* pressedItem = nullptr;
  Vector2<float> padding;
  float indent = 0.0f;
  Vector2<float> areaSize;
  Vector2<float> cursor;
  float range = 0.0f;
  bool vertical = true;
  float outside = 0.0f;
  float correctionTime = 0.25f;
  Correction correction;
  std::vector<UISceneListListener*> listeners;
  bool scrolling = false;
  Vector2<float> pressPosition;
  bool ownsScene = false;
  // Bit 1: the wheel scrolls; bit 2: a drag scrolls.
  uint32_t scrollingFlags = 3;

 private:
  void readListMarkers();
  UIWidget* rootWidget();
  // The pointer's part of the update; false when an item took the pointer.
  bool handleInput(float dt);
  // The state the widget left, for its transition marker.
  std::string previousState;
};

}  // namespace KR
