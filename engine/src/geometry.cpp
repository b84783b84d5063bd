#include "geometry.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace KR {

float pointDistance(const Vector2<float>& a, const Vector2<float>& b) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

float directionAngle(const Vector2<float>& from, const Vector2<float>& to) {
  const float dx = to.x - from.x;
  const float dy = to.y - from.y;
  if (dx == 0.0f) {
    if (dy > 0.0f) return 90.0f;
    if (dy < 0.0f) return 270.0f;
    return 0.0f;
  }
  float a = std::atan2(dy, dx) * kRadToDeg;
  if (a < 0.0f) a += 360.0f;
  // -tiny + 360 rounds to 360 in float: keep the result in [0, 360).
  if (a >= 360.0f) a = 0.0f;
  return a;
}

Vector2<float> edgeProjections(const EdgeShape& shape, const Vector2<float>& d) {
  const Vector2<float> e2 = shape.p2 - shape.p0;
  const Vector2<float> e1 = shape.p1 - shape.p0;
  Vector2<float> u2 = e2;
  Vector2<float> u1 = e1;
  u2.normalize();
  u1.normalize();
  return Vector2<float>(d.dot(u2) / e2.length(), d.dot(u1) / e1.length());
}

bool isPointInsideEdges(const EdgeShape& shape, float x, float y) {
  const Vector2<float> uv = edgeProjections(shape, Vector2<float>(x, y) - shape.p0);
  return uv.x >= 0.0f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 1.0f;
}

void copyMemory(void* destination, const void* source, size_t count) {
  auto* dst = static_cast<unsigned char*>(destination);
  const auto* src = static_cast<const unsigned char*>(source);
  if ((reinterpret_cast<uintptr_t>(dst) & 3u) == 0 && (reinterpret_cast<uintptr_t>(src) & 3u) == 0) {
    const size_t words = count / 4;
    for (size_t i = 0; i < words; ++i) {
      uint32_t w;
      std::memcpy(&w, src, 4);  // aligned word access without breaking aliasing rules
      std::memcpy(dst, &w, 4);
      src += 4;
      dst += 4;
    }
    count &= 3u;
  }
  while (count--) *dst++ = *src++;
}

}  // namespace KR
