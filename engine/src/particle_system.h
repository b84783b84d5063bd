#pragma once
// The particle system's manager. Effects, emitters and affectors join it with
// their own subsystem; the engine frame already creates, ticks and deletes it.
#include "singleton.h"

namespace KR {

class ParticleSystem : public Singleton<ParticleSystem> {
 public:
  ParticleSystem();
  ~ParticleSystem() override;

  // Once per active tick, after input and before sound.
  void update();
};

}  // namespace KR
