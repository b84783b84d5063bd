#include "ui/ui_pointer.h"

#include "sound_system/sound_manager.h"

namespace KR {

void uiPlayClickSound() {
  if (SoundManager::exists() && UIManager::exists())
    SoundManager::getInstance()->playSoundByName(UIManager::getInstance()->getClickSound());
}

}  // namespace KR
