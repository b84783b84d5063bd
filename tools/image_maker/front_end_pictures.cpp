#include "front_end_pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "image_maker.h"

namespace KR {
namespace Tools {

namespace {

// A picture painted pixel by pixel (colour with alpha, each 0 to 1).
RgbaPicture paintPicture(uint32_t width, uint32_t height, const std::function<void(float, float, float*)>& colour) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height * 4, 0);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      float c[4] = {0, 0, 0, 1};
      colour(float(x) + 0.5f, float(y) + 0.5f, c);
      uint8_t* p = &picture.pixels[(size_t(y) * width + x) * 4];
      for (int i = 0; i < 4; ++i) p[i] = uint8_t(std::clamp(c[i], 0.0f, 1.0f) * 255.0f);
    }
  return picture;
}

// The studio's mark: a gold ring with a tower in it on deep blue.
void studioLogo(float x, float y, float* c) {
  const float d = std::hypot(x - 256.0f, y - 160.0f);
  c[0] = 0.05f, c[1] = 0.08f, c[2] = 0.2f;
  if (d > 100 && d < 118) c[0] = 0.95f, c[1] = 0.78f, c[2] = 0.3f;
  if (std::fabs(x - 256.0f) < 22 && y > 100 && y < 230) c[0] = 0.85f, c[1] = 0.7f, c[2] = 0.35f;
  if (std::fabs(x - 256.0f) < 34 && y > 92 && y < 110) c[0] = 0.85f, c[1] = 0.7f, c[2] = 0.35f;
}

// The engine's mark: three interlocking squares on grey.
void engineLogo(float x, float y, float* c) {
  c[0] = c[1] = c[2] = 0.15f;
  const float cx[3] = {196, 256, 316};
  const float tint[3][3] = {{0.8f, 0.3f, 0.25f}, {0.3f, 0.75f, 0.35f}, {0.3f, 0.45f, 0.85f}};
  for (int i = 0; i < 3; ++i)
    if (std::fabs(x - cx[i]) < 50 && std::fabs(y - 160.0f) < 50 &&
        (std::fabs(x - cx[i]) > 38 || std::fabs(y - 160.0f) > 38))
      c[0] = tint[i][0], c[1] = tint[i][1], c[2] = tint[i][2];
}

// The title (English): a moor under a dusk sky with a moon.
void titleLogo(float x, float y, float* c) {
  const float t = y / 320.0f;
  c[0] = 0.3f + 0.4f * t, c[1] = 0.2f + 0.15f * t, c[2] = 0.45f - 0.2f * t;
  if (std::hypot(x - 380.0f, y - 80.0f) < 36) c[0] = 0.95f, c[1] = 0.93f, c[2] = 0.8f;
  const float hill = 230.0f + 25.0f * std::sin(x / 60.0f);
  if (y > hill) c[0] = 0.12f, c[1] = 0.18f, c[2] = 0.1f;
}

// The menu's backdrop: dark blue-green with a soft light from the top.
void menuBackdrop(float x, float y, float* c) {
  const float glow = std::max(0.0f, 1.0f - std::hypot(x - 256.0f, y) / 360.0f);
  c[0] = 0.06f + 0.25f * glow, c[1] = 0.1f + 0.22f * glow, c[2] = 0.12f + 0.18f * glow;
}

}  // namespace

bool writeFrontEndPictures(const std::string& folder, std::string& error) {
  return writePngRgba(paintPicture(512, 320, studioLogo), folder, "logo_studio", error) &&
         writePngRgba(paintPicture(512, 320, engineLogo), folder, "logo_engine", error) &&
         writePngRgba(paintPicture(512, 320, titleLogo), folder, "logo_title", error) &&
         writePngRgba(paintPicture(512, 320, menuBackdrop), folder, "menu_backdrop", error);
}

}  // namespace Tools
}  // namespace KR
