#include "location_pictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "image_maker.h"

namespace KR {
namespace Tools {

namespace {

struct Look {
  const char* name;
  bool round;
  float r, g, b;
};

// Each picture: a disc or a square in its colour, lighter at the top. These are shown at about their own size.
constexpr Look kLooks[] = {
    {"location_hall", false, 0.45f, 0.30f, 0.20f}, {"location_garden", false, 0.20f, 0.50f, 0.22f},
    {"closeup_desk", false, 0.55f, 0.40f, 0.25f},  {"thing_passage", false, 0.10f, 0.08f, 0.06f},
    {"thing_desk", false, 0.35f, 0.22f, 0.12f},    {"thing_stone", true, 0.55f, 0.55f, 0.58f},
    {"thing_well", true, 0.25f, 0.30f, 0.45f},     {"thing_chest", false, 0.50f, 0.32f, 0.10f},
    {"thing_key", true, 0.90f, 0.80f, 0.20f},      {"icon_key", true, 0.90f, 0.80f, 0.20f},
    {"icon_gem_red", true, 0.90f, 0.15f, 0.15f},   {"icon_gem_green", true, 0.15f, 0.85f, 0.25f},
    {"icon_gem_blue", true, 0.20f, 0.35f, 0.95f},  {"icon_gems", false, 0.60f, 0.55f, 0.70f},
    {"icon_amulet", true, 0.80f, 0.60f, 0.90f},
};

RgbaPicture draw(const Look& look) {
  constexpr uint32_t kSize = 64;
  RgbaPicture picture;
  picture.width = picture.height = kSize;
  picture.pixels.assign(size_t(kSize) * kSize * 4, 0);
  for (uint32_t y = 0; y < kSize; ++y)
    for (uint32_t x = 0; x < kSize; ++x) {
      const float dx = float(x) + 0.5f - kSize / 2.0f, dy = float(y) + 0.5f - kSize / 2.0f;
      const float edge = look.round ? std::sqrt(dx * dx + dy * dy) / (kSize / 2.0f) : 0.0f;
      if (edge > 1.0f) continue;
      const float light = 1.25f - 0.5f * float(y) / kSize - 0.2f * edge;
      uint8_t* p = &picture.pixels[(size_t(y) * kSize + x) * 4];
      p[0] = uint8_t(std::clamp(look.r * light, 0.0f, 1.0f) * 255.0f);
      p[1] = uint8_t(std::clamp(look.g * light, 0.0f, 1.0f) * 255.0f);
      p[2] = uint8_t(std::clamp(look.b * light, 0.0f, 1.0f) * 255.0f);
      p[3] = 255;
    }
  return picture;
}

// Pictures that scenes stretch far (the gardener stands tall in his talk, the paper covers a page or the whole map)
// are drawn larger and soft at their rim: alpha falls off over one texel, and the texels outside keep the colour
// at the rim, so that filtered magnification neither steps nor darkens the outline.
uint8_t toByte(float v) { return uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

void putSoft(RgbaPicture& picture, uint32_t x, uint32_t y, float r, float g, float b, float coverage) {
  uint8_t* p = &picture.pixels[(size_t(y) * picture.width + x) * 4];
  p[0] = toByte(r);
  p[1] = toByte(g);
  p[2] = toByte(b);
  p[3] = toByte(coverage);
}

RgbaPicture blank(uint32_t width, uint32_t height) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height * 4, 0);
  return picture;
}

// The gardener: an upright oval filling 128 x 256, lighter at the top.
RgbaPicture gardener() {
  constexpr uint32_t kW = 128, kH = 256;
  constexpr float r = 0.85f, g = 0.70f, b = 0.50f;
  RgbaPicture picture = blank(kW, kH);
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) {
      const float dx = (float(x) + 0.5f - kW / 2.0f) / (kW / 2.0f), dy = (float(y) + 0.5f - kH / 2.0f) / (kH / 2.0f);
      const float edge = std::sqrt(dx * dx + dy * dy);
      // Distance inside the outline in texels, along the narrow axis.
      const float inside = (1.0f - edge) * (kW / 2.0f);
      const float light = 1.25f - 0.5f * float(y) / kH - 0.2f * std::min(edge, 1.0f);
      putSoft(picture, x, y, r * light, g * light, b * light, inside + 0.5f);
    }
  return picture;
}

// The paper: a white sheet with rounded corners (a fifth of its side), greying towards its rim and a little towards
// its foot; widgets and scenes tint and stretch it.
RgbaPicture paper() {
  constexpr uint32_t kSize = 256;
  constexpr float kHalf = kSize / 2.0f, kRadius = 40.0f, kRim = 10.0f;
  RgbaPicture picture = blank(kSize, kSize);
  for (uint32_t y = 0; y < kSize; ++y)
    for (uint32_t x = 0; x < kSize; ++x) {
      const float dx = std::max(0.0f, std::fabs(float(x) + 0.5f - kHalf) - (kHalf - kRadius));
      const float dy = std::max(0.0f, std::fabs(float(y) + 0.5f - kHalf) - (kHalf - kRadius));
      const float inside = kRadius - std::sqrt(dx * dx + dy * dy);  // texels inside the outline
      const float rim = std::clamp(inside / kRim, 0.0f, 1.0f);
      const float body = 1.0f - 0.25f * float(y) / kSize;
      const float shade = 0.6f + (body - 0.6f) * rim * rim * (3.0f - 2.0f * rim);
      putSoft(picture, x, y, shade, shade, shade, inside + 0.5f);
    }
  return picture;
}

// The glow laid over a place while a carried thing may go there: white, opaque at its centre and fading smoothly to
// nothing at its rim (96 x 96, shown at its own size and tinted by the scene).
RgbaPicture glow() {
  constexpr uint32_t kSize = 96;
  RgbaPicture picture = blank(kSize, kSize);
  for (uint32_t y = 0; y < kSize; ++y)
    for (uint32_t x = 0; x < kSize; ++x) {
      const float dx = float(x) + 0.5f - kSize / 2.0f, dy = float(y) + 0.5f - kSize / 2.0f;
      const float fade = std::clamp(1.0f - std::sqrt(dx * dx + dy * dy) / (kSize / 2.0f), 0.0f, 1.0f);
      putSoft(picture, x, y, 1.0f, 1.0f, 1.0f, fade * fade * (3.0f - 2.0f * fade));
    }
  return picture;
}

}  // namespace

bool writeLocationPictures(const std::string& folder, std::string& error) {
  for (const Look& look : kLooks)
    if (!writePngRgba(draw(look), folder, look.name, error)) return false;
  return writePngRgba(gardener(), folder, "thing_gardener", error) && writePngRgba(paper(), folder, "paper", error) &&
         writePngRgba(glow(), folder, "glow", error);
}

}  // namespace Tools
}  // namespace KR
