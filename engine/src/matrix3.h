#pragma once
// 3x3 matrix stored column by column: element (row i, column j) is m[i + 3j].
// For 2D affine transforms 0,1 and 3,4 are the images of the x and y axes,
// 6,7 the translation, and 2,5,8 are 0,0,1.
#include "vector2.h"

namespace KR {

class Matrix3 {
 public:
  float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

  Matrix3() = default;

  static Matrix3 identity() { return Matrix3(); }
  static Matrix3 translation(float x, float y);
  static Matrix3 scaling(float sx, float sy);
  // Rotation by degrees, clockwise on screen (y down) for positive angles.
  static Matrix3 rotation(float degrees);

  static void copy(Matrix3& destination, const Matrix3& source);
  // Copies source into intermediate, then intermediate into destination.
  static void assign(Matrix3& destination, const Matrix3& source, Matrix3& intermediate);
  // a x b as a new matrix.
  static Matrix3 multiply(const Matrix3& a, const Matrix3& b);
  // Inverse by cofactors; a singular matrix gives non-finite elements.
  static Matrix3 inverse(const Matrix3& m);
  // Lengths of the transformed x and y axes.
  static Vector2<float> getScale(const Matrix3& m);

  // Applies the affine transform to a point.
  Vector2<float> transformPoint(const Vector2<float>& p) const {
    return Vector2<float>(m[0] * p.x + m[3] * p.y + m[6], m[1] * p.x + m[4] * p.y + m[7]);
  }

  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }
};

}  // namespace KR
