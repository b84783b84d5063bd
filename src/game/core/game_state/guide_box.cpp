#include "core/game_state/guide_box.h"

#include <algorithm>
#include <cmath>

#include "core/game_state/area_trigger.h"
#include "core/game_state/game.h"
#include "core/game_state/in_game_ui.h"
#include "core/game_state/inventory.h"
#include "core/game_state/view.h"
#include "core/game_state/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "geometry.h"

namespace HOG {

namespace {

constexpr float kDegToRad = 3.14159265358979f / 180.0f;

KR::Vector2<float> towards(const KR::Vector2<float>& from, const KR::Vector2<float>& to, float distance) {
  const KR::Vector2<float> d = to - from;
  const float length = std::sqrt(d.x * d.x + d.y * d.y);
  if (length <= 0.0f) return from;
  return from + d * (distance / length);
}

void resetStep(GuideStep& step) { step.waitSatisfied = step.shown = step.done = false; }

}  // namespace

GuideLayout layoutGuideBox(const GuideBoxGeometry& g, bool hasTarget, const KR::Vector2<float>& target, bool arrow,
                           uint32_t buttons) {
  GuideLayout out;
  const float w = g.screenWidth, h = g.screenHeight;
  const float margin = (w - h * g.aspect) / 2;
  const KR::Vector2<float> centre(w / 2, h / 2);
  KR::Vector2<float> boxCentre = centre;
  if (hasTarget || arrow) {
    const float a = KR::directionAngle(centre, target);
    const float a1 = a > 180.0f ? a - 180.0f : a;
    const float a2 = a1 > 90.0f ? a1 - 90.0f : a1;
    const float a3 = a2 > 45.0f ? 90.0f - a2 : a2;
    const bool tall = a1 >= g.angleRange[0] && a1 <= g.angleRange[1];
    const float dimension = tall ? g.boxSize.y : g.boxSize.x;
    float distance = dimension * 0.5f / std::cos(a3 * kDegToRad) + 25.0f;
    if (arrow) distance += g.arrowLength + 45.0f;
    boxCentre = towards(target, centre, distance);
    if (arrow) {
      out.arrowCentre = towards(target, centre, 80.0f);
      out.arrowAngle = KR::directionAngle(target, centre);
    }
  }
  KR::Vector2<float> topLeft(std::floor(boxCentre.x - g.boxSize.x / 2), std::floor(boxCentre.y - g.boxSize.y / 2));
  topLeft.x = std::max(margin, std::min(topLeft.x, w - margin - g.boxSize.x));
  topLeft.y = std::max(0.0f, std::min(topLeft.y, h - g.boxSize.y));
  out.boxTopLeft = topLeft;
  // The row of buttons: bit 0, bit 1, bit 2, 15 apart, centred, 19 above the lower edge.
  float total = 0.0f;
  for (int bit = 0; bit < 3; ++bit)
    if (buttons & (1u << bit)) total += g.buttonSizes[bit].x;
  float x = topLeft.x + g.boxSize.x / 2 - total / 2;
  for (int bit = 0; bit < 3; ++bit) {
    if (!(buttons & (1u << bit))) continue;
    out.buttonTopLefts.emplace_back(x, topLeft.y + g.boxSize.y - 19.0f - g.buttonSizes[bit].y);
    x += g.buttonSizes[bit].x + 15.0f;
  }
  return out;
}

void GuideSequences::start() {
  bool hard = false;
  if (ProfileSystem::exists())
    if (const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
      hard = profile->hardDifficulty != 0;
  for (GuideSequence& sequence : sequences) {
    if (sequence.steps.empty()) {
      sequence.current = -1;
      sequence.next = 0;
    } else {
      sequence.current = 0;
      resetStep(sequence.steps[0]);
      sequence.next = 1;
    }
    sequence.active = !hard;
  }
}

void GuideSequences::update(float) {
  for (GuideSequence& sequence : sequences) {
    if (!sequence.active || sequence.current < 0) continue;
    GuideStep& step = sequence.steps[size_t(sequence.current)];
    updateStep(step);
    if (!step.done) continue;
    if (sequence.next < int32_t(sequence.steps.size())) {
      sequence.current = sequence.next++;
      resetStep(sequence.steps[size_t(sequence.current)]);
    } else {
      sequence.current = -1;
    }
  }
}

void GuideSequences::updateStep(GuideStep& step) {
  if (step.done || !Game::exists()) return;
  Game* game = Game::getInstance();
  View* view = game->getViewStack().getActiveView();
  if (!view || !view->loaded) return;
  auto* hud = dynamic_cast<InGameUI*>(game->getHud());
  if (hud && hud->isPauseMenuUp()) return;
  if (!step.shown) {
    const bool waited = !step.waitFlag || step.waitSatisfied;
    const bool here = step.viewName.empty() || step.viewName == view->name;
    const IBaseAreaTrigger* trigger = step.triggerId >= 0 ? view->findTrigger(uint32_t(step.triggerId)) : nullptr;
    // A trigger the view does not have: the step is simply not shown.
    const bool pointable = step.triggerId < 0 || (trigger && trigger->enabled);
    if (waited && step.blockingId == -1 && here && pointable) showStep(step);
    return;
  }
  if (step.triggerId == -1 && !step.itemName.empty() && game->getInventory().isItemPresent(step.itemName.c_str())) {
    step.shown = false;
    step.done = true;
    hideBox();
  }
}

void GuideSequences::showStep(GuideStep& step) {
  bool hasTarget = false;
  KR::Vector2<float> target = step.position;
  if (Game::exists()) {
    Game* game = Game::getInstance();
    ViewStack& stack = game->getViewStack();
    View* view = stack.getActiveView();
    if (view && step.triggerId >= 0)
      if (const IBaseAreaTrigger* trigger = view->findTrigger(uint32_t(step.triggerId))) {
        target = trigger->getScreenPosition(view);
        hasTarget = true;
        stack.appendTriggerByIds(view->id, uint32_t(step.triggerId));
      }
    if (view) view->controller.reset();
    stack.restrictInput = true;
    ++stack.viewChangeLocks;
  }
  lastLayout = layoutGuideBox(geometry, hasTarget, target, step.arrow, step.buttons);
  boxShown = true;
  step.shown = true;
}

void GuideSequences::hideBox() {
  boxShown = false;
  if (!Game::exists()) return;
  ViewStack& stack = Game::getInstance()->getViewStack();
  std::fill(std::begin(stack.restricted), std::end(stack.restricted), nullptr);
  stack.restrictedCount = 0;
  stack.restrictInput = false;
  stack.viewChangeLocks = std::max(stack.viewChangeLocks - 1, 0);
}

}  // namespace HOG
