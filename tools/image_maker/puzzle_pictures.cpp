#include "puzzle_pictures.h"

#include <algorithm>
#include <cmath>

#include "image_maker.h"

namespace KR {
namespace Tools {

namespace {

enum class Shape { Square, Disc, Ring, Arrow, Spokes, Spokes8, Plate, Lens, Star };

struct Piece {
  const char* name;
  uint32_t width;
  uint32_t height;  // 0: square
  Shape shape;
  float r, g, b;
};

// One line per picture; a puzzle with a look of its own adds its line here.
constexpr Piece kPieces[] = {
    {"gallery_backdrop", 64, 0, Shape::Square, 0.28f, 0.24f, 0.30f},
    {"gallery_plaque", 160, 0, Shape::Square, 0.70f, 0.62f, 0.45f},
    {"puzzle_backdrop", 64, 0, Shape::Square, 0.16f, 0.18f, 0.22f},
    {"puzzle_button", 128, 0, Shape::Disc, 0.95f, 0.95f, 0.95f},
    {"puzzle_light", 48, 0, Shape::Disc, 1.00f, 0.90f, 0.35f},
    {"puzzle_finish", 256, 0, Shape::Ring, 0.95f, 0.85f, 0.30f},
    {"puzzle_back", 128, 0, Shape::Arrow, 0.80f, 0.80f, 0.85f},
    {"puzzle_bar", 64, 0, Shape::Square, 0.95f, 0.95f, 0.95f},
    // The pick-and-swap puzzles: a tile, and a gear whose spokes show it turning.
    {"puzzle_tile", 128, 0, Shape::Square, 0.95f, 0.95f, 0.95f},
    {"puzzle_gear", 128, 0, Shape::Spokes, 0.95f, 0.95f, 0.95f},
    // A white ring for a scene's colour keys to tint.
    {"puzzle_ring", 256, 0, Shape::Ring, 0.95f, 0.95f, 0.95f},
    // A gear of another kind: eight spokes.
    {"puzzle_gear8", 128, 0, Shape::Spokes8, 0.95f, 0.95f, 0.95f},
    // The banner a solved puzzle shows above its board, with the word on it.
    {"puzzle_banner", 512, 96, Shape::Plate, 0.92f, 0.78f, 0.36f},
    // The telescope: its lens with a cross, and the stars of its sky.
    {"puzzle_lens", 256, 0, Shape::Lens, 0.85f, 0.88f, 0.95f},
    {"puzzle_star", 32, 0, Shape::Star, 0.98f, 0.97f, 0.90f},
};

bool inside(Shape shape, float u, float v, float aspect) {
  // u, v from -1 to 1 across the picture; aspect is its width over its height.
  const float d = std::sqrt(u * u + v * v);
  switch (shape) {
    case Shape::Square: return true;
    case Shape::Disc: return d <= 1.0f;
    case Shape::Ring: return d <= 1.0f && d >= 0.55f;
    case Shape::Arrow: return std::fabs(v) <= 0.35f || (u <= 0.0f && std::fabs(v) <= -u);
    case Shape::Spokes: return d <= 1.0f && (d >= 0.8f || d <= 0.25f || std::fabs(u) <= 0.12f || std::fabs(v) <= 0.12f);
    case Shape::Spokes8: {
      const float diagonal = std::fabs(std::fabs(u) - std::fabs(v)) * 0.7071f;
      return d <= 1.0f && (d >= 0.8f || d <= 0.25f || std::fabs(u) <= 0.1f || std::fabs(v) <= 0.1f || diagonal <= 0.1f);
    }
    case Shape::Plate: {
      // Corners rounded by a radius of a third of the height.
      const float rx = 1.0f - 0.33f / aspect, ry = 0.67f;
      const float dx = std::max(0.0f, std::fabs(u) - rx) * aspect, dy = std::max(0.0f, std::fabs(v) - ry);
      return dx * dx + dy * dy <= 0.33f * 0.33f;
    }
    case Shape::Lens:
      return d <= 1.0f && (d >= 0.88f || (d >= 0.2f && d <= 0.7f && (std::fabs(u) <= 0.02f || std::fabs(v) <= 0.02f)));
    case Shape::Star: {
      // Four points: thin along the axes, a small round heart.
      const float au = std::fabs(u), av = std::fabs(v);
      return d <= 0.35f || (au + 4.0f * av <= 1.0f) || (av + 4.0f * au <= 1.0f);
    }
  }
  return false;
}

RgbaPicture draw(const Piece& piece) {
  const uint32_t w = piece.width, h = piece.height ? piece.height : piece.width;
  const float aspect = float(w) / float(h);
  RgbaPicture picture;
  picture.width = w;
  picture.height = h;
  picture.pixels.assign(size_t(w) * h * 4, 0);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const float u = (float(x) + 0.5f) / float(w) * 2.0f - 1.0f, v = (float(y) + 0.5f) / float(h) * 2.0f - 1.0f;
      if (!inside(piece.shape, u, v, aspect)) continue;
      // Lighter at the top, a dark frame at the square's edge, a darker rim round the plate.
      float light = 1.15f - 0.3f * (v + 1.0f) * 0.5f;
      if (piece.shape == Shape::Square && (std::fabs(u) > 0.92f || std::fabs(v) > 0.92f)) light *= 0.5f;
      if (piece.shape == Shape::Plate && !inside(Shape::Plate, u * 1.02f, v * 1.12f, aspect)) light *= 0.55f;
      uint8_t* p = &picture.pixels[(size_t(y) * w + x) * 4];
      p[0] = uint8_t(std::clamp(piece.r * light, 0.0f, 1.0f) * 255.0f);
      p[1] = uint8_t(std::clamp(piece.g * light, 0.0f, 1.0f) * 255.0f);
      p[2] = uint8_t(std::clamp(piece.b * light, 0.0f, 1.0f) * 255.0f);
      p[3] = 255;
    }
  return picture;
}

void put(RgbaPicture& picture, uint32_t x, uint32_t y, float r, float g, float b) {
  uint8_t* p = &picture.pixels[(size_t(y) * picture.width + x) * 4];
  p[0] = uint8_t(std::clamp(r, 0.0f, 1.0f) * 255.0f);
  p[1] = uint8_t(std::clamp(g, 0.0f, 1.0f) * 255.0f);
  p[2] = uint8_t(std::clamp(b, 0.0f, 1.0f) * 255.0f);
  p[3] = 255;
}

// The jigsaws' picture, 256 x 256: a sky with the sun at the top left and a
// cloud at the right, hills below, a tree on the left hill and a red-roofed
// house on the right one. Each quarter holds something of its own, and up is
// plain to see, so a tile shows where it belongs and which way it turns.
RgbaPicture drawJigsawPicture() {
  const uint32_t n = 256;
  RgbaPicture picture;
  picture.width = picture.height = n;
  picture.pixels.assign(size_t(n) * n * 4, 0);
  for (uint32_t y = 0; y < n; ++y)
    for (uint32_t x = 0; x < n; ++x) {
      const float fx = float(x) + 0.5f, fy = float(y) + 0.5f;
      // Sky: light at the horizon, deep blue at the top.
      const float t = fy / 160.0f;
      float r = 0.35f + 0.4f * t, g = 0.55f + 0.3f * t, b = 0.95f;
      // The sun with a soft rim.
      const float sun = std::hypot(fx - 64.0f, fy - 56.0f);
      if (sun <= 30.0f)
        r = 1.0f, g = 0.85f, b = 0.25f;
      else if (sun <= 36.0f)
        r = std::min(1.0f, r + 0.3f), g = std::min(1.0f, g + 0.2f);
      // A cloud of three puffs on a flat bottom.
      struct Puff {
        float x, y, radius;
      };
      for (const Puff& puff : {Puff{178.0f, 70.0f, 18.0f}, Puff{200.0f, 60.0f, 24.0f}, Puff{224.0f, 72.0f, 17.0f}})
        if (std::hypot(fx - puff.x, fy - puff.y) <= puff.radius ||
            (fx > 178.0f && fx < 224.0f && fy > 62.0f && fy < 88.0f))
          r = g = b = 0.97f;
      // Two hills, the right one nearer and darker.
      const float hillLeft = 150.0f + 26.0f * std::cos((fx - 60.0f) / 60.0f);
      const float hillRight =
          168.0f + (fx < 200.0f ? (200.0f - fx) * (200.0f - fx) / 150.0f : (fx - 200.0f) * (fx - 200.0f) / 400.0f);
      if (fy >= hillLeft) r = 0.40f, g = 0.72f, b = 0.30f;
      if (fy >= hillRight) r = 0.28f, g = 0.58f, b = 0.22f;
      // The tree: a trunk and a round crown on the left hill.
      if (fx >= 56.0f && fx <= 66.0f && fy >= 150.0f && fy <= 200.0f) r = 0.45f, g = 0.28f, b = 0.12f;
      if (std::hypot(fx - 61.0f, fy - 142.0f) <= 22.0f) r = 0.16f, g = 0.45f, b = 0.16f;
      // The house: a cream wall with a door and a window, under a red roof.
      if (fx >= 160.0f && fx <= 222.0f && fy >= 178.0f && fy <= 226.0f) {
        r = 0.95f, g = 0.90f, b = 0.75f;
        if (fx >= 184.0f && fx <= 198.0f && fy >= 200.0f) r = 0.45f, g = 0.28f, b = 0.15f;
        if (fx >= 166.0f && fx <= 178.0f && fy >= 188.0f && fy <= 200.0f) r = 0.45f, g = 0.65f, b = 0.95f;
      }
      if (fy >= 146.0f && fy < 178.0f && std::fabs(fx - 191.0f) <= (fy - 146.0f) * 1.2f)
        r = 0.82f, g = 0.22f, b = 0.18f;
      // A path down the middle of the lower half.
      if (fy > 200.0f && std::fabs(fx - (128.0f + (fy - 200.0f) * 0.4f)) <= 4.0f + (fy - 200.0f) * 0.15f)
        r = 0.85f, g = 0.75f, b = 0.50f;
      put(picture, x, y, r, g, b);
    }
  return picture;
}

// A quarter of a picture (0 top left, 1 top right, 2 bottom left, 3 bottom
// right) with a thin dark edge, as a tile of its own.
RgbaPicture quarter(const RgbaPicture& whole, uint32_t index) {
  const uint32_t half = whole.width / 2, x0 = (index % 2) * half, y0 = (index / 2) * half;
  RgbaPicture tile;
  tile.width = tile.height = half;
  tile.pixels.assign(size_t(half) * half * 4, 0);
  for (uint32_t y = 0; y < half; ++y)
    for (uint32_t x = 0; x < half; ++x) {
      const uint8_t* from = &whole.pixels[(size_t(y0 + y) * whole.width + x0 + x) * 4];
      uint8_t* to = &tile.pixels[(size_t(y) * half + x) * 4];
      const bool edge = x < 2 || y < 2 || x + 2 >= half || y + 2 >= half;
      for (int c = 0; c < 3; ++c) to[c] = edge ? uint8_t(from[c] / 2) : from[c];
      to[3] = 255;
    }
  return tile;
}

// The picture turned a quarter against the clock: shown turned a quarter with
// the clock (as a tile whose right angle is 90 is), it stands upright.
RgbaPicture turnedBack(const RgbaPicture& picture) {
  const uint32_t n = picture.width;
  RgbaPicture turned;
  turned.width = turned.height = n;
  turned.pixels.assign(picture.pixels.size(), 0);
  for (uint32_t y = 0; y < n; ++y)
    for (uint32_t x = 0; x < n; ++x)
      for (int c = 0; c < 4; ++c)
        turned.pixels[(size_t(y) * n + x) * 4 + c] = picture.pixels[(size_t(x) * n + (n - 1 - y)) * 4 + c];
  return turned;
}

}  // namespace

bool writePuzzlePictures(const std::string& folder, std::string& error) {
  for (const Piece& piece : kPieces)
    if (!writePngRgba(draw(piece), folder, piece.name, error)) return false;
  const RgbaPicture picture = drawJigsawPicture();
  if (!writePngRgba(picture, folder, "puzzle_picture", error)) return false;
  for (uint32_t i = 0; i < 4; ++i)
    if (!writePngRgba(quarter(picture, i), folder, "puzzle_picture" + std::to_string(i), error)) return false;
  if (!writePngRgba(turnedBack(quarter(picture, 0)), folder, "puzzle_picture0_turned", error)) return false;
  return true;
}

}  // namespace Tools
}  // namespace KR
