#include "core/game_state/dialog_view_extension.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "core/game_state/game.h"
#include "core/game_state/input_state.h"
#include "core/game_state/view.h"
#include "core/game_state/view_stack.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

void setHudVisible(bool visible) {
  if (Game::exists()) Game::getInstance()->getHud()->setHudVisible(visible);
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
  if (view) scene = view->scene;
  if (!scene) return;
  scene->stopMarkers(true, true);
  currentStage = 0;
  playStage(0);
  followSkipVisibility();
}

void DialogViewExtension::playStage(int32_t index) {
  if (index < 0 || index >= int32_t(stages.size()) || !scene) return;
  if (AE::Marker* marker = scene->getMarker(stages[size_t(index)].marker)) marker->play();
}

void DialogViewExtension::followSkipVisibility() {
  if (finished) return;
  skipShown = isPassiveStage();
  if (skipButton) skipButton->setVisible(skipShown);
}

void DialogViewExtension::advance() {
  ++currentStage;
  if (currentStage < int32_t(stages.size()))
    playStage(currentStage);
  else
    finished = true;
  followSkipVisibility();
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
  followSkipVisibility();
}

int32_t DialogViewExtension::processMouseEvent(const InputState* input) {
  if (!isPassiveStage()) return 0;
  if (input && input->leftReleased) advance();
  return 1;
}

void DialogViewExtension::update(float) {
  if (!finished) return;
  finished = false;
  currentStage = int32_t(stages.size());
  if (Game::exists()) Game::getInstance()->getViewStack().closeActiveView();
  setHudVisible(true);
}

}  // namespace HOG
