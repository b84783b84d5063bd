#include "core/game_state/hud/hint_search.h"

#include <algorithm>

#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "timer_manager.h"

namespace HOG {

namespace {

enum TriggerKind : int32_t { kArea = 0, kObject = 1, kTransition = 2, kItem = 3, kAnimation = 4, kHosItem = 5 };

bool isLive(const IBaseAreaTrigger* trigger) { return trigger->enabled && !trigger->dead; }
bool isLiveForHints(const IBaseAreaTrigger* trigger) { return isLive(trigger) && trigger->useByHints; }

View* targetOf(const IBaseAreaTrigger* trigger, const ViewRegistry& registry) {
  return registry.findViewByName(static_cast<const TransitionTrigger*>(trigger)->targetLocation);
}

bool isActiveHosItem(const IViewExtension* ext, const IBaseAreaTrigger* trigger) {
  if (!ext || ext->getType() != 2 || !trigger->enabled) return false;
  const auto* hos = static_cast<const HOSViewExtension*>(ext);
  const uint32_t count = std::min<uint32_t>(hos->activeCount, HOSViewExtension::kMaxActive);
  for (uint32_t i = 0; i < count; ++i)
    if (static_cast<const IBaseAreaTrigger*>(hos->activeItems[i]) == trigger) return true;
  return false;
}

// A minigame, a dialogue or an unfinished hidden-object scene that is not put aside.
bool holdsTask(const View* target) {
  const IViewExtension* ext = target->extension;
  if (!ext || ext->isSuspended()) return false;
  switch (ext->getType()) {
    case 1:
    case 3: return true;
    case 2: return !static_cast<const HOSViewExtension*>(ext)->finished;
    default: return false;
  }
}

}  // namespace

int32_t transitionTargetWeight(const IBaseAreaTrigger* trigger, const ViewRegistry& registry) {
  const View* target = targetOf(trigger, registry);
  if (!target) return 0;
  return target->type == 1 ? 2 : target->type == 2 ? 1 : 0;
}

int32_t hintTriggerScore(const IBaseAreaTrigger* trigger, const ViewRegistry& registry) {
  int32_t weight = 1;
  switch (trigger->getType()) {
    case kArea: weight = 601; break;
    case kObject: weight = 801; break;
    case kTransition: weight = 51 + transitionTargetWeight(trigger, registry); break;
    case kItem: weight = 901; break;
    case kAnimation: weight = 701; break;
    case kHosItem: weight = 1001; break;
  }
  const int32_t live = isLive(trigger) ? 1 : 0;
  return 10000 - (live + 1) * weight - trigger->triggerId;
}

void HintSearch::findHint(HintResult* result) {
  KR::WTimer timer;
  View* active = nullptr;
  std::vector<View*> open;
  if (ViewStack* stack = gameViewStack()) {
    KR::ScopedLock guard(KR::ScopedLock::lock(gameViewStackLock()));
    active = stack->getActiveView();
    open = stack->getViews();
  }
  run(active, open, result);
  // Without a location there was no search to report.
  if (active) logHintInfo(*result, timer.getElapsed());
}

void HintSearch::run(View* active, const std::vector<View*>& openViews, HintResult* result) {
  *result = HintResult();
  if (!active) return;
  result->startView = active;
  // Only the top of the stack matters for leaving close-ups.
  const size_t first = openViews.size() > size_t(kStackCopy) ? openViews.size() - kStackCopy : 0;
  stack.assign(openViews.begin() + first, openViews.end());
  for (View* view : registry.getViews()) view->hintDepth = UINT32_MAX;
  searchView(active, result, 0, nullptr, nullptr, false);
}

void HintSearch::record(HintResult* result, View* view, IBaseAreaTrigger* trigger, uint32_t depth, View* entranceView,
                        IBaseAreaTrigger* entranceTrigger, bool leavingCloseUp, bool changeLocation) {
  result->trigger = trigger;
  result->view = view;
  result->depth = depth;
  result->entranceView = entranceView;
  result->entranceTrigger = entranceTrigger;
  if (leavingCloseUp)
    result->type = HT_CLOSE_CLOSEUP;
  else if (view == result->startView && !changeLocation)
    result->type = HT_DO_ACTION;
  else
    result->type = HT_CHANGE_LOCATION;
}

void HintSearch::searchView(View* view, HintResult* result, uint32_t depth, View* entranceView,
                            IBaseAreaTrigger* entranceTrigger, bool leavingCloseUp) {
  view->hintDepth = depth;
  IViewExtension* ext = view->extension;

  // Every candidate counts however many a view holds; equal scores keep the
  // stored order, so the same locations always give the same hint.
  std::vector<std::pair<int32_t, IBaseAreaTrigger*>> candidates;
  candidates.reserve(view->triggers.size());
  for (IBaseAreaTrigger* trigger : view->triggers)
    if (trigger->debug == 0) candidates.emplace_back(hintTriggerScore(trigger, registry), trigger);
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });

  // Actions here.
  for (const auto& entry : candidates) {
    IBaseAreaTrigger* trigger = entry.second;
    const int32_t kind = trigger->getType();
    if (kind == kObject || kind == kTransition || !isLiveForHints(trigger)) continue;
    bool usable = false;
    if (kind == kItem)
      usable = trigger->canInteract();
    else if (kind == kHosItem)
      usable = isActiveHosItem(ext, trigger);
    else if (kind == kArea || kind == kAnimation)
      usable = trigger->enabled && trigger->canInteract();
    if (usable && depth < result->depth)
      record(result, view, trigger, depth, entranceView, entranceTrigger, leavingCloseUp, false);
  }

  // Ways into a view that holds a task.
  for (const auto& entry : candidates) {
    IBaseAreaTrigger* trigger = entry.second;
    if (trigger->getType() != kTransition || !isLiveForHints(trigger)) continue;
    const View* target = targetOf(trigger, registry);
    if (!target || !holdsTask(target) || !trigger->canInteract() || depth >= result->depth) continue;
    const bool fromStart = view == result->startView;
    record(result, view, trigger, depth, entranceView, fromStart ? trigger : entranceTrigger, leavingCloseUp, true);
  }

  // Walking on.
  for (const auto& entry : candidates) {
    IBaseAreaTrigger* trigger = entry.second;
    if (trigger->getType() != kTransition || !isLiveForHints(trigger)) continue;
    View* target = targetOf(trigger, registry);
    if (target && depth < target->hintDepth)
      searchView(target, result, depth + 1, entranceView ? entranceView : target,
                 entranceTrigger ? entranceTrigger : trigger, leavingCloseUp);
  }

  // Out of a close-up into the view beneath it.
  if (view->type != 1) return;
  auto it = std::find(stack.begin(), stack.end(), view);
  if (it == stack.end() || it == stack.begin()) return;
  View* beneath = *(it - 1);
  if (depth >= beneath->hintDepth) return;
  KR::log("HINT: leaving close-up %s for %s", view->name, beneath->name);
  searchView(beneath, result, depth + 1, entranceView ? entranceView : beneath, entranceTrigger, true);
}

