#include "core/game_state/minigames/frame_stepper.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"

namespace HOG {

bool FrameStepper::moving(const AE::ISceneNode* node) { return node && node->mPlaying; }

bool FrameStepper::moving() const { return moving(node); }

bool FrameStepper::click(WhileMoving rule) {
  if (rule == WhileMoving::Swallow && moving()) return false;
  ++pending;
  return true;
}

bool FrameStepper::takePending() {
  if (moving() || pending < 1) return false;
  --pending;
  return true;
}

void FrameStepper::play(AE::ISceneNode* node, int32_t from, int32_t to) {
  if (!node) return;
  node->setTime(float(from) * node->mAnimation->mFrameTime, true);
  node->playRange(from, to, to < from, true);
}

bool StepCombination::matches(const std::vector<int32_t>& positions, bool everyControl) const {
  if (everyControl ? values.size() < positions.size() : values.size() > positions.size()) return false;
  const size_t count = everyControl ? positions.size() : values.size();
  for (size_t i = 0; i < count; ++i)
    if (positions[i] != values[i]) return false;
  return true;
}

}  // namespace HOG
