#pragma once
// The two trigger kinds of scene play: AnimationTrigger (4) plays a node of
// its view's scene forwards or backwards when clicked, once or every time,
// and may enable a relative trigger; HOSItemTrigger (5) is one hidden object
// of a hidden-object scene, clickable only while the scene asks for it
// (activeInHOS, set by HOSViewExtension), found once and for good. Both keep
// all their state in their pool block. Main thread only.
//
// Messages (no sender): 23 an animation trigger was used, 21 a hidden object
// was found, 18 for a relative trigger whose enabled flag changed.
#include "core/game_state/triggers/area_trigger.h"

namespace HOG {

class AnimationTrigger : public IBaseAreaTrigger {
 public:
  void invokeOnInit() override {}
  void invokeOnActivate() override;
  void invokeOnClick() override;
  void invokeOnMouseOver() override {}
  void invokeOnMouseLeave() override {}
  int32_t invokeOnObjectApplied(int32_t) override { return 0; }
  int32_t invokeOnInventoryItemApplied(const char*) override { return 0; }
  int32_t getType() const override { return 4; }
  void initFromRecord(const TriggerDescription& record) override;

  char animation[kNameSize] = {};
  bool enableAnimationNodes = true;
  bool playReverse = false;
  int32_t relativeTrigger = -1;
  float delay = 0.0f;
  bool multipleUse = false;
  char itemSceneNode[kNameSize] = {};
};

class HOSItemTrigger : public IBaseAreaTrigger {
 public:
  static constexpr int32_t kMaxRelativeTriggers = 16;

  void invokeOnInit() override {}
  void invokeOnActivate() override;
  void invokeOnClick() override;
  void invokeOnMouseOver() override {}
  void invokeOnMouseLeave() override {}
  int32_t invokeOnObjectApplied(int32_t) override { return 0; }
  int32_t invokeOnInventoryItemApplied(const char*) override { return 0; }
  // The display name again (the text manager's string of itemSceneNode).
  void loadLocalizedName() override;
  bool canInteract() override { return itemSceneNode[0] && activeInHOS; }
  int32_t getType() const override { return 5; }
  void initFromRecord(const TriggerDescription& record) override;
  // Every run of decimal digits of text is one id, at most 16 kept.
  void parseRelativeTriggers(const char* text);

  char itemSceneNode[kNameSize] = {};
  const std::wstring* localizedName = nullptr;  // belongs to the text manager
  bool activeInHOS = false;
  int32_t partOfGroup = -1;
  int32_t relativeTriggers[kMaxRelativeTriggers] = {};
  int32_t relativeTriggerCount = 0;
};

}  // namespace HOG
