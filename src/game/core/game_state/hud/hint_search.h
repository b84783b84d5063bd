#pragma once
// What the hint button points at: starting at the active view, the nearest
// trigger the player can use, walking depth-first through transitions into
// other views and out of close-ups into the view beneath them. The search
// only reads the locations; it writes nothing but each view's hintDepth.
// Main thread only; findHint takes the play state's view-stack lock only to
// read the active view and copy the stack.
//
//   HOG::HintResult hint;
//   HOG::HintSearch(registry).run(active, openViews, &hint);
//   if (hint.type == HOG::HT_DO_ACTION) pointAt(hint.trigger);
#include <cstdint>
#include <vector>

namespace HOG {

class IBaseAreaTrigger;
class View;
class ViewRegistry;

enum HintType : int32_t {
  HT_HINT_NOT_AVAIL = 0,
  HT_DO_ACTION = 1,
  HT_CHANGE_LOCATION = 2,
  HT_CLOSE_CLOSEUP = 3,
};

struct HintResult {
  IBaseAreaTrigger* trigger = nullptr;
  // The first transition to take from the start view, or null.
  IBaseAreaTrigger* entranceTrigger = nullptr;
  int32_t type = HT_HINT_NOT_AVAIL;
  View* view = nullptr;
  // View steps from the start view; all bits set until something is found.
  uint32_t depth = UINT32_MAX;
  View* entranceView = nullptr;
  View* startView = nullptr;
};

// 0, or 2 for a transition into a close-up, 1 into a view of type 2.
int32_t transitionTargetWeight(const IBaseAreaTrigger* trigger, const ViewRegistry& registry);
// The sort key: live triggers first, then by falling kind weight, then by
// falling id (ascending score).
int32_t hintTriggerScore(const IBaseAreaTrigger* trigger, const ViewRegistry& registry);

class HintSearch {
 public:
  static constexpr int kStackCopy = 16;

  explicit HintSearch(const ViewRegistry& registry) : registry(registry) {}

  // One search from the play state's active view; logs its report.
  void findHint(HintResult* result);
  // One search from `active` over the open views `stack` (bottom first).
  void run(View* active, const std::vector<View*>& stack, HintResult* result);
  static void logHintInfo(const HintResult& result, double seconds);

 private:
  void searchView(View* view, HintResult* result, uint32_t depth, View* entranceView, IBaseAreaTrigger* entranceTrigger,
                  bool leavingCloseUp);
  void record(HintResult* result, View* view, IBaseAreaTrigger* trigger, uint32_t depth, View* entranceView,
              IBaseAreaTrigger* entranceTrigger, bool leavingCloseUp, bool changeLocation);

  const ViewRegistry& registry;
  std::vector<View*> stack;
};

}  // namespace HOG
