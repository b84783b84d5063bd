#include "ui/strip_scrolling_helper.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "report_assert.h"
#include "ui/ui_controller.h"
#include "ui/ui_pointer.h"
#include "ui/ui_scene_list.h"

namespace KR {

// ---------------------------------------------------------------------------
// The terms both scrollers share

const char* elementStateName(int state) {
  switch (state) {
    case 1: return "select";
    case 2: return "pressed";
    default: return "regular";
  }
}

const UIPCController& ScrollingHelper::pointer() const { return *uiPointer(); }

bool ScrollingHelper::hits(AE::ISceneNode* node, const Vector2<float>& at) const {
  return node && node->hitTest(int(at.x), int(at.y), false);
}

float ScrollingHelper::getOffset() const { return list->vertical ? list->list->mPosY : list->list->mPosX; }

Vector2<float> ScrollingHelper::listPosition() const { return Vector2<float>(list->list->mPosX, list->list->mPosY); }

void ScrollingHelper::moveList(const Vector2<float>& position) { list->list->setPosition(position); }

void ScrollingHelper::setOffset(float offset) {
  Vector2<float> at = listPosition();
  if (list->vertical)
    at.y = offset;
  else
    at.x = offset;
  moveList(at);
}

void ScrollingHelper::stopSnapBack() { list->correction.remaining = 0.0f; }

void ScrollingHelper::clampList() {
  const float offset = std::max(list->range - list->outside, std::min(list->outside, getOffset()));
  moveList(list->vertical ? Vector2<float>(0.0f, offset) : Vector2<float>(offset, 0.0f));
}

void ScrollingHelper::playTransition(AE::ISceneNode* node, int from, int to, bool stopRecursive) {
  node->stopMarkers(stopRecursive, false);
  playMarker(node, std::string(elementStateName(from)) + ">" + elementStateName(to));
}

void ScrollingHelper::playMarker(AE::ISceneNode* node, const std::string& name) {
  if (AE::Marker* marker = node->getMarker(name)) marker->play();
}

// ---------------------------------------------------------------------------
// The strip

StripScrollingHelper::StripScrollingHelper(UISceneList* list_, AE::ISceneNode* scene) : ScrollingHelper(list_) {
  if (AE::ISceneNode* bar = AE::ISceneNode::findChildFrom(scene, "#scroll_bar")) setUpBar(bar);
  if (AE::ISceneNode* pages = AE::ISceneNode::findChildFrom(scene, "#page_bar")) pages->setEnabled(false);
}

StripScrollingHelper::~StripScrollingHelper() { delete scrollBar; }

void StripScrollingHelper::setUpBar(AE::ISceneNode* node) {
  scrollBar = new ScrollBar();
  ScrollBar& bar = *scrollBar;
  bar.node = node;
  bar.owner = this;
  node->mEnabled = true;
  for (AE::ISceneNode* child : node->mChildren) child->setEnabled(true);
  for (AE::Marker* marker : node->mMarkers) {
    if (marker->mName != "#thumbs") continue;
    for (AE::Marker::Entry* entry : marker->mEntries) bar.thumbs.emplace_back(entry->node, entry->recursive);
  }
  const std::vector<uint32_t>& keys = node->mAnimation->mKeyFrames;
  if (keys.size() < 2 || keys.size() > 4) KR_FATAL("Progress bar must be contains 2 or 4 key frames!");
  const float frameTime = node->mAnimation->mFrameTime;
  bar.startTime = keys.size() == 2 ? 0.0f : float(keys[1]) * frameTime;
  bar.endTime = float(keys.back()) * frameTime;
  if (bar.thumbs.empty()) KR_FATAL("Progress bar does not contain any thumbs!");
  for (auto& thumb : bar.thumbs) thumb.first->setTime(bar.startTime, thumb.second);

  AE::ISceneNode* thumb = AE::ISceneNode::findChildFrom(node, "#thumb");
  if (thumb == node) thumb = nullptr;
  bar.thumb = thumb;
  if (!thumb) return;
  // A thumb needs two keys for its track; with fewer it has none (and every
  // drag along it reads as the start).
  float dx = 0.0f, dy = 0.0f, x0 = 0.0f, y0 = 0.0f;
  AE::SceneNodeAnimation* animation = thumb->mAnimation;
  AE::SceneNodeAnimation::IContainer* xs = animation->findTrack("posX");
  AE::SceneNodeAnimation::IContainer* ys = animation->findTrack("posY");
  if (xs && ys && xs->getKeyCount() >= 2 && ys->getKeyCount() >= 2) {
    x0 = animation->getKeyframe<float>("posX", 0).value;
    y0 = animation->getKeyframe<float>("posY", 0).value;
    dx = animation->getKeyframe<float>("posX", 1).value - x0;
    dy = animation->getKeyframe<float>("posY", 1).value - y0;
  }
  if (std::fabs(dx) > std::fabs(dy)) {
    bar.thumbOrigin = x0;
    bar.thumbTrack = std::fabs(dx);
  } else {
    bar.thumbOrigin = y0;
    bar.thumbTrack = std::fabs(dy);
  }
  playMarker(thumb, "regular");
}

void StripScrollingHelper::update(float dt) {
  if (!list->needsCorrection()) return;
  if (list->scrollingFlags & 2) dragStep(dt);
  if (scrollBar) barStep();
  if (gliding) glideStep(dt);
}

void StripScrollingHelper::dragStep(float dt) {
  const UIPCController& p = pointer();
  if (!busy) {
    if (p.leftDown && list->scrolling) {
      lastPointer = p.position;
      if (hits(list->mask, p.position)) busy = true;
    }
    return;
  }
  if (scrollBar && scrollBar->thumbState != 0) return;
  if (p.leftDown) {
    const Vector2<float> to = listPosition() + (p.position - lastPointer);
    lastPointer = p.position;
    stopSnapBack();
    moveList(to);
    clampList();
    return;
  }
  // A zero frame time would make the speed infinite.
  const float t = std::max(dt, 0.001f);
  velocity = Vector2<float>((lastPointer.x - p.position.x) / t * 0.78f, (lastPointer.y - p.position.y) / t * 0.78f);
  busy = false;
  gliding = velocity.x != 0.0f || velocity.y != 0.0f;
}

void StripScrollingHelper::glideStep(float dt) {
  const Vector2<float> step = velocity * dt;
  const Vector2<float> to = listPosition() - step;
  velocity -= step * 4.33f;
  stopSnapBack();
  moveList(to);
  clampList();
  if (std::fabs(velocity.x) < 60.0f) velocity.x = 0.0f;
  if (std::fabs(velocity.y) < 60.0f) velocity.y = 0.0f;
  gliding = velocity.x != 0.0f || velocity.y != 0.0f;
  // An end reached stops the glide. Only the list's axis counts: the other
  // coordinate is always put back to 0, and a pixel of sideways jitter must
  // not end a fling.
  const float along = list->along(to);
  if (along < list->range - list->outside || along > list->outside) gliding = false;
}

float StripScrollingHelper::barTimeAt(float v) const {
  const ScrollBar& bar = *scrollBar;
  const float range = list->range, outside = list->outside;
  // Without an overhang (or a range) the formulas would divide by zero; the
  // thumbs then stand at the ends of the normal range.
  if (v > 0.0f) return outside > 0.0f ? (1.0f - v / outside) * bar.startTime : bar.startTime;
  if (v < range)
    return outside > 0.0f ? bar.endTime - (1.0f - (range - v) / outside) * bar.startTime : bar.endTime - bar.startTime;
  if (range == 0.0f) return bar.startTime;
  return (bar.endTime - 2.0f * bar.startTime) * (v / range) + bar.startTime;
}

void StripScrollingHelper::barStep() {
  const float t = barTimeAt(getOffset());
  for (auto& thumb : scrollBar->thumbs) thumb.first->setTime(t, thumb.second);
  if (scrollBar->thumb && !(busy && scrollBar->thumbState == 0)) thumbStep();
}

void StripScrollingHelper::setThumbState(int32_t state) {
  if (state == scrollBar->thumbState) return;
  playTransition(scrollBar->thumb, scrollBar->thumbState, state, false);
  scrollBar->thumbState = state;
  if (state == 0) busy = false;
}

void StripScrollingHelper::thumbStep() {
  ScrollBar& bar = *scrollBar;
  const UIPCController& p = pointer();
  const bool hit = hits(bar.thumb, p.position);
  if (bar.thumbState == 0 && hit) setThumbState(1);
  if (bar.thumbState == 1) {
    if (p.leftDown) {
      busy = true;
      setThumbState(2);
    } else if (!hit) {
      setThumbState(0);
    }
  }
  if (bar.thumbState == 2) {
    if (p.leftDown) {
      const AE::ISceneNode* holder = bar.thumb->mParent ? bar.thumb->mParent : bar.thumb;
      const Vector2<float> local = p.position - holder->mWorldOrigin - bar.thumb->mPivot;
      float f = bar.thumbTrack > 0.0f ? (bar.thumbOrigin + list->along(local)) / bar.thumbTrack : 0.0f;
      f = std::max(0.0f, std::min(1.0f, f));
      setOffset((list->range - 2.0f * list->outside) * f + list->outside);
    } else {
      setThumbState(hit ? 1 : 0);
    }
  }
}

void StripScrollingHelper::processMessage(bool forward) {
  if (busy || !(list->scrollingFlags & 1)) return;
  const Vector2<float>& at = pointer().position;
  if (!hits(list->mask, at) && scrollBar && !hits(scrollBar->node, at)) return;
  setOffset(getOffset() + (forward ? 24.0f : -24.0f));
  stopSnapBack();
  clampList();
  stopSnapBack();
}

}  // namespace KR
