#pragma once
// Where an emitter's new particle starts, relative to the emitter's origin:
// at the origin (point), anywhere in a rectangle turned about the origin
// (box), in a quadrilateral by two interpolation parameters (quad) or in a
// disc, crowding towards its centre (circle).
#include <string>

#include "aux_archive.h"
#include "particle_emitter.h"
#include "rect.h"

namespace KR {

// The serialisers of a shape: its own members (listed by Derived in
// `members`) come first in its files, then the emitter's.
template <typename Derived>
class ParticleShapeEmitter : public ParticleEmitter {
 public:
  void serializeAux(AuxArchive& ar) override {
    self().members(MemberVisitor{ar});
    ParticleEmitter::serializeAux(ar);
  }
  void serializeXmlIn(XmlIArchive& ar) override {
    self().members(MemberLoader{ar});
    ParticleEmitter::serializeXmlIn(ar);
  }
  void serializeXmlOut(XmlOArchive& ar) override {
    self().members(MemberSaver{ar});
    ParticleEmitter::serializeXmlOut(ar);
  }

 private:
  Derived& self() { return static_cast<Derived&>(*this); }
};

class ParticlePointEmitter : public ParticleEmitter {
 public:
  std::string getClassName() const override { return "ParticlePointEmitter"; }
  void spawnParticle(int32_t index) override;
};

class ParticleBoxEmitter : public ParticleShapeEmitter<ParticleBoxEmitter> {
 public:
  ParticleBoxEmitter() = default;
  ParticleBoxEmitter(const ParticleBoxEmitter& source) = default;
  std::string getClassName() const override { return "ParticleBoxEmitter"; }
  void spawnParticle(int32_t index) override;

  Rect mRect;
  // Degrees; the rectangle turns about the emitter's origin.
  float mRectAngle = 0.0f;

  // The shape's stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mRect", mRect);
    member("mRectAngle", mRectAngle);
  }
};

class ParticleQuadEmitter : public ParticleShapeEmitter<ParticleQuadEmitter> {
 public:
  ParticleQuadEmitter() = default;
  ParticleQuadEmitter(const ParticleQuadEmitter& source) = default;
  std::string getClassName() const override { return "ParticleQuadEmitter"; }
  void spawnParticle(int32_t index) override;

  // The point for the parameters u (along the bottom and top edges) and v (up
  // the left and right edges); point C of the bottom edge when the two
  // interpolating lines run parallel.
  Vector2<float> pointAt(float u, float v) const;

  Vector2<float> mPointLeftTop;
  Vector2<float> mPointLeftBottom;
  Vector2<float> mPointRightTop;
  Vector2<float> mPointRightBottom;

  // The shape's stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mPointLeftTop", mPointLeftTop);
    member("mPointLeftBottom", mPointLeftBottom);
    member("mPointRightTop", mPointRightTop);
    member("mPointRightBottom", mPointRightBottom);
  }
};

class ParticleCircleEmitter : public ParticleShapeEmitter<ParticleCircleEmitter> {
 public:
  ParticleCircleEmitter() = default;
  ParticleCircleEmitter(const ParticleCircleEmitter& source) = default;
  std::string getClassName() const override { return "ParticleCircleEmitter"; }
  void spawnParticle(int32_t index) override;

  float mRadius = 0.0f;

  // The shape's stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member) {
    member("mRadius", mRadius);
  }
};

}  // namespace KR
