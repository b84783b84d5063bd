#pragma once
// Triggers: rotated rectangles of a view that the player points at, clicks or
// drops something on. Each lives in a 768-byte block of the trigger pool (the
// registry owns it) and keeps all its state inside the block, so saved games
// store triggers as raw blocks. The kinds here: AreaTrigger (0, all scripted
// through the level script's generated hooks) and TriggerObject (1, picked up
// and dropped on another trigger); ItemTrigger (3) and TransitionTrigger (2)
// are in item_trigger.h. Main thread only.
//
// Hooks are global functions of the level script named
// "__Generated_L<location>AT<trigger>_<event>" (the trigger object's own
// events: "...TO<trigger>_...").
#include <cstdint>

#include "core/game_state/game_message.h"
#include "core/game_state/views/view_description.h"
#include "vector2.h"

namespace HOG {

class View;

class IBaseAreaTrigger {
 public:
  IBaseAreaTrigger() = default;
  virtual ~IBaseAreaTrigger() = default;
  IBaseAreaTrigger(const IBaseAreaTrigger&) = delete;
  IBaseAreaTrigger& operator=(const IBaseAreaTrigger&) = delete;

  virtual void invokeOnInit() = 0;
  virtual void invokeOnActivate() = 0;
  virtual void invokeOnClick() = 0;
  virtual void invokeOnMouseOver() = 0;
  virtual void invokeOnMouseLeave() = 0;
  // 1 accepted; 2 refused with its own message; other values: not for me.
  virtual int32_t invokeOnObjectApplied(int32_t objectId) = 0;
  virtual int32_t invokeOnInventoryItemApplied(const char* itemName) = 0;
  virtual void loadLocalizedName() {}
  // Uses the trigger exactly as a click would.
  virtual void activate() { invokeOnClick(); }
  virtual bool canInteract() { return true; }
  virtual int32_t getType() const = 0;
  virtual void initFromRecord(const TriggerDescription&) {}

  // Common fields, then the kind's own keys.
  void init(const TriggerDescription& record);
  // Prints the hook name ("AT" or "TO" form) into a bounded buffer and calls it.
  void callHook(const char* event, bool objectForm = false) const;
  // Centre plus the view's position; false when the view is not registered.
  bool getScreenPosition(float* x, float* y) const;
  KR::Vector2<float> getScreenPosition(const View* view) const;
  // Its view in the registry, found by locationId; null when absent.
  View* findView() const;

  int32_t locationId = 0;
  int32_t triggerId = 0;
  KR::Vector2<float> center;
  KR::Vector2<float> size;
  float angle = 0.0f;
  int32_t enabled = 1;
  int32_t dead = 0;
  int32_t flag0 = 0, flag1 = 0, flag2 = 0;
  int32_t cursorType = 0;
  char backlightParticleFX[kNameSize] = {};
  int32_t debug = 0;
  bool useByHints = false;
};

// Hook names fit whatever the ids are.
void formatHookName(char (&buffer)[kNameSize * 2], int32_t location, const char* form, int32_t trigger,
                    const char* event);
// Sends the trigger-changed message (kind 18) for the trigger to every listener.
inline void sendTriggerChanged(IBaseAreaTrigger* trigger) { sendGameMessage(kMsgTriggerChanged, trigger); }

class AreaTrigger : public IBaseAreaTrigger {
 public:
  void invokeOnInit() override { callHook("onInit"); }
  void invokeOnActivate() override { callHook("onLocationShowed"); }
  void invokeOnClick() override { callHook("onClick"); }
  void invokeOnMouseOver() override { callHook("onMouseOver"); }
  void invokeOnMouseLeave() override { callHook("onMouseLeave"); }
  int32_t invokeOnObjectApplied(int32_t objectId) override;
  int32_t invokeOnInventoryItemApplied(const char* itemName) override;
  bool canInteract() override;
  int32_t getType() const override { return 0; }
  // Asks the level script which item the player should use here.
  void getApplicableItemName();

  char applicableItemName[kNameSize] = {};
};

class TriggerObject : public IBaseAreaTrigger {
 public:
  void invokeOnInit() override { callHook("onInit", true); }
  void invokeOnActivate() override;
  void invokeOnClick() override;
  void invokeOnMouseOver() override { callHook("onMouseOver", true); }
  void invokeOnMouseLeave() override { callHook("onMouseLeave", true); }
  int32_t invokeOnObjectApplied(int32_t) override { return 0; }
  int32_t invokeOnInventoryItemApplied(const char*) override { return 0; }
  int32_t getType() const override { return 1; }
  void initFromRecord(const TriggerDescription& record) override {
    copyName(sceneNode, record.sceneObjectTriggerSceneNode);
  }
  // The view lets the carried object go on this trigger.
  static void onObjectDropped(IBaseAreaTrigger* trigger);

  char sceneNode[kNameSize] = {};
};

// The fade-out's zoom target for a used transition: its view's position plus
// its centre; no zoom towards trigger 0 (the way back). False without a view.
bool locateTriggerForZoom(const void* trigger, KR::Vector2<float>* point, bool* zoom);

// Calls a hook with one argument (a number or a text, or none) and an integer
// or text result; 0 / empty when the state is closed, the call failed or the
// result had the wrong type.
int32_t callHookForNumber(const char* hook, const int64_t* number, const char* text);
bool callHookForText(const char* hook, char (&out)[kNameSize]);

}  // namespace HOG
