#pragma once
// The hint's flight: a bundle of ribbons that leave a start point one after
// another with random delays, each along its own bowed, slightly jittered path
// to the end point, optionally carrying a particle effect ("effect"); the
// first ribbon to arrive lights the end effect ("doActionParticle") on the
// end point. The hint panel owns two (to the target, to the needed item). The
// trail owns its ribbons, their paths and the particle effects; the ribbon
// picture is handed in and stays the caller's. Main thread only.
//
//   trail.create(settings, picture);
//   trail.start(from, to);
//   // every frame: trail.update(dt); trail.drawRibbons(); trail.drawEffect();
//
// Config section "FlashEffect" of "hint_config_xml" (readSettings); the end
// effect's file is the config's root key "doActionParticle".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vector2.h"

namespace KR {
class Animation;
class IRibbonSprite;
class ParticleFX;
class Ribbon;
class XmlDataReader;
}  // namespace KR

namespace HOG {

class HintTrail {
 public:
  struct Settings {
    std::string spriteFile = "trail_sprites";
    std::string spriteTable = "s_trail_png";
    float curvatureCoef = 0.5f;
    float ribbonFlyingTime = 0.7f;
    float randomStartingDelay = 4.0f;
    float rbEmitCoef = 0.7f;
    int32_t ribbonsCount = 5;
    int32_t rbSegmentsCount = 15;
    int32_t animFramesCount = 5;
    bool skipRibbonDrawing = false;
    // Particle effect files: riding on every ribbon, and shown where the flight ends.
    std::string effect;
    std::string doActionParticle;
  };
  // A ribbon's head arriving this close (design pixels) to the end counts as arrival.
  static constexpr float kArrivalDistance = 10.0f;

  HintTrail();
  ~HintTrail();
  HintTrail(const HintTrail&) = delete;
  HintTrail& operator=(const HintTrail&) = delete;

  // Reads the section under the reader's cursor; missing keys keep their defaults.
  static void readSettings(KR::XmlDataReader& reader, Settings* settings);
  // Builds the ribbons, their paths and effects; picture may be null (the
  // paths still fly). An effect file that cannot be read leaves that effect out.
  void create(const Settings& settings, KR::IRibbonSprite* picture);
  void start(const KR::Vector2<float>& from, const KR::Vector2<float>& to);
  void update(float dt);
  // The ribbons and the effects riding on them, in screen coordinates.
  void drawRibbons();
  // The end effect, inside the active view's transform (it marks a place in the view).
  void drawEffect();
  // Hides the end effect and rewinds it for the next arrival.
  void stop();
  // Gives the ribbons, paths and effects back; create builds them anew.
  void destroy();

  // Each ribbon's start time: random shares of `spread`, the last leaving at `spread`.
  static std::vector<float> startDelays(int32_t count, float spread);
  // The path's keys from `from` to `to`: the first on `from`, the last on `to`.
  static std::vector<KR::Vector2<float>> pathKeys(const KR::Vector2<float>& from, const KR::Vector2<float>& to,
                                                  int32_t keyCount, float curvatureCoef);

  const KR::Ribbon* getRibbon(int32_t index) const { return ribbons[size_t(index)].get(); }
  int32_t getRibbonCount() const { return int32_t(ribbons.size()); }
  const KR::Animation* getPath(int32_t index) const { return paths[size_t(index)].get(); }
  const KR::ParticleFX* getRibbonEffect(int32_t index) const { return ribbonEffects[size_t(index)]; }
  const KR::ParticleFX* getEndEffect() const { return endEffect; }

  Settings settings;
  KR::Vector2<float> endPoint;
  float alpha = 1.0f;
  bool endShown = false;
  bool arrived = true;
  bool active = true;

 private:
  std::vector<std::unique_ptr<KR::Ribbon>> ribbons;
  std::vector<std::unique_ptr<KR::Animation>> paths;
  // Owned; handed back to the particle system. Null entries: no effect.
  std::vector<KR::ParticleFX*> ribbonEffects;
  // A ribbon's trail has stretched since the start, so its shrinking back means the flight is over.
  std::vector<bool> ribbonFlown;
  KR::ParticleFX* endEffect = nullptr;
};

}  // namespace HOG
