#pragma once
// Rectangle in screen orientation (y grows downwards). left <= right and
// top <= bottom are not enforced.
namespace KR {

class Rect {
 public:
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;

  Rect() = default;
  Rect(float left_, float top_, float right_, float bottom_) : left(left_), top(top_), right(right_), bottom(bottom_) {}

  float width() const { return right - left; }
  float height() const { return bottom - top; }

  // Inclusive: rectangles touching along an edge or at a corner intersect.
  static bool intersects(const Rect& a, const Rect& b);
  bool intersects(const Rect& other) const { return intersects(*this, other); }

  bool operator==(const Rect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
  bool operator!=(const Rect& o) const { return !(*this == o); }
};

// Inclusive on every edge.
bool isPointInRect(float x, float y, const Rect& rect);

}  // namespace KR
