#pragma once
// Showcase page of the bitmap fonts: wrapped and aligned text in several font
// presets, text under a transform at other sizes and angles, a line typed out
// glyph by glyph, Latin-1 and CJK glyphs, and the resolution level the current
// window scale chose (resize the window to switch it). The frame rate is shown
// in the system font; Enter starts a two-second job, during which the engine's
// loading frame shows "Loading...".
#include <string>

#include "core/showcase/showcase.h"
#include "font_preset.h"

namespace KR {
class Font;
}

namespace HOG {

class FontShowcasePage : public ShowcasePage {
 public:
  ~FontShowcasePage() override;
  std::string title() const override { return "fonts: presets, wrapping, alignment, sizes, levels; Enter loads"; }
  void update(float dt) override;
  void render(GameApplication& application) override;

  // Reads the presets (once); false while the font manager or the render
  // system are missing.
  bool load();
  // Submits the page's text into the current frame; the frame rate goes out
  // in the overlay font when there is one.
  void draw(KR::Font* overlayFont);

 private:
  void release();

  float time = 0.0f;
  bool loaded = false;
  KR::FontPreset title_;
  KR::FontPreset body;
  KR::FontPreset centred;
  KR::FontPreset right;
  KR::FontPreset caption;
};

}  // namespace HOG
