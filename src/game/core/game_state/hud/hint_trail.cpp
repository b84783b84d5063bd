#include "core/game_state/hud/hint_trail.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "animation.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/views/held_particle_effect.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "lua_script_2.h"
#include "particle_fx.h"
#include "ribbon.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr float kPi = 3.14159265f;

float random01() { return float(KR::sharedRandom()) / float(KR::kSharedRandomMax); }

float distance(const KR::Vector2<float>& a, const KR::Vector2<float>& b) {
  const KR::Vector2<float> d = b - a;
  return std::sqrt(d.x * d.x + d.y * d.y);
}

// The reader writes an empty or zero value for a missing key: the default
// stands unless the key is there.
template <typename T, typename Key>
void readKept(const KR::XmlDataReader& reader, bool (KR::XmlDataReader::*read)(Key, T*) const, const char* key,
              T* out) {
  T value{};
  if ((reader.*read)(key, &value)) *out = std::move(value);
}

// Where effects wait, off screen, until a flight uses them.
constexpr float kParkedX = -1000.0f;

}  // namespace

HintTrail::HintTrail() = default;
HintTrail::~HintTrail() { destroy(); }

void HintTrail::readSettings(KR::XmlDataReader& reader, Settings* settings) {
  readKept(reader, &KR::XmlDataReader::readString, "SpriteFile", &settings->spriteFile);
  readKept(reader, &KR::XmlDataReader::readString, "SpriteTable", &settings->spriteTable);
  readKept(reader, &KR::XmlDataReader::readString, "effect", &settings->effect);
  readKept(reader, &KR::XmlDataReader::readFloat, "curvatureCoef", &settings->curvatureCoef);
  readKept(reader, &KR::XmlDataReader::readFloat, "ribbonFlyingTime", &settings->ribbonFlyingTime);
  readKept(reader, &KR::XmlDataReader::readFloat, "randomStartingDelay", &settings->randomStartingDelay);
  readKept(reader, &KR::XmlDataReader::readFloat, "rbEmitCoef", &settings->rbEmitCoef);
  readKept(reader, &KR::XmlDataReader::readInt, "ribbonsCount", &settings->ribbonsCount);
  readKept(reader, &KR::XmlDataReader::readInt, "rbSegmentsCount", &settings->rbSegmentsCount);
  readKept(reader, &KR::XmlDataReader::readInt, "animFramesCount", &settings->animFramesCount);
  readKept(reader, &KR::XmlDataReader::readBool, "skipRibbonDrawing", &settings->skipRibbonDrawing);
}

void HintTrail::create(const Settings& values, KR::IRibbonSprite* picture) {
  settings = values;
  if (settings.skipRibbonDrawing) settings.ribbonFlyingTime = 0.0f;
  settings.ribbonsCount = std::max(settings.ribbonsCount, 0);
  // A path needs its start and its end.
  settings.animFramesCount = std::max(settings.animFramesCount, 2);
  destroy();
  endEffect = createHeldEffect(settings.doActionParticle, false);
  if (endEffect) endEffect->mPosition.x = kParkedX;
  for (int32_t i = 0; i < settings.ribbonsCount; ++i) {
    auto ribbon = std::make_unique<KR::Ribbon>();
    ribbon->init(picture, settings.rbEmitCoef, settings.rbSegmentsCount, KR::Vector2<float>(kParkedX, 0.0f));
    auto path = std::make_unique<KR::Animation>();
    KR::bindPosAndU(*path, *ribbon);
    path->playing = false;
    // A riding effect waits (not playing) until the first flight.
    KR::ParticleFX* effect = createHeldEffect(settings.effect, false);
    if (effect) {
      effect->mPosition.x = kParkedX;
      path->bindVector2Parameter("pos2", &effect->mPosition);
    }
    ribbons.push_back(std::move(ribbon));
    paths.push_back(std::move(path));
    ribbonEffects.push_back(effect);
    ribbonFlown.push_back(false);
  }
  endShown = false;
  arrived = true;
  active = true;
}

std::vector<float> HintTrail::startDelays(int32_t count, float spread) {
  std::vector<float> shares(size_t(std::max(count, 0)));
  float sum = 0.0f;
  for (float& share : shares) sum += share = random01();
  // Every draw 0: all leave at once rather than dividing by zero.
  float at = 0.0f;
  for (float& share : shares) share = at += sum > 0.0f ? share / sum * spread : 0.0f;
  return shares;
}

