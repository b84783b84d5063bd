#include "matrix3.h"

#include <cmath>

namespace KR {

Matrix3 Matrix3::translation(float x, float y) {
  Matrix3 r;
  r.m[6] = x;
  r.m[7] = y;
  return r;
}

Matrix3 Matrix3::scaling(float sx, float sy) {
  Matrix3 r;
  r.m[0] = sx;
  r.m[4] = sy;
  return r;
}

Matrix3 Matrix3::rotation(float degrees) {
  const float a = degrees * kDegToRad;
  const float c = std::cos(a);
  const float s = std::sin(a);
  Matrix3 r;
  r.m[0] = c;
  r.m[1] = s;
  r.m[3] = -s;
  r.m[4] = c;
  return r;
}

void Matrix3::copy(Matrix3& destination, const Matrix3& source) {
  for (int i = 0; i < 9; ++i) destination.m[i] = source.m[i];
}

void Matrix3::assign(Matrix3& destination, const Matrix3& source, Matrix3& intermediate) {
  copy(intermediate, source);
  copy(destination, intermediate);
}

Matrix3 Matrix3::multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 3; ++k) sum += a.m[i + 3 * k] * b.m[k + 3 * j];
      r.m[i + 3 * j] = sum;
    }
  }
  return r;
}

Matrix3 Matrix3::inverse(const Matrix3& src) {
  const float* m = src.m;
  const float det =
      (m[8] * m[4] - m[7] * m[5]) * m[0] - (m[8] * m[3] - m[6] * m[5]) * m[1] + (m[7] * m[3] - m[6] * m[4]) * m[2];
  const float f = 1.0f / det;
  Matrix3 r;
  r.m[0] = (m[8] * m[4] - m[7] * m[5]) * f;
  r.m[1] = -(m[1] * m[8] - m[2] * m[7]) * f;
  r.m[2] = (m[1] * m[5] - m[2] * m[4]) * f;
  r.m[3] = -(m[3] * m[8] - m[6] * m[5]) * f;
  r.m[4] = (m[8] * m[0] - m[6] * m[2]) * f;
  r.m[5] = -(m[5] * m[0] - m[3] * m[2]) * f;
  r.m[6] = (m[3] * m[7] - m[6] * m[4]) * f;
  r.m[7] = -(m[7] * m[0] - m[6] * m[1]) * f;
  r.m[8] = (m[4] * m[0] - m[3] * m[1]) * f;
  return r;
}

Vector2<float> Matrix3::getScale(const Matrix3& m) {
  return Vector2<float>(std::sqrt(m.m[0] * m.m[0] + m.m[1] * m.m[1]), std::sqrt(m.m[3] * m.m[3] + m.m[4] * m.m[4]));
}

}  // namespace KR
