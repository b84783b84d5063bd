#include "core/game_state/inventory_panel/inventory_panel_ui.h"

#include <algorithm>
#include <cstring>

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/input_state.h"
#include "core/game_state/inventory_panel/brief_panel_behaviour.h"
#include "core/game_state/inventory_panel/hos_panel_behaviour.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr const char* kBriefCommands[] = {"showBriefWindow", "closeBriefWindow"};

std::unique_ptr<InventoryPanelBehaviour> createBehaviour(const std::string& name, InventoryPanelUI* panel) {
  if (name == "ObjectsListPanelBehaviour") return std::make_unique<ObjectsListPanelBehaviour>(panel);
  if (name == "BriefPanelBehaviour") return std::make_unique<BriefPanelBehaviour>(panel);
  if (name == "HOSPanelBehaviour") return std::make_unique<HOSPanelBehaviour>(panel);
  return nullptr;
}

}  // namespace

InventoryPanelUI::InventoryPanelUI() {
  if (GameMessageDispatcher* bus = gameDispatcher()) bus->addListener(this);
}

InventoryPanelUI::~InventoryPanelUI() {
  if (commandsBound && KR::LexBindedFunctionManager::exists())
    for (const char* name : kBriefCommands) KR::LexBindedFunctionManager::getInstance()->unregisterFunction(name);
  if (dispatcher) dispatcher->removeListener(this);
  activeBehaviour = nullptr;
  for (auto& behaviour : behaviours) behaviour.reset();
  if (root && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
}

void InventoryPanelUI::loadConfig() {
  KR::XmlDataReader reader;
  if (!reader.open("default", "inventory_panel_config_xml")) return;
  parseConfig(reader);
}

void InventoryPanelUI::parseConfig(KR::XmlDataReader& reader) {
  if (!reader.enterChild("InventoryPanelConfig")) return;
  std::string file, table, back;
  KR::Vector2<float> shownOffset, hiddenOffset;
  reader.readString("UIfilename", &file);
  reader.readString("UItable", &table);
  reader.readVector2("position", &shownOffset);
  reader.readVector2("hiddenPosition", &hiddenOffset);
  reader.readFloat("animationTime", &animationTime);
  reader.readFloat("disappearTime", &disappearTime);
  reader.readFloat("appearCursorYPos", &appearCursorYPos);
  reader.readString("UIBackElement", &back);
  // Before any UI loads: the panel's and the minigames' widgets bind these by name.
  if (KR::LexBindedFunctionManager::exists() && !commandsBound &&
      !KR::LexBindedFunctionManager::getInstance()->findFunction(kBriefCommands[0])) {
    KR::LexBindedFunctionManager* commands = KR::LexBindedFunctionManager::getInstance();
    commands->registerFunction("showBriefWindow",
                               new KR::LexBinder<InventoryPanelUI>(this, &InventoryPanelUI::showBriefWindow));
    commands->registerFunction("closeBriefWindow",
                               new KR::LexBinder<InventoryPanelUI>(this, &InventoryPanelUI::closeBriefWindow));
    commandsBound = true;
  }
  if (KR::UIManager::exists() && !file.empty())
    root = KR::UIManager::getInstance()->loadUI(file, table, nullptr, "default");
  if (root) {
    const KR::Vector2<float> base = root->position;
    shownPosition = base + shownOffset;
    hiddenPosition = base + hiddenOffset;
    root->position = hiddenPosition;
    backElement = root->findDescendant(back);
  }
  if (reader.enterChild("Behaviours")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::string config, className;
      reader.readString("config", &config);
      reader.readString("class", &className);
      auto* slot = std::find_if(std::begin(behaviours), std::end(behaviours), [](const auto& b) { return !b; });
      std::unique_ptr<InventoryPanelBehaviour> made;
      if (slot != std::end(behaviours)) made = createBehaviour(className, this);
      if (!made) {
        KR::log("ERORO: Bad panel behaviour name specified: %s\n", className.c_str());
        return;  // the iterator puts the reader back
      }
      made->loadConfig(config);
      *slot = std::move(made);
    }
    reader.leaveChild();
  }
  reader.leaveChild();
  switchTo(behaviours[0].get());
}

InventoryPanelBehaviour* InventoryPanelUI::findBehaviour(const char* className) const {
  for (const auto& behaviour : behaviours)
    if (behaviour && std::strcmp(behaviour->getClassName(), className) == 0) return behaviour.get();
  return nullptr;
}

void InventoryPanelBehaviour::hideElement(KR::UIWidget* element) {
  if (!element) return;
  element->hideForcibly();
  element->setVisible(false);
}

BriefPanelBehaviour* InventoryPanelUI::briefBehaviour() const {
  return dynamic_cast<BriefPanelBehaviour*>(findBehaviour("BriefPanelBehaviour"));
}

