#pragma once
// Affectors that turn particles: an orbit of the particle's position about
// where its emitter stood at its birth (rotate), a spin of its sprite at a
// rate of its own (rotate sprite), and a sprite turned to face the way the
// particle moves (auto-rotate).
#include "particle_affector.h"
#include "timed_value_interval.h"
#include "vector2.h"

namespace KR {

struct RotateEntry {
  float angularSpeed = 0.0f;
  Vector2<float> centre;
  float coefficient = 1.0f;
};

class ParticleRotateAffector : public ParticleAffectorWithEntries<ParticleRotateAffector, RotateEntry> {
 public:
  std::string getClassName() const override { return "ParticleRotateAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  // Radians per second over the emitter's life.
  TimedValueInterval<float> mInitialAngleVelocity;
  // Each particle turns at a fraction drawn from this range (negative: the other way).
  float mInitialRotateCoeffMin = 0.0f;
  float mInitialRotateCoeffMax = 0.0f;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mInitialAngleVelocity", mInitialAngleVelocity);
    member("mInitialRotateCoeffMin", mInitialRotateCoeffMin);
    member("mInitialRotateCoeffMax", mInitialRotateCoeffMax);
  }
};

struct RotateSpriteEntry {
  float coefficient = 1.0f;
};

class ParticleRotateSpriteAffector
    : public ParticleAffectorWithEntries<ParticleRotateSpriteAffector, RotateSpriteEntry> {
 public:
  std::string getClassName() const override { return "ParticleRotateSpriteAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  // Starting angle range, degrees.
  float mInitialMinAngle = 0.0f;
  float mInitialMaxAngle = 0.0f;
  float mInitialRotateCoeffMin = 0.0f;
  float mInitialRotateCoeffMax = 0.0f;
  // Degrees per second over the emitter's life.
  TimedValueInterval<float> mInitialAngleVelocity;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mInitialAngleVelocity", mInitialAngleVelocity);
    member("mInitialMinAngle", mInitialMinAngle);
    member("mInitialMaxAngle", mInitialMaxAngle);
    member("mInitialRotateCoeffMin", mInitialRotateCoeffMin);
    member("mInitialRotateCoeffMax", mInitialRotateCoeffMax);
  }
};

struct AutoRotateEntry {
  Vector2<float> previous;
};

class ParticleAutoRotateAffector : public ParticleAffectorWithEntries<ParticleAutoRotateAffector, AutoRotateEntry> {
 public:
  std::string getClassName() const override { return "ParticleAutoRotateAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;

  // Added to the heading, degrees (a picture drawn pointing up wants 90).
  float mDiffAngle = 0.0f;

  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mDiffAngle", mDiffAngle);
  }
};

}  // namespace KR
