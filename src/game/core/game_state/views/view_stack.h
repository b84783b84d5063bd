#pragma once
// The play state's open views: a stack (at most 5) whose top is the active
// view, with close-ups lying over the views beneath them. Opens and closes
// views under the rules of the view-change locks, routes each frame's input
// to the active view, and keeps the player's two held things: the trigger
// object taken from a view and the inventory item on the cursor.
//
// Threads: the stack itself is guarded by the play state's recursive
// view-stack lock, which the view streamer takes to read the active and the
// visible views. Everything else runs on the main thread.
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/game_components.h"

namespace HOG {

class Game;
class View;
class ViewRegistry;
class IBaseAreaTrigger;
class PictureKey;
struct InventoryItem;

class ViewStack : public IViewStack {
 public:
  static constexpr size_t kMaxStack = 5;
  static constexpr uint32_t kNoObject = 0xFFFFFFFFu;
  static constexpr int kMaxRestricted = 16;
  // The most views drawn at once: the top view and those beneath it, down to
  // the first that is not a close-up.
  static constexpr int kMaxVisibleViews = 5;

  // Binds the UI command "closeActiveView" while it lives.
  ViewStack(Game& game, ViewRegistry& registry);
  ~ViewStack() override;

  // IViewStack
  bool hasTopView() const override;
  bool isTopViewActivated() const override;
  bool isTopViewLoaded() const override;
  bool hasVisibleCloseup() const override;
  void processInput(const InputState& input) override;
  void openView(const std::string& name) override { openView(name.c_str()); }
  void closeAllViews() override;
  void update(float dt) override;
  void stop() override;
  void drawViews() override { drawViews(false, 0.0f); }
  // Draws the visible views. With blur, what lies beneath the lowest close-up
  // is drawn through the background blur at that strength, or, while nothing
  // it is drawn from changed since the last blur, the kept blurred picture
  // stands in for it and those views are not drawn at all. Beneath a close-up
  // whose own opaque picture covers the whole screen nothing is drawn at all,
  // neither views, dims nor blur. Returns whether a blur is still open (no
  // close-up was visible): the caller closes it.
  bool drawViews(bool blur, float strength);

  // Adds to the key all that the picture beneath the close-up at `closeup`
  // (an index into visible) is drawn from; false when something there may
  // change with no change of the key, so the picture must be drawn anew.
  bool addStillBackground(View* const* visible, int closeup, float strength, PictureKey& key) const;

  View* getActiveView() const;
  // The top view and, beneath it, further views while the one above is a
  // close-up (at most 5), lowest first. Under the view-stack lock.
  int getVisibleViews(View** out) const;
  const std::vector<View*>& getViews() const { return views; }

  void openView(const char* name);
  void pushView(View* view);
  void activateView(View* view);
  void deactivateView(View* view);
  void closeActiveView();
  void requestOpenView(const char* name);
  void startViewChangeFade();
  void resetBeforeRestore();
  int32_t takeTriggerObject(uint32_t id);
  void dropTakedObject(bool immediate);
  void setTakenInventoryItem(InventoryItem* item);
  void resetTriggerState(uint32_t id);

  uint32_t getTakenObjectId() const { return takenObjectId; }
  InventoryItem* getTakenInventoryItem() const { return takenInventoryItem; }

  // The click restriction list of HOG::appendTriggerByIds.
  int32_t appendTriggerByIds(uint32_t viewId, uint32_t triggerId);
  bool isAllowed(const IBaseAreaTrigger* trigger) const;

  // The cursor the trigger under the pointer asks for this frame (the HUD's
  // own wish comes first).
  int32_t wantedCursor = 0;
  int32_t viewChangeLocks = 0;
  bool skipNextFadeIn = false;
  bool restrictInput = false;
  bool debugTriggersEnabled = false;
  IBaseAreaTrigger* restricted[kMaxRestricted] = {};
  int32_t restrictedCount = 0;

 private:
  Game& game;
  ViewRegistry& registry;
  std::vector<View*> views;
  uint32_t takenObjectId = kNoObject;
  uint32_t takenObjectWord = 0;
  InventoryItem* takenInventoryItem = nullptr;
  bool bound = false;
};

}  // namespace HOG