void InventoryPanelUI::showBriefWindow() {
  if (BriefPanelBehaviour* brief = briefBehaviour()) brief->showBriefWindow();
}

void InventoryPanelUI::closeBriefWindow() {
  if (BriefPanelBehaviour* brief = briefBehaviour()) brief->closeBriefWindow();
}

void InventoryPanelUI::switchTo(InventoryPanelBehaviour* behaviour) {
  if (behaviour == activeBehaviour) return;
  if (activeBehaviour) activeBehaviour->deactivate();
  activeBehaviour = behaviour;
  if (activeBehaviour) activeBehaviour->activate();
}

void InventoryPanelUI::show() {
  if (root) {
    root->hideForcibly();
    root->showForcibly();
  }
  idleTime = 0.0f;
  if (!shown) setShown(true);
  if (activeBehaviour) activeBehaviour->activate();
}

void InventoryPanelUI::setShown(bool show) {
  if (show) idleTime = 0.0f;
  if (show == shown) return;
  // A reversed slide goes on from the mirrored point.
  float& otherClock = show ? disappearClock : appearClock;
  bool& otherRunning = show ? disappearRunning : appearRunning;
  float start = otherRunning ? animationTime - otherClock : 0.0f;
  (show ? appearClock : disappearClock) = std::max(start, 0.0f);
  (show ? appearRunning : disappearRunning) = true;
  otherRunning = false;
  shown = show;
}

void InventoryPanelUI::setLocked(bool lock) {
  locked = lock;
  if (root) root->notSelecting = lock;
  if (lock && shown) {
    setShown(false);
    disappearClock = animationTime;
    disappearRunning = false;
    applyPosition();
  }
}

KR::Vector2<float> InventoryPanelUI::currentPosition() const {
  const float length = animationTime > 0.0f ? animationTime : 1.0f;
  if (shown) {
    const float t = appearRunning ? std::min(appearClock / length, 1.0f) : 1.0f;
    return hiddenPosition + (shownPosition - hiddenPosition) * t;
  }
  const float t = disappearRunning ? std::min(disappearClock / length, 1.0f) : 1.0f;
  return shownPosition + (hiddenPosition - shownPosition) * t;
}

void InventoryPanelUI::applyPosition() {
  if (root) root->position = currentPosition();
}

bool InventoryPanelUI::handleInput(const InputState& input) {
  if (!input.valid) return false;
  const KR::Vector2<float> cursor(float(input.x), float(input.y));
  cursorOver = cursor.y > appearCursorYPos || (backElement && backElement->hitTest(cursor));
  if (activeBehaviour && activeBehaviour->processInput(input) != 0) return true;
  // The open brief window is modal, as it is for the UI manager: the minigame under it waits.
  // Its OK closes it in the UI manager's pass, before the frame's input comes here: a click
  // begun while it was open ends on it too.
  if (BriefPanelBehaviour* brief = briefBehaviour()) {
    const bool open = brief->isBriefWindowShown();
    if (input.leftPressed) pressOnBriefWindow = open;
    const bool ending = pressOnBriefWindow && input.leftReleased;
    if (!input.leftDown) pressOnBriefWindow = false;
    if (open || ending) return true;
  }
  return cursorOver;
}

void InventoryPanelUI::update(float dt) {
  if (shown && autoHide && !cursorOver) idleTime += dt;
  if (idleTime > disappearTime && shown && autoHide && !cursorOver) setShown(false);
  if (autoHide && !shown && cursorOver && !locked) setShown(true);
  float& clock = shown ? appearClock : disappearClock;
  bool& running = shown ? appearRunning : disappearRunning;
  if (running) {
    clock += dt;
    if (clock >= animationTime) running = false;
  }
  applyPosition();
  if (activeBehaviour) activeBehaviour->update(dt);
}

void InventoryPanelUI::draw() {
  if (activeBehaviour) activeBehaviour->draw();
}

void InventoryPanelUI::onMessage(const GameMessage* message) {
  if (locked) return;
  switch (message->kind) {
    case kMsgItemWindowOpened: setShown(message->payload.bytes[0] != 0); break;
    case kMsgItemWindowOpenedAfter: autoHide = false; break;
    case kMsgExtensionChanged: {
      auto* extension = static_cast<IViewExtension*>(message->getPointer());
      if (!extension || extension->isSuspended()) {
        switchTo(findBehaviour("ObjectsListPanelBehaviour"));
        return;
      }
      if (extension->getType() == 1) switchTo(findBehaviour("BriefPanelBehaviour"));
      if (extension->getType() == 2) switchTo(findBehaviour("HOSPanelBehaviour"));
      break;
    }
    default: break;
  }
  if (activeBehaviour) activeBehaviour->onMessage(message);
}

}  // namespace HOG
