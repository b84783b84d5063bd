#include "color.h"

#include <cmath>

namespace KR {

namespace {

// Low byte of x * 255 truncated toward zero; a product that does not fit a
// 32-bit signed integer (or is not a number) gives 0.
uint32_t channelFromFloat(float x) {
  const double product = double(x) * 255.0;
  if (!(product > -2147483649.0 && product < 2147483648.0)) return 0;
  return uint32_t(int32_t(product)) & 0xFFu;
}

template <typename Op>
Color perChannel(uint32_t a, uint32_t b, Op op) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t ca = (a >> shift) & 0xFFu;
    const uint32_t cb = (b >> shift) & 0xFFu;
    out |= (uint32_t(op(ca, cb)) & 0xFFu) << shift;
  }
  return Color::fromARGB(out);
}

}  // namespace

Color::Color(int32_t n) {
  const uint32_t b = uint32_t(n) & 0xFFu;
  value = b | (b << 8) | (b << 16) | (b << 24);
}

Color Color::fromARGB(uint32_t argb) {
  Color c;
  c.value = argb;
  return c;
}

Color Color::fromChannels(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return fromARGB((uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b));
}

Color Color::fromFloats(float r, float g, float b, float a) {
  return fromARGB((channelFromFloat(a) << 24) | (channelFromFloat(r) << 16) | (channelFromFloat(g) << 8) |
                  channelFromFloat(b));
}

Color Color::fromScalar(float v) { return fromFloats(v, v, v, v); }

Color Color::operator+(const Color& other) const {
  return perChannel(value, other.value, [](uint32_t a, uint32_t b) { return a + b; });
}

Color Color::operator-(const Color& other) const {
  return perChannel(value, other.value, [](uint32_t a, uint32_t b) { return a - b; });
}

Color Color::operator/(const Color& other) const {
  return perChannel(value, other.value, [](uint32_t a, uint32_t b) { return b ? a / b : 0u; });
}

Color Color::operator*(const Color& other) const {
  return perChannel(value, other.value, [](uint32_t a, uint32_t b) { return a * b / 255u; });
}

Color& Color::operator+=(const Color& other) {
  *this = *this + other;
  return *this;
}

Color& Color::operator*=(const Color& other) {
  *this = *this * other;
  return *this;
}

}  // namespace KR
