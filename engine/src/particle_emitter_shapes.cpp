#include "particle_emitter_shapes.h"

#include <cmath>

#include "aux_archive.h"
#include "xml_iarchive.h"

namespace KR {

void ParticlePointEmitter::spawnParticle(int32_t index) { mParticles[size_t(index)].position = Vector2<float>(); }

void ParticleBoxEmitter::spawnParticle(int32_t index) {
  const float a = mRectAngle * kDegToRad;
  const float c = std::cos(a);
  const float s = std::sin(a);
  const float x = mRect.left + (mRect.right - mRect.left) * float(randomFraction());
  const float y = mRect.top + (mRect.bottom - mRect.top) * float(randomFraction());
  mParticles[size_t(index)].position = Vector2<float>(c * x - s * y, s * x + c * y);
}

template <typename Member>
void ParticleBoxEmitter::members(Member&& member) {
  member("mRect", mRect);
  member("mRectAngle", mRectAngle);
}

void ParticleBoxEmitter::serializeAux(AuxArchive& ar) {
  members(MemberVisitor{ar});
  ParticleEmitter::serializeAux(ar);
}

void ParticleBoxEmitter::serializeXmlIn(XmlIArchive& ar) {
  members(MemberLoader{ar});
  ParticleEmitter::serializeXmlIn(ar);
}

void ParticleBoxEmitter::serializeXmlOut(XmlOArchive& ar) {
  members(MemberSaver{ar});
  ParticleEmitter::serializeXmlOut(ar);
}

Vector2<float> ParticleQuadEmitter::pointAt(float u, float v) const {
  const Vector2<float> a = mPointLeftBottom + (mPointLeftTop - mPointLeftBottom) * v;
  const Vector2<float> b = mPointRightBottom + (mPointRightTop - mPointRightBottom) * v;
  const Vector2<float> c = mPointLeftBottom + (mPointRightBottom - mPointLeftBottom) * u;
  const Vector2<float> d = mPointLeftTop + (mPointRightTop - mPointLeftTop) * u;
  const Vector2<float> e = b - a;
  const Vector2<float> f = d - c;
  const float denominator = f.x * e.y - f.y * e.x;
  const float t = ((c.y - a.y) * e.x - (c.x - a.x) * e.y) / denominator;
  // Parallel lines (a degenerate quadrilateral) cross nowhere: stay at C.
  if (denominator == 0.0f || !std::isfinite(t)) return c;
  return c + f * t;
}

void ParticleQuadEmitter::spawnParticle(int32_t index) {
  const float u = float(randomFraction());
  const float v = float(randomFraction());
  mParticles[size_t(index)].position = pointAt(u, v);
}

template <typename Member>
void ParticleQuadEmitter::members(Member&& member) {
  member("mPointLeftTop", mPointLeftTop);
  member("mPointLeftBottom", mPointLeftBottom);
  member("mPointRightTop", mPointRightTop);
  member("mPointRightBottom", mPointRightBottom);
}

void ParticleQuadEmitter::serializeAux(AuxArchive& ar) {
  members(MemberVisitor{ar});
  ParticleEmitter::serializeAux(ar);
}

void ParticleQuadEmitter::serializeXmlIn(XmlIArchive& ar) {
  members(MemberLoader{ar});
  ParticleEmitter::serializeXmlIn(ar);
}

void ParticleQuadEmitter::serializeXmlOut(XmlOArchive& ar) {
  members(MemberSaver{ar});
  ParticleEmitter::serializeXmlOut(ar);
}

void ParticleCircleEmitter::spawnParticle(int32_t index) {
  const float angle = float(randomFraction()) * 6.2831855f;
  const float distance = float(randomFraction()) * mRadius;
  mParticles[size_t(index)].position = Vector2<float>(std::cos(angle) * distance, std::sin(angle) * distance);
}

template <typename Member>
void ParticleCircleEmitter::members(Member&& member) {
  member("mRadius", mRadius);
}

void ParticleCircleEmitter::serializeAux(AuxArchive& ar) {
  members(MemberVisitor{ar});
  ParticleEmitter::serializeAux(ar);
}

void ParticleCircleEmitter::serializeXmlIn(XmlIArchive& ar) {
  members(MemberLoader{ar});
  ParticleEmitter::serializeXmlIn(ar);
}

void ParticleCircleEmitter::serializeXmlOut(XmlOArchive& ar) {
  members(MemberSaver{ar});
  ParticleEmitter::serializeXmlOut(ar);
}

}  // namespace KR
