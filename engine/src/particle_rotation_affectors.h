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

class ParticleRotateAffector : public ParticleAffectorWithEntries<RotateEntry> {
 public:
  std::string getClassName() const override { return "ParticleRotateAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  // Radians per second over the emitter's life.
  TimedValueInterval<float> mInitialAngleVelocity;
  // Each particle turns at a fraction drawn from this range (negative: the other way).
  float mInitialRotateCoeffMin = 0.0f;
  float mInitialRotateCoeffMax = 0.0f;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

struct RotateSpriteEntry {
  float coefficient = 1.0f;
};

class ParticleRotateSpriteAffector : public ParticleAffectorWithEntries<RotateSpriteEntry> {
 public:
  std::string getClassName() const override { return "ParticleRotateSpriteAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  // Starting angle range, degrees.
  float mInitialMinAngle = 0.0f;
  float mInitialMaxAngle = 0.0f;
  float mInitialRotateCoeffMin = 0.0f;
  float mInitialRotateCoeffMax = 0.0f;
  // Degrees per second over the emitter's life.
  TimedValueInterval<float> mInitialAngleVelocity;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

struct AutoRotateEntry {
  Vector2<float> previous;
};

class ParticleAutoRotateAffector : public ParticleAffectorWithEntries<AutoRotateEntry> {
 public:
  std::string getClassName() const override { return "ParticleAutoRotateAffector"; }
  void initParticle(int32_t index) override;
  void update(float dt) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  // Added to the heading, degrees (a picture drawn pointing up wants 90).
  float mDiffAngle = 0.0f;
};

}  // namespace KR
