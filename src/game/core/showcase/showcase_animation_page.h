#pragma once
// Showcase page of frame animation: a disc walks the zigzag of the demo's
// frame description ("demo_sprite_walk_anim"), smoothed as the description's
// playback settings ask, dragging a ribbon trail. It plays the whole walk
// once, then loops backwards between the playback's markers; Enter switches
// the direction over that stretch. The keys (grey), the smoothed path (blue)
// and the two marker points are drawn under the walker.
#include <string>
#include <vector>

#include "animation.h"
#include "core/showcase/showcase.h"
#include "font_preset.h"
#include "ribbon.h"
#include "vector2.h"

namespace KR {
class FastSprite;
class Sprite;
}  // namespace KR

namespace HOG {

class AnimationShowcasePage : public ShowcasePage {
 public:
  enum class Mode { WholeWalk, Backwards, Forwards };

  ~AnimationShowcasePage() override;
  std::string title() const override {
    return "animation: frame description with smoothing, markers, reverse play and a ribbon trail";
  }
  // Enter switches the direction, then the walk and the trail move on.
  void update(float dt) override;
  void render(GameApplication& application) override;

  // Reads the walk and makes the pictures (once); false while the managers or
  // the render system are missing.
  bool load();
  // Moves the walk and its trail by dt seconds.
  void advance(float dt);
  // Plays the stretch between the markers the other way round, keeping the
  // walker where it is (the whole walk counts as forwards).
  void switchDirection();
  // Submits the page's pictures and text into the current frame.
  void draw();

  Mode getMode() const { return mode; }
  const KR::Vector2<float>& getPosition() const { return position; }
  float getTime() const { return animation.time; }
  const KR::Animation& getAnimation() const { return animation; }
  const KR::Ribbon& getRibbon() const { return ribbon; }

 private:
  void release();
  // The walk's position at a time, without disturbing the playback.
  KR::Vector2<float> sample(float at);

  bool loaded = false;
  Mode mode = Mode::WholeWalk;
  KR::Animation animation;
  KR::Ribbon ribbon;
  KR::Vector2<float> position;
  float alpha = 1.0f;
  // The description's playback settings.
  bool smooth = false;
  bool loopRange = false;
  float startMarker = -1.0f;
  float endMarker = -1.0f;
  // Drawn guides, worked out once.
  std::vector<KR::Vector2<float>> keys;
  std::vector<KR::Vector2<float>> path;
  KR::Vector2<float> markerPoints[2];

  KR::Sprite* walker = nullptr;
  KR::Sprite* band = nullptr;
  KR::FastSprite* dot = nullptr;
  KR::FontPreset heading;
  KR::FontPreset caption;
};

}  // namespace HOG
