#include "ui/ui_scroll_area.h"

#include <algorithm>
#include <cmath>

#include "design_coords.h"
#include "fast_sprite.h"
#include "lua_script_2.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "ui/ui_load_cache.h"
#include "ui/ui_pointer.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_table_keys.h"

namespace KR {

namespace {

constexpr float kEpsilon = 1.19209e-07f;
// The pointer counts as still while it moves less than this per frame.
constexpr float kStillDistance = 3.0f;
// A release after the pointer stood still this long does not fling.
constexpr float kFlingWindow = 0.3f;
constexpr float kSpringLimit = 350.0f;
constexpr float kSpringRate = 22.1f;

UIProgressBar* asBar(UIWidget* widget) {
  return widget && widget->getType() == kUIProgressBarType ? static_cast<UIProgressBar*>(widget) : nullptr;
}

}  // namespace

UIScrollArea::~UIScrollArea() {
  if (mask && SpriteManager<FastSprite>::exists()) SpriteManager<FastSprite>::getInstance()->destroySprite(mask);
}

float UIScrollArea::getRange() const {
  const float extent = horizontal ? contentWidth : contentHeight;
  return std::max(0.0f, extent - (horizontal ? areaWidth : areaHeight));
}

void UIScrollArea::setScrollPosition(float position) {
  const float range = getRange();
  if (progressBar) {
    progressBar->setProgress(range > 0.0f ? position / range : 0.0f);
    return;
  }
  position = std::max(0.0f, std::min(range, position));
  if (kinetic)
    targetOffset = position;
  else
    offset = position;
}

void UIScrollArea::resetContent() {
  // The children go back to where they stood unscrolled, so that measuring
  // (and a list's next line) starts from the top again. They have moved by
  // the offset of the last update, not by one set since (setScrollPosition
  // in the same frame).
  for (UIWidget* child : children) {
    if (horizontal)
      child->position.x += previousOffset;
    else
      child->position.y += previousOffset;
  }
  offset = previousOffset = targetOffset = 0.0f;
  velocity = releaseVelocity = 0.0f;
  lastBarValue = 0.0f;
  if (progressBar) progressBar->setProgressImmediately(0.0f);
  const Vector2<float> total = getTotalSize();
  contentWidth = total.x;
  contentHeight = total.y;
  const Vector2<float> at = getAbsolutePosition();
  setClientRect(Rect(at.x, at.y, at.x + areaWidth, at.y + areaHeight));
}

bool UIScrollArea::isScrolling() const {
  if (progressBar) return progressBar->kinetic && std::fabs(progressBar->target - progressBar->value) > 0.001f;
  return std::fabs(targetOffset - offset) > 0.1f;
}

int32_t UIScrollArea::processMessage(uint32_t event) {
  if (!progressBar || !wheelScrolling) return 0;
  if (event == kUIEventWheelForward)
    progressBar->setProgress(progressBar->value - progressBar->step);
  else if (event == kUIEventWheelBack)
    progressBar->setProgress(progressBar->value + progressBar->step);
  return 0;
}

void UIScrollArea::findProgressBar() {
  if (progressBarName.empty()) return;
  if (parent) {
    progressBar = asBar(parent->findDescendant(progressBarName));
    if (!progressBar && parent->parent) progressBar = asBar(parent->parent->findDescendant(progressBarName));
  } else {
    for (UIWidget* root : UIManager::getInstance()->getRoots()) {
      if ((progressBar = asBar(root->findDescendant(progressBarName)))) break;
    }
  }
  if (progressBar) {
    progressBar->setProgressImmediately(0.0f);
    lastBarValue = 0.0f;
  }
}

void UIScrollArea::trackDrag() {
  UIPCController* pointer = uiPointer();
  if (pointer->leftDown && UIManager::getInstance()->isInputReachable(this)) {
    if (!dragging) {
      lastPointer = pointer->position;
      const Rect r = clientRectSet ? clientRect : Rect(0, 0, 0, 0);
      const Vector2<float>& p = pointer->position;
      if (p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom) {
        dragging = true;
        // A new drag flings only with its own movement.
        releaseVelocity = 0.0f;
        stillTime = 0.0f;
      }
    }
  } else if (dragging) {
    if (stillTime < kFlingWindow) velocity = releaseVelocity;
    snapToPage();
    uiReleaseCapture(this);
    dragging = false;
  }
}

void UIScrollArea::snapToPage() {
  if (pageSize <= 1.0f) return;
  const float s = releaseVelocity >= 0.0f ? 1.0f : -1.0f;
  const float m = std::min(std::fabs(releaseVelocity) / 0.017f, 0.6f * pageSize);
  const float page = std::floor((offset + s * m) / pageSize + 0.5f);
  velocity = releaseVelocity = 0.0f;
  setScrollPosition(std::max(0.0f, std::min(getRange(), page * pageSize)));
}

void UIScrollArea::onUpdate(float dt) {
  if (!initialised) {
    initialised = true;
    findProgressBar();
    if (!keepContent) resetContent();
  }
  if (dragScrolling) trackDrag();

  const float range = getRange();
  bool moved = false;
  const bool barDragged = progressBar && progressBar->dragging;
  if (progressBar && (barDragged || std::fabs(progressBar->value - lastBarValue) > 0.0001f)) {
    moved = true;
    if ((horizontal ? contentWidth : contentHeight) < (horizontal ? areaWidth : areaHeight))
      progressBar->setProgressImmediately(0.0f);
    offset = range * progressBar->value;
    lastBarValue = progressBar->value;
    velocity = 0.0f;
  }

  if (kinetic && !progressBar && !dragging) {
    const float d = targetOffset - offset;
    const float s = d < 0.0f ? -1.0f : 1.0f;
    float a = std::min(std::fabs(d), kineticSpeed);
    if (std::fabs(kineticSpeed) > kEpsilon)
      a = std::sqrt(a / kineticSpeed) * kineticSpeed * (fastApproach ? 3.0f : 1.0f);
    else
      a = 0.0f;
    const float b = std::fabs(dt) <= kEpsilon ? 0.0f : std::fabs(d) / dt;
    offset += std::min(a, b) * dt * s;
  }

  UIPCController* pointer = uiPointer();
  if (dragging) {
    const float dtSafe = std::max(dt, 0.001f);
    const Vector2<float> movedBy = pointer->position - lastPointer;
    velocity = -along(movedBy) / dtSafe;
    if (std::fabs(movedBy.x) >= kStillDistance || std::fabs(movedBy.y) >= kStillDistance) {
      releaseVelocity = velocity;
      stillTime = 0.0f;
    } else {
      stillTime += dt;
    }
    lastPointer = pointer->position;
  } else {
    float deceleration = 6000.0f;
    if (!moved) {
      // Pulled back past either end, never beyond the end itself.
      if (offset < 0.0f) {
        offset += std::min(-offset, std::min(-offset, kSpringLimit) * kSpringRate * dt);
        deceleration = 16000.0f;
      }
      if (offset > range) {
        offset -= std::min(offset - range, std::min(offset - range, kSpringLimit) * kSpringRate * dt);
        deceleration += 10000.0f;
      }
    }
    if (std::fabs(velocity) < 1e-06f)
      velocity = 0.0f;
    else
      velocity -= std::min(deceleration * dt, std::fabs(velocity)) * (velocity < 0.0f ? -1.0f : 1.0f);
    if (progressBar && barWasDragged && !barDragged) {
      snapToPage();
      moved = true;
    }
  }
  barWasDragged = barDragged;

  offset += velocity * dt;
  const float delta = offset - previousOffset;
  previousOffset = offset;
  if (delta != 0.0f) {
    for (UIWidget* child : children) {
      if (horizontal)
        child->position.x -= delta;
      else
        child->position.y -= delta;
    }
  }
  if (progressBar && dragScrolling && !moved) {
    progressBar->setProgressImmediately(range > 0.0f ? std::max(0.0f, std::min(1.0f, offset / range)) : 0.0f);
    // The area moved the bar itself: only a move from outside (a drag of the
    // bar, the wheel) may take the offset over, or every fling would stop.
    lastBarValue = progressBar->value;
  }

  if (dragging) {
    const float scale = calcViewport().scale;
    const float limit = 10.0f / (scale > kEpsilon ? scale : 1.0f);
    const Vector2<float> from = pointer->position - pointer->pressPosition;
    if (std::sqrt(from.x * from.x + from.y * from.y) > limit) {
      UIManager* manager = UIManager::getInstance();
      if (manager->getCapturedWidget() != this) manager->setCapturedWidget(this, true);
    }
  }
}

void UIScrollArea::draw() {
  if (!clipping || !mask || !RenderSystem::exists()) return;
  RenderSystem* render = RenderSystem::getInstance();
  render->clearStencil();
  render->beginStencilMask();
  const Vector2<float> own = mask->mPosition;
  mask->mPosition = getAbsolutePosition() + own;
  mask->draw();
  mask->mPosition = own;
  render->endStencilMask();
  render->flushBatch();
  render->enableStencilTest();
}

void UIScrollArea::drawAfterChildren() {
  if (!clipping || !mask || !RenderSystem::exists()) return;
  RenderSystem* render = RenderSystem::getInstance();
  render->flushBatch();
  render->disableStencilTest();
}

void UIScrollArea::load(LuaScript& script) {
  UIWidget::load(script);
  readAreaKeys(script);
}

void UIScrollArea::readAreaKeys(LuaScript& script) {
  uiReadString(script, "progressBar", &progressBarName);
  Vector2<float> area;
  if (uiReadPair(script, "size", &area)) {
    areaWidth = area.x;
    areaHeight = area.y;
    size = area;
  }
  std::string orientation;
  uiReadString(script, "orientation", &orientation);
  horizontal = orientation == "hor";
  uiReadFlag(script, "kinetic", &kinetic);
  uiReadFloat(script, "kineticSpeed", &kineticSpeed);
  uiReadFlag(script, "dragScrolling", &dragScrolling);
  uiReadFloat(script, "pageSize", &pageSize);
  uiReadFlag(script, "fastApproach", &fastApproach);
  uiReadFlag(script, "keepContent", &keepContent);
  uiReadFlag(script, "clipping", &clipping);
  std::string image, table;
  if (uiReadString(script, "maskImagename", &image) && !image.empty() && SpriteManager<FastSprite>::exists()) {
    uiReadString(script, "maskTablename", &table);
    if (mask) SpriteManager<FastSprite>::getInstance()->destroySprite(mask);
    UILoadCache* cache = UILoadCache::current();
    mask = cache ? cache->createSprite(image, table, "default")
                 : SpriteManager<FastSprite>::getInstance()->createSprite(image, table, "default");
    // The mask covers the visible area, whatever size its picture has.
    if (mask && areaWidth > 0.0f && areaHeight > 0.0f) mask->mSize = Vector2<float>(areaWidth, areaHeight);
  }
}

}  // namespace KR
