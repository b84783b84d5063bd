#pragma once
// Affectors that move particles: straight at a speed fixed at birth (linear
// movement), along an angle and a speed given over the particle's life
// (graphic move), with uniform acceleration along a direction (gravity) or
// towards the point the emitter stood at when the particle was born (gravity
// point).
#include "particle_affector.h"
#include "timed_value_interval.h"
#include "value_range.h"
#include "vector2.h"

namespace KR {

struct LinearMovementEntry {
  Vector2<float> direction;
  float speed = 0.0f;
};

class ParticleLinearMovementAffector
    : public ParticleAffectorWithEntries<ParticleLinearMovementAffector, LinearMovementEntry> {
 public:
  std::string getClassName() const override { return "ParticleLinearMovementAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  // A direction is drawn on the segment between the two (not normalised).
  ValueRange<Vector2<float>> mInitialDirection;
  // Speed over the emitter's life.
  TimedValueInterval<float> mInitialVelocity;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mInitialDirection", mInitialDirection);
    member("mInitialVelocity", mInitialVelocity);
  }
};

struct GraphicMoveEntry {
  float stepAngle = 0.0f;
};

class ParticleGraphicMoveAffector : public ParticleAffectorWithEntries<ParticleGraphicMoveAffector, GraphicMoveEntry> {
 public:
  std::string getClassName() const override { return "ParticleGraphicMoveAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  // Heading in degrees (added to the particle's angle) and speed in units per
  // second, both over the particle's life.
  TimedValueInterval<float> mAngleGraphic;
  TimedValueInterval<float> mVelocityGraphic;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mAngleGraphic", mAngleGraphic);
    member("mVelocityGraphic", mVelocityGraphic);
  }
};

struct GravityEntry {
  float speed = 0.0f;
};

class ParticleGravityAffector : public ParticleAffectorWithEntries<ParticleGravityAffector, GravityEntry> {
 public:
  // A force of 2.5 straight down the screen.
  ParticleGravityAffector();
  ParticleGravityAffector(const ParticleGravityAffector& other) = default;
  std::string getClassName() const override { return "ParticleGravityAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;
  // A force curve missing from the file keeps the default one.
  void serializeXmlIn(XmlIArchive& ar) override;

  // Units per second squared over the emitter's life.
  TimedValueInterval<float> mForce;
  // The direction of the pull, not normalised.
  Vector2<float> mDirection;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mForce", mForce);
    member("mDirection", mDirection);
  }
};

struct GravityPointEntry {
  float speed = 0.0f;
  Vector2<float> attractor;
};

class ParticleGravityPointAffector
    : public ParticleAffectorWithEntries<ParticleGravityPointAffector, GravityPointEntry> {
 public:
  std::string getClassName() const override { return "ParticleGravityPointAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  TimedValueInterval<float> mForce;
  // Stored with the effect; the motion does not consult it.
  float mMaxVelocity = 0.0f;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mForce", mForce);
    member("mMaxVelocity", mMaxVelocity);
  }
};

}  // namespace KR
