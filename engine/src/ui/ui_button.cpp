#include "ui/ui_button.h"

#include <algorithm>

#include "function.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"

namespace KR {

UIButton::~UIButton() {
  if (UIManager::exists()) UIManager::getInstance()->forgetCommands(this);
  for (IFunction* command : commands) delete command;
}

void UIButton::processEvent(const std::string& event, IFunction* function) {
  if (event != "clicked") {
    delete function;
    return;
  }
  if (function && std::find(commands.begin(), commands.end(), function) == commands.end()) commands.push_back(function);
}

void UIButton::click() {
  UIManager* manager = UIManager::getInstance();
  manager->queueCommands(this, commands);
  if (SoundManager::exists()) SoundManager::getInstance()->playSoundByName(manager->getClickSound());
}

int32_t UIButton::processMessage(uint32_t event) {
  UIManager* manager = UIManager::getInstance();
  auto* controller = static_cast<UIPCController*>(manager->getController());
  switch (event) {
    case kUIEventLeftPressed: return 1;
    case kUIEventLeftHeld:
      if (!hitTest(controller->pressPosition)) return 0;
      setState("onPress");
      if (!manager->getCapturedWidget()) manager->setCapturedWidget(this, false);
      return 1;
    case kUIEventLeftReleased:
      if (hitTest(controller->position) && hitTest(controller->pressPosition)) click();
      setState("onSelect");
      if (manager->getCapturedWidget() == this)
        manager->setCapturedWidget(nullptr, manager->getCaptureExcludesChildren());
      return 1;
    case kUIEventClick: click(); return 1;
    default: return 0;
  }
}

}  // namespace KR
