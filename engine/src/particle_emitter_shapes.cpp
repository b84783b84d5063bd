#include "particle_emitter_shapes.h"

#include <cmath>

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

Vector2<float> ParticleQuadEmitter::pointAt(float u, float v) const {
  const Vector2<float> a = mPointLeftBottom + (mPointLeftTop - mPointLeftBottom) * v;
  const Vector2<float> b = mPointRightBottom + (mPointRightTop - mPointRightBottom) * v;
  const Vector2<float> c = mPointLeftBottom + (mPointRightBottom - mPointLeftBottom) * u;
  const Vector2<float> d = mPointLeftTop + (mPointRightTop - mPointLeftTop) * u;
  const Vector2<float> e = b - a;
  const Vector2<float> f = d - c;
  const float denominator = f.x * e.y - f.y * e.x;
  // Parallel lines (a degenerate quadrilateral) cross nowhere: stay at C.
  if (denominator == 0.0f) return c;
  const float t = ((c.y - a.y) * e.x - (c.x - a.x) * e.y) / denominator;
  return std::isfinite(t) ? c + f * t : c;
}

void ParticleQuadEmitter::spawnParticle(int32_t index) {
  const float u = float(randomFraction());
  const float v = float(randomFraction());
  mParticles[size_t(index)].position = pointAt(u, v);
}

void ParticleCircleEmitter::spawnParticle(int32_t index) {
  const float angle = float(randomFraction()) * 6.2831855f;
  const float distance = float(randomFraction()) * mRadius;
  mParticles[size_t(index)].position = Vector2<float>(std::cos(angle) * distance, std::sin(angle) * distance);
}

}  // namespace KR
