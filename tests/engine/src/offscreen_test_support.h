#pragma once
// Helpers of the tests that draw off screen: a configuration of a given
// design size, and colours compared within a tolerance.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "config_manager.h"

namespace KR {
namespace Test {

// A configuration that loads nothing, whose current platform "test" has the
// given design size.
inline std::unique_ptr<ConfigManager> designConfig(int width, int height) {
  auto config = std::make_unique<ConfigManager>(ConfigManager::NoLoad{});
  PlatformConfig platform;
  platform.name = "test";
  platform.resolutionWidth = width;
  platform.resolutionHeight = height;
  config->platforms.push_back(platform);
  config->currentPlatform = &config->platforms[0];
  return config;
}

// Channel-wise comparison of two 0xAARRGGBB values within a tolerance, over
// the lowest `channels` bytes (3: blue, green and red; 4: alpha too).
inline ::testing::AssertionResult channelsNear(uint32_t expected, uint32_t actual, int tolerance, int channels) {
  for (int s = 0; s < channels * 8; s += 8) {
    const int e = int((expected >> s) & 0xFF), a = int((actual >> s) & 0xFF);
    if (std::abs(e - a) > tolerance)
      return ::testing::AssertionFailure() << std::hex << "expected 0x" << expected << " got 0x" << actual;
  }
  return ::testing::AssertionSuccess();
}

// All four channels, alpha included.
inline ::testing::AssertionResult colorNear(uint32_t expected, uint32_t actual, int tolerance = 2) {
  return channelsNear(expected, actual, tolerance, 4);
}

}  // namespace Test
}  // namespace KR
