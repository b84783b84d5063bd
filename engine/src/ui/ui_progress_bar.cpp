#include "ui/ui_progress_bar.h"

#include <algorithm>
#include <cmath>

#include "fast_sprite.h"
#include "lua_script_2.h"
#include "ui/ui_pointer.h"
#include "ui/ui_sprite.h"
#include "ui/ui_table_keys.h"

namespace KR {

namespace {

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

}  // namespace

void UIProgressBar::setProgress(float progress) {
  progress = clamp01(progress);
  if (kinetic)
    target = progress;
  else
    value = progress;
}

void UIProgressBar::setProgressImmediately(float progress) {
  progress = clamp01(progress);
  value = progress;
  if (kinetic) target = progress;
}

int32_t UIProgressBar::processMessage(uint32_t event) {
  if (event == kUIEventLeftHeld && !dragLocked) {
    dragging = true;
    dragPosition = uiPointer()->position;
    uiCaptureIfFree(this, false);
  } else {
    dragging = false;
    uiReleaseCapture(this);
  }
  return 0;
}

void UIProgressBar::onUpdate(float dt) {
  if (kinetic) {
    const float diff = target - value;
    const float l = std::fabs(length) <= 1.19209e-07f ? 1e-10f : length;
    const float f = std::max(diff * diff / l, 0.02f);
    float stepNow = diff * kineticSpeed * 500.0f * f * dt;
    // Never past the target: a long frame would otherwise overshoot and, below
    // 50 frames a second, swing ever wider.
    if (std::fabs(stepNow) > std::fabs(diff) || stepNow * diff < 0.0f) stepNow = diff;
    value += stepNow;
  }
  if (length < 0.0f) {
    const Vector2<float> total = getTotalSize();
    length = (isVertical() ? total.y : total.x) - lrOffsets.x - lrOffsets.y;
  }
  if (dragging && length > 0.0f) {
    const Vector2<float> pointer = uiPointer()->position;
    const Vector2<float> at = getAbsolutePosition();
    const float p = std::max(0.0f, isVertical() ? pointer.y - at.y : pointer.x - at.x);
    setProgress(p / length);
  }
  resolveChildren();
  layoutBar();
  layoutThumb();
}

void UIProgressBar::resolveChildren() {
  if (!barResolved) {
    barResolved = true;
    UIWidget* found = barName.empty() ? nullptr : findDescendant(barName);
    bar = found && found->getType() == kUISpriteType ? static_cast<UISprite*>(found) : nullptr;
    if (bar && bar->sprite) {
      barRect = bar->sprite->getFrameRect();
      barSize = bar->sprite->mSize;
    }
  }
  if (!thumbResolved) {
    thumbResolved = true;
    UIWidget* found = thumbName.empty() ? nullptr : findDescendant(thumbName);
    thumb = found && found->getType() == kUISpriteType ? static_cast<UISprite*>(found) : nullptr;
  }
}

void UIProgressBar::layoutBar() {
  if (!bar || !bar->sprite) return;
  const float left = lrOffsets.x, right = lrOffsets.y;
  Vector2<float> shown = barSize;
  Rect source = barRect;
  if (isVertical()) {
    shown.y = (barSize.y - left - right) * value + left;
    source.bottom = barRect.top + left + (barRect.bottom - barRect.top - left - right) * value;
  } else {
    shown.x = (barSize.x - left - right) * value + left;
    source.right = barRect.left + left + (barRect.right - barRect.left - left - right) * value;
  }
  bar->sprite->mSize = shown;
  bar->size = shown;
  bar->sprite->setFrameRect(0, source);
}

void UIProgressBar::layoutThumb() {
  if (!thumb) return;
  const float left = lrOffsets.x;
  const Vector2<float> thumbSize = thumb->getSize();
  const float half = (isVertical() ? thumbSize.y : thumbSize.x) * 0.5f;
  const float at = std::max(left, std::min(length - half, left + value * length - half));
  if (isVertical())
    thumb->position.y = at;
  else
    thumb->position.x = at;
}

void UIProgressBar::load(LuaScript& script) {
  UIWidget::load(script);
  uiReadString(script, "bar", &barName);
  uiReadPair(script, "lrOffsets", &lrOffsets);
  uiReadString(script, "thumb", &thumbName);
  uint32_t orient = 0;
  if (uiReadUInt(script, "orientation", &orient)) orientation = int32_t(orient);
  uiReadFlag(script, "kinetic", &kinetic);
  uiReadFloat(script, "kineticSpeed", &kineticSpeed);
  uiReadFloat(script, "step", &step);
  uiReadFlag(script, "locked", &dragLocked);
}

}  // namespace KR
