#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "color.h"
#include "geometry.h"
#include "matrix3.h"
#include "rect.h"
#include "scoped_lock.h"
#include "vector2.h"

namespace {

using KR::Color;
using V = KR::Vector2<float>;

Color argb(int a, int r, int g, int b) { return Color::fromChannels(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)); }

TEST(ColorTest, PacksAsArgb) {
  const Color c = argb(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(c.value, 0x11223344u);
  unsigned char bytes[4];
  std::memcpy(bytes, &c.value, 4);
  EXPECT_EQ(bytes[0], 0x44);  // blue first in memory
  EXPECT_EQ(bytes[3], 0x11);
  EXPECT_EQ(Color(2).value, 0x02020202u);
  EXPECT_EQ(Color(0x1FF).value, 0xFFFFFFFFu);
}

TEST(ColorTest, FromFloatsTruncatesAndWrapsWithoutClamping) {
  EXPECT_EQ(Color::fromFloats(1, 1, 1, 1).value, 0xFFFFFFFFu);
  EXPECT_EQ(Color::fromFloats(1, 0, 0, 1).value, 0xFFFF0000u);
  EXPECT_EQ(Color::fromFloats(0.5f, 0.5f, 0.5f, 0.5f).value, 0x7F7F7F7Fu);
  EXPECT_EQ(Color::fromFloats(1.5f, 0, 0, 0).red(), 126);
  EXPECT_EQ(Color::fromFloats(-0.5f, 0, 0, 0).red(), 129);
  EXPECT_EQ(Color::fromFloats(1e12f, 0, 0, 1).red(), 0);  // outside the 32-bit range
  EXPECT_EQ(Color::fromFloats(NAN, 0, 0, 1).red(), 0);
  EXPECT_EQ(Color::fromScalar(1.0f).value, 0xFFFFFFFFu);
  EXPECT_EQ(Color::fromScalar(0.5f).value, 0x7F7F7F7Fu);
}

TEST(ColorTest, AddAndSubtractWrapEveryChannel) {
  EXPECT_EQ(argb(255, 16, 32, 48) + argb(2, 240, 240, 240), argb(1, 0, 16, 32));
  EXPECT_EQ(argb(0, 0, 0, 0) - argb(0, 0, 0, 1), argb(0, 0, 0, 255));
  Color c = argb(200, 1, 2, 3);
  c += argb(100, 255, 1, 1);
  EXPECT_EQ(c, argb(44, 0, 3, 4));
  // a borrow in one channel must not leak into the next
  EXPECT_EQ(argb(1, 0, 1, 0) - argb(0, 1, 0, 1), argb(1, 255, 1, 255));
}

TEST(ColorTest, ModulateAndDivide) {
  const Color c = argb(10, 20, 30, 250);
  EXPECT_EQ(argb(255, 255, 255, 255) * c, c);
  EXPECT_EQ(argb(128, 128, 128, 128) * argb(128, 128, 128, 128), argb(64, 64, 64, 64));
  EXPECT_EQ(argb(255, 255, 255, 255) * argb(0, 0, 0, 0), argb(0, 0, 0, 0));
  Color m = argb(255, 200, 100, 50);
  m *= Color::fromScalar(0.5f);  // weight 127
  EXPECT_EQ(m, argb(127, 99, 49, 24));
  EXPECT_EQ(argb(100, 50, 9, 255) / Color(10), argb(10, 5, 0, 25));
}

TEST(VectorTest, NormalizeAndRotate) {
  V z;
  EXPECT_EQ(z.x, 0.0f);
  z.normalize();
  EXPECT_EQ(z, V(0, 0));
  V v(3, 4);
  v.normalize();
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.y, 0.8f);

  V p(11, 5);
  p.rotateAround(90.0f, 10, 5);  // clockwise on screen: right of centre goes below it
  EXPECT_NEAR(p.x, 10.0f, 1e-5f);
  EXPECT_NEAR(p.y, 6.0f, 1e-5f);
  p.rotateAround(-90.0f, 10, 5);
  EXPECT_NEAR(p.x, 11.0f, 1e-5f);
  EXPECT_NEAR(p.y, 5.0f, 1e-5f);
}

TEST(GeometryTest, DistanceAndDirection) {
  EXPECT_FLOAT_EQ(KR::pointDistance(V(1, 1), V(4, 5)), 5.0f);
  const V o(0, 0);
  EXPECT_FLOAT_EQ(KR::directionAngle(o, V(1, 0)), 0.0f);
  EXPECT_FLOAT_EQ(KR::directionAngle(o, V(0, 1)), 90.0f);
  EXPECT_FLOAT_EQ(KR::directionAngle(o, V(-1, 0)), 180.0f);
  EXPECT_FLOAT_EQ(KR::directionAngle(o, V(0, -1)), 270.0f);
  EXPECT_FLOAT_EQ(KR::directionAngle(o, o), 0.0f);
  EXPECT_NEAR(KR::directionAngle(o, V(1, -1)), 315.0f, 1e-3f);
  const float nearlyZero = KR::directionAngle(o, V(1, -1e-9f));
  EXPECT_GE(nearlyZero, 0.0f);
  EXPECT_LT(nearlyZero, 360.0f);
  EXPECT_EQ(KR::kDegToRad, 0.017453292f);
  EXPECT_EQ(KR::kRadToDeg, 57.295776f);
}

