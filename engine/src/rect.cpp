#include "rect.h"

namespace KR {

bool Rect::intersects(const Rect& a, const Rect& b) {
  return a.left <= b.right && a.right >= b.left && a.top <= b.bottom && a.bottom >= b.top;
}

bool isPointInRect(float x, float y, const Rect& rect) {
  return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

}  // namespace KR
