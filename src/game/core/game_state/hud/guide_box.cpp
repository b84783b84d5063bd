#include "core/game_state/hud/guide_box.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "config_manager.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "geometry.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

constexpr float kDegToRad = 3.14159265358979f / 180.0f;

KR::Vector2<float> towards(const KR::Vector2<float>& from, const KR::Vector2<float>& to, float distance) {
  const KR::Vector2<float> d = to - from;
  const float length = std::sqrt(d.x * d.x + d.y * d.y);
  if (length <= 0.0f) return from;
  return from + d * (distance / length);
}

// The widget a step's button bit shows: bit 0 the first, bit 1 the third, bit 2 the second.
constexpr int kWidgetOfBit[3] = {0, 2, 1};

void resetStep(GuideStep& step) { step.waitSatisfied = step.shown = step.done = false; }

InGameUI* hud() { return dynamic_cast<InGameUI*>(gameHud()); }

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

GuideSequences::GuideSequences() { geometry.arrowLength = kArrowLength; }

GuideSequences::~GuideSequences() {
  if (widget && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(widget);
  delete arrowScene;
}

void GuideSequences::load() {
  // The box keeps inside the game area, whose aspect the platform's configuration gives.
  if (KR::ConfigManager::exists())
    if (const KR::PlatformConfig* platform = KR::ConfigManager::getInstance()->getCurrentPlatform())
      geometry.aspect = platform->fullscreenMinimalAspect;
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands)
    commands->registerFunction("guideButtonClicked",
                               new KR::LexBinder<GuideSequences>(this, &GuideSequences::completeShownStep));
  if (KR::UIManager::exists()) widget = KR::UIManager::getInstance()->tryLoadUI("guide_box_ui", "GuideBox");
  // The widgets took their own copies of the command.
  if (commands) commands->unregisterFunction("guideButtonClicked");
  if (widget) {
    label = widget->findDescendant("text");
    for (int i = 0; i < 3; ++i) buttonWidgets[i] = widget->findDescendant("button" + std::to_string(i + 1));
    geometry.boxSize = widget->getTotalSize();
    for (int bit = 0; bit < 3; ++bit)
      if (KR::UIWidget* button = buttonWidgets[kWidgetOfBit[bit]]) geometry.buttonSizes[bit] = button->getTotalSize();
    widget->hideForcibly();
  }
  // Without pictures (no sprite manager) the box goes without its arrow.
  if (!KR::SpriteManager<KR::Sprite>::getInstancePtr()) return;
  arrowScene = AE::loadScene("guide_arrow_xml");
  if (!arrowScene) {
    KR::log("WARNING: guide arrow scene 'guide_arrow_xml' could not be loaded");
    return;
  }
  arrowScene->mLoop = true;
  arrowScene->play(true);
  arrowScene->setEnabled(false);
}

void GuideSequences::draw() {
  if (boxShown && arrowScene && arrowScene->mEnabled) AE::renderScene(arrowScene);
}

bool GuideSequences::processInput(const InputState& input) {
  if (!boxShown || !input.valid) return false;
  if (shownStep && shownStep->triggerId >= 0 && input.leftReleased && gameViewStack()) {
    View* view = gameViewStack()->getActiveView();
    const IBaseAreaTrigger* trigger = view ? view->findTrigger(uint32_t(shownStep->triggerId)) : nullptr;
    if (trigger) {
      // The view's own reading of the click: both ends inside the trigger, in its coordinates.
      auto inside = [&](int32_t x, int32_t y) {
        const KR::Vector2<float> p = view->inverseTransform.transformPoint(KR::Vector2<float>(float(x), float(y)));
        return view->triggerContains(trigger, KR::Vector2<float>(float(int32_t(p.x)), float(int32_t(p.y))));
      };
      if (inside(input.x, input.y) && inside(input.pressX, input.pressY)) {
        completeShownStep();
        return false;
      }
    }
  }
  return widget && widget->shown && widget->hitTest(KR::Vector2<float>(float(input.x), float(input.y)));
}

void GuideSequences::completeShownStep() {
  if (!boxShown) return;
  if (shownStep) {
    shownStep->shown = false;
    shownStep->done = true;
  }
  hideBox();
}

