#include "ui/ui_particle_fx.h"

#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"

namespace KR {

UIParticleFX::UIParticleFX(const std::string& name_, UIWidget* parent_, ParticleFX* effect_)
    : UIWidget(name_, parent_), effect(effect_) {}

UIParticleFX::~UIParticleFX() {
  if (effect && ParticleSystem::exists()) ParticleSystem::getInstance()->releaseEffect(effect);
}

void UIParticleFX::draw() {
  if (!effect || alpha <= 0.01f) return;
  const float faded = float(color.alpha()) / 255.0f * alpha;
  const Vector2<float> at = getAbsolutePosition();
  for (ParticleEmitter* emitter : effect->mParticleEmitters) {
    emitter->setAlpha(faded);
    emitter->render(at);
  }
}

void UIParticleFX::onUpdate(float dt) {
  if (effect && alpha > 0.0f) effect->update(dt);
}

}  // namespace KR
