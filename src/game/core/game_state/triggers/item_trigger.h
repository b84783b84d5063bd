#pragma once
// The two scriptless puzzle kinds: ItemTrigger (3) gives an inventory item,
// possibly only once the right item or carried object was used on it, plays
// an animation and hides the item's picture; TransitionTrigger (2) leads to
// another view. Both may be single-use and enable a relative trigger of their
// view. Scene changes go through deferred node tasks (which record the node
// state); inventory changes through the inventory. Main thread only.
#include "core/game_state/triggers/area_trigger.h"

namespace HOG {

class ItemTrigger : public IBaseAreaTrigger {
 public:
  void invokeOnInit() override {}
  void invokeOnActivate() override;
  void invokeOnClick() override;
  void invokeOnMouseOver() override {}
  void invokeOnMouseLeave() override {}
  int32_t invokeOnObjectApplied(int32_t objectId) override;
  int32_t invokeOnInventoryItemApplied(const char* itemName) override;
  bool canInteract() override;
  int32_t getType() const override { return 3; }
  void initFromRecord(const TriggerDescription& record) override;
  bool hasRequirement() const { return applicableItemName[0] || applicableObjectID >= 1; }
  void processOnDoneAction();

  char itemName[kNameSize] = {};
  char applicableItemName[kNameSize] = {};
  int32_t applicableObjectID = 0;
  char animation[kNameSize] = {};
  char itemSceneNode[kNameSize] = {};
  char message[kNameSize] = {};
  float delay = 0.0f;
  int32_t wrongItemId[2] = {};
  char wrongItemAppliedMessage[2][kNameSize] = {};
  int32_t relativeTrigger = -1;
  bool enableAnimationNodes = true;
};

class TransitionTrigger : public IBaseAreaTrigger {
 public:
  void invokeOnInit() override {}
  void invokeOnActivate() override;
  void invokeOnClick() override { processTransition(false); }
  void invokeOnMouseOver() override {}
  void invokeOnMouseLeave() override {}
  int32_t invokeOnObjectApplied(int32_t) override { return 0; }
  int32_t invokeOnInventoryItemApplied(const char*) override { return 0; }
  int32_t getType() const override { return 2; }
  void initFromRecord(const TriggerDescription& record) override;
  // immediately: open at once, without the fade and the event sound.
  void processTransition(bool immediately);

  char targetLocation[kNameSize] = {};
  bool singleUse = false;
  char itemSceneNode[kNameSize] = {};
  int32_t relativeTrigger = -1;
};

}  // namespace HOG
