#pragma once
// Where an emitter's new particle starts, relative to the emitter's origin:
// at the origin (point), anywhere in a rectangle turned about the origin
// (box), in a quadrilateral by two interpolation parameters (quad) or in a
// disc, crowding towards its centre (circle).
#include <string>

#include "particle_emitter.h"
#include "rect.h"

namespace KR {

class ParticlePointEmitter : public ParticleEmitter {
 public:
  std::string getClassName() const override { return "ParticlePointEmitter"; }
  void spawnParticle(int32_t index) override;
};

class ParticleBoxEmitter : public ParticleEmitter {
 public:
  ParticleBoxEmitter() = default;
  ParticleBoxEmitter(const ParticleBoxEmitter& source) = default;
  std::string getClassName() const override { return "ParticleBoxEmitter"; }
  void spawnParticle(int32_t index) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  Rect mRect;
  // Degrees; the rectangle turns about the emitter's origin.
  float mRectAngle = 0.0f;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

class ParticleQuadEmitter : public ParticleEmitter {
 public:
  ParticleQuadEmitter() = default;
  ParticleQuadEmitter(const ParticleQuadEmitter& source) = default;
  std::string getClassName() const override { return "ParticleQuadEmitter"; }
  void spawnParticle(int32_t index) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  // The point for the parameters u (along the bottom and top edges) and v (up
  // the left and right edges); point C of the bottom edge when the two
  // interpolating lines run parallel.
  Vector2<float> pointAt(float u, float v) const;

  Vector2<float> mPointLeftTop;
  Vector2<float> mPointLeftBottom;
  Vector2<float> mPointRightTop;
  Vector2<float> mPointRightBottom;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

class ParticleCircleEmitter : public ParticleEmitter {
 public:
  ParticleCircleEmitter() = default;
  ParticleCircleEmitter(const ParticleCircleEmitter& source) = default;
  std::string getClassName() const override { return "ParticleCircleEmitter"; }
  void spawnParticle(int32_t index) override;
  void serializeAux(AuxArchive& ar) override;
  void serializeXmlIn(XmlIArchive& ar) override;
  void serializeXmlOut(XmlOArchive& ar) override;

  float mRadius = 0.0f;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

}  // namespace KR
