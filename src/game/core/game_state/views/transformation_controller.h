#pragma once
// Pan and zoom for a screen (a view, the map, the notebook): drags of the left
// button become a pan offset, a double click toggles the zoom, the pan stays
// inside the zoomed content, and scale and pan move by linear tweens. The
// owner binds its own scale, pan offset and drag offset, and calls the three
// tweens' update every frame. Main thread only.
#include <chrono>
#include <cstdint>

#include "vector2.h"

namespace HOG {

struct InputState;

template <typename T>
struct Tween {
  T from{}, to{};
  T* target = nullptr;
  float duration = 0.0f, elapsed = 0.0f;
  bool running = false;

  void start(T* value, const T& goal, float seconds) {
    target = value;
    from = *value;
    to = goal;
    duration = seconds;
    elapsed = 0.0f;
    running = true;
  }
  void update(float dt) {
    if (!running || !target) return;
    elapsed += dt;
    const float f = duration > 0.0f ? (elapsed / duration < 1.0f ? elapsed / duration : 1.0f) : 1.0f;
    *target = from * (1.0f - f) + to * f;
    if (elapsed > duration) running = false;
  }
};
using FloatTween = Tween<float>;
using Vector2Tween = Tween<KR::Vector2<float>>;

class TransformationController {
 public:
  static constexpr float kDragThreshold = 20.0f;

  // 1 consumed (double click or drag), 0 not.
  int32_t handleInput(const InputState* input);
  void clampPosition(KR::Vector2<float>* p) const;
  void moveTo(const KR::Vector2<float>& target, float duration);
  void scaleTo(float value, float duration);
  // Tweens back to no zoom and no pan, and forgets the last click.
  void reset();
  void toggleZoom();
  void updateTweens(float dt) {
    scaleTween.update(dt);
    positionTween.update(dt);
    dragTween.update(dt);
  }
  // 1 dragging, 2 drag finished, 0 otherwise.
  int32_t trackDrag(const InputState* input);
  int32_t detectDoubleClick(const InputState* input);

  float doubleClickInterval = 0.25f;
  KR::Vector2<float> lastClick;
  KR::Vector2<float> dragDelta;
  bool dragging = false;
  float baseScale = 1.0f;
  float maxUserScale = 2.0f;
  float* scale = nullptr;
  KR::Vector2<float>* position = nullptr;
  KR::Vector2<float>* dragOffset = nullptr;
  FloatTween scaleTween;
  Vector2Tween positionTween;
  Vector2Tween dragTween;
  bool enabled = true;

 private:
  std::chrono::steady_clock::time_point clockStart = std::chrono::steady_clock::now();
};

}  // namespace HOG
