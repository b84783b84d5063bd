#include "particle_movement_affectors.h"

#include <cmath>

#include "lua_script_2.h"
#include "particle_fx.h"
#include "xml_iarchive.h"

namespace KR {

// ---------------------------------------------------------------------------
// Linear movement

void ParticleLinearMovementAffector::initParticle(int32_t index) {
  LinearMovementEntry* e = entryFor(index);
  if (!e) return;
  const float r = float(randomFraction());
  e->direction = mInitialDirection.lerp(r);
  e->speed = mInitialVelocity.getAverageValue(mEmitter->getLifePercent());
}

void ParticleLinearMovementAffector::update(float dt) {
  const int32_t count = walkedCount();
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    const LinearMovementEntry& e = mEntries[size_t(i)];
    p.position += e.direction * (e.speed * dt);
  }
}

// ---------------------------------------------------------------------------
// Graphic move

void ParticleGraphicMoveAffector::initParticle(int32_t index) {
  if (GraphicMoveEntry* e = entryFor(index)) e->stepAngle = float(sharedRandom() % 360);
}

void ParticleGraphicMoveAffector::update(float dt) {
  const int32_t count = walkedCount();
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    const int q = lifePercent(p);
    const float step = mVelocityGraphic.getAverageValue(q) * dt;
    GraphicMoveEntry& e = mEntries[size_t(i)];
    e.stepAngle = mAngleGraphic.getAverageValue(q);
    const float a = (e.stepAngle + p.angle) * kDegToRad;
    p.position += Vector2<float>(step * std::cos(a), step * std::sin(a));
  }
}

// ---------------------------------------------------------------------------
// Gravity

namespace {

TimedValueInterval<float> defaultForce() { return TimedValueInterval<float>::makeDefault(1, 0.0f, 5.0f); }

}  // namespace

ParticleGravityAffector::ParticleGravityAffector() : mForce(defaultForce()), mDirection(0.0f, 1.0f) {}

void ParticleGravityAffector::initParticle(int32_t index) {
  if (GravityEntry* e = entryFor(index)) e->speed = 0.0f;
}

void ParticleGravityAffector::update(float dt) {
  const int32_t count = walkedCount();
  if (count == 0) return;
  // The force follows the emitter's life: the same for every particle of this update.
  const float a = mForce.getAverageValue(mEmitter->getLifePercent());
  const float halfADt2 = 0.5f * a * dt * dt;
  const float dv = a * dt;
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    GravityEntry& e = mEntries[size_t(i)];
    const float s = e.speed * dt + halfADt2;
    p.position += mDirection * s;
    e.speed += dv;
  }
}

void ParticleGravityAffector::serializeXmlIn(XmlIArchive& ar) {
  ParticleAffectorWithEntries::serializeXmlIn(ar);
  if (!mForce.hasLines()) mForce = defaultForce();
}

// ---------------------------------------------------------------------------
// Gravity point

void ParticleGravityPointAffector::initParticle(int32_t index) {
  GravityPointEntry* e = entryFor(index);
  if (!e) return;
  e->speed = 0.0f;
  e->attractor = Vector2<float>();
  if (mEmitter->mGlobalCoords) {
    e->attractor = mEmitter->mPosition;
    if (const ParticleFX* owner = mEmitter->getOwner()) e->attractor += owner->mPosition;
  }
}

void ParticleGravityPointAffector::update(float dt) {
  const int32_t count = walkedCount();
  if (count == 0) return;
  const float a = mForce.getAverageValue(mEmitter->getLifePercent());
  for (int32_t i = 0; i < count; ++i) {
    Particle& p = mEmitter->particle(i);
    if (p.dead) continue;
    GravityPointEntry& e = mEntries[size_t(i)];
    Vector2<float> d = e.attractor - p.position;
    d.normalize();
    const float u = float(randomFraction());
    const float v = float(randomFraction());
    Vector2<float> r(2.0f * u - 1.0f, 2.0f * v - 1.0f);
    r.normalize();
    const float w = d.length();
    Vector2<float> direction = d * w + r * (1.0f - w);
    direction.normalize();
    const float s = e.speed * dt + 0.5f * a * dt * dt;
    p.position += direction * s;
    e.speed += a * dt;
  }
}

}  // namespace KR
