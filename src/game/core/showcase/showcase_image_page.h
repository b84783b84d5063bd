#pragma once
// Showcase page of the picture formats: the demo pictures as textured quads
// in the 1024 x 768 design area, each over a checker panel (so transparency
// shows) and labelled with its format and container: PNG in all four colour
// types from the packed archive, DXT5 DDS from the zip archive and KRT as a
// loose file. A frame runs along the edge of the design area; resizing the
// window or switching to full screen (Alt+Enter) shows how the fit letterboxes
// or crops it, and the page states the fit it currently sees.
#include <string>

#include "core/showcase/showcase.h"
#include "font_preset.h"
#include "rect.h"

namespace KR {
class Sprite;
}

namespace HOG {

class ImageShowcasePage : public ShowcasePage {
 public:
  static constexpr int kPictureCount = 6;

  // One picture of the page: its resource name and its label's two lines.
  struct Picture {
    const char* name;
    const wchar_t* format;
    const wchar_t* container;
  };
  static const Picture kPictures[kPictureCount];
  // Where picture i's quad lies in the design area, once loaded.
  const KR::Rect& getQuadRect(int i) const { return quadRects[i]; }

  ~ImageShowcasePage() override;
  std::string title() const override { return "images: PNG, DDS and KRT in design coordinates"; }
  void render(GameApplication& application) override;

  // Creates the quads and reads the text presets (once); false while the
  // managers or the render system are missing.
  bool load();
  // Submits the page's pictures and text into the current frame.
  void draw();
  // One line on what the window does with the design area just now: its
  // size, the fit type and where the design area lands.
  static std::string describeFit();

 private:
  void release();

  bool loaded = false;
  KR::Sprite* quads[kPictureCount] = {};
  KR::Sprite* panels[kPictureCount] = {};
  KR::Rect quadRects[kPictureCount];
  KR::FontPreset heading;
  KR::FontPreset label;
  KR::FontPreset caption;
};

}  // namespace HOG
