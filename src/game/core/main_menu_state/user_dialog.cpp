#include "core/main_menu_state/user_dialog.h"

#include <algorithm>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/front_end_support.h"
#include "core/main_menu_state/info_message_box.h"
#include "core/main_menu_state/main_menu.h"
#include "core/main_menu_state/profile_system.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

const char* const kHandlers[] = {"userDialog_btnCreateClicked",      "userDialog_btnDeleteClicked",
                                 "userDialog_btnOkClicked",          "userDialog_btnExitClicked",
                                 "confirmDeleteDialog_btnOkClicked", "confirmDeleteDialog_btnCancelClicked"};

void tell(const char* key) {
  if (MainMenu* menu = MainMenu::getInstancePtr()) menu->infoBox->showMessage(key);
}

}  // namespace

UserDialog::UserDialog() {
  bindHandler(kHandlers[0], this, &UserDialog::onCreate);
  bindHandler(kHandlers[1], this, &UserDialog::onDelete);
  bindHandler(kHandlers[2], this, &UserDialog::onOk);
  bindHandler(kHandlers[3], this, &UserDialog::onExit);
  bindHandler(kHandlers[4], this, &UserDialog::onConfirmDelete);
  bindHandler(kHandlers[5], this, &UserDialog::onConfirmDeleteCancel);
}

UserDialog::~UserDialog() {
  destroyTrees();
  for (const char* name : kHandlers) unbindHandler(name, this);
}

void UserDialog::load() {
  if (root || !KR::UIManager::exists()) return;
  KR::UIManager* ui = KR::UIManager::getInstance();
  root = ui->loadUI("user_dialog_ui", "UserDialog", nullptr, "default");
  if (!root) return;
  scrollBar = dynamic_cast<KR::UIProgressBar*>(root->findDescendant("progressbar"));
  scrollMarker = markerAt(root, "/root_group/scroll", "move");
  placeAtPivot(scrollBar, sceneNodeAt(root, "/root_group/scroll"));
  userList = dynamic_cast<KR::UIListView*>(root->findDescendant("userList"));
  if (AE::ISceneNode* area = sceneNodeAt(root, "/root_group/scroll_area"); area && userList) {
    placeAtPivot(userList, area);
    // A plain node's pixel size already carries its scale.
    userList->size = area->getSize();
  }
  refreshList();
  // The list hides with its window; hidden on its own it would stand in the shown stack by itself.
  root->hideForcibly();
  confirmDeleteDialog = ui->loadUI("confirm_delete_ui", "ConfirmDeleteDialog", nullptr, "default");
  if (confirmDeleteDialog) {
    confirmDeleteDialog->hideForcibly();
    setNodeText(sceneNodeAt(confirmDeleteDialog, "/root_group/text"), "conf_delete");
  }
}

void UserDialog::destroyTrees() {
  if (KR::UIManager::exists()) {
    if (root) KR::UIManager::getInstance()->destroyUI(root);
    if (confirmDeleteDialog) KR::UIManager::getInstance()->destroyUI(confirmDeleteDialog);
  }
  root = confirmDeleteDialog = nullptr;
  userList = nullptr;
  scrollBar = nullptr;
  scrollMarker = nullptr;
}

void UserDialog::refreshList() {
  if (!userList || !ProfileSystem::exists()) return;
  ProfileSystem* profiles = ProfileSystem::getInstance();
  // Each new line resets the scrolled content to its top.
  if (userList->scrollArea) {
    userList->scrollArea->deleteChildren();
    userList->lineCounter = 0;
  }
  // A name is shown as typed, never looked up as a string-table key ("#...").
  for (const auto& profile : profiles->getProfiles())
    if (KR::UILabel* line = userList->addLine()) line->text = profile->name;
  const int32_t lines = int32_t(profiles->getProfileCount());
  userList->selected = profiles->getCurrentIndex() < lines ? profiles->getCurrentIndex() : lines - 1;
  // New lines would show through a hidden window.
  if (root && !root->shown) userList->setStateForcibly("onHide");
  scrollToSelected();
}

void UserDialog::scrollToSelected() {
  if (!userList || !userList->scrollArea || !scrollBar || userList->selected < 0) return;
  const KR::UIScrollArea* area = userList->scrollArea;
  const float range = area->getRange();
  if (range <= 0.0f) return;
  // The least movement that shows the whole line.
  const float top = float(userList->selected) * userList->lineHeight;
  const float offset = range * scrollBar->value;
  const float visible = area->getAreaSize().y;
  float wanted = offset;
  if (top < offset) wanted = top;
  if (top + userList->lineHeight > offset + visible) wanted = top + userList->lineHeight - visible;
  scrollBar->setProgressImmediately(std::min(1.0f, std::max(0.0f, wanted / range)));
}

void UserDialog::selectProfile() {
  if (!ProfileSystem::exists()) return;
  ProfileSystem::getInstance()->selectProfile(userList ? userList->selected : -1);
}

void UserDialog::update() {
  if (!scrollMarker || !scrollBar) return;
  scrollMarker->setTime(scrollMarker->getDuration() * scrollBar->value);
}

void UserDialog::onCreate() {
  if (ProfileSystem::exists() && ProfileSystem::getInstance()->getProfileCount() >= ProfileSystem::kMaxProfiles) {
    tell("too_many_profiles");
    return;
  }
  if (MainMenu* menu = MainMenu::getInstancePtr()) {
    menu->nameWindow->userList = userList;
    menu->nameWindow->show();
  }
}

void UserDialog::onDelete() {
  if (!ProfileSystem::exists()) return;
  ProfileSystem* profiles = ProfileSystem::getInstance();
  if (profiles->getProfileCount() <= 1) {
    tell("profile_cant_be_removed");
    return;
  }
  // The question names the player it will delete: the selected line's.
  const int32_t line = userList ? userList->selected : -1;
  if (!confirmDeleteDialog || line < 0 || size_t(line) >= profiles->getProfileCount()) return;
  if (auto* text = dynamic_cast<AE::TextSceneNode*>(sceneNodeAt(confirmDeleteDialog, "/root_group/text"))) {
    std::wstring question = KR::TextManager::exists() ? KR::TextManager::getInstance()->getText("conf_delete")
                                                      : std::wstring(L"conf_delete");
    const size_t at = question.find(L"%s");
    if (at != std::wstring::npos) question.replace(at, 2, profiles->getProfiles()[size_t(line)]->name);
    text->mLocaleEnable = false;
    text->setText(question);
  }
  confirmDeleteDialog->show();
}

void UserDialog::onOk() {
  selectProfile();
  if (confirmDeleteDialog) confirmDeleteDialog->hide();
  if (root) root->hide();
}

void UserDialog::onExit() {
  if (confirmDeleteDialog) confirmDeleteDialog->hide();
  if (root) root->hide();
}

void UserDialog::onConfirmDelete() {
  if (ProfileSystem::exists() && userList) ProfileSystem::getInstance()->deleteProfile(userList->selected);
  refreshList();
  if (confirmDeleteDialog) confirmDeleteDialog->hide();
  selectProfile();
}

void UserDialog::onConfirmDeleteCancel() {
  if (confirmDeleteDialog) confirmDeleteDialog->hide();
}

}  // namespace HOG
