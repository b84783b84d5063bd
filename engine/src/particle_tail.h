#pragma once
// A particle drawn as a strip trailing behind it: a ring of straight segments,
// the newest (the head) centred on the particle, older ones left where it
// passed and eaten from the far end at a fade speed. Each segment is one
// quadrilateral of the emitter's sprite texture, mitred against its
// neighbours. Every tail of an emitter shares the emitter's settings block.
#include <cstdint>
#include <vector>

#include "vector2.h"

namespace KR {

class Sprite;

// The tail settings of one emitter.
struct ParticleTailSettings {
  // Ring size C: mMaxSegments + 7 once the tails are set up.
  int32_t mTailCapacity = 9;
  // Length of the head segment in texture units and in position units.
  int32_t mHeadSizeTex = 0;
  int32_t mHeadSize = 0;
  // Beyond this many segments the end is eaten at least as fast as the head moves.
  int32_t mMaxSegments = 17;
  // Speed at which the tail end is eaten, position units per second.
  float mFadeSpeed = 0.0f;
  // Extra distance the head travels before a new segment begins.
  float mMinDistSegments = 10.0f;
  // The part of the sprite texture used: width, height, left, top (texels).
  float mTailTexWidth = 0.0f;
  float mTailTexHeight = 0.0f;
  float mTailTexLeft = 0.0f;
  float mTailTexTop = 0.0f;
};

struct ParticleTailSegment {
  Vector2<float> start;       // towards the tail end
  Vector2<float> end;         // towards the head
  Vector2<float> corners[4];  // c0, c3 at the start; c1, c2 at the end
  float u0 = 0.0f;
  float u1 = 0.0f;
  Vector2<float> offset;  // perpendicular of the direction, half-width long
  Vector2<float> direction;
  Vector2<float> unit;
  float length = 0.0f;
};

class ParticleTail {
 public:
  // Segments beyond the ring's size, kept spare in every allocation.
  static constexpr int32_t kSpareSegments = 100;

  ParticleTail() = default;

  // Takes the sprite and the settings and a fresh zeroed ring of
  // mTailCapacity + kSpareSegments segments; no segments in use.
  void setup(Sprite* sprite, const ParticleTailSettings* settings);
  // No segments in use (a new particle in the record).
  void empty();
  // Follows the head to P after dt seconds.
  void update(float dt, const Vector2<float>& head);
  // One quadrilateral of the sprite per segment, oldest first; nothing below
  // two segments. The caller has set the sprite's colour and blend mode.
  void draw();

  int32_t getCount() const { return count; }
  int32_t getHead() const { return head; }
  float getBodyLength() const { return bodyLength; }
  const Vector2<float>& getAnchor() const { return anchor; }
  const ParticleTailSegment& segment(int32_t index) const { return segments[size_t(wrap(index))]; }
  size_t getAllocatedSegments() const { return segments.size(); }

  float halfWidth = 0.0f;

 private:
  int32_t capacity() const;
  int32_t wrap(int32_t index) const;
  ParticleTailSegment& at(int32_t index) { return segments[size_t(wrap(index))]; }
  void updateDirection(ParticleTailSegment& s) const;
  void setCorners(ParticleTailSegment& s, const ParticleTailSegment& before, const ParticleTailSegment& after) const;
  void setEndCorners(ParticleTailSegment& s, const ParticleTailSegment& after) const;
  void layoutHead(const Vector2<float>& p, const Vector2<float>& u);
  void eatEnd(float length);

  Sprite* sprite = nullptr;  // the emitter's; not owned
  std::vector<ParticleTailSegment> segments;
  const ParticleTailSettings* settings = nullptr;
  int32_t count = 0;
  int32_t head = 0;
  float bodyLength = 0.0f;
  Vector2<float> anchor;
  Vector2<float> lastHead;
  bool moving = false;
};

}  // namespace KR
