#include "core/showcase/showcase_particles_page.h"

#include "core/game_application.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "platform/input_state.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "vector2.h"

namespace HOG {

namespace {

struct Slot {
  const char* fileName;
  KR::Vector2<float> position;
};

// The comet's place comes from its path animation.
const Slot kSlots[] = {{"fountain_fx", {110.0f, 600.0f}},
                       {"sparkles_fx", {300.0f, 330.0f}},
                       {"vortex_fx", {500.0f, 380.0f}},
                       {"flock_fx", {660.0f, 560.0f}},
                       {"comet_fx", {880.0f, 330.0f}}};

KR::ParticleSystem* particles() { return KR::ParticleSystem::getInstancePtr(); }

}  // namespace

ParticleShowcasePage::~ParticleShowcasePage() { release(); }

std::string ParticleShowcasePage::title() const {
  return KR::formatString("particles: fountain, sparkles, vortex, flock, comet (Enter restarts) - %i live",
                          getLiveCount());
}

void ParticleShowcasePage::release() {
  if (KR::ParticleSystem* system = particles()) {
    for (KR::ParticleFX* effect : effects) system->releaseEffect(effect);
  }
  effects.clear();
  loaded = false;
}

bool ParticleShowcasePage::load() {
  if (loaded) return true;
  if (!particles() || !KR::SpriteManager<KR::Sprite>::exists() || !KR::RenderSystem::exists()) return false;
  for (const Slot& slot : kSlots) {
    KR::ParticleFX* effect = particles()->createEffect(slot.fileName);
    if (!effect) {
      release();
      return false;
    }
    if (effect->mAnimationFilename.empty()) effect->mPosition = slot.position;
    effects.push_back(effect);
  }
  loaded = true;
  return true;
}

void ParticleShowcasePage::renew() {
  release();
  load();
}

void ParticleShowcasePage::advance(float dt) {
  for (KR::ParticleFX* effect : effects) effect->update(dt);
}

void ParticleShowcasePage::update(float dt) {
  if (!load()) return;
  if (KR::InputManager::exists()) {
    // Alt+Enter belongs to the window (full screen).
    const KR::KeyboardDevice* keyboard = KR::InputManager::getInstance()->getKeyboardDevice();
    if (keyboard->wentDown(KR::Platform::kVkReturn) && !keyboard->isDown(KR::Platform::kVkMenu)) renew();
  }
  advance(dt);
}

void ParticleShowcasePage::draw() {
  for (KR::ParticleFX* effect : effects) effect->render();
}

int ParticleShowcasePage::getLiveCount() const {
  int count = 0;
  for (const KR::ParticleFX* effect : effects) count += effect->getLiveCount();
  return count;
}

void ParticleShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
