#pragma once
// Showcase page of particle effects: the five demo effects side by side (a
// fountain, sparkles, a vortex, a flock and a comet with tails on a looping
// path), taken from the particle system and advanced and drawn by the page.
// Enter gives them back and takes them again (from the pool, restarted); the
// title counts the live particles.
#include <string>
#include <vector>

#include "core/showcase/showcase.h"

namespace KR {
class ParticleFX;
}  // namespace KR

namespace HOG {

class ParticleShowcasePage : public ShowcasePage {
 public:
  ~ParticleShowcasePage() override;
  std::string title() const override;
  void update(float dt) override;
  void render(GameApplication& application) override;

  // Takes the five effects (once); false while the particle system, the
  // sprite manager or the render system is missing, or an effect cannot be read.
  bool load();
  // Gives every effect back and takes it again.
  void renew();
  // Advances the effects by dt.
  void advance(float dt);
  // Submits the effects into the current frame.
  void draw();
  int getLiveCount() const;
  const std::vector<KR::ParticleFX*>& getEffects() const { return effects; }

 private:
  void release();

  bool loaded = false;
  std::vector<KR::ParticleFX*> effects;
};

}  // namespace HOG
