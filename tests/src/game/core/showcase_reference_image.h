// Whole frames of the showcase pages compared with committed reference images
// in tests/data/render/ within a small tolerance; a missing reference is
// written next to the test binary for review instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/png_file.h"

namespace KR {
namespace Test {

// frame: RGBA bytes of width x height pixels, as read back from the device.
inline void expectReferenceImage(const std::string& name, const std::vector<uint8_t>& frame, uint32_t width,
                                 uint32_t height) {
  EXPECT_EQ(compareWithReference("render", name, frame, width, height), "");
}

}  // namespace Test
}  // namespace KR
