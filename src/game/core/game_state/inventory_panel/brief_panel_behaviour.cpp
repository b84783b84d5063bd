#include "core/game_state/inventory_panel/brief_panel_behaviour.h"

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "log_system.h"
#include "string_conversion.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

void setBriefFlag(bool shown) {
  if (Game::exists()) Game::getInstance()->briefWindowShown = shown;
}

void setLabel(KR::UIWidget* widget, const std::wstring& value) {
  if (auto* label = dynamic_cast<KR::UILabel*>(widget)) label->setText(KR::toNarrowString(value));
}

}  // namespace

BriefPanelBehaviour::~BriefPanelBehaviour() {
  if (briefWindow && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(briefWindow);
}

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
  std::string elementName, textName, windowFile, windowTable, windowTextName;
  reader.readString("UIElement", &elementName);
  reader.readString("UIText", &textName);
  reader.readBool("canDisappear", &canDisappear);
  reader.readString("UIBriefWindowFile", &windowFile);
  reader.readString("UIBriefWindowTable", &windowTable);
  reader.readString("UIBriefWindowText", &windowTextName);
  reader.readBool("overridePanelVisibleState", &overridePanelVisibleState);
  reader.readBool("panelVisibleState", &panelVisibleState);
  element = panel->root ? panel->root->findDescendant(elementName) : nullptr;
  if (element) {
    text = element->findDescendant(textName);
    hideElement(element);
  }
  if (!windowFile.empty() && KR::UIManager::exists())
    briefWindow = KR::UIManager::getInstance()->loadUI(windowFile, windowTable, nullptr, "default");
  if (briefWindow) {
    briefWindowText = briefWindow->findDescendant(windowTextName);
    // Closed until a command opens it.
    briefWindow->hideForcibly();
  }
}

void BriefPanelBehaviour::showBriefWindow() {
  if (!briefWindow) return;
  setBriefFlag(true);
  briefWindow->setState(briefWindow->enabled ? "onIdle" : "onDisable");
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->bringToTop(briefWindow);
}

void BriefPanelBehaviour::closeBriefWindow() {
  if (!briefWindow) return;
  briefWindow->hideForcibly();
  setBriefFlag(false);
}

bool BriefPanelBehaviour::isBriefWindowShown() const { return briefWindow && briefWindow->shown; }

void BriefPanelBehaviour::activate() {
  if (!element) return;
  panel->currentElement = element;
  panel->setShown(true);
  panel->autoHide = canDisappear;
  element->setVisible(true);
  element->hideForcibly();
  element->show();
  panelShownOnActivate = panel->shown;
}

void BriefPanelBehaviour::deactivate() {
  // Leaving the minigame closes its brief: the window would stay over the next location.
  if (isBriefWindowShown()) closeBriefWindow();
  hideElement(element);
  panel->setShown(panelShownOnActivate);
}

void BriefPanelBehaviour::update(float) {
  if (overridePanelVisibleState) panel->setShown(panelVisibleState);
}

void BriefPanelBehaviour::setContentVisible(bool flag) {
  for (KR::UIWidget* widget : {element, briefWindow, text, briefWindowText})
    if (widget) widget->setVisible(flag && (widget != element || hasBrief));
}

void BriefPanelBehaviour::onMessage(const GameMessage* message) {
  if (message->kind != kMsgExtensionChanged || !message->getPointer()) return;
  auto* extension = static_cast<IViewExtension*>(message->getPointer());
  // A minigame without a brief must not show the last one's, nor offer an
  // empty window: its element (the line and the button that opens the
  // window) stays out of sight.
  const std::wstring* brief = extension->getExtensionData();
  hasBrief = brief && !brief->empty();
  setLabel(text, hasBrief ? *brief : std::wstring());
  setLabel(briefWindowText, hasBrief ? *brief : std::wstring());
  if (element) element->setVisible(hasBrief);
}

}  // namespace HOG
