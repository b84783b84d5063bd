#include "ribbon.h"

#include <cmath>

#include "animation.h"
#include "geometry.h"

namespace KR {

namespace {

// acos in degrees, clamped at the ends of its domain.
float acosDegrees(float cosine, float atMinusOne, float atOne) {
  if (cosine <= -1.0f) return atMinusOne;
  if (cosine >= 1.0f) return atOne;
  return std::acos(cosine) * kRadToDeg;
}

}  // namespace

void Ribbon::init(IRibbonSprite* picture, float trailDuration, int32_t count, const Vector2<float>& start) {
  pointCount = count > 0 ? count : 0;
  duration = trailDuration;
  sprite = picture;
  spriteHeight = 0.0f;
  spriteScaleY = 1.0f;
  textureRect = Rect();
  if (sprite) {
    spriteHeight = sprite->getHeight();
    spriteScaleY = sprite->getScaleY();
    Rect frame;
    if (sprite->getFirstFrameRect(&frame)) textureRect = frame;
  }
  points.assign(static_cast<size_t>(pointCount), start);
  sides.assign(static_cast<size_t>(pointCount), Side());
  headings.assign(static_cast<size_t>(pointCount), 0.0f);
  scrolling = false;
  textureOffset = 0.0f;
}

void Ribbon::reset(const Vector2<float>& point) {
  timer = 0.0f;
  head = point;
  points.assign(static_cast<size_t>(pointCount), point);
  sides.assign(static_cast<size_t>(pointCount), Side());
  headings.assign(static_cast<size_t>(pointCount), 0.0f);
  textureOffset = 0.0f;
  scrolling = false;
}

void Ribbon::update(float dt) {
  interval = pointCount >= 1 ? duration / static_cast<float>(pointCount) : 0.0f;
  timer += dt;
  if (!(timer > interval)) return;
  timer = 0.0f;
  // Without points there is nothing to move along.
  if (points.empty()) return;
  points.back() = head;
  points.erase(points.begin());
  points.push_back(head);
  if (scrolling) textureOffset += dt * 20.0f;
  updateGeometry();
}

void Ribbon::updateGeometry() {
  const size_t n = points.size();
  if (n == 0) return;
  sides.resize(n);
  headings.resize(n);
  const Vector2<float>& first = points.front();
  const Vector2<float>& last = points.back();

  for (size_t i = 0; i < n; ++i) {
    Vector2<float> in = (i == 0) ? Vector2<float>(1.0f, 0.0f) : points[i] - points[i - 1];
    Vector2<float> out;
    if (i + 1 < n) {
      out = points[i + 1] - points[i];
    } else if (i > 0) {
      out = points[i] - points[i - 1];
    }
    // Repeated points give no direction of their own: take the trail's.
    if (in.length() < 0.05f) in = last - first;
    if (out.length() < 0.05f) out = last - first;
    in.normalize();
    out.normalize();

    float turn = acosDegrees(out.dot(in), 180.0f, 0.0f);
    float inHeading = acosDegrees(in.x, 180.0f, 0.0f);
    if (in.y > 0.0f) inHeading = -inHeading;
    // Turn both into the incoming direction's frame: the sign of the outgoing
    // y there tells a left turn from a right one.
    in.rotateAround(inHeading, 0.0f, 0.0f);
    out.rotateAround(inHeading, 0.0f, 0.0f);
    if (out.y > 0.0f) turn = -turn;
    headings[i] = (i == 0) ? turn : headings[i - 1] + turn;
  }

  const float width = spriteHeight * spriteScaleY;
  for (size_t i = 0; i < n; ++i) {
    float angle = 0.0f;
    if (i + 1 == n) {
      angle = 0.0f;
    } else if (i == 0) {
      angle = headings[0];
    } else {
      angle = (headings[i - 1] + headings[i]) * 0.5f;
    }
    const Vector2<float>& p = points[i];
    Vector2<float> left = p + Vector2<float>(width, 0.0f);
    Vector2<float> right = p + Vector2<float>(-width, 0.0f);
    left.rotateAround(90.0f - angle, p.x, p.y);
    right.rotateAround(90.0f - angle, p.x, p.y);
    sides[i] = Side(left, right);
  }
}

float Ribbon::getLength() const {
  float length = 0.0f;
  for (size_t i = 1; i < points.size(); ++i) length += pointDistance(points[i - 1], points[i]);
  return length;
}

void Ribbon::draw() {
  if (!sprite || points.size() < 2 || sides.size() < points.size()) return;
  const float length = getLength();
  float span = textureRect.right - textureRect.left - textureOffset;
  if (!(span > 0.0f)) span = 0.0f;
  float along = 0.0f;
  for (size_t k = 0; k + 1 < points.size(); ++k) {
    const float u0 = textureRect.left + (length > 0.0f ? span * along / length : 0.0f);
    along += pointDistance(points[k], points[k + 1]);
    const float u1 = textureRect.left + (length > 0.0f ? span * along / length : 0.0f);
    sprite->setFrameRect(0, Rect(u0, textureRect.top, u1, textureRect.bottom));
    sprite->updateMeshTexCoords();
    sprite->setMeshVertexPosition(sides[k].first, 0, 0);
    sprite->setMeshVertexPosition(sides[k].second, 0, 1);
    sprite->setMeshVertexPosition(sides[k + 1].first, 1, 0);
    sprite->setMeshVertexPosition(sides[k + 1].second, 1, 1);
    sprite->updateVertices();
    sprite->render();
  }
}

void bindPosAndU(Animation& animation, Ribbon& ribbon) {
  animation.bindVector2Parameter("pos", &ribbon.head);
  animation.bindFloatTarget("u", &ribbon.textureOffset);
}

}  // namespace KR
