// The showcase's distortion page bends the demo grid through the displacement
// shader: its frames differ from the same scene drawn without the ripple,
// with distortion switched off they do not, and it gives its picture back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/showcase/showcase_distortion_page.h"
#include "shader_program.h"
#include "showcase_test_support.h"
#include "sprite.h"

namespace {

class DistortionPageTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    ASSERT_EQ(0,
              renderSystem->createPixelShader(renderSystem->getDisplacementProgram(), KR::kDisplacementShaderSource));
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
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
