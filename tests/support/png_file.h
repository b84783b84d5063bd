// Reading and writing 8-bit RGB PNG files of reference images, as pixels
// 0xFFRRGGBB. Header-only: the tests that include it link libpng themselves.
#pragma once

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace KR {
namespace Test {

// False when the file is missing or is not an 8-bit RGB PNG.
inline bool readPng(const std::string& path, std::vector<uint32_t>& argb, uint32_t& w, uint32_t& h) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  w = png_get_image_width(png, info);
  h = png_get_image_height(png, info);
  if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB || png_get_bit_depth(png, info) != 8)
    longjmp(png_jmpbuf(png), 1);
  std::vector<uint8_t> rows(size_t(w) * h * 3);
  std::vector<png_bytep> pointers(h);
  for (uint32_t y = 0; y < h; ++y) pointers[y] = rows.data() + size_t(y) * w * 3;
  png_read_image(png, pointers.data());
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  argb.resize(size_t(w) * h);
  for (size_t i = 0; i < argb.size(); ++i)
    argb[i] = 0xFF000000u | uint32_t(rows[i * 3]) << 16 | uint32_t(rows[i * 3 + 1]) << 8 | rows[i * 3 + 2];
  return true;
}

inline bool writePng(const std::string& path, const std::vector<uint32_t>& argb, uint32_t w, uint32_t h) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(w) * 3);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t c = argb[size_t(y) * w + x];
      row[x * 3] = uint8_t(c >> 16);
      row[x * 3 + 1] = uint8_t(c >> 8);
      row[x * 3 + 2] = uint8_t(c);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

// RGBA bytes as read back from the device, as pixels 0xFFRRGGBB.
inline std::vector<uint32_t> rgbaToArgb(const std::vector<uint8_t>& rgba, uint32_t w, uint32_t h) {
  std::vector<uint32_t> argb(size_t(w) * h);
  for (size_t i = 0; i < argb.size() && i * 4 + 2 < rgba.size(); ++i)
    argb[i] = 0xFF000000u | uint32_t(rgba[i * 4]) << 16 | uint32_t(rgba[i * 4 + 1]) << 8 | rgba[i * 4 + 2];
  return argb;
}

// Compares a frame (pixels 0xFFRRGGBB) with the committed reference image
// tests/data/<area>/<name>.png: empty when the sizes agree and at most one pixel
// in `share` (200 unless told) differs by more than the tolerance in a channel
// (rasterisers may differ on a few edge pixels), else what differs. A missing
// reference is written to the build folder's tests/ for review.
// A window rectangle [x0, x1) x [y0, y1) whose pixels a comparison leaves out.
struct IgnoredRect {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool holds(size_t x, size_t y) const { return int(x) >= x0 && int(x) < x1 && int(y) >= y0 && int(y) < y1; }
};

inline std::string compareWithReference(const std::string& area, const std::string& name,
                                        const std::vector<uint32_t>& argb, uint32_t w, uint32_t h, int tolerance = 3,
                                        size_t share = 200, const IgnoredRect& ignored = IgnoredRect()) {
  std::vector<uint32_t> expected;
  uint32_t ew = 0, eh = 0;
  const std::string reference = std::string(KR_TEST_SOURCE_DIR) + "/tests/data/" + area + "/" + name + ".png";
  if (!readPng(reference, expected, ew, eh)) {
    const std::string out = std::string(KR_TEST_BINARY_DIR) + "/tests/" + name + ".png";
    writePng(out, argb, w, h);
    return "no reference image; this frame was written to " + out;
  }
  if (ew != w || eh != h)
    return name + " is " + std::to_string(w) + " x " + std::to_string(h) + ", its reference " + std::to_string(ew) +
           " x " + std::to_string(eh);
  size_t off = 0;
  for (size_t i = 0; i < argb.size(); ++i) {
    if (ignored.holds(i % w, i / w)) continue;
    for (int shift : {0, 8, 16}) {
      const int a = int((expected[i] >> shift) & 0xFF), b = int((argb[i] >> shift) & 0xFF);
      if (a - b > tolerance || b - a > tolerance) {
        ++off;
        break;
      }
    }
  }
  if (off > argb.size() / share) return std::to_string(off) + " pixels of " + name + " differ";
  return std::string();
}

// The same for RGBA bytes as read back from the device.
inline std::string compareWithReference(const std::string& area, const std::string& name,
                                        const std::vector<uint8_t>& rgba, uint32_t w, uint32_t h, int tolerance = 3) {
  const std::vector<uint32_t> argb = rgbaToArgb(rgba, w, h);
  return compareWithReference(area, name, argb, w, h, tolerance);
}

}  // namespace Test
}  // namespace KR
