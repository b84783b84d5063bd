#include "core/game_state/minigames/pick_and_glide.h"

#include <cmath>

#include "animation.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"

namespace HOG {

TwoPicks::Result TwoPicks::take(int32_t i, bool sameAgain) {
  if (first < 0) {
    first = i;
    return First;
  }
  if (second >= 0 || (i == first && !sameAgain)) return Ignored;
  second = i;
  return Second;
}

void TwoPicks::release(int32_t i) {
  if (first == i) first = -1;
  if (second == i) second = -1;
}

float distance(const KR::Vector2<float>& a, const KR::Vector2<float>& b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

KR::Vector2<float> worldPosition(const AE::ISceneNode* node) {
  if (!node) return KR::Vector2<float>(0.0f, 0.0f);
  return KR::Vector2<float>(node->mWorldMatrix.m[6], node->mWorldMatrix.m[7]);
}

void showFrameInPlace(AE::ISceneNode* node, int32_t frame) {
  if (!node) return;
  const KR::Vector2<float> at = worldPosition(node);
  node->setTime(float(frame) * node->mAnimation->mFrameTime, true);
  node->setWorldPosition(at);
}

bool glideStep(KR::Vector2<float>* position, const KR::Vector2<float>& target, float step) {
  const float d = distance(*position, target);
  if (!(step < d)) {
    *position = target;
    return true;
  }
  position->x += (target.x - position->x) / d * step;
  position->y += (target.y - position->y) / d * step;
  return false;
}

TimedGlide::TimedGlide() = default;
TimedGlide::~TimedGlide() = default;
TimedGlide::TimedGlide(TimedGlide&&) noexcept = default;
TimedGlide& TimedGlide::operator=(TimedGlide&&) noexcept = default;

void TimedGlide::make(KR::Vector2<float>* position, float seconds) {
  animation = std::make_unique<KR::Animation>();
  target = position;
  animation->bindVector2Parameter("pos", position);
  // A time that is not positive (or not a number) would leave a glide that
  // never runs and a piece that never arrives: it lands at once instead.
  animation->addFrame(seconds > 0.0f ? seconds : 0.0f);
  animation->addFrame(0.0f);
  animation->loop = false;
  animation->playing = false;
}

void TimedGlide::drop() {
  if (animation) animation->clear();
  animation.reset();
}

void TimedGlide::start(const KR::Vector2<float>& from, const KR::Vector2<float>& to) {
  if (!animation) return;
  *animation->getVector2Value("pos", 0) = from;
  *animation->getVector2Value("pos", 1) = to;
  animation->time = 0.0f;
  animation->playing = true;
  animation->update(0.0f);
}

bool TimedGlide::running() const { return animation && animation->playing; }

bool TimedGlide::advance(float dt) {
  if (!running()) return false;
  if (animation->time < animation->getTotalDuration()) animation->update(dt);
  if (animation->time < animation->getTotalDuration()) return false;
  // The last key is the target, whatever step overshot it.
  *target = *animation->getVector2Value("pos", 1);
  stop();
  return true;
}

void TimedGlide::stop() {
  if (!animation) return;
  animation->time = 0.0f;
  animation->playing = false;
}

}  // namespace HOG
