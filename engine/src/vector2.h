#pragma once
// Two-component vector; the engine uses the float instance.
#include <cmath>

namespace KR {

// The two degree/radian factors every angle conversion uses (also reached
// through geometry.h).
constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.295776f;

template <typename T>
class Vector2 {
 public:
  T x = T(0);
  T y = T(0);

  Vector2() = default;
  Vector2(T x_, T y_) : x(x_), y(y_) {}

  T length() const { return T(std::sqrt(x * x + y * y)); }
  T dot(const Vector2& o) const { return x * o.x + y * o.y; }

  // Divides by the length; a vector of length 0 (or NaN) stays as it is.
  Vector2& normalize() {
    const T len = length();
    if (len > T(0)) {
      x /= len;
      y /= len;
    }
    return *this;
  }

  // Rotates this point about (cx, cy); with y growing downwards a positive
  // angle turns clockwise on screen.
  Vector2& rotateAround(float degrees, T cx, T cy) {
    const float r = degrees * kDegToRad;
    const float c = std::cos(r);
    const float s = std::sin(r);
    const T dx = x - cx;
    const T dy = y - cy;
    x = T(cx + dx * c - dy * s);
    y = T(cy + dx * s + dy * c);
    return *this;
  }

  Vector2 operator+(const Vector2& o) const { return Vector2(x + o.x, y + o.y); }
  Vector2 operator-(const Vector2& o) const { return Vector2(x - o.x, y - o.y); }
  Vector2 operator*(T s) const { return Vector2(x * s, y * s); }
  Vector2& operator+=(const Vector2& o) {
    x += o.x;
    y += o.y;
    return *this;
  }
  Vector2& operator-=(const Vector2& o) {
    x -= o.x;
    y -= o.y;
    return *this;
  }
  bool operator==(const Vector2& o) const { return x == o.x && y == o.y; }
  bool operator!=(const Vector2& o) const { return !(*this == o); }
};

using Vector2f = Vector2<float>;

}  // namespace KR
