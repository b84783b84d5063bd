#include "core/main_menu_state/difficult_selection_window.h"

#include "core/app_state.h"
#include "core/main_menu_state/front_end_support.h"
#include "core/main_menu_state/profile_system.h"
#include "design_coords.h"
#include "input_manager_win_mac.h"
#include "mouse_device_win.h"
#include "ui/ui_check_box.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

PlayerProfile* currentProfile() {
  return ProfileSystem::exists() ? ProfileSystem::getInstance()->getCurrentProfile() : nullptr;
}

KR::UICheckBox* boxIn(KR::UIWidget* root, const char* holder) {
  KR::UIWidget* found = root ? root->findDescendant(holder) : nullptr;
  return found ? dynamic_cast<KR::UICheckBox*>(found->findDescendant("btn")) : nullptr;
}

// Edges count as inside.
bool within(KR::UIWidget* button, const KR::Vector2<float>& point) {
  if (!button) return false;
  const KR::Vector2<float> at = button->getAbsolutePosition();
  const KR::Vector2<float> size = button->getTotalSize();
  return point.x >= at.x && point.x <= at.x + size.x && point.y >= at.y && point.y <= at.y + size.y;
}

}  // namespace

DifficultSelectionWindow::~DifficultSelectionWindow() { unload(); }

void DifficultSelectionWindow::setUIFiles(const std::string& file, const std::string& table) {
  uiFile = file;
  uiTable = table;
}

void DifficultSelectionWindow::load() {
  if (loaded || !KR::UIManager::exists()) return;
  bindHandler(name + "Hide", this, &DifficultSelectionWindow::hide);
  bindHandler(name + "OK", this, &DifficultSelectionWindow::onOk);
  root = KR::UIManager::getInstance()->loadUI(uiFile, uiTable, nullptr, "default");
  if (!root) return;
  root->hideForcibly();
  casualButton = boxIn(root, "casual_checkbox");
  hardButton = boxIn(root, "hard_checkbox");
  loaded = true;
}

void DifficultSelectionWindow::unload() {
  if (!loaded) return;
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
  root = nullptr;
  casualButton = hardButton = nullptr;
  unbindHandler(name + "Hide", this);
  unbindHandler(name + "OK", this);
  loaded = false;
  shown = false;
}

void DifficultSelectionWindow::choose(uint8_t value) {
  choice = value;
  if (casualButton) casualButton->ticked = value == 0;
  if (hardButton) hardButton->ticked = value != 0;
}

void DifficultSelectionWindow::show() {
  const PlayerProfile* profile = currentProfile();
  if (!profile) return;
  choose(profile->options.difficulty == 0 ? 0 : 1);
  if (root) root->show();
  shown = true;
  // The release of the click that opened the window is not a click in it.
  pressedWhileShown = false;
}

void DifficultSelectionWindow::hide() {
  if (root) root->hideForcibly();
  shown = false;
}

void DifficultSelectionWindow::onOk() {
  PlayerProfile* profile = currentProfile();
  if (!profile) return;
  profile->options.difficulty = choice;
  if (startGame) {
    // Leaving the menu closes the window.
    if (AppStateManager::exists()) AppStateManager::getInstance()->setState("Game");
    return;
  }
  hide();
}

void DifficultSelectionWindow::update() {
  if (!KR::InputManager::exists()) return;
  const KR::MouseDevice* mouse = KR::InputManager::getInstance()->getMouseDevice();
  if (mouse->wentDown(0)) pressedWhileShown = true;
  if (!mouse->wentUp(0) || !pressedWhileShown) return;
  const KR::Vector2<int> design = KR::windowToDesignCoords(mouse->cursorX, mouse->cursorY);
  const KR::Vector2<float> point(float(design.x), float(design.y));
  if (within(casualButton, point))
    choose(0);
  else if (within(hardButton, point))
    choose(1);
}

}  // namespace HOG