void HintSearch::logHintInfo(const HintResult& result, double seconds) {
  KR::log("############ BEGIN HINT INFO");
  if (!result.view || !result.trigger) {
    KR::log("HINT is not available");
  } else {
    KR::log("entrance view: %p %s", static_cast<void*>(result.entranceView),
            result.entranceView ? result.entranceView->name : "<NONE>");
    KR::log("entrance trigger: %p %i", static_cast<void*>(result.entranceTrigger),
            result.entranceTrigger ? result.entranceTrigger->triggerId : -1);
    KR::log("deep %i view %p trigger %p", int32_t(result.depth), static_cast<void*>(result.view),
            static_cast<void*>(result.trigger));
    KR::log("view name %s, trigger id %i ", result.view->name, result.trigger->triggerId);
    switch (result.type) {
      case HT_DO_ACTION: KR::log("HINT TYPE: HT_DO_ACTION"); break;
      case HT_CHANGE_LOCATION: KR::log("HINT TYPE: HT_CHANGE_LOCATION"); break;
      case HT_CLOSE_CLOSEUP: KR::log("HINT TYPE: HT_CLOSE_CLOSEUP"); break;
      default: KR::log("HINT TYPE: HT_HINT_NOT_AVAIL");
    }
  }
  KR::log("Hint finding time: %.2f msecs", seconds * 1000.0);
  KR::log("############ END HINT INFO");
}

}  // namespace HOG
