#include "game_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "image_maker.h"

namespace KR {
namespace Tools {

namespace {

struct Rgba {
  float r, g, b, a;
};

// Coverage of a shape, 4 x 4 samples a pixel; colour from the shape's
// painter at the pixel centre.
RgbaPicture paint(uint32_t size, const std::function<bool(float, float)>& inside,
                  const std::function<Rgba(float, float)>& colour) {
  RgbaPicture picture;
  picture.width = picture.height = size;
  picture.pixels.assign(size_t(size) * size * 4, 0);
  for (uint32_t y = 0; y < size; ++y)
    for (uint32_t x = 0; x < size; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += inside(float(x) + (float(sx) + 0.5f) / 4.0f, float(y) + (float(sy) + 0.5f) / 4.0f);
      if (!hits) continue;
      const Rgba c = colour(float(x) + 0.5f, float(y) + 0.5f);
      uint8_t* p = &picture.pixels[(size_t(y) * size + x) * 4];
      p[0] = uint8_t(std::clamp(c.r, 0.0f, 1.0f) * 255.0f);
      p[1] = uint8_t(std::clamp(c.g, 0.0f, 1.0f) * 255.0f);
      p[2] = uint8_t(std::clamp(c.b, 0.0f, 1.0f) * 255.0f);
      p[3] = uint8_t(std::clamp(c.a * float(hits) / 16.0f, 0.0f, 1.0f) * 255.0f);
    }
  return picture;
}

bool inPolygon(const std::vector<float>& xy, float x, float y) {
  bool in = false;
  const size_t n = xy.size() / 2;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
  }
  return in;
}

float distanceTo(float x, float y, float cx, float cy) { return std::hypot(x - cx, y - cy); }

// A shape with a dark rim: the outer shape in the rim colour, the shape
// shrunk by the rim width in the fill.
RgbaPicture outlined(uint32_t size, const std::function<float(float, float)>& depth, Rgba fill) {
  const Rgba rim{0.08f, 0.06f, 0.05f, 1.0f};
  return paint(
      size, [&](float x, float y) { return depth(x, y) > 0.0f; },
      [&](float x, float y) {
        if (depth(x, y) < 1.6f) return rim;
        const float shade = 1.0f - 0.35f * y / float(size);
        return Rgba{fill.r * shade, fill.g * shade, fill.b * shade, 1.0f};
      });
}

// The depth of a point inside a polygon: the distance to its nearest edge
// (negative outside).
float polygonDepth(const std::vector<float>& xy, float x, float y) {
  float best = 1e9f;
  const size_t n = xy.size() / 2;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const float ax = xy[2 * j], ay = xy[2 * j + 1], bx = xy[2 * i], by = xy[2 * i + 1];
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    best = std::min(best, distanceTo(x, y, ax + t * dx, ay + t * dy));
  }
  return inPolygon(xy, x, y) ? best : -best;
}

}  // namespace

RgbaPicture makeGamePicture(const std::string& name) {
  const float pi = 3.14159265f;
  if (name == "cursor_default") {
    const std::vector<float> arrow = {1, 1, 1, 25, 7.5f, 19.5f, 12, 29, 16, 27, 11.5f, 18, 19, 18};
    return outlined(32, [&](float x, float y) { return polygonDepth(arrow, x, y); }, {0.98f, 0.95f, 0.86f, 1});
  }
  if (name == "cursor_hand") {
    // A pointing finger over a palm.
    return outlined(32,
                    [](float x, float y) {
                      const float finger = std::min(std::min(x - 11.0f, 17.0f - x), std::min(y - 1.0f, 20.0f - y));
                      const float palmX = std::min(x - 7.0f, 27.0f - x), palmY = std::min(y - 13.0f, 30.0f - y);
                      return std::max(finger, std::min(palmX, palmY));
                    },
                    {0.96f, 0.80f, 0.55f, 1});
  }
  if (name == "cursor_passage") {
    const std::vector<float> up = {16, 1, 30, 16, 21, 16, 21, 30, 11, 30, 11, 16, 2, 16};
    return outlined(32, [&](float x, float y) { return polygonDepth(up, x, y); }, {0.45f, 0.90f, 0.45f, 1});
  }
  if (name == "cursor_look") {
    // A magnifier: a ring with a handle.
    return outlined(32,
                    [](float x, float y) {
                      const float d = distanceTo(x, y, 13.0f, 13.0f);
                      const float ring = std::min(d - 6.5f, 11.5f - d);
                      const float along = (x + y - 38.0f) / std::sqrt(2.0f),
                                  across = std::fabs(x - y) / std::sqrt(2.0f);
                      const float handle = std::min(std::min(along, 11.0f - along), 3.0f - across);
                      return std::max(ring, handle);
                    },
                    {0.55f, 0.75f, 1.0f, 1});
  }
  if (name == "cursor_take") {
    // A grabbing claw: a disc with three fingers on top.
    return outlined(32,
                    [](float x, float y) {
                      float best = 10.0f - distanceTo(x, y, 16.0f, 20.0f);
                      for (int i = 0; i < 3; ++i) {
                        const float cx = 8.0f + 8.0f * float(i);
                        best = std::max(
                            best, std::min(std::min(x - (cx - 3.0f), cx + 3.0f - x), std::min(y - 3.0f, 20.0f - y)));
                      }
                      return best;
                    },
                    {1.0f, 0.65f, 0.25f, 1});
  }
  if (name == "loading_image") {
    // A ring whose brightness runs once round it, so its turning shows.
    return paint(
        64,
        [](float x, float y) {
          const float d = distanceTo(x, y, 32.0f, 32.0f);
          return d > 20.0f && d < 30.0f;
        },
        [pi](float x, float y) {
          const float t = (std::atan2(y - 32.0f, x - 32.0f) + pi) / (2.0f * pi);
          return Rgba{0.95f, 0.85f, 0.55f, 0.15f + 0.85f * t};
        });
  }
  if (name == "loading_backdrop") {
    return paint(
        16, [](float, float) { return true; },
        [](float x, float y) {
          const float t = y / 16.0f;
          return Rgba{0.05f + 0.04f * t, 0.06f + 0.03f * x / 16.0f, 0.14f - 0.06f * t, 1.0f};
        });
  }
  return RgbaPicture();
}

bool writeGamePictures(const std::string& folder, std::string& error) {
  for (const char* name : {"cursor_default", "cursor_hand", "cursor_passage", "cursor_look", "cursor_take",
                           "loading_image", "loading_backdrop"}) {
    std::vector<uint8_t> file;
    if (!encodePngRgba(makeGamePicture(name), file, error)) return false;
    const std::string path = folder + "/" + name + ".png";
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size()) {
      if (out) std::fclose(out);
      error = "cannot write " + path;
      return false;
    }
    std::fclose(out);
  }
  return true;
}

}  // namespace Tools
}  // namespace KR
