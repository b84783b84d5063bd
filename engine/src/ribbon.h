#pragma once
// A ribbon trail: a textured band left behind a moving head point. The head
// (and the texture offset) are usually driven by a frame animation through
// bindPosAndU; every `interval` seconds the trail takes the head as a new point
// and drops its oldest one.
//
//   ribbon.init(&picture, 0.5f, 16, Vector2<float>());
//   bindPosAndU(animation, ribbon);
//   ribbon.reset(startPoint);
//   // every frame:
//   animation.update(dt); ribbon.update(dt); ribbon.draw();
#include <cstdint>
#include <utility>
#include <vector>

#include "rect.h"
#include "vector2.h"

namespace KR {

class Animation;

// What the ribbon needs from the picture it stretches along the trail: the
// picture's height, vertical scale and first source rectangle at init, and
// per segment a new source rectangle, the four corners of its 1 x 1 mesh and a
// draw. The sprite offers each of these operations under the same name.
class IRibbonSprite {
 public:
  virtual ~IRibbonSprite() = default;
  // Unscaled height in design pixels.
  virtual float getHeight() const = 0;
  virtual float getScaleY() const = 0;
  // Frame 0's source rectangle; false when the picture has no frame.
  virtual bool getFirstFrameRect(Rect* out) const = 0;
  // Replaces frame `index`, or appends a frame when index >= frame count.
  virtual void setFrameRect(uint32_t index, const Rect& rect) = 0;
  // Spreads frame 0 over the mesh's texture coordinates.
  virtual void updateMeshTexCoords() = 0;
  virtual void setMeshVertexPosition(const Vector2<float>& position, uint32_t column, uint32_t row) = 0;
  virtual void updateVertices() = 0;
  virtual void render() = 0;
};

class Ribbon {
 public:
  using Side = std::pair<Vector2<float>, Vector2<float>>;  // left, right

  Ribbon() = default;

  // N copies of the start point; the picture's height, scale and first frame
  // are taken now (0, 1 and an empty rectangle without a picture). The head is
  // left for reset. A negative point count counts as 0.
  void init(IRibbonSprite* picture, float trailDuration, int32_t count, const Vector2<float>& start);
  // Collapses the trail onto one point, which also becomes the head.
  void reset(const Vector2<float>& point);
  // Emits the head as a new point once more than duration / N seconds have
  // passed since the last emission, then recomputes the cross-sections.
  void update(float dt);
  // Per point: the accumulated heading and the two side points of its cross-section.
  void updateGeometry();
  // One draw of the picture per segment; nothing without a picture or with
  // fewer than two points.
  void draw();
  // Sum of the distances between consecutive points.
  float getLength() const;

  const std::vector<Vector2<float>>& getPoints() const { return points; }
  const std::vector<Side>& getSides() const { return sides; }
  const std::vector<float>& getHeadings() const { return headings; }
  int32_t getPointCount() const { return pointCount; }
  float getInterval() const { return interval; }
  float getTimer() const { return timer; }
  float getDuration() const { return duration; }
  const Rect& getTextureRect() const { return textureRect; }

  // Moves the texture along the band by dt x 20 per emission.
  bool scrolling = false;
  // Bound to the float track "u": narrows the texture span along the band.
  float textureOffset = 0.0f;

 private:
  std::vector<Vector2<float>> points;  // oldest first; the last is the live head
  std::vector<Side> sides;
  std::vector<float> headings;  // degrees
  int32_t pointCount = 0;
  float interval = 0.0f;
  float timer = 0.0f;
  float spriteHeight = 0.0f;
  float spriteScaleY = 1.0f;
  float duration = 0.0f;
  IRibbonSprite* sprite = nullptr;  // not owned
  Rect textureRect;

 public:
  // Bound to the Vector2 track "pos".
  Vector2<float> head;
};

// Binds the animation's "pos" track to the ribbon's head and its "u" track to
// the texture offset.
void bindPosAndU(Animation& animation, Ribbon& ribbon);

}  // namespace KR
