#include "core/game_state/views/held_particle_effect.h"

#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"

namespace HOG {

KR::ParticleFX* createHeldEffect(const std::string& fileName, bool playing) {
  KR::ParticleSystem* system = KR::ParticleSystem::getInstancePtr();
  if (fileName.empty() || !system) return nullptr;
  KR::ParticleFX* effect = system->createEffect(fileName);
  if (!effect) return nullptr;
  effect->mStarted = playing;
  // Advancing by nothing marks the holder: the particle system leaves it alone from now on.
  effect->update(0.0f);
  return effect;
}

void releaseHeldEffect(KR::ParticleFX** effect) {
  if (!*effect) return;
  if (KR::ParticleSystem* system = KR::ParticleSystem::getInstancePtr()) system->releaseEffect(*effect);
  *effect = nullptr;
}

void setEmitRateScale(KR::ParticleFX* effect, float scale) {
  if (!effect) return;
  for (KR::ParticleEmitter* emitter : effect->mParticleEmitters) emitter->setEmitRateScale(scale);
}

}  // namespace HOG
