#pragma once
// Showcase page of sprites: a described sprite stepping through its frames, a
// mesh sprite deformed by its vertices, rotation about a rotation centre, both
// mirrors, a clip rectangle, the three blend modes and a ring of fast sprites.
// The pictures come from the demo descriptions in both spellings
// ("demo_sprites" in Lua, "demo_sprites_xml" in XML).
#include <string>
#include <vector>

#include "core/showcase/showcase.h"
#include "rect.h"

namespace KR {
class FastSprite;
class Sprite;
}  // namespace KR

namespace HOG {

class SpriteShowcasePage : public ShowcasePage {
 public:
  ~SpriteShowcasePage() override;
  std::string title() const override {
    return "sprites: frames, mesh, rotation, mirrors, clipping, blending, fast sprites";
  }
  void update(float dt) override { time += dt; }
  void render(GameApplication& application) override;

  // Creates the pictures through the sprite managers (once); false while the
  // managers or the render system are missing.
  bool load();
  // Submits the page's pictures into the current frame.
  void draw();

 private:
  void release();

  float time = 0.0f;
  bool loaded = false;
  KR::Sprite* clock = nullptr;
  std::vector<KR::Rect> clockFrames;
  KR::Sprite* spinner = nullptr;
  KR::Sprite* mesh = nullptr;
  KR::Sprite* flags[4] = {nullptr, nullptr, nullptr, nullptr};
  KR::Sprite* clipped = nullptr;
  KR::Sprite* backdrop = nullptr;
  KR::Sprite* discs[3] = {nullptr, nullptr, nullptr};
  std::vector<KR::FastSprite*> ring;
  KR::FastSprite* marker = nullptr;
};

}  // namespace HOG
