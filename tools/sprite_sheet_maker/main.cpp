// sprite_sheet_maker <folder>
// sprite_sheet_maker ui <folder>
//
// The second form writes the widget demo's picture:
//   demo_ui_panel.png      a 64 x 64 rounded panel, white fading to light grey
//                          with a grey rim, stretched and tinted by widgets
//
// The first writes the pictures of the sprite demo as RGBA PNG files:
//   demo_sprite_sheet.png  four 32 x 32 frames side by side: a disc whose hand
//                          points up, right, down and left, in four colours
//   demo_sprite_grid.png   a 64 x 64 checker board with a red top row and a
//                          green left column, so that mirrors and clipping show
//   demo_sprite_disc.png   a 32 x 32 white disc with a soft rim (blend modes)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image_maker.h"

namespace {

using KR::Tools::RgbaPicture;

RgbaPicture blank(uint32_t width, uint32_t height) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height * 4, 0);
  return picture;
}

void put(RgbaPicture& picture, uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  uint8_t* p = &picture.pixels[(size_t(y) * picture.width + x) * 4];
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
}

RgbaPicture sheet() {
  RgbaPicture picture = blank(128, 32);
  const uint8_t colours[4][3] = {{230, 80, 60}, {240, 200, 40}, {70, 190, 90}, {60, 130, 230}};
  const float directions[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
  for (uint32_t frame = 0; frame < 4; ++frame) {
    for (uint32_t y = 0; y < 32; ++y) {
      for (uint32_t x = 0; x < 32; ++x) {
        const float dx = float(x) + 0.5f - 16.0f;
        const float dy = float(y) + 0.5f - 16.0f;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance > 15.0f) continue;
        // The hand: a thick line from the centre towards the frame's direction.
        const float along = dx * directions[frame][0] + dy * directions[frame][1];
        const float across = std::fabs(dx * directions[frame][1] - dy * directions[frame][0]);
        const bool hand = along > 0.0f && along < 13.0f && across < 2.5f;
        const bool rim = distance > 13.0f;
        if (hand || rim)
          put(picture, frame * 32 + x, y, 255, 255, 255, 255);
        else
          put(picture, frame * 32 + x, y, colours[frame][0], colours[frame][1], colours[frame][2], 255);
      }
    }
  }
  return picture;
}

RgbaPicture grid() {
  RgbaPicture picture = blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 64; ++x) {
      if (y < 8)
        put(picture, x, y, 220, 40, 40, 255);
      else if (x < 8)
        put(picture, x, y, 40, 200, 60, 255);
      else if (((x / 8) + (y / 8)) % 2)
        put(picture, x, y, 230, 230, 220, 255);
      else
        put(picture, x, y, 60, 60, 90, 255);
    }
  }
  return picture;
}

RgbaPicture disc() {
  RgbaPicture picture = blank(32, 32);
  for (uint32_t y = 0; y < 32; ++y) {
    for (uint32_t x = 0; x < 32; ++x) {
      const float dx = float(x) + 0.5f - 16.0f;
      const float dy = float(y) + 0.5f - 16.0f;
      const float fade = 16.0f - std::sqrt(dx * dx + dy * dy);
      if (fade <= 0.0f) continue;
      put(picture, x, y, 255, 255, 255, uint8_t(fade >= 4.0f ? 255 : fade * 63.0f));
    }
  }
  return picture;
}

RgbaPicture panel() {
  RgbaPicture picture = blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y) {
    for (uint32_t x = 0; x < 64; ++x) {
      // Distance outside the inner rectangle whose corners are rounded by 10.
      const float dx = std::fmax(0.0f, std::fabs(float(x) + 0.5f - 32.0f) - 22.0f);
      const float dy = std::fmax(0.0f, std::fabs(float(y) + 0.5f - 32.0f) - 22.0f);
      const float edge = 10.0f - std::sqrt(dx * dx + dy * dy);
      if (edge <= 0.0f) continue;
      const uint8_t alpha = uint8_t(edge >= 1.0f ? 255 : edge * 255.0f);
      const uint8_t shade = edge < 2.5f ? 150 : uint8_t(255 - y);
      put(picture, x, y, shade, shade, shade, alpha);
    }
  }
  return picture;
}

bool write(const std::string& path, const RgbaPicture& picture) {
  std::vector<uint8_t> png;
  std::string error;
  if (!KR::Tools::encodePngRgba(picture, png, error)) {
    std::fprintf(stderr, "sprite_sheet_maker: %s\n", error.c_str());
    return false;
  }
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::fprintf(stderr, "sprite_sheet_maker: cannot write %s\n", path.c_str());
    return false;
  }
  const bool ok = std::fwrite(png.data(), 1, png.size(), out) == png.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "ui")
    return write(std::string(argv[2]) + "/demo_ui_panel.png", panel()) ? 0 : 1;
  if (argc != 2) {
    std::fprintf(stderr, "usage: sprite_sheet_maker [ui] <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const bool ok = write(folder + "/demo_sprite_sheet.png", sheet()) &&
                  write(folder + "/demo_sprite_grid.png", grid()) && write(folder + "/demo_sprite_disc.png", disc());
  return ok ? 0 : 1;
}
