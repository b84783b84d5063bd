#include "core/game_state/extensions/dialog_view_extension.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "core/game_state/game_components.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/input_state.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "function.h"
#include "ui/ui_button.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

void setHudVisible(bool visible) {
  if (IHud* hud = gameHud()) hud->setHudVisible(visible);
}

// The button keeps only the dialogue's handler: the view may be activated
// again, and the tree's own commands belong to another screen.
void rebind(KR::UIWidget* button, KR::IFunction* handler) {
  if (!button) {
    delete handler;
    return;
  }
  if (button->getType() == KR::kUIButtonType) {
    auto* b = static_cast<KR::UIButton*>(button);
    if (KR::UIManager::exists()) KR::UIManager::getInstance()->forgetCommands(b);
    for (KR::IFunction* command : b->commands) delete command;
    b->commands.clear();
  }
  button->processEvent("clicked", handler);
}

}  // namespace

void DialogViewExtension::loadConfig(const std::string& file) {
  KR::XmlDataReader reader;
  if (file.empty() || !reader.open("default", file)) return;
  parseConfig(reader);
}

void DialogViewExtension::parseConfig(KR::XmlDataReader& reader) {
  if (!reader.enterChild("DialogConfig")) return;
  if (reader.enterChild("stages")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Stage stage;
      reader.readString("marker", &stage.marker);
      reader.readBool("action", &stage.action);
      stages.push_back(stage);
    }
    reader.leaveChild();
  }
  reader.leaveChild();
}

bool DialogViewExtension::isPassiveStage() const {
  return currentStage >= 0 && currentStage < int32_t(stages.size()) && !stages[size_t(currentStage)].action;
}

void DialogViewExtension::onActivate() {
  setHudVisible(false);
  finished = false;
  uiRoot = view ? view->ui : nullptr;
  nextButton = uiRoot ? uiRoot->findDescendant("next_btn") : nullptr;
  skipButton = uiRoot ? uiRoot->findDescendant("skip_btn") : nullptr;
  rebind(nextButton, new KR::Function1<bool, DialogViewExtension>(this, &DialogViewExtension::onNextClicked, true));
  rebind(skipButton, new KR::Function<DialogViewExtension>(this, &DialogViewExtension::onSkipClicked));
  if (view) scene = view->scene;
  if (!scene) return;
  scene->stopMarkers(true, true);
  currentStage = 0;
  playStage(0);
  followButtonVisibility();
}

void DialogViewExtension::playStage(int32_t index) {
  if (index < 0 || index >= int32_t(stages.size()) || !scene) return;
  if (AE::Marker* marker = scene->getMarker(stages[size_t(index)].marker)) marker->play();
}

void DialogViewExtension::followButtonVisibility() {
  if (finished) return;
  // On an action stage both buttons would do nothing: the player acts in the view.
  skipShown = isPassiveStage();
  for (KR::UIWidget* button : {nextButton, skipButton})
    if (button) button->setVisible(skipShown);
}

void DialogViewExtension::advance() {
  ++currentStage;
  if (currentStage < int32_t(stages.size()))
    playStage(currentStage);
  else
    finished = true;
  followButtonVisibility();
}

void DialogViewExtension::onNextClicked(bool checkKind) {
  if (!checkKind || isPassiveStage()) advance();
}

void DialogViewExtension::onSkipClicked() {
  if (currentStage >= 0 && currentStage < int32_t(stages.size()) && stages[size_t(currentStage)].action) return;
  int32_t lastAction = -1;
  for (int32_t i = currentStage + 1; i < int32_t(stages.size()); ++i)
    if (stages[size_t(i)].action) lastAction = i;
  if (lastAction < 0) {
    finished = true;
  } else {
    currentStage = lastAction;
    playStage(currentStage);
  }
  followButtonVisibility();
}

int32_t DialogViewExtension::processMouseEvent(const InputState* input) {
  if (!isPassiveStage()) return 0;
  // A click on a button is the button's alone: it must not also advance here.
  if (input) {
    const KR::Vector2<float> p(float(input->x), float(input->y));
    for (KR::UIWidget* button : {nextButton, skipButton})
      if (button && button->visible && button->shown && button->hitTest(p)) return 1;
  }
  if (input && input->leftReleased) advance();
  return 1;
}

void DialogViewExtension::update(float) {
  if (!finished) return;
  finished = false;
  currentStage = int32_t(stages.size());
  if (ViewStack* stack = gameViewStack()) stack->closeActiveView();
  setHudVisible(true);
}

}  // namespace HOG
