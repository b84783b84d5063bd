#pragma once
// What the stepping puzzles share: a control whose node walks from one
// state's frame of its own animation to the next, the rule for a click that
// comes while it walks, and combinations that count once reached. Each puzzle
// keeps its own positions and frames; the stepper only plays and counts.
// Main thread only.
#include <cstdint>
#include <vector>

namespace AE {
class ISceneNode;
}

namespace HOG {

struct FrameStepper {
  // What a click on a moving control does.
  enum class WhileMoving {
    Queue,    // kept in `pending` and played after the running step
    Swallow,  // taken (it may sound) but lost
  };

  AE::ISceneNode* node = nullptr;
  int32_t pending = 0;  // accepted clicks whose step has not started
  bool locked = false;  // stands right for good: clicks pass over it

  bool moving() const;
  // Counts a click under `rule`; false when it was swallowed.
  bool click(WhileMoving rule);
  // Takes one queued click when the node stands still (the caller then steps).
  bool takePending();
  // Shows frame `from` and plays to `to`, backwards when `to` lies before it.
  void play(int32_t from, int32_t to) const { play(node, from, to); }
  static void play(AE::ISceneNode* node, int32_t from, int32_t to);
  static bool moving(const AE::ISceneNode* node);
};

// A combination of positions, played once when the controls stand on it.
struct StepCombination {
  std::vector<int32_t> values;  // wanted position of control 0, 1, ...
  bool reached = false;

  // Whether `positions` stand on the values. With `everyControl` each
  // control needs a value (fewer values never match, extra ones are ignored);
  // without it each value needs a control (extra values never match, missing
  // ones leave their controls free).
  bool matches(const std::vector<int32_t>& positions, bool everyControl) const;
};

}  // namespace HOG
