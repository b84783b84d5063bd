#include "particle_system.h"

namespace KR {

ParticleSystem::ParticleSystem() { setInstance(this); }

ParticleSystem::~ParticleSystem() = default;

void ParticleSystem::update() {}

}  // namespace KR
