#pragma once
// Packed colour 0xAARRGGBB (blue, green, red, alpha in memory on little-endian
// machines). Arithmetic works byte by byte on all four channels and never
// saturates: add and subtract wrap, multiply is a modulate.
#include <cstdint>

namespace KR {

class Color {
 public:
  uint32_t value = 0;

  Color() = default;
  // All four channels equal to the low byte of n (so 2 gives 0x02020202).
  explicit Color(int32_t n);
  // A packed 0xAARRGGBB value goes through fromARGB, never this replication.
  explicit Color(uint32_t) = delete;
  static Color fromARGB(uint32_t argb);
  static Color fromChannels(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
  // Each channel is the low byte of x * 255 truncated toward zero; no clamping.
  static Color fromFloats(float r, float g, float b, float a);
  static Color fromScalar(float v);

  uint8_t alpha() const { return uint8_t(value >> 24); }
  uint8_t red() const { return uint8_t(value >> 16); }
  uint8_t green() const { return uint8_t(value >> 8); }
  uint8_t blue() const { return uint8_t(value); }

  Color& operator+=(const Color& other);
  Color& operator*=(const Color& other);
  Color operator+(const Color& other) const;
  Color operator-(const Color& other) const;
  // Truncating per-channel quotient; a zero channel in the divisor gives 0.
  Color operator/(const Color& other) const;
  Color operator*(const Color& other) const;

  bool operator==(const Color& other) const { return value == other.value; }
  bool operator!=(const Color& other) const { return value != other.value; }
};

}  // namespace KR
