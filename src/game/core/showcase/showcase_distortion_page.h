#pragma once
// Showcase page of the distortion map: the demo grid fills the screen, and a
// ripple drawn into the distortion map each frame bends it through the
// displacement shader at the end of the frame. Enter switches distortion off
// and on.
#include <string>

#include "core/showcase/showcase.h"

namespace KR {
class RenderData;
class Sprite;
}  // namespace KR

namespace HOG {

class DistortionShowcasePage : public ShowcasePage {
 public:
  ~DistortionShowcasePage() override;
  std::string title() const override { return "distortion map: a ripple bends the scene, Enter switches it"; }
  void update(float dt) override;
  void render(GameApplication& application) override;

  // Makes the picture and the ripple's quads (once); false while the sprite
  // manager or the render system is missing.
  bool load();
  // Draws the scene, then the ripple into the distortion map.
  void draw();
  // The map colour of a design point at the page's time: red and green 0x7F
  // plus the ripple's push along x and y.
  uint32_t mapColor(float x, float y) const;

 private:
  void release();

  float time = 0.0f;
  bool loaded = false;
  KR::Sprite* picture = nullptr;
  KR::RenderData* ripple = nullptr;
};

}  // namespace HOG