void GuideSequences::start() {
  // A box left up by the previous game would keep its locks.
  hideBox();
  bool hard = false;
  if (ProfileSystem::exists())
    if (const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile())
      hard = profile->options.difficulty != 0;
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

void GuideSequences::updateSequences() {
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
  if (step.done || !gameViewStack()) return;
  View* view = gameViewStack()->getActiveView();
  if (!view || !view->loaded) return;
  InGameUI* ui = hud();
  if (ui && (ui->isPauseMenuUp() || (ui->getNotebook() && ui->getNotebook()->isOpen()))) return;
  if (!step.shown) {
    const bool waited = !step.waitFlag || step.waitSatisfied;
    const bool here = step.viewName.empty() || step.viewName == view->name;
    const IBaseAreaTrigger* trigger = step.triggerId >= 0 ? view->findTrigger(uint32_t(step.triggerId)) : nullptr;
    // A trigger the view does not have: the step is simply not shown.
    const bool pointable = step.triggerId < 0 || (trigger && trigger->enabled);
    if (waited && step.blockingId == -1 && here && pointable) showStep(step);
    return;
  }
  if (step.triggerId == -1 && !step.itemName.empty() && gameInventory()->isItemPresent(step.itemName.c_str())) {
    step.shown = false;
    step.done = true;
    if (shownStep == &step) hideBox();
  }
}

void GuideSequences::showStep(GuideStep& step) {
  bool hasTarget = false;
  KR::Vector2<float> target = step.position;
  ViewStack* views = gameViewStack();
  View* view = views ? views->getActiveView() : nullptr;
  const IBaseAreaTrigger* trigger = view && step.triggerId >= 0 ? view->findTrigger(uint32_t(step.triggerId)) : nullptr;
  if (trigger) {
    target = trigger->getScreenPosition(view);
    hasTarget = true;
  }
  lastLayout = layoutGuideBox(geometry, hasTarget, target, step.arrow, step.buttons);
  placeWidgets(step);
  if (views) {
    ViewStack& stack = *views;
    if (trigger) stack.appendTriggerByIds(view->id, uint32_t(step.triggerId));
    if (step.pressHint)
      if (InGameUI* ui = hud()) ui->getHintPanel()->hintBtnClicked();
    // Panning and zooming would move the trigger away from the arrow.
    if (view) {
      view->controller.reset();
      view->controller.enabled = false;
    }
    stack.restrictInput = true;
    // One lock however many steps come up while the box is already shown.
    if (!boxShown) ++stack.viewChangeLocks;
  }
  if (widget) widget->show();
  boxShown = true;
  shownStep = &step;
  step.shown = true;
}

void GuideSequences::placeWidgets(const GuideStep& step) {
  if (arrowScene) {
    arrowScene->setEnabled(step.arrow);
    arrowScene->setPosition(lastLayout.arrowCentre);
    arrowScene->setRotation(lastLayout.arrowAngle);
  }
  if (!widget) return;
  if (auto* text = dynamic_cast<KR::UILabel*>(label)) text->setText(step.text);
  widget->position = lastLayout.boxTopLeft;
  size_t placed = 0;
  for (int bit = 0; bit < 3; ++bit) {
    KR::UIWidget* button = buttonWidgets[kWidgetOfBit[bit]];
    if (!button) continue;
    const bool shown = (step.buttons & (1u << bit)) != 0;
    button->setVisible(shown);
    if (shown && placed < lastLayout.buttonTopLefts.size())
      button->position = lastLayout.buttonTopLefts[placed++] - lastLayout.boxTopLeft;
  }
}

void GuideSequences::update(float dt) {
  if (boxShown && arrowScene) arrowScene->update(dt);
  updateSequences();
}

void GuideSequences::hideBox() {
  if (!boxShown) return;
  boxShown = false;
  shownStep = nullptr;
  if (widget) widget->hideForcibly();
  if (arrowScene) arrowScene->setEnabled(false);
  if (!gameViewStack()) return;
  ViewStack& stack = *gameViewStack();
  std::fill(std::begin(stack.restricted), std::end(stack.restricted), nullptr);
  stack.restrictedCount = 0;
  stack.restrictInput = false;
  stack.viewChangeLocks = std::max(stack.viewChangeLocks - 1, 0);
  // No view opened or closed while the box was up: the active view is the one whose controller was stopped.
  if (View* view = stack.getActiveView()) view->controller.enabled = true;
}

}  // namespace HOG
