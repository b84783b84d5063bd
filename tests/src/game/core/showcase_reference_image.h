// Whole frames of the showcase pages compared with committed reference images
// in tests/data/render/ within a small tolerance; a missing reference is
// written next to the test binary for review instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/png_file.h"

namespace KR {
namespace Test {

inline bool nearColor(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

// frame: RGBA bytes of width x height pixels, as read back from the device.
inline void expectReferenceImage(const std::string& name, const std::vector<uint8_t>& frame, uint32_t width,
                                 uint32_t height) {
  std::vector<uint32_t> drawn(size_t(width) * height);
  for (size_t i = 0; i < drawn.size(); ++i)
    drawn[i] = 0xFF000000u | uint32_t(frame[i * 4]) << 16 | uint32_t(frame[i * 4 + 1]) << 8 | frame[i * 4 + 2];
  std::vector<uint32_t> expected;
  uint32_t w = 0, h = 0;
  const std::string reference = std::string(KR_TEST_SOURCE_DIR) + "/tests/data/render/" + name + ".png";
  if (!readPng(reference, expected, w, h)) {
    const std::string out = std::string(KR_TEST_BINARY_DIR) + "/tests/" + name + ".png";
    writePng(out, drawn, width, height);
    FAIL() << "no reference image; this frame was written to " << out;
  }
  ASSERT_EQ(width, w);
  ASSERT_EQ(height, h);
  int off = 0;
  for (size_t i = 0; i < drawn.size(); ++i) off += !nearColor(expected[i], drawn[i], 3);
  // Rasterisers may differ on a few edge pixels.
  EXPECT_LE(off, int(drawn.size() / 200)) << off << " pixels of " << name << " differ";
}

}  // namespace Test
}  // namespace KR
