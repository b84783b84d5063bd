#pragma once
// Showcase page of the sound manager: the demo music plays from the first time
// the page is shown, and Enter or a left click plays the demo click effect.
#include <cstdint>
#include <string>

#include "core/showcase/showcase.h"

namespace HOG {

class SoundShowcasePage : public ShowcasePage {
 public:
  ~SoundShowcasePage() override;
  std::string title() const override { return "sound: music plays, Enter or click plays an effect"; }
  void update(float dt) override;
  void render(GameApplication& application) override;

  uint32_t getMusicChannel() const { return musicChannel; }
  uint32_t getLastEffectChannel() const { return effectChannel; }

 private:
  uint32_t musicId = 0;
  uint32_t musicChannel = 0;
  uint32_t effectChannel = 0;
  float sinceEffect = 10.0f;
};

}  // namespace HOG
