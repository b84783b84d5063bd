#include "core/showcase/showcase_sound_page.h"

#include <cmath>

#include "application.h"
#include "core/game_application.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "sound_system/sound_manager.h"

namespace HOG {

SoundShowcasePage::~SoundShowcasePage() {
  if (!KR::SoundManager::exists()) return;
  KR::SoundManager* sound = KR::SoundManager::getInstance();
  sound->stopSound(musicChannel);
  if (musicId) sound->releaseSound(musicId);
}

void SoundShowcasePage::update(float dt) {
  sinceEffect += dt;
  if (!KR::SoundManager::exists()) return;
  KR::SoundManager* sound = KR::SoundManager::getInstance();
  if (!musicId) {
    KR::SoundDescriptor music;
    music.name = "demo_music";
    music.group = KR::kSoundGroupMusic;
    music.loop = true;
    musicId = sound->acquireSoundId(music.name);
    if (!musicId) musicId = sound->loadSound(music);
    musicChannel = sound->playSound(musicId);
  }
  if (!KR::InputManager::exists()) return;
  KR::InputManager* input = KR::InputManager::getInstance();
  if (input->getKeyboardDevice()->wentDown(KR::Platform::kVkReturn) || input->getMouseDevice()->wentDown(0)) {
    effectChannel = sound->playSoundByName("demo_click_sound");
    sinceEffect = 0.0f;
  }
}

void SoundShowcasePage::render(GameApplication& application) {
  // The frame flashes with each effect.
  const float flash = std::exp(-sinceEffect * 6.0f);
  presentColour(application, 0.1f + 0.5f * flash, 0.15f + 0.3f * flash, 0.25f);
}

}  // namespace HOG