TEST(RectTest, IntersectionAndPointAreInclusive) {
  const KR::Rect a(0, 0, 10, 10);
  EXPECT_TRUE(KR::Rect::intersects(a, KR::Rect(10, 10, 20, 20)));
  EXPECT_FALSE(KR::Rect::intersects(a, KR::Rect(10.5f, 0, 20, 10)));
  EXPECT_FALSE(a.intersects(KR::Rect(0, 10.5f, 10, 20)));
  EXPECT_TRUE(a.intersects(KR::Rect(2, 2, 3, 3)));
  EXPECT_TRUE(KR::isPointInRect(10, 10, a));
  EXPECT_TRUE(KR::isPointInRect(0, 0, a));
  EXPECT_FALSE(KR::isPointInRect(-0.01f, 5, a));
  EXPECT_FALSE(KR::isPointInRect(5, 10.01f, a));
}

TEST(ShapeTest, PointInsideEdges) {
  const KR::EdgeShape s{V(0, 0), V(0, 10), V(20, 0)};
  EXPECT_TRUE(KR::isPointInsideEdges(s, 0, 0));
  EXPECT_TRUE(KR::isPointInsideEdges(s, 20, 10));
  EXPECT_TRUE(KR::isPointInsideEdges(s, 10, 5));
  EXPECT_FALSE(KR::isPointInsideEdges(s, 21, 5));
  EXPECT_FALSE(KR::isPointInsideEdges(s, 10, -1));
  const V uv = KR::edgeProjections(s, V(5, 5));
  EXPECT_FLOAT_EQ(uv.x, 0.25f);
  EXPECT_FLOAT_EQ(uv.y, 0.5f);
  // rotated rectangle
  const KR::EdgeShape r{V(0, 0), V(-1, 1), V(2, 2)};
  EXPECT_TRUE(KR::isPointInsideEdges(r, 1, 1.5f));
  EXPECT_FALSE(KR::isPointInsideEdges(r, 2, 0));
  const KR::EdgeShape degenerate{V(0, 0), V(0, 0), V(20, 0)};
  EXPECT_FALSE(KR::isPointInsideEdges(degenerate, 0, 0));
  EXPECT_FALSE(KR::isPointInsideEdges(degenerate, 10, 0));
}

TEST(MatrixTest, MultiplyInverseScale) {
  KR::Matrix3 m;
  const float values[9] = {1, 2, 0, 3, 5, 0, 7, 11, 1};
  for (int i = 0; i < 9; ++i) m[i] = values[i];
  const KR::Matrix3 p = KR::Matrix3::multiply(KR::Matrix3::identity(), m);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(p[i], m[i]);

  // column-major order: translate then scale puts the translation in 6, 7
  const KR::Matrix3 ts = KR::Matrix3::multiply(KR::Matrix3::translation(4, 5), KR::Matrix3::scaling(2, 3));
  EXPECT_EQ(ts[6], 4.0f);
  EXPECT_EQ(ts[7], 5.0f);
  const V q = ts.transformPoint(V(1, 1));
  EXPECT_FLOAT_EQ(q.x, 6.0f);
  EXPECT_FLOAT_EQ(q.y, 8.0f);

  const KR::Matrix3 inv = KR::Matrix3::inverse(m);
  const KR::Matrix3 one = KR::Matrix3::multiply(m, inv);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(one[i], KR::Matrix3::identity()[i], 1e-5f) << i;

  for (float angle : {0.0f, 33.0f, 90.0f, 217.5f}) {
    const KR::Matrix3 sr = KR::Matrix3::multiply(KR::Matrix3::rotation(angle), KR::Matrix3::scaling(2, 3));
    const V s = KR::Matrix3::getScale(sr);
    EXPECT_NEAR(s.x, 2.0f, 1e-5f);
    EXPECT_NEAR(s.y, 3.0f, 1e-5f);
  }

  KR::Matrix3 dst, tmp;
  KR::Matrix3::assign(dst, m, tmp);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(dst[i], m[i]);
    EXPECT_EQ(tmp[i], m[i]);
  }
}

TEST(CopyMemoryTest, AlignedAndUnalignedTails) {
  alignas(4) unsigned char src[40];
  for (int i = 0; i < 40; ++i) src[i] = static_cast<unsigned char>(i * 7 + 1);
  for (size_t offset : {0u, 1u, 4u}) {
    for (size_t n : {0u, 1u, 3u, 4u, 7u, 32u}) {
      alignas(4) unsigned char dst[40] = {};
      KR::copyMemory(dst + offset, src + offset, n);
      EXPECT_EQ(std::memcmp(dst + offset, src + offset, n), 0) << offset << " " << n;
      EXPECT_EQ(dst[offset + n], 0);  // nothing beyond the count
    }
  }
}

TEST(ScopedLockTest, UnlocksHoweverTheScopeIsLeft) {
  pthread_mutex_t m = PTHREAD_MUTEX_INITIALIZER;
  try {
    KR::ScopedLock guard(KR::ScopedLock::lock(&m));
    EXPECT_EQ(pthread_mutex_trylock(&m), EBUSY);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(pthread_mutex_trylock(&m), 0);
  pthread_mutex_unlock(&m);
  { KR::ScopedLock nothing(nullptr); }  // a null mutex is allowed
  pthread_mutex_destroy(&m);
}

}  // namespace
