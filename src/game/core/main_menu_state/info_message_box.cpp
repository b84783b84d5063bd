#include "core/main_menu_state/info_message_box.h"

#include "animationeditor/text_scene_node.h"
#include "core/main_menu_state/front_end_support.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
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

void InfoMessageBox::showMessage(const std::string& key, const std::string& detail) {
  if (auto* text = dynamic_cast<AE::TextSceneNode*>(textNode)) {
    // The node looks keys up; a detail (a file name, a reason) is no key, so
    // the whole text is put together here and shown as it is.
    text->mLocaleEnable = detail.empty();
    if (detail.empty() || !KR::TextManager::exists())
      text->setText(detail.empty() ? key : detail);
    else
      text->setText(KR::TextManager::getInstance()->getText(key) + L" (" + KR::toWideString(detail) + L")");
  }
  closed = false;
  if (root) root->showForcibly();
}

}  // namespace HOG
