// The showcase's distortion page bends the demo grid through the displacement
// shader: its frames differ from the same scene drawn without the ripple,
// with distortion switched off they do not, and it gives its picture back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "core/showcase_distortion_page.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "render_system_dx8.h"
#include "shader_program.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"

namespace {

class DistortionPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = KR::FileSystem::getContentFolder();
    KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
    allocators.init();
    files = std::make_unique<KR::FileSystem>();
    config = std::make_unique<KR::ConfigManager>();
    files->loadFilesLocationInfo();
    textures = std::make_unique<KR::TextureManager>();
    renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = KR::RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = KR::RenderSystem::getDesignHeight();
    renderSystem->initDevice();
    ASSERT_EQ(0, renderSystem->createPixelShader(renderSystem->getDisplacementProgram(), KR::kDisplacementShaderSource));
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
  }
  void TearDown() override {
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    config.reset();
    files.reset();
    KR::FileSystem::setContentFolder(previous);
  }

  static size_t differing(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t n = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
      if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
    return n;
  }
  std::vector<uint8_t> read() {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    KR::Platform::RenderDevice* device = renderSystem->getDevice();
    EXPECT_TRUE(device->readPixels(device->backBuffer(), rgba, w, h));
    return rgba;
  }

  KR::Test::LogCapture log;
  std::string previous;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::TextureManager> textures;
  std::unique_ptr<KR::RenderSystem> renderSystem;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
};

TEST_F(DistortionPageTest, RippleBendsTheSceneOnlyWhileDistortionIsOn) {
  auto page = std::make_unique<HOG::DistortionShowcasePage>();
  ASSERT_TRUE(page->load());
  EXPECT_EQ(1u, sprites->getCount());
  page->update(0.7f);

  // The map colour is 0x7F where the ripple does not push.
  const uint32_t far = page->mapColor(-100000.0f, -100000.0f);
  EXPECT_EQ(0x7Fu, (far >> 16) & 0xFF);
  EXPECT_EQ(0x7Fu, (far >> 8) & 0xFF);

  // With distortion off, the page's frame is the plain scene.
  renderSystem->mDistortionEnabled = false;
  textures->createPendingTextures();
  renderSystem->checkDeviceLost();
  page->draw();
  EXPECT_FALSE(renderSystem->mDistortionUsed);
  renderSystem->renderFrame();
  const std::vector<uint8_t> plain = read();

  renderSystem->mDistortionEnabled = true;
  renderSystem->checkDeviceLost();
  page->draw();
  EXPECT_TRUE(renderSystem->mDistortionUsed);
  renderSystem->renderFrame();
  const std::vector<uint8_t> bent = read();
  EXPECT_GT(differing(plain, bent), plain.size() / 4 / 10) << "at least a tenth of the pixels move";

  page.reset();
  EXPECT_EQ(0u, sprites->getCount());
}

}  // namespace
