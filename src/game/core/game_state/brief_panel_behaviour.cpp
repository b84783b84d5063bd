#include "core/game_state/brief_panel_behaviour.h"

#include "core/game_state/view_extension.h"
#include "log_system.h"
#include "string_conversion.h"
#include "ui/ui_label.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

void BriefPanelBehaviour::loadConfig(const std::string& fileName) {
  KR::XmlDataReader reader;
  if (!reader.open("default", fileName)) {
    KR::log("ERROR: Can't load MinigameBriefPanelBehaviour config: %s!", fileName.c_str());
    return;
  }
  if (!reader.enterChild("Behaviour")) {
    KR::log("ERROR: Can't parse MinigameBriefPanelBehaviour config: %s!", fileName.c_str());
    return;
  }
  parseConfig(reader);
  reader.leaveChild();
}

void BriefPanelBehaviour::parseConfig(KR::XmlDataReader& reader) {
  std::string elementName, textName;
  reader.readString("UIElement", &elementName);
  reader.readString("UIText", &textName);
  reader.readBool("canDisappear", &canDisappear);
  reader.readBool("overridePanelVisibleState", &overridePanelVisibleState);
  reader.readBool("panelVisibleState", &panelVisibleState);
  element = panel->root ? panel->root->findDescendant(elementName) : nullptr;
  if (!element) return;
  text = element->findDescendant(textName);
  element->hideForcibly();
}

void BriefPanelBehaviour::activate() {
  if (!element) return;
  panel->currentElement = element;
  panel->setShown(true);
  panel->autoHide = canDisappear;
  element->hideForcibly();
  element->show();
  panelShownOnActivate = panel->shown;
}

void BriefPanelBehaviour::deactivate() {
  if (element) {
    element->hideForcibly();
    element->setVisible(false);
  }
  panel->setShown(panelShownOnActivate);
}

void BriefPanelBehaviour::update(float) {
  if (overridePanelVisibleState) panel->setShown(panelVisibleState);
}

void BriefPanelBehaviour::setContentVisible(bool flag) {
  if (element) element->setVisible(flag);
  if (text) text->setVisible(flag);
}

void BriefPanelBehaviour::onMessage(const GameMessage* message) {
  if (message->kind != kMsgExtensionChanged || !message->getPointer()) return;
  auto* extension = static_cast<IViewExtension*>(message->getPointer());
  const std::wstring* brief = extension->getExtensionData();
  if (brief)
    if (auto* label = dynamic_cast<KR::UILabel*>(text)) label->setText(KR::toNarrowString(*brief));
}

}  // namespace HOG
