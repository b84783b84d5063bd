#include "core/main_menu_state/info_message_box.h"

#include "core/main_menu_state/front_end_support.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

InfoMessageBox::InfoMessageBox() { bindHandler("infoMessageBox_btnOkClicked", this, &InfoMessageBox::onOk); }

InfoMessageBox::~InfoMessageBox() {
  destroyTree();
  unbindHandler("infoMessageBox_btnOkClicked", this);
}

void InfoMessageBox::load() {
  if (root || !KR::UIManager::exists()) return;
  root = KR::UIManager::getInstance()->loadUI("info_message_ui", "InfoMessageBox", nullptr, "default");
  if (root) root->hideForcibly();
  textNode = sceneNodeAt(root, "/root_group/text");
}

void InfoMessageBox::destroyTree() {
  if (root && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
  root = nullptr;
  textNode = nullptr;
}

void InfoMessageBox::onOk() {
  if (root) root->hide();
  closed = true;
}

void InfoMessageBox::showMessage(const std::string& key) {
  setNodeText(textNode, key);
  closed = false;
  if (root) root->showForcibly();
}

}  // namespace HOG
