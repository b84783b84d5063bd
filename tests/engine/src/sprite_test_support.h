#pragma once
// A small world for the sprite tests: loose content files registered under
// (package, name), the managers the pictures need (configuration, file system,
// textures, sprite managers) and, on request, an off-screen render system
// whose frame can be read back.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "image_maker.h"
#include "loose_content.h"
#include "offscreen_test_support.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"

namespace KR {
namespace Test {

// Design area of the off-screen frame.
constexpr int kFrameWidth = 128;
constexpr int kFrameHeight = 96;

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
};

// A picture of w x h texels made of 8 x 8 blocks; block (bx, by) is coloured
// by `paint`.
template <typename Paint>
Tools::RgbaPicture blockPicture(uint32_t width, uint32_t height, Paint paint) {
  Tools::RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(size_t(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const Rgba c = paint(x, y);
      uint8_t* p = &picture.pixels[(size_t(y) * width + x) * 4];
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
      p[3] = c.a;
    }
  return picture;
}

class SpriteWorld : public LooseContent {
 public:
  SpriteWorld() : LooseContent("sprites") {
    allocators.init();
    config = designConfig(kFrameWidth, kFrameHeight);
  }
  ~SpriteWorld() {
    fastSprites.reset();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    fileSystem.reset();
    config.reset();
  }

  void addPicture(const std::string& package, const std::string& name, const Tools::RgbaPicture& picture) {
    std::vector<uint8_t> png;
    std::string error;
    ASSERT_TRUE(Tools::encodePngRgba(picture, png, error)) << error;
    add(package, name, std::string(png.begin(), png.end()));
  }

  // File system, texture manager and both sprite managers over the content.
  void start() {
    mount();
    textures = std::make_unique<TextureManager>();
    sprites = std::make_unique<SpriteManager<Sprite>>();
    fastSprites = std::make_unique<SpriteManager<FastSprite>>();
  }

  // An off-screen render system drawing a kFrameWidth x kFrameHeight frame.
  void startRendering() {
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = kFrameWidth;
    renderSystem->getWindowInfo().mWndHeight = kFrameHeight;
    renderSystem->initDevice();
  }

  // Frame start (pending textures made first, so pictures loaded by the
  // test are drawable in this very frame).
  void beginFrame() {
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
  }
  // Frame end; the design-area picture is kept for pixel().
  void endFrame() {
    renderSystem->flushBatch();
    uint32_t width = 0, height = 0;
    frame.clear();
    ASSERT_TRUE(renderSystem->readScene(frame, width, height));
    frameWidth = width;
    renderSystem->renderFrame();
    renderSystem->present();
  }
  Rgba pixel(int x, int y) const {
    Rgba c;
    const size_t i = (size_t(y) * frameWidth + size_t(x)) * 4;
    if (i + 3 >= frame.size()) return c;
    c.r = frame[i];
    c.g = frame[i + 1];
    c.b = frame[i + 2];
    c.a = frame[i + 3];
    return c;
  }

  // Engine code logs; the capture keeps a log system alive for it.
  LogCapture log;
  EngineAllocators allocators;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<TextureManager> textures;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
  std::unique_ptr<SpriteManager<FastSprite>> fastSprites;

 private:
  std::vector<uint8_t> frame;
  uint32_t frameWidth = 0;
};

inline bool near(const Rgba& c, uint8_t r, uint8_t g, uint8_t b, int tolerance = 8) {
  return std::abs(int(c.r) - r) <= tolerance && std::abs(int(c.g) - g) <= tolerance &&
         std::abs(int(c.b) - b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
  return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ", " << int(c.a) << ")";
}

}  // namespace Test
}  // namespace KR