std::vector<KR::Vector2<float>> HintTrail::pathKeys(const KR::Vector2<float>& from, const KR::Vector2<float>& to,
                                                    int32_t keyCount, float curvatureCoef) {
  keyCount = std::max(keyCount, 2);
  std::vector<KR::Vector2<float>> keys(size_t(keyCount), from);
  const KR::Vector2<float> d = to - from;
  const float length = std::sqrt(d.x * d.x + d.y * d.y);
  // A target on the start has no direction: the path stays on the point.
  const KR::Vector2<float> normal =
      length > 0.0f ? KR::Vector2<float>(-d.y / length, d.x / length) : KR::Vector2<float>();
  const float reach = length * curvatureCoef;
  const float bulge = (random01() * 2.0f - 1.0f) * reach;
  const float waves = random01() * 2.0f > 1.4f ? 2.0f : 1.0f;
  for (int32_t k = 1; k < keyCount; ++k) {
    const bool last = k == keyCount - 1;
    // With two keys the only moving key is the last.
    const float t = keyCount > 2 ? float(k - 1) / float(keyCount - 2) : 1.0f;
    const float jitter = last ? 0.0f : random01() * 100.0f - 50.0f;
    keys[size_t(k)] = last ? to : from + d * t + normal * (std::sin(kPi * t * waves) * bulge + jitter);
  }
  return keys;
}

void HintTrail::start(const KR::Vector2<float>& from, const KR::Vector2<float>& to) {
  arrived = false;
  active = true;
  endPoint = to;
  const std::vector<float> delays = startDelays(int32_t(ribbons.size()), settings.randomStartingDelay);
  const float step = settings.ribbonFlyingTime / float(settings.animFramesCount);
  for (size_t i = 0; i < ribbons.size(); ++i) {
    ribbons[i]->reset(from);
    KR::Animation& path = *paths[i];
    path.clearFrames();
    const std::vector<KR::Vector2<float>> keys = pathKeys(from, to, settings.animFramesCount, settings.curvatureCoef);
    KR::ParticleFX* effect = ribbonEffects[i];
    for (size_t k = 0; k < keys.size(); ++k) {
      path.addFrame(k == 0 ? delays[i] : (k + 1 < keys.size() ? step : 0.0f));
      *path.getVector2Value("pos", uint32_t(k)) = keys[k];
      if (effect) *path.getVector2Value("pos2", uint32_t(k)) = keys[k];
    }
    path.time = 0.0f;
    path.playing = true;
    path.update(0.0f);
    ribbonFlown[i] = false;
    if (effect) {
      effect->start();
      setEmitRateScale(effect, 1.0f);
    }
  }
}

void HintTrail::update(float dt) {
  for (size_t i = 0; i < ribbons.size(); ++i) {
    KR::Ribbon& ribbon = *ribbons[i];
    if (!settings.skipRibbonDrawing) {
      paths[i]->update(dt);
      ribbon.update(dt);
    }
    const bool there = settings.skipRibbonDrawing || distance(ribbon.head, endPoint) < kArrivalDistance;
    if (there && !arrived) {
      alpha = 1.0f;
      if (endEffect) {
        endEffect->setAlpha(1.0f);
        endEffect->start();
        endEffect->mPosition = endPoint;
      }
      endShown = true;
      arrived = true;
    }
    if (KR::ParticleFX* effect = ribbonEffects[i]) {
      effect->update(dt);
      // Once landed, the trail collapses onto the ribbon's head: the ride is
      // over. A ribbon still waiting to leave has a collapsed trail too, so
      // only a trail that has stretched since the start ends the ride.
      const std::vector<KR::Vector2<float>>& points = ribbon.getPoints();
      const bool stretched = points.size() > 1 && distance(points.front(), points.back()) >= 1.0f;
      if (stretched)
        ribbonFlown[i] = true;
      else if (ribbonFlown[i])
        setEmitRateScale(effect, 0.0f);
    }
  }
  if (endEffect && endEffect->mStarted) endEffect->update(dt);
}

void HintTrail::drawRibbons() {
  if (!active || settings.skipRibbonDrawing) return;
  for (size_t i = 0; i < ribbons.size(); ++i) {
    ribbons[i]->draw();
    if (ribbonEffects[i]) ribbonEffects[i]->render();
  }
}

void HintTrail::drawEffect() {
  ViewStack* stack = gameViewStack();
  if (!active || !endShown || !endEffect || !stack) return;
  View* view = stack->getActiveView();
  if (!view) return;
  view->applyRenderTransform();
  endEffect->render();
  view->restoreRenderTransform();
}

void HintTrail::stop() {
  if (!active) return;
  if (endEffect) {
    endEffect->start();  // rewound: clock 0, every emitter reset
    endEffect->mStarted = false;
  }
  endShown = false;
  active = false;
}

void HintTrail::destroy() {
  // The paths write into the effects: they go first.
  paths.clear();
  ribbons.clear();
  for (KR::ParticleFX*& effect : ribbonEffects) releaseHeldEffect(&effect);
  ribbonEffects.clear();
  ribbonFlown.clear();
  releaseHeldEffect(&endEffect);
}

}  // namespace HOG
