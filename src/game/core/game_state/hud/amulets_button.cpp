#include "core/game_state/hud/amulets_button.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/game_components.h"
#include "core/game_state/game_message.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

PlayerProfile* currentProfile() {
  return ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
}

void setProfileFlag(uint32_t value) {
  if (PlayerProfile* profile = currentProfile()) profile->options.amuletsButtonEnabled = value;
}

// Shows a node: its own flag and its subtree's on, and its ancestors' own
// flags on (without touching their other children), so that it is updated
// and drawn.
void showNode(AE::ISceneNode* node) {
  node->setEnabled(true);
  for (AE::ISceneNode* up = node->mParent; up; up = up->mParent) up->mEnabled = true;
}

}  // namespace

AmuletsButton::AmuletsButton(AE::ISceneNode* buttonNode, KR::UIWidget* button)
    : buttonNode(buttonNode), button(button) {
  load();
}

AmuletsButton::~AmuletsButton() {
  for (AE::Marker* marker : {openingAnim, closingAnim, appearingAnim, disappearingAnim})
    if (marker) marker->removeListener(this);
}

void AmuletsButton::forgetButtonNode() {
  buttonNode = nullptr;
  openingAnim = closingAnim = appearingAnim = disappearingAnim = nullptr;
}

void AmuletsButton::load() {
  KR::XmlDataReader reader;
  if (!KR::FileSystem::exists() || !reader.open("default", "amulets_button_config_xml")) return;
  readConfig(reader);
  if (hasSceneList) setTotemsScene(AE::loadScene("window_totems_xml"));
}

void AmuletsButton::readConfig(KR::XmlDataReader& reader) {
  reader.readString("location", &location);
  std::string names[4];
  const char* keys[4] = {"openingAnim", "closingAnim", "appearingAnim", "disappearingAnim"};
  for (int i = 0; i < 4; ++i) reader.readString(keys[i], &names[i]);
  takeMarkers(names);
  sceneNames.clear();
  hasSceneList = reader.enterChild("getAmuletsScenes");
  if (!hasSceneList) return;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string name;
    if (reader.readCurrentString(&name)) sceneNames.push_back(name);
  }
  reader.leaveChild();
}

void AmuletsButton::takeMarkers(const std::string names[4]) {
  if (!buttonNode) return;
  buttonNode->stop(true);
  AE::Marker** slots[4] = {&openingAnim, &closingAnim, &appearingAnim, &disappearingAnim};
  for (int i = 0; i < 4; ++i) {
    // An unnamed animation is simply absent; a named one that is missing is logged.
    *slots[i] = names[i].empty() ? nullptr : buttonNode->getMarker(names[i]);
    if (*slots[i]) (*slots[i])->addListener(this);
  }
  const PlayerProfile* profile = currentProfile();
  // A casket hidden in an earlier session starts hidden.
  if (profile && profile->options.amuletsButtonEnabled == 0 && disappearingAnim) disappearingAnim->complete();
}

void AmuletsButton::setTotemsScene(AE::ISceneNode* scene) {
  scenes.clear();
  totemsScene.reset(scene);
  if (!scene) return;
  scene->stop(true);
  for (const std::string& name : sceneNames)
    if (AE::ISceneNode* child = AE::ISceneNode::findChild(name.c_str(), scene)) {
      child->stop(true);
      scenes.push_back({child, name, false});
    }
}

void AmuletsButton::setOpen(bool wantOpen) {
  if (busy || open == wantOpen) return;
  if (!wantOpen) {
    if (closingAnim)
      closingAnim->play();
    else
      open = false;
    return;
  }
  for (SceneEntry& entry : scenes) {
    entry.play = false;
    entry.node->stop(true);
  }
  if (openingAnim)
    openingAnim->play();
  else
    openAmuletsView();
}

void AmuletsButton::openAmuletsView() {
  open = true;
  if (!gameViewStack()) return;
  ViewStack& stack = *gameViewStack();
  View* active = stack.getActiveView();
  previousView = active ? active->name : "";
  if (active && active->type == 1) stack.closeActiveView();
  gameHud()->setHudVisible(true);
  stack.requestOpenView(location.c_str());
}

void AmuletsButton::onMarker(AE::Marker* marker) {
  if (!marker) return;
  if (marker == openingAnim) {
    // Under the pause menu or the book no view may open: the opening waits for them to close.
    if (busy) {
      delayedOpen = true;
      delayTimer = kOpenDelay;
    } else {
      openAmuletsView();
    }
  }
  if (marker == closingAnim) open = false;
  if (marker == appearingAnim) setProfileFlag(1);
  if (marker == disappearingAnim) setProfileFlag(0);
}

void AmuletsButton::onGameMessage(const GameMessage& message) {
  switch (message.kind) {
    case kMsgViewDeactivated: {
      ViewStack* stack = gameViewStack();
      const View* active = stack ? stack->getActiveView() : nullptr;
      if (!active || location != active->name || !open) break;
      // The HUD and the play state both pass this on: a second play restarts the same animation.
      if (closingAnim)
        closingAnim->play();
      else
        open = false;
      break;
    }
    case kMsgNotebookOpened:
    case kMsgPauseMenuOpened: busy = true; break;
    case kMsgNotebookClosed:
    case kMsgPauseMenuClosed: busy = false; break;
    default: break;
  }
}

void AmuletsButton::enable() {
  if (appearingAnim)
    appearingAnim->play();
  else
    setProfileFlag(1);
}

void AmuletsButton::disable() {
  if (disappearingAnim) disappearingAnim->play();
  setProfileFlag(0);
}

void AmuletsButton::setScenePlay(const std::string& name, bool play) {
  if (!totemsScene) return;
  SceneEntry* found = nullptr;
  for (SceneEntry& entry : scenes)
    if (entry.name == name) {
      found = &entry;
      break;
    }
  if (!found) return;
  playingScene = name;
  if (AE::ISceneNode* totems = AE::ISceneNode::findChild("totems", totemsScene.get()))
    for (AE::ISceneNode* child : totems->mChildren) child->setEnabled(false);
  totemsScene->stop(true);
  showNode(found->node);
  totemsScene->play(true);
  found->play = play;
  delayTimer = 0.0f;
  delayedOpen = true;
}

void AmuletsButton::update(float dt) {
  if (totemsScene) totemsScene->update(dt);
  if (button) {
    const PlayerProfile* profile = currentProfile();
    button->setVisible(!profile || profile->options.amuletsButtonEnabled != 0);
  }
  if (!delayedOpen) return;
  delayTimer += dt;
  if (delayTimer >= kOpenDelay && !busy) {
    delayedOpen = false;
    openAmuletsView();
  }
}

void AmuletsButton::draw() {
  if (totemsScene) AE::renderScene(totemsScene.get());
}

}  // namespace HOG
