#include "particle_tail.h"

#include <algorithm>
#include <cmath>

#include "sprite.h"

namespace KR {

namespace {

Vector2<float> normalised(const Vector2<float>& v) {
  Vector2<float> n = v;
  return n.normalize();
}

// Keeps a quadrilateral from folding over at a sharp turn: a corner at the
// end that lies behind the start edge is pulled back onto the start corner.
void unfold(ParticleTailSegment& s) {
  Vector2<float>* c = s.corners;
  const Vector2<float> e = c[0] - c[3];
  if ((c[1].y - c[0].y) * -e.x + (c[1].x - c[0].x) * e.y < 0.0f) c[0] = c[1];
  if ((c[2].y - c[3].y) * -e.x + (c[2].x - c[3].x) * e.y < 0.0f) c[3] = c[2];
}

}  // namespace

void ParticleTail::setup(Sprite* tailSprite, const ParticleTailSettings* tailSettings) {
  sprite = tailSprite;
  settings = tailSettings;
  const int32_t ring = settings ? std::max(settings->mTailCapacity, 1) : 1;
  segments.assign(size_t(ring) + size_t(kSpareSegments), ParticleTailSegment());
  count = 0;
  head = 0;
}

void ParticleTail::empty() {
  count = 0;
  head = 0;
}

int32_t ParticleTail::capacity() const {
  const int32_t ring = settings ? settings->mTailCapacity : 1;
  // The ring never reaches past the segments allocated for it.
  return std::max(1, std::min(ring, int32_t(segments.size())));
}

int32_t ParticleTail::wrap(int32_t index) const {
  const int32_t c = capacity();
  const int32_t r = index % c;
  return r < 0 ? r + c : r;
}

void ParticleTail::updateDirection(ParticleTailSegment& s) const {
  s.direction = s.end - s.start;
  s.length = s.direction.length();
  if (!(s.length >= 0.0001f && s.length <= 1.0e7f)) s.length = 1.0f;
  s.unit = s.direction * (1.0f / s.length);
  s.offset = Vector2<float>(-s.unit.y * halfWidth, s.unit.x * halfWidth);
}

void ParticleTail::setCorners(ParticleTailSegment& s, const ParticleTailSegment& before,
                              const ParticleTailSegment& after) const {
  const Vector2<float> m1 = normalised(s.offset + before.offset) * halfWidth;
  const Vector2<float> m2 = normalised(after.offset + s.offset) * halfWidth;
  const Vector2<float> q = s.start + s.unit * 0.1f;
  s.corners[0] = q + m1;
  s.corners[3] = q - m1;
  s.corners[1] = s.end + m2;
  s.corners[2] = s.end - m2;
  unfold(s);
}

void ParticleTail::setEndCorners(ParticleTailSegment& s, const ParticleTailSegment& after) const {
  const Vector2<float> m2 = normalised(after.offset + s.offset) * halfWidth;
  s.corners[1] = s.end + m2;
  s.corners[2] = s.end - m2;
  unfold(s);
}

void ParticleTail::layoutHead(const Vector2<float>& p, const Vector2<float>& u) {
  const float width = settings->mTailTexWidth;
  const float s = float(settings->mHeadSize) / 2.0f;
  ParticleTailSegment& h = at(head);
  ParticleTailSegment& v = at(head - 1);
  ParticleTailSegment& w = at(head - 2);
  h.start = p - u * s;
  h.end = p + u * s;
  h.u0 = width - float(settings->mHeadSizeTex);
  h.u1 = width;
  v.start = anchor - u * 0.1f;
  v.end = h.start;
  v.u0 = width - float(settings->mHeadSizeTex) - 10.0f;
  v.u1 = width - float(settings->mHeadSize);
  updateDirection(v);
  updateDirection(w);
  updateDirection(h);
  setCorners(h, h, h);
  setCorners(v, w, v);
  setEndCorners(w, v);
}

void ParticleTail::eatEnd(float length) {
  // Whole segments first, at most half of them (rounded down after adding one).
  int32_t dropped = 0;
  while (count > 0) {
    const ParticleTailSegment& oldest = at(head - count + 1);
    if (!(length >= oldest.length) || dropped + 1 > count) break;
    length -= oldest.length;
    --count;
    ++dropped;
  }
  if (count <= 0) return;
  ParticleTailSegment& oldest = at(head - count + 1);
  oldest.start += oldest.unit * length;
  updateDirection(oldest);
  setCorners(oldest, oldest, at(head - count + 2));

  bodyLength = 0.0f;
  for (int32_t i = 1; i < count; ++i) bodyLength += at(head - i).length;
  const float base = settings->mTailTexWidth - float(settings->mHeadSizeTex);
  float acc = 0.0f;
  float previousU0 = base;
  for (int32_t i = 1; i < count; ++i) {
    ParticleTailSegment& s = at(head - i);
    acc += s.length;
    s.u1 = previousU0;
    // A body of no length (fresh seed segments) has nothing to spread over.
    s.u0 = bodyLength > 0.0f ? base * (1.0f - acc / bodyLength) : base;
    previousU0 = s.u0;
  }
}

void ParticleTail::update(float dt, const Vector2<float>& p) {
  if (!settings || segments.empty()) return;
  const int32_t c = capacity();
  head = wrap(head + c);
  const Vector2<float> d = p - anchor;
  const float dist = d.length();
  // While the head sits on its anchor there is no direction to lay it out in.
  const bool canLayOut = dist > 0.0f && std::isfinite(dist);
  bool newSegmentDue = false;
  if (count < c && moving && canLayOut) {
    layoutHead(p, d * (1.0f / dist));
    newSegmentDue = dist > float(settings->mHeadSize) / 2.0f + settings->mMinDistSegments + 1.0f;
  }

  float fadeSpeed = settings->mFadeSpeed;
  if (count > settings->mMaxSegments && dt > 0.0f) fadeSpeed = std::max(fadeSpeed, 0.9f * (lastHead - p).length() / dt);
  if (count > 0) eatEnd(fadeSpeed * dt);

  if (newSegmentDue) {
    ++head;
    ++count;
    const Vector2<float> u = d * (1.0f / dist);
    anchor = p - u * (float(settings->mHeadSize) / 2.0f);
    if (head >= c) head = 0;
    layoutHead(p, u);
  }

  moving = true;
  if (std::fabs(p.x - lastHead.x) <= 0.1f && std::fabs(p.y - lastHead.y) <= 0.1f) {
    moving = false;
    return;
  }
  lastHead = p;
  if (count < 2) {
    head = wrap(2);
    for (int32_t i = 0; i < 3; ++i) {
      ParticleTailSegment& s = at(i);
      s = ParticleTailSegment();
      s.start = p;
      s.end = p;
    }
    anchor = p;
    count = std::min(3, c);
    bodyLength = 0.0f;
  }
}

void ParticleTail::draw() {
  if (!sprite || !settings || count < 2 || segments.empty()) return;
  if (sprite->getMeshSizeX() < 1 || sprite->getMeshSizeY() < 1) return;
  const float left = settings->mTailTexLeft;
  const float top = settings->mTailTexTop;
  const float bottom = top + settings->mTailTexHeight;
  for (int32_t i = count - 1; i >= 0; --i) {
    const ParticleTailSegment& s = at(head - i);
    sprite->setMeshVertexPosition(s.corners[0], 0, 0);
    sprite->setMeshVertexPosition(s.corners[1], 1, 0);
    sprite->setMeshVertexPosition(s.corners[2], 1, 1);
    sprite->setMeshVertexPosition(s.corners[3], 0, 1);
    sprite->setMeshVertexTexCoord(Vector2<float>(s.u0 + left, top), 0, 0);
    sprite->setMeshVertexTexCoord(Vector2<float>(s.u1 + left, top), 1, 0);
    sprite->setMeshVertexTexCoord(Vector2<float>(s.u1 + left, bottom), 1, 1);
    sprite->setMeshVertexTexCoord(Vector2<float>(s.u0 + left, bottom), 0, 1);
    sprite->updateVertices();
    sprite->render();
  }
}

}  // namespace KR
