#include "core/main_menu_state/enter_profile_name_window.h"

#include "animationeditor/scene_node.h"
#include "core/main_menu_state/front_end_support.h"
#include "core/main_menu_state/info_message_box.h"
#include "core/main_menu_state/main_menu.h"
#include "core/main_menu_state/profile_system.h"
#include "core/main_menu_state/user_dialog.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_text_edit.h"
#include "ui/ui_widget.h"

namespace HOG {

EnterProfileNameWindow::~EnterProfileNameWindow() { unload(); }

void EnterProfileNameWindow::setUIFiles(const std::string& file, const std::string& table, const std::string& ok) {
  uiFile = file;
  uiTable = table;
  okAction = ok;
}

void EnterProfileNameWindow::load() {
  if (loaded || root || !KR::UIManager::exists() || uiFile.empty()) return;
  bindHandler(okAction, this, &EnterProfileNameWindow::onOk);
  bindHandler("closeClick", this, &EnterProfileNameWindow::close);
  root = KR::UIManager::getInstance()->loadUI(uiFile, uiTable, nullptr, "default");
  if (!root) return;
  root->hideForcibly();
  textEdit = dynamic_cast<KR::UITextEdit*>(root->findDescendant("textedit"));
  AE::ISceneNode* trigger = sceneNodeAt(root, "/root_group/trigger");
  if (!textEdit || !trigger) return;
  placeAtPivot(textEdit, trigger);
  if (!textEdit->captionBound) textEdit->bindCaption();
  loaded = true;
}

void EnterProfileNameWindow::unload() {
  if (root && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
  root = nullptr;
  textEdit = nullptr;
  unbindHandler(okAction, this);
  unbindHandler("closeClick", this);
  loaded = false;
  shown = false;
}

void EnterProfileNameWindow::show() {
  if (!loaded) return;
  const bool firstRun = ProfileSystem::exists() && ProfileSystem::getInstance()->onlyDefaultProfile();
  if (textEdit->caption) {
    textEdit->caption->setText(firstRun ? "Player" : "");
    textEdit->caret = uint32_t(textEdit->caption->text.size());
  }
  root->hideForcibly();
  root->show();
  shown = true;
}

void EnterProfileNameWindow::close() {
  if (!loaded) return;
  root->hide();
  shown = false;
}

void EnterProfileNameWindow::onOk() {
  if (!ProfileSystem::exists()) return;
  ProfileSystem* profiles = ProfileSystem::getInstance();
  name = textEdit ? textEdit->getText() : std::wstring();
  if (name.empty()) {
    if (menu) menu->infoBox->showMessage("empty_name");
    return;
  }
  if (!profiles->createProfile(name) && profiles->getProfileCount() < ProfileSystem::kMaxProfiles && menu)
    menu->infoBox->showMessage("name_exist");
  profiles->saveProfileOptions(profiles->getCurrentIndex());
  // The refreshed list has the current profile (a new one is the last line) selected and in sight.
  if (menu) menu->userDialog->refreshList();
  if (userList) {
    selectFromList();
  } else {
    // The first run's profile is written at once: a game killed before any
    // other list write must find its player, not a first run again.
    profiles->saveProfileList();
  }
  if (loaded) {
    root->hide();
    shown = false;
  }
}

void EnterProfileNameWindow::selectFromList() {
  if (!userList || !ProfileSystem::exists()) return;
  ProfileSystem::getInstance()->selectProfile(userList->selected);
}

}  // namespace HOG
