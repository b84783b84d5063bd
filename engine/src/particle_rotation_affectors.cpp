#include "particle_rotation_affectors.h"

#include <cmath>

#include "particle_fx.h"
#include "xml_iarchive.h"

namespace KR {

// ---------------------------------------------------------------------------
// Rotate (orbit)

void ParticleRotateAffector::initParticle(int32_t index) {
  RotateEntry* e = entryFor(index);
  if (!e) return;
  e->angularSpeed = mInitialAngleVelocity.getAverageValue(mEmitter->getLifePercent());
  e->centre = mEmitter->mPosition;
  if (const ParticleFX* owner = mEmitter->getOwner()) e->centre += owner->mPosition;
  e->coefficient = mInitialRotateCoeffMin + (mInitialRotateCoeffMax - mInitialRotateCoeffMin) * float(randomFraction());
}

void ParticleRotateAffector::update(float dt) {
  const int32_t count = walkedCount();
  const bool global = mEmitter && mEmitter->mGlobalCoords;
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    const RotateEntry& e = mEntries[size_t(i)];
    const float phi = e.angularSpeed * dt * e.coefficient;
    const float c = std::cos(phi);
    const float s = std::sin(phi);
    // Local particles are measured from the emitter: they turn about its origin.
    const Vector2<float> centre = global ? e.centre : Vector2<float>();
    const Vector2<float> d = p.position - centre;
    p.position = centre + Vector2<float>(c * d.x - s * d.y, s * d.x + c * d.y);
  }
}

// ---------------------------------------------------------------------------
// Rotate sprite (spin)

void ParticleRotateSpriteAffector::initParticle(int32_t index) {
  RotateSpriteEntry* e = entryFor(index);
  if (!e) return;
  Particle& p = mEmitter->particle(index);
  p.angle += mInitialMinAngle + (mInitialMaxAngle - mInitialMinAngle) * float(randomFraction());
  e->coefficient = mInitialRotateCoeffMin + (mInitialRotateCoeffMax - mInitialRotateCoeffMin) * float(randomFraction());
}

void ParticleRotateSpriteAffector::update(float dt) {
  const int32_t count = walkedCount();
  if (count == 0) return;
  const float speed = mInitialAngleVelocity.getAverageValue(mEmitter->getLifePercent());
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    p.angle += mEntries[size_t(i)].coefficient * dt * speed;
  }
}

// ---------------------------------------------------------------------------
// Auto-rotate (face the way of motion)

void ParticleAutoRotateAffector::initParticle(int32_t index) {
  if (AutoRotateEntry* e = entryFor(index)) e->previous = mEmitter->particle(index).position;
}

void ParticleAutoRotateAffector::update(float) {
  const int32_t count = walkedCount();
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    AutoRotateEntry& e = mEntries[size_t(i)];
    const Vector2<float> d = p.position - e.previous;
    const float len = d.length();
    if (len > 0.0005f) {
      const float c = d.x / len;
      const float angle = c <= -1.0f ? 3.1415927f : (c >= 1.0f ? 0.0f : std::acos(c));
      float degrees = angle * kRadToDeg;
      if (d.y < 0.0f) degrees = 360.0f - degrees;
      p.angle = mDiffAngle + degrees;
    }
    e.previous = p.position;
  }
}

}  // namespace KR
