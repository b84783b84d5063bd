#pragma once
// A widget that shows a particle effect at its absolute position, faded by
// the widget's alpha and colour alpha. A fully transparent particle widget
// freezes its effect. The effect goes back to the particle system with the
// widget.
#include <string>

#include "ui/ui_widget.h"

namespace KR {

class ParticleFX;

class UIParticleFX : public UIWidget {
 public:
  // Takes the effect (from ParticleSystem::createEffect; may be null).
  UIParticleFX(const std::string& name, UIWidget* parent, ParticleFX* effect);
  ~UIParticleFX() override;

  int32_t getType() const override { return kUIParticleFXType; }
  void draw() override;
  void onUpdate(float dt) override;

  ParticleFX* effect = nullptr;
};

}  // namespace KR
