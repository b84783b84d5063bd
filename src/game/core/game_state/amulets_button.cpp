#include "core/game_state/amulets_button.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/game.h"
#include "core/game_state/game_message.h"
#include "core/game_state/view.h"
#include "core/game_state/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

PlayerProfile* currentProfile() {
  return ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
}

}  // namespace

AmuletsButton::AmuletsButton(KR::UIWidget* button) : button(button) { load(); }

AmuletsButton::~AmuletsButton() { delete totemsScene; }

void AmuletsButton::load() {
  KR::XmlDataReader reader;
  if (!KR::FileSystem::exists() || !reader.open("default", "amulets_button_config_xml")) return;
  readConfig(reader);
}

void AmuletsButton::readConfig(KR::XmlDataReader& reader) {
  reader.readString("location", &location);
  if (!reader.enterChild("getAmuletsScenes")) return;
  std::vector<std::string> names;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string name;
    if (reader.readCurrentString(&name)) names.push_back(name);
  }
  reader.leaveChild();
  totemsScene = AE::loadScene("window_totems_xml");
  if (!totemsScene) return;
  totemsScene->stop(true);
  for (const std::string& name : names)
    if (AE::ISceneNode* child = AE::ISceneNode::findChild(name.c_str(), totemsScene)) {
      child->stop(true);
      scenes.push_back({child, name, false});
    }
}

void AmuletsButton::setOpen(bool wantOpen) {
  if (busy || open == wantOpen) return;
  if (!wantOpen) {
    open = false;
    return;
  }
  for (SceneEntry& entry : scenes) {
    entry.play = false;
    entry.node->stop(true);
  }
  openAmuletsView();
}

void AmuletsButton::openAmuletsView() {
  open = true;
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  ViewStack& stack = game->getViewStack();
  View* active = stack.getActiveView();
  previousView = active ? active->name : "";
  if (active && active->type == 1) stack.closeActiveView();
  game->getHud()->setHudVisible(true);
  stack.requestOpenView(location.c_str());
}

void AmuletsButton::onGameMessage(const GameMessage& message) {
  switch (message.kind) {
    case kMsgViewDeactivated: {
      const View* active = Game::exists() ? Game::getInstance()->getViewStack().getActiveView() : nullptr;
      if (active && location == active->name && open) open = false;
      break;
    }
    case kMsgNotebookOpened:
    case kMsgPauseMenuOpened: busy = true; break;
    case kMsgNotebookClosed:
    case kMsgPauseMenuClosed: busy = false; break;
    default: break;
  }
}

void AmuletsButton::disable() {
  if (PlayerProfile* profile = currentProfile()) profile->amuletsButton = 0;
}

void AmuletsButton::setScenePlay(const std::string& name, bool play) {
  if (!totemsScene) return;
  SceneEntry* found = nullptr;
  for (SceneEntry& entry : scenes)
    if (entry.name == name) found = &entry;
  if (!found) return;
  playingScene = name;
  if (AE::ISceneNode* totems = AE::ISceneNode::findChild("totems", totemsScene))
    for (AE::ISceneNode* child : totems->mChildren) child->setEnabled(false);
  totemsScene->stop(true);
  found->node->setEnabled(true);
  totemsScene->setEnabled(true);
  totemsScene->play(true);
  found->play = play;
  delayTimer = 0.0f;
  delayedOpen = true;
}

void AmuletsButton::update(float dt) {
  if (totemsScene) totemsScene->update(dt);
  if (button) {
    const PlayerProfile* profile = currentProfile();
    button->setVisible(!profile || profile->amuletsButton != 0);
  }
  if (!delayedOpen) return;
  delayTimer += dt;
  if (delayTimer >= kOpenDelay) {
    openAmuletsView();
    delayedOpen = false;
  }
}

void AmuletsButton::draw() {
  if (totemsScene) AE::renderScene(totemsScene);
}

}  // namespace HOG
