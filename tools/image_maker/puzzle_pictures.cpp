#include "puzzle_pictures.h"

#include <algorithm>
#include <cmath>

#include "image_maker.h"

namespace KR {
namespace Tools {

namespace {

enum class Shape { Square, Disc, Ring, Arrow, Spokes };

struct Piece {
  const char* name;
  uint32_t size;
  Shape shape;
  float r, g, b;
};

// One line per picture; a puzzle with a look of its own adds its line here.
constexpr Piece kPieces[] = {
    {"gallery_backdrop", 64, Shape::Square, 0.28f, 0.24f, 0.30f},
    {"gallery_plaque", 160, Shape::Square, 0.70f, 0.62f, 0.45f},
    {"puzzle_backdrop", 64, Shape::Square, 0.16f, 0.18f, 0.22f},
    {"puzzle_button", 128, Shape::Disc, 0.95f, 0.95f, 0.95f},
    {"puzzle_light", 48, Shape::Disc, 1.00f, 0.90f, 0.35f},
    {"puzzle_finish", 256, Shape::Ring, 0.95f, 0.85f, 0.30f},
    {"puzzle_back", 128, Shape::Arrow, 0.80f, 0.80f, 0.85f},
    {"puzzle_bar", 64, Shape::Square, 0.95f, 0.95f, 0.95f},
    // The pick-and-swap puzzles: a tile, and a gear whose spokes show it turning.
    {"puzzle_tile", 128, Shape::Square, 0.95f, 0.95f, 0.95f},
    {"puzzle_gear", 128, Shape::Spokes, 0.95f, 0.95f, 0.95f},
};

bool inside(Shape shape, float u, float v) {
  // u, v from -1 to 1 across the picture.
  const float d = std::sqrt(u * u + v * v);
  switch (shape) {
    case Shape::Square: return true;
    case Shape::Disc: return d <= 1.0f;
    case Shape::Ring: return d <= 1.0f && d >= 0.55f;
    case Shape::Arrow: return std::fabs(v) <= 0.35f || (u <= 0.0f && std::fabs(v) <= -u);
    case Shape::Spokes: return d <= 1.0f && (d >= 0.8f || d <= 0.25f || std::fabs(u) <= 0.12f || std::fabs(v) <= 0.12f);
  }
  return false;
}

RgbaPicture draw(const Piece& piece) {
  const uint32_t n = piece.size;
  RgbaPicture picture;
  picture.width = picture.height = n;
  picture.pixels.assign(size_t(n) * n * 4, 0);
  for (uint32_t y = 0; y < n; ++y)
    for (uint32_t x = 0; x < n; ++x) {
      const float u = (float(x) + 0.5f) / float(n) * 2.0f - 1.0f, v = (float(y) + 0.5f) / float(n) * 2.0f - 1.0f;
      if (!inside(piece.shape, u, v)) continue;
      // Lighter at the top, a dark frame at the square's edge.
      float light = 1.15f - 0.3f * (v + 1.0f) * 0.5f;
      if (piece.shape == Shape::Square && (std::fabs(u) > 0.92f || std::fabs(v) > 0.92f)) light *= 0.5f;
      uint8_t* p = &picture.pixels[(size_t(y) * n + x) * 4];
      p[0] = uint8_t(std::clamp(piece.r * light, 0.0f, 1.0f) * 255.0f);
      p[1] = uint8_t(std::clamp(piece.g * light, 0.0f, 1.0f) * 255.0f);
      p[2] = uint8_t(std::clamp(piece.b * light, 0.0f, 1.0f) * 255.0f);
      p[3] = 255;
    }
  return picture;
}

}  // namespace

bool writePuzzlePictures(const std::string& folder, std::string& error) {
  for (const Piece& piece : kPieces)
    if (!writePngRgba(draw(piece), folder, piece.name, error)) return false;
  return true;
}

}  // namespace Tools
}  // namespace KR
