#pragma once
// The world the video tests run in: loose content files under (package,
// name), configuration, file system, texture and sprite managers, and on
// request an off-screen render system whose frame can be read back. Clips
// come from the Theora writer, in memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "loose_content.h"
#include "offscreen_test_support.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/memory_file.h"
#include "support/test_support.h"
#include "texture_manager.h"
#include "theora_writer.h"

namespace KR {
namespace Test {

inline std::string clip(uint32_t width, uint32_t height, uint32_t fpsNum, uint32_t fpsDen, uint32_t frames,
                        Tools::TheoraClipSpec::Pattern pattern = Tools::TheoraClipSpec::kMoving) {
  Tools::TheoraClipSpec spec;
  spec.width = width;
  spec.height = height;
  spec.fpsNumerator = fpsNum;
  spec.fpsDenominator = fpsDen;
  spec.frames = frames;
  spec.pattern = pattern;
  return Tools::encodeTheora(spec);
}

inline std::string flatClip(uint8_t y, uint8_t u, uint8_t v, uint32_t frames = 3) {
  Tools::TheoraClipSpec spec;
  spec.width = 64;
  spec.height = 48;
  spec.frames = frames;
  spec.pattern = Tools::TheoraClipSpec::kFlat;
  spec.flatY = y;
  spec.flatU = u;
  spec.flatV = v;
  spec.quality = 63;
  return Tools::encodeTheora(spec);
}

class VideoWorld : public LooseContent {
 public:
  VideoWorld(int designWidth = 64, int designHeight = 48) : LooseContent("video") {
    allocators.init();
    config = designConfig(designWidth, designHeight);
    config->currentLanguage = "en";
  }
  ~VideoWorld() {
    sprites.reset();
    // Released textures wait for the next frame's pass: run it while the
    // device still exists.
    if (textures) textures->destroyDiscardedTextures();
    textures.reset();
    renderSystem.reset();
    fileSystem.reset();
    config.reset();
  }

  // Builds the file system over the files, the texture and sprite managers,
  // and with `withDevice` an off-screen render system of the design size.
  void start(bool withDevice = false) {
    mount();
    textures = std::make_unique<TextureManager>();
    sprites = std::make_unique<SpriteManager<Sprite>>();
    if (withDevice) {
      renderSystem = std::make_unique<RenderSystem>(nullptr);
      renderSystem->getWindowInfo().mWndWidth = config->currentPlatform->resolutionWidth;
      renderSystem->getWindowInfo().mWndHeight = config->currentPlatform->resolutionHeight;
      renderSystem->initDevice();
    }
  }

  // The scene (design-area picture) as 0xAARRGGBB values with opaque alpha;
  // read before renderFrame.
  std::vector<uint32_t> frame() {
    renderSystem->flushBatch();
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(renderSystem->readScene(rgba, w, h));
    frameWidth = w;
    std::vector<uint32_t> out(size_t(w) * h);
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = 0xFF000000u | uint32_t(rgba[i * 4]) << 16 | uint32_t(rgba[i * 4 + 1]) << 8 | rgba[i * 4 + 2];
    return out;
  }
  uint32_t frameWidth = 0;

  EngineAllocators allocators;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<TextureManager> textures;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
};

// Channel-wise comparison of two 0xAARRGGBB values within a tolerance.
inline ::testing::AssertionResult rgbNear(uint32_t expected, uint32_t actual, int tolerance) {
  return channelsNear(expected, actual, tolerance, 3);
}

}  // namespace Test
}  // namespace KR
