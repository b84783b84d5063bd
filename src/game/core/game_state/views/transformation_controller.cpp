#include "core/game_state/views/transformation_controller.h"

#include <algorithm>
#include <cmath>

#include "core/game_state/input_state.h"
#include "render_system_dx8.h"

namespace HOG {

namespace {
constexpr float kEpsilon = 1.1920929e-7f;
}

int32_t TransformationController::detectDoubleClick(const InputState* input) {
  if (!input->leftReleased) return 0;
  const auto now = std::chrono::steady_clock::now();
  const float elapsed = std::chrono::duration<float>(now - clockStart).count();
  clockStart = now;
  const KR::Vector2<float> pointer(float(input->x), float(input->y));
  const float dx = pointer.x - lastClick.x, dy = pointer.y - lastClick.y;
  if (elapsed <= doubleClickInterval &&
      std::sqrt(dx * dx + dy * dy) <= 0.15f * float(KR::RenderSystem::getDesignHeight())) {
    toggleZoom();
    return 1;
  }
  lastClick = pointer;
  return 0;
}

int32_t TransformationController::trackDrag(const InputState* input) {
  dragDelta = KR::Vector2<float>(float(input->x - input->pressX), float(input->y - input->pressY));
  const float d = std::sqrt(dragDelta.x * dragDelta.x + dragDelta.y * dragDelta.y);
  if (input->leftPressed) dragging = true;
  if (!dragging) return 0;
  if (input->leftDown && d > kDragThreshold) return 1;
  if (input->leftReleased) {
    dragging = false;
    if (d > kDragThreshold) return 2;
  }
  return 0;
}

int32_t TransformationController::handleInput(const InputState* input) {
  if (!enabled || !input) return 0;
  if (detectDoubleClick(input)) return 1;
  switch (trackDrag(input)) {
    case 1:
      if (dragOffset) *dragOffset = dragDelta;
      return 1;
    case 2:
      if (position) {
        *position = *position + dragDelta;
        clampPosition(position);
      }
      if (dragOffset) *dragOffset = KR::Vector2<float>(0.0f, 0.0f);
      return 1;
    default: return 0;
  }
}

void TransformationController::clampPosition(KR::Vector2<float>* p) const {
  const float s = baseScale * (scale ? *scale : 1.0f);
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  const float limitX = s > 0.0f ? ((w * s - w) / s) / 2 : 0.0f, limitY = s > 0.0f ? ((h * s - h) / s) / 2 : 0.0f;
  p->x = std::copysign(std::min(std::fabs(p->x), std::max(limitX, 0.0f)), p->x);
  p->y = std::copysign(std::min(std::fabs(p->y), std::max(limitY, 0.0f)), p->y);
}

void TransformationController::toggleZoom() {
  if (!scale) return;
  scaleTween.start(scale, *scale - 1.0f >= kEpsilon ? 1.0f : maxUserScale, 0.25f);
}

void TransformationController::moveTo(const KR::Vector2<float>& target, float duration) {
  if (!position || !dragOffset) return;
  *position = *position + *dragOffset;
  *dragOffset = KR::Vector2<float>(0.0f, 0.0f);
  KR::Vector2<float> goal = target;
  clampPosition(&goal);
  positionTween.start(position, goal, duration);
}

void TransformationController::scaleTo(float value, float duration) {
  if (scale) scaleTween.start(scale, value, duration);
}

void TransformationController::reset() {
  // A double click needs both clicks while the view stays active: the click
  // that opened a close-up over it and one after coming back are two. A last
  // click this far away is near no click.
  lastClick = KR::Vector2<float>(-1.0e9f, -1.0e9f);
  if (!scale || !position || !dragOffset) return;
  scaleTween.start(scale, 1.0f, 0.25f);
  positionTween.start(position, KR::Vector2<float>(0.0f, 0.0f), 0.25f);
  dragTween.start(dragOffset, KR::Vector2<float>(0.0f, 0.0f), 0.25f);
}

}  // namespace HOG
