#pragma once
// The inventory panel's row of held items: 250 slot widgets (prefix + 1..250
// inside the row widget), paged by two buttons. A click takes an item onto
// the cursor (the play state's held item), a click on its empty place puts it
// back, a click on another item exchanges the two. Items added are placed in
// the first free slot (group members share their group's slot with a "%i/%i"
// count) and a newly found item's icon flies into its place, clicks waiting
// meanwhile; a held item the play state lets go flies back into its slot; an
// item used up leaves its slot and the row closes up over 0.7 s. A slot whose
// icon the view streamer has not loaded yet waits, captionless, until it has.
// Main thread only; owned by the panel.
//
// Config section "Behaviour": "UIElement", "canDisappear", "UIItemWidget",
// "UIItemWidgetSprite", "UIItemWidgetCountLabel", "UIItemWidgetCaptionPanel",
// "UIItemWidgetCaption", "UIItemWidgetSelection", "UIScrollAreaId",
// "itemsDistance", "itemsPageCount".
#include <cstdint>
#include <string>

#include "animation.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"

namespace KR {
class UILabel;
}

namespace HOG {

struct InventoryItem;

class ObjectsListPanelBehaviour : public InventoryPanelBehaviour {
 public:
  static constexpr int kSlots = 250;
  // Press and release further apart than this (design pixels) are a drag, not a click.
  static constexpr float kClickDistance = 15.0f;
  static constexpr float kCloseUpTime = 0.7f;
  // A caption's backing panel: the name's width plus this, and moved this far left of the slot's centre.
  static constexpr float kCaptionMargin = 40.0f;
  static constexpr float kCaptionShift = 7.0f;

  struct Slot {
    KR::UIWidget* widget = nullptr;
    InventoryItem* item = nullptr;
    InventoryItem* group = nullptr;
    bool occupied = false;
    bool taken = false;
    float homeX = 0.0f;
  };

  using InventoryPanelBehaviour::InventoryPanelBehaviour;

  void loadConfig(const std::string& fileName) override;
  void parseConfig(KR::XmlDataReader& reader);
  void update(float dt) override;
  void activate() override;
  void deactivate() override;
  void draw() override;
  int32_t processInput(const InputState& input) override;
  const char* getClassName() const override { return "ObjectsListPanelBehaviour"; }
  void setContentVisible(bool flag) override;
  void onMessage(const GameMessage* message) override;

  // Places the held items that no slot shows yet (new game, loaded game, Lua).
  void refreshItems();
  void clearItems();
  Slot* findSlotByName(const char* name, int* index);
  void pageLeft();
  void pageRight();
  int occupiedCount() const;
  // The shown record: the group for a group member, else the item.
  static InventoryItem* shownRecord(const Slot& slot);
  // Where a slot's icon is centred on screen: the middle of its "itemBk"
  // background (the slot widget itself has no size of its own in the UI file).
  KR::Vector2<float> getSlotIconCentre(int index);

  KR::UIWidget* element = nullptr;
  KR::UIWidget* row = nullptr;
  Slot slots[kSlots];
  bool canDisappear = true;
  std::string itemWidget, spriteName, countLabelName, captionPanelName, captionName, selectionName;
  float itemsDistance = 100.0f;
  int32_t itemsPageCount = 8;
  int32_t activeSlot = -1;
  int32_t firstShown = 0;  // first slot of the page on screen
  // The row closing up after a removal: the slots from closeUpStart on move by one place.
  float closeUpClock = kCloseUpTime;
  int32_t closeUpStart = 0;
  // Where the held item was last drawn (the record is empty while play is locked).
  KR::Vector2<float> lastCursor;
  // The held icon's centre where it was last drawn: where its return flight starts.
  KR::Vector2<float> heldCentre;
  // 0 no flight, 1 flying in while the panel comes out, 2 the panel is out (a return starts here).
  int32_t flyState = 0;
  // Shown records whose icons are not loaded yet, in arrival order, null-terminated.
  InventoryItem* waiting[kSlots] = {};
  // The flying icon's centre and scale, written by the fly animation.
  KR::Vector2<float> flyPosition;
  float flyScale = 0.5f;

 private:
  void fill(int index, InventoryItem* item, InventoryItem* group);
  void putBack(int index);
  void take(int index);
  void removeSlot(int index);
  void layoutSlot(int index);
  void showCount(int index);
  // The slot the item went into, or -1.
  int placeNewItem(InventoryItem* item);
  // A fly-in (toward a slot just filled) or a return (of the held item, at half size).
  void startFlight(int index, const KR::Vector2<float>& from, bool back);
  // Caption of a slot: its shown record's name, visible once the icon is loaded.
  void dress(int index);
  void fitCaptionPanel(KR::UIWidget* back, KR::UILabel* label) const;
  bool iconLoaded(const InventoryItem* record) const;
  void queueIcon(InventoryItem* record);
  // Dresses the slots whose icons have come in; they leave the waiting list, the rest keep their order.
  void releaseLoadedIcons();
  void updateFlight(float dt);
  void flightKeys();
  KR::Animation fly;
  KR::Vector2<float> flyFrom;
};

}  // namespace HOG
