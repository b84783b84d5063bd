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

// Each picture: a disc or a square in its colour, lighter at the top.
constexpr Look kLooks[] = {
    {"location_hall", false, 0.45f, 0.30f, 0.20f}, {"location_garden", false, 0.20f, 0.50f, 0.22f},
    {"closeup_desk", false, 0.55f, 0.40f, 0.25f},  {"thing_passage", false, 0.10f, 0.08f, 0.06f},
    {"thing_desk", false, 0.35f, 0.22f, 0.12f},    {"thing_stone", true, 0.55f, 0.55f, 0.58f},
    {"thing_well", true, 0.25f, 0.30f, 0.45f},     {"thing_chest", false, 0.50f, 0.32f, 0.10f},
    {"thing_gardener", true, 0.85f, 0.70f, 0.50f}, {"thing_key", true, 0.90f, 0.80f, 0.20f},
    {"icon_key", true, 0.90f, 0.80f, 0.20f},       {"icon_gem_red", true, 0.90f, 0.15f, 0.15f},
    {"icon_gem_green", true, 0.15f, 0.85f, 0.25f}, {"icon_gem_blue", true, 0.20f, 0.35f, 0.95f},
    {"icon_gems", false, 0.60f, 0.55f, 0.70f},     {"icon_amulet", true, 0.80f, 0.60f, 0.90f},
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

}  // namespace

bool writeLocationPictures(const std::string& folder, std::string& error) {
  for (const Look& look : kLooks)
    if (!writePngRgba(draw(look), folder, look.name, error)) return false;
  return true;
}

}  // namespace Tools
}  // namespace KR
