#pragma once
// Highlights where something can be done in the active view: usable triggers
// light up one after another, one every phase (longer on the hard
// difficulty), those of cursor types 3 and 4 all the time; while the player
// carries a trigger object or an inventory item, every item and area trigger
// that could take it is marked instead (with the item's icon at half size).
// Shown during play. The play state owns it, updates it in its frame and
// draws it after the views. Main thread only.
//
// Configuration "trigger_visualizer_config_xml": "TriggerVisualizingPhase",
// "TriggerVisualizingPhaseHardcore" (seconds, 1.0), "TriggerAnimations" (one
// entry with "sceneFile" per cursor type) and "ItemApplingAnimation".
#include <cstdint>
#include <vector>

#include "core/game_state/game_components.h"
#include "core/game_state/game_message.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}

namespace HOG {

class IBaseAreaTrigger;
class View;

class TriggerVisualizer : public IGameComponent, public GameMessageListener {
 public:
  TriggerVisualizer() = default;
  ~TriggerVisualizer() override;
  TriggerVisualizer(const TriggerVisualizer&) = delete;
  TriggerVisualizer& operator=(const TriggerVisualizer&) = delete;

  void load();
  // The box around every drawn node of the scene, as laid out now.
  static KR::Vector2<float> sceneExtent(const AE::ISceneNode* scene);
  void release();
  // IGameComponent: the play state's frame (draw covers the active view).
  void update(float dt) override;
  void draw() override;
  void onMessage(const GameMessage* message) override;

  void drawView(View* view);
  void reset();
  // The next eligible trigger of the cycle (none: -1).
  void advance(View* view);
  float phaseInForce() const;
  static bool eligible(const IBaseAreaTrigger* trigger);

  bool loaded = false;
  bool visible = false;
  std::vector<AE::ISceneNode*> triggerAnimations;
  AE::ISceneNode* itemApplyingAnimation = nullptr;
  KR::Vector2<float> itemApplyingSize;
  int32_t currentIndex = -1;
  float phase = 1.0f;
  float phaseHardcore = 1.0f;
  float timer = 0.0f;

 private:
  AE::ISceneNode* animationFor(const IBaseAreaTrigger* trigger) const;
  void place(AE::ISceneNode* scene, const KR::Vector2<float>& at);
};

}  // namespace HOG
