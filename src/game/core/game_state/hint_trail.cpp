#include "core/game_state/hint_trail.h"

#include <algorithm>
#include <cmath>

#include "animation.h"
#include "lua_script_2.h"
#include "ribbon.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr float kPi = 3.14159265f;

float random01() { return float(KR::sharedRandom()) / float(KR::kSharedRandomMax); }

}  // namespace

HintTrail::HintTrail() = default;
HintTrail::~HintTrail() = default;

void HintTrail::readSettings(KR::XmlDataReader& reader, Settings* settings) {
  reader.readString("SpriteFile", &settings->spriteFile);
  reader.readString("SpriteTable", &settings->spriteTable);
  reader.readFloat("curvatureCoef", &settings->curvatureCoef);
  reader.readFloat("ribbonFlyingTime", &settings->ribbonFlyingTime);
  reader.readFloat("randomStartingDelay", &settings->randomStartingDelay);
  reader.readFloat("rbEmitCoef", &settings->rbEmitCoef);
  reader.readInt("ribbonsCount", &settings->ribbonsCount);
  reader.readInt("rbSegmentsCount", &settings->rbSegmentsCount);
  reader.readInt("animFramesCount", &settings->animFramesCount);
  reader.readBool("skipRibbonDrawing", &settings->skipRibbonDrawing);
}

void HintTrail::create(const Settings& values, KR::IRibbonSprite* picture) {
  settings = values;
  if (settings.skipRibbonDrawing) settings.ribbonFlyingTime = 0.0f;
  settings.ribbonsCount = std::max(settings.ribbonsCount, 0);
  // A path needs its start and its end.
  settings.animFramesCount = std::max(settings.animFramesCount, 2);
  ribbons.clear();
  paths.clear();
  for (int32_t i = 0; i < settings.ribbonsCount; ++i) {
    auto ribbon = std::make_unique<KR::Ribbon>();
    ribbon->init(picture, settings.rbEmitCoef, settings.rbSegmentsCount, KR::Vector2<float>(-1000.0f, 0.0f));
    auto path = std::make_unique<KR::Animation>();
    KR::bindPosAndU(*path, *ribbon);
    path->playing = false;
    ribbons.push_back(std::move(ribbon));
    paths.push_back(std::move(path));
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
    for (size_t k = 0; k < keys.size(); ++k) {
      path.addFrame(k == 0 ? delays[i] : (k + 1 < keys.size() ? step : 0.0f));
      *path.getVector2Value("pos", uint32_t(k)) = keys[k];
    }
    path.time = 0.0f;
    path.playing = true;
    path.update(0.0f);
  }
}

void HintTrail::update(float dt) {
  for (size_t i = 0; i < ribbons.size(); ++i) {
    KR::Ribbon& ribbon = *ribbons[i];
    if (!settings.skipRibbonDrawing) {
      paths[i]->update(dt);
      ribbon.update(dt);
    }
    const KR::Vector2<float> left = endPoint - ribbon.head;
    const bool there = settings.skipRibbonDrawing || std::sqrt(left.x * left.x + left.y * left.y) < kArrivalDistance;
    if (there && !arrived) {
      alpha = 1.0f;
      endShown = true;
      arrived = true;
    }
  }
}

void HintTrail::drawRibbons() {
  if (!active || settings.skipRibbonDrawing) return;
  for (auto& ribbon : ribbons) ribbon->draw();
}

void HintTrail::stop() {
  if (!active) return;
  endShown = false;
  active = false;
}

}  // namespace HOG
