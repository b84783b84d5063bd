// Render targets, shader programs through the render system, the distortion
// map and the displacement composite, and the content's shader files; drawn
// off screen and read back.
#include "shader_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "color.h"
#include "data_test_content.h"
#include "offscreen_test_support.h"
#include "platform/render_device_shaders.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "render_target.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {
namespace Test {
namespace {

constexpr int kW = 64;
constexpr int kH = 48;

std::string mediaShader(const std::string& file) {
  std::ifstream in(std::string(KR_TEST_SOURCE_DIR) + "/media/shaders/" + file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ShaderProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { start(kVertexFormatEngine); }

  void start(uint32_t vertexMask) {
    content = std::make_unique<ScratchContent>("shader_program");
    content->config =
        "config = { platforms = { { name = 'pc', directories = { 'pc' }, resolution = { 64, 48 } } },\n"
        "  currentPlatform = 'pc', currentLanguage = 'en' }\n";
    content->addEntry("default", "green_ps", "ps.1.1\ndef c0, 0, 1, 0, 1\nmov r0, c0\n");
    content->addEntry("default", "broken_ps", "ps.1.1\nmov r0, r5\n");
    content->addEntry("default", "pass_vs", "vs.1.1\nm4x4 oPos, v0, c0\nmov oD0, v1\n");
    content->start();
    content->configManager->vertexFormatFlags = vertexMask;
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    textures = std::make_unique<TextureManager>();
    sprites = std::make_unique<SpriteManager<Sprite>>();
    renderSystem->getWindowInfo().mWndWidth = kW;
    renderSystem->getWindowInfo().mWndHeight = kH;
    renderSystem->initDevice();
  }

  void TearDown() override {
    owned.clear();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    content.reset();
  }

  Platform::RenderDevice* device() { return renderSystem->getDevice(); }

  Texture* makeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb, TextureFormat format = TF_A8R8G8B8) {
    Texture* t = textures->createEmptyTexture(w, h, format);
    textures->addReference(t);
    textures->createPendingTextures();
    std::vector<uint8_t> bytes;
    uint32_t imageFormat = IF_RGBA;
    for (uint32_t c : argb) {
      if (format == TF_L8) {
        bytes.push_back(uint8_t(c));
        imageFormat = IF_LUMINANCE;
      } else if (format == TF_A8L8) {
        bytes.push_back(uint8_t(c));
        bytes.push_back(uint8_t(c >> 24));
        imageFormat = IF_LUMINANCE_ALPHA;
      } else {
        const uint8_t px[4] = {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)};
        bytes.insert(bytes.end(), px, px + 4);
      }
    }
    t->update(bytes.data(), imageFormat, w, h);
    return t;
  }

  // One quad in design pixels with per-corner colours (top left, top right,
  // bottom right, bottom left) and texture coordinates 0..1.
  RenderData* quad(float l, float t, float r, float b, uint32_t argb, Texture* texture = nullptr,
                   const uint32_t* corners = nullptr) {
    owned.push_back(std::make_unique<RenderData>());
    RenderData* rd = owned.back().get();
    rd->addTexture(texture);
    rd->allocateVertices(4);
    const float xy[4][2] = {{l, t}, {r, t}, {r, b}, {l, b}};
    const float uv[4][2] = {{0.f, 0.f}, {1.f, 0.f}, {1.f, 1.f}, {0.f, 1.f}};
    uint8_t* v = rd->getVertexBytes();
    for (int i = 0; i < 4; ++i, v += gVertexStride) {
      const float p[3] = {xy[i][0], xy[i][1], 0.f};
      const uint32_t c = corners ? corners[i] : argb;
      std::memcpy(v + getVertexComponentOffset(VC_POSITION), p, sizeof p);
      std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &c, 4);
      std::memcpy(v + getVertexComponentOffset(VC_TEXCOORD0), uv[i], sizeof uv[i]);
    }
    return rd;
  }

  // Pixels of a colour surface (the back buffer when null) as 0xAARRGGBB.
  std::vector<uint32_t> read(Platform::DeviceSurface* surface = nullptr, bool opaque = true) {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(device()->readPixels(surface ? surface : device()->backBuffer(), rgba, w, h));
    std::vector<uint32_t> out(size_t(w) * h);
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = (opaque ? 0xFF000000u : uint32_t(rgba[i * 4 + 3]) << 24) | uint32_t(rgba[i * 4]) << 16 |
               uint32_t(rgba[i * 4 + 1]) << 8 | rgba[i * 4 + 2];
    return out;
  }
  static uint32_t at(const std::vector<uint32_t>& f, int x, int y, int width = kW) {
    return f[size_t(y) * size_t(width) + size_t(x)];
  }

  // The scene: red on the left half, blue on the right, a green band over
  // rows 20 to 27.
  void drawScene() {
    renderSystem->render(quad(0, 0, kW / 2, kH, 0xFFFF0000));
    renderSystem->render(quad(kW / 2, 0, kW, kH, 0xFF0000FF));
    renderSystem->render(quad(0, 20, kW, 28, 0xFF00FF00));
  }

  // One frame with the scene and, when given, one quad of that colour in the
  // distortion map.
  std::vector<uint32_t> frameWithMap(bool drawMap, uint32_t mapColor) {
    renderSystem->checkDeviceLost();
    drawScene();
    if (drawMap) {
      renderSystem->beginOffscreenPass();
      renderSystem->render(quad(0, 0, kW, kH, mapColor));
      renderSystem->endOffscreenPass();
    }
    renderSystem->renderFrame();
    return read();
  }

  std::unique_ptr<ScratchContent> content;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<TextureManager> textures;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
  std::vector<std::unique_ptr<RenderData>> owned;
};

// ---------------------------------------------------------------------------
// Render targets

TEST_F(ShaderProgramTest, RenderTargetSlotsAreReusedByRequest) {
  RenderTarget* a = renderSystem->acquireRenderTarget(32, 24, false);
  RenderTarget* b = renderSystem->acquireRenderTarget(32, 24, false);
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  EXPECT_NE(a, b);
  EXPECT_EQ(&renderSystem->mRenderTargets[0], a);
  EXPECT_EQ(&renderSystem->mRenderTargets[1], b);
  EXPECT_EQ(32u, a->mTextureWidth);
  EXPECT_EQ(24u, a->mTextureHeight);
  EXPECT_TRUE(a->mInUse && a->mCreated);
  ASSERT_NE(nullptr, a->mSprite);
  EXPECT_EQ(float(kW), a->mSprite->getSize().x);
  EXPECT_EQ(float(kH), a->mSprite->getSize().y);
  EXPECT_EQ(uint32_t(TAM_CLAMP), a->mSprite->mQuad->mAddressMode);

  // Released: the same request gets the same slot and texture back.
  Texture* textureOfA = a->mTexture;
  const size_t count = textures->getTextureCount();
  renderSystem->releaseRenderTarget(a);
  EXPECT_FALSE(a->mInUse);
  EXPECT_EQ(a, renderSystem->acquireRenderTarget(32, 24, false));
  EXPECT_EQ(textureOfA, a->mTexture);
  EXPECT_EQ(count, textures->getTextureCount());

  // A different request (size or depth flag) takes the first empty slot, even
  // when a free slot of another request exists.
  renderSystem->releaseRenderTarget(b);
  RenderTarget* c = renderSystem->acquireRenderTarget(32, 24, true);
  EXPECT_EQ(&renderSystem->mRenderTargets[2], c);
  EXPECT_TRUE(c->mUseDepth);
  RenderTarget* full = renderSystem->acquireRenderTarget(0, 0, false);
  EXPECT_EQ(&renderSystem->mRenderTargets[3], full);
  EXPECT_EQ(uint32_t(kW), full->mTextureWidth);  // 0: the full design size
  EXPECT_EQ(uint32_t(kH), full->mTextureHeight);

  // Foreign and null pointers are ignored.
  RenderTarget stranger;
  renderSystem->releaseRenderTarget(&stranger);
  renderSystem->releaseRenderTarget(nullptr);
  EXPECT_TRUE(a->mInUse);

  // All eight created and in use: null, for a new request and for a known one.
  for (int i = 4; i < kRenderTargetSlots; ++i) EXPECT_NE(nullptr, renderSystem->acquireRenderTarget(8 + i, 8, false));
  EXPECT_EQ(nullptr, renderSystem->acquireRenderTarget(5, 5, false));
  EXPECT_EQ(b, renderSystem->acquireRenderTarget(32, 24, false));  // b was free
  EXPECT_EQ(nullptr, renderSystem->acquireRenderTarget(32, 24, false));
  // All created: a new request finds no empty slot even after releases.
  renderSystem->releaseRenderTarget(c);
  EXPECT_EQ(nullptr, renderSystem->acquireRenderTarget(5, 5, false));
}

TEST_F(ShaderProgramTest, TargetsAndProgramsSurviveADeviceReset) {
  RenderTarget* t = renderSystem->acquireRenderTarget(16, 16, true);
  ASSERT_NE(nullptr, t);
  ShaderProgram green;
  ASSERT_EQ(0, renderSystem->loadPixelShader(&green, "green_ps"));
  renderSystem->reset();
  ASSERT_NE(nullptr, t->mTexture->mHandle);
  EXPECT_EQ(0, renderSystem->setRenderTargetTexture(t));
  EXPECT_EQ(0, renderSystem->restoreSceneTarget());
  renderSystem->releaseRenderTarget(t);
  EXPECT_EQ(t, renderSystem->acquireRenderTarget(16, 16, true));

  renderSystem->checkDeviceLost();
  EXPECT_EQ(0, renderSystem->setShaderProgram(&green));
  renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF));
  EXPECT_EQ(0, renderSystem->resetShaders());
  renderSystem->renderFrame();
  EXPECT_EQ(0xFF00FF00u, at(read(), 4, 4));
  renderSystem->releaseShaderProgram(&green);
}

TEST_F(ShaderProgramTest, DrawingIntoATargetAndBack) {
  RenderTarget* t = renderSystem->acquireRenderTarget(kW / 2, kH / 2, false);
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(1, renderSystem->setRenderTargetTexture(nullptr));
  RenderTarget empty;
  EXPECT_EQ(1, renderSystem->setRenderTargetTexture(&empty));

  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, kW, kH, 0xFF0000FF));  // the scene: blue
  ASSERT_EQ(0, renderSystem->setRenderTargetTexture(t));
  device()->clear(Platform::CLEAR_TARGET, 0xFF00FFFF, 1.f, 0);
  // Design-size transforms: the left half of the design lands in the left
  // half of the half-size target.
  renderSystem->render(quad(0, 0, kW / 2, kH, 0xFFFFFF00));
  ASSERT_EQ(0, renderSystem->restoreSceneTarget());
  EXPECT_TRUE(t->mTexture->mOpaque);  // no alpha: its picture hides what lies beneath
  const std::vector<uint32_t> target = read(device()->textureSurface(t->mTexture->mHandle), false);
  EXPECT_EQ(0xFFFFFF00u, at(target, 2, 2, kW / 2));
  EXPECT_EQ(0xFF00FFFFu, at(target, kW / 2 - 2, 2, kW / 2));

  // The target's sprite shows the picture over the design area.
  t->mSprite->setPosition(0.f, 0.f);
  t->mSprite->updateVertices();
  t->mSprite->render();
  renderSystem->renderFrame();
  const std::vector<uint32_t> f = read();
  EXPECT_TRUE(KR::Test::colorNear(0xFFFFFF00, at(f, 4, 10)));
  EXPECT_TRUE(KR::Test::colorNear(0xFF00FFFF, at(f, kW - 4, 10)));
  renderSystem->releaseRenderTarget(t);
}

// A frame that needs no picture of itself is drawn straight into the window
// through a viewport: it must show what the composite of the scene texture
// shows, a trip into a target and back included.
TEST_F(ShaderProgramTest, FrameDrawnIntoTheWindowShowsWhatItsCompositeShows) {
  renderSystem->getWindowInfo().mWndHeight = kH * 2;  // the design area at (0, 24), bars above and below
  renderSystem->reset();
  Texture* checker = makeTexture(2, 2, {0xFFFFFFFF, 0x80000000, 0x00000000, 0xFFFF8000});
  auto frame = [&](bool offscreen, std::vector<uint32_t>& scene) {
    if (offscreen) renderSystem->requestSceneTexture();
    renderSystem->checkDeviceLost();
    EXPECT_EQ(!offscreen, renderSystem->isFrameDirect());
    drawScene();
    RenderTarget* t = renderSystem->acquireRenderTarget(kW / 2, kH / 2, false);
    EXPECT_NE(nullptr, t);
    if (t && renderSystem->setRenderTargetTexture(t) == 0) {
      device()->clear(Platform::CLEAR_TARGET, 0xFFFFFF00, 1.f, 0);
      renderSystem->render(quad(0, 0, kW / 2, kH / 2, 0xFF00FFFF));
      EXPECT_EQ(0, renderSystem->restoreSceneTarget());
      t->mSprite->setPosition(4.f, 30.f);
      t->mSprite->updateVertices();
      t->mSprite->render();
    }
    renderSystem->render(quad(40, 2, 60, 16, 0xFFFFFFFF, checker));
    renderSystem->clearStencil();
    renderSystem->beginStencilMask();
    renderSystem->render(quad(44, 20, 52, 44, 0xFFFFFFFF, checker));
    renderSystem->endStencilMask();
    renderSystem->enableStencilTest();
    renderSystem->render(quad(0, 0, kW, kH, 0xFFFF00FF));
    renderSystem->disableStencilTest();
    renderSystem->renderFrame();
    if (t) renderSystem->releaseRenderTarget(t);
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(renderSystem->readScene(rgba, w, h));
    EXPECT_EQ(uint32_t(kW), w);
    EXPECT_EQ(uint32_t(kH), h);
    scene.assign(size_t(w) * h, 0);
    for (size_t i = 0; i < scene.size(); ++i)
      scene[i] = 0xFF000000u | uint32_t(rgba[i * 4]) << 16 | uint32_t(rgba[i * 4 + 1]) << 8 | rgba[i * 4 + 2];
    return read();
  };
  std::vector<uint32_t> composedScene, directScene;
  const std::vector<uint32_t> composed = frame(true, composedScene);
  const std::vector<uint32_t> direct = frame(false, directScene);
  ASSERT_EQ(composed.size(), direct.size());
  ASSERT_EQ(size_t(kW) * kH * 2, direct.size());
  EXPECT_EQ(0xFF000000u, at(direct, 10, 10));
  EXPECT_EQ(0xFF000000u, at(direct, 10, 80));
  EXPECT_EQ(0xFFFF0000u, at(direct, 2, 26));
  EXPECT_EQ(0xFF00FFFFu, at(direct, 6, 24 + 32));  // the target's picture, where the sprite put it
  for (int y = 0; y < kH * 2; ++y)
    for (int x = 0; x < kW; ++x)
      ASSERT_TRUE(KR::Test::colorNear(at(composed, x, y), at(direct, x, y))) << x << "," << y;
  // The design area reads back the same from the window as from the scene texture.
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      ASSERT_EQ(at(direct, x, y + 24), at(directScene, x, y)) << x << "," << y;
      ASSERT_TRUE(KR::Test::colorNear(at(composedScene, x, y), at(directScene, x, y))) << x << "," << y;
    }
}

// ---------------------------------------------------------------------------
// The displacement composite

TEST_F(ShaderProgramTest, DisplacementProgramIsMadeFromItsSource) {
  ShaderProgram* d = renderSystem->getDisplacementProgram();
  ASSERT_NE(nullptr, d);
  EXPECT_FALSE(d->mPixelShaderCreated);
  EXPECT_EQ(0, renderSystem->createPixelShader(d, kDisplacementShaderSource));
  EXPECT_TRUE(d->mPixelShaderCreated);
  EXPECT_FALSE(d->mVertex.mVertexShaderCreated);
}

TEST_F(ShaderProgramTest, MapOf7FLeavesTheSceneAndOthersMoveIt) {
  ShaderProgram* d = renderSystem->getDisplacementProgram();
  ASSERT_EQ(0, renderSystem->createPixelShader(d, kDisplacementShaderSource));
  d->mReady = true;

  const std::vector<uint32_t> plain = frameWithMap(false, 0);
  EXPECT_EQ(0xFFFF0000u, at(plain, 31, 5));
  EXPECT_EQ(0xFF0000FFu, at(plain, 32, 5));

  // Red and green 0x7F: every pixel stays where it is.
  const std::vector<uint32_t> still = frameWithMap(true, 0xFF7F7F00);
  for (int y = 0; y < kH; y += 3)
    for (int x = 0; x < kW; ++x) ASSERT_TRUE(KR::Test::colorNear(at(plain, x, y), at(still, x, y))) << x << "," << y;

  // Red 0xFF: u moves by (1 - 0.498039) x 0.15, that is 4.82 pixels of 64,
  // so the red/blue edge appears 4.82 pixels further left.
  const float shiftU = (1.f - 0.498039f) * 0.15f * kW;
  const std::vector<uint32_t> right = frameWithMap(true, 0xFFFF7F00);
  for (int x = 0; x < kW; ++x) {
    const float source = float(x) + shiftU;  // texel position sampled (centres at integers)
    if (source < 30.5f) {
      EXPECT_TRUE(KR::Test::colorNear(0xFFFF0000, at(right, x, 5))) << x;
    } else if (source > 32.5f && source < kW - 1) {
      EXPECT_TRUE(KR::Test::colorNear(0xFF0000FF, at(right, x, 5))) << x;
    }
  }
  // Green 0x00: v moves by (0 - 0.498039) x 0.15, 3.59 pixels of 48 upward,
  // so the green band (rows 20 to 27) appears 3.59 rows further down.
  const float shiftV = (0.f - 0.498039f) * 0.15f * kH;
  const std::vector<uint32_t> down = frameWithMap(true, 0xFF7F0000);
  for (int y = 0; y < kH; ++y) {
    const float source = float(y) + shiftV;
    const bool band = source > 20.5f && source < 26.5f;
    const bool outside = source < 18.5f || source > 28.5f;
    if (band) {
      EXPECT_TRUE(KR::Test::colorNear(0xFF00FF00, at(down, 10, y))) << y;
    } else if (outside && source > 0.5f) {
      EXPECT_TRUE(KR::Test::colorNear(0xFFFF0000, at(down, 10, y))) << y;
    }
  }
}

TEST_F(ShaderProgramTest, DistortionMapIsClearedOncePerFrameAndOnlyUsedWhenDrawn) {
  // A stand-in displacement program that paints everything green shows when
  // the composite uses it.
  ShaderProgram* d = renderSystem->getDisplacementProgram();
  ASSERT_EQ(0, renderSystem->createPixelShader(d, "ps.1.1\ndef c0, 0, 1, 0, 1\nmov r0, c0\n"));

  // A frame without distortion drawing: no shader.
  std::vector<uint32_t> f = frameWithMap(false, 0);
  EXPECT_EQ(0xFFFF0000u, at(f, 5, 5));
  f = frameWithMap(true, 0xFF7F7F00);
  EXPECT_EQ(0xFF00FF00u, at(f, 5, 5));

  // Two passes in one frame: the second does not clear what the first drew.
  ASSERT_EQ(0, renderSystem->createPixelShader(d, kDisplacementShaderSource));
  renderSystem->checkDeviceLost();
  drawScene();
  renderSystem->beginOffscreenPass();
  renderSystem->render(quad(0, 0, kW, kH, 0xFFFF7F00));
  renderSystem->endOffscreenPass();
  EXPECT_TRUE(renderSystem->mDistortionUsed);
  renderSystem->beginOffscreenPass();
  renderSystem->endOffscreenPass();
  renderSystem->renderFrame();
  f = read();
  EXPECT_TRUE(KR::Test::colorNear(0xFF0000FF, at(f, 30, 5)));  // moved, as with one pass

  // Distortion disabled: the pass does nothing, and the map's drawing goes
  // into the scene.
  renderSystem->mDistortionEnabled = false;
  renderSystem->checkDeviceLost();
  drawScene();
  renderSystem->beginOffscreenPass();
  renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF));
  renderSystem->endOffscreenPass();
  EXPECT_FALSE(renderSystem->mDistortionUsed);
  renderSystem->renderFrame();
  f = read();
  EXPECT_EQ(0xFFFFFFFFu, at(f, 2, 2));
  EXPECT_EQ(0xFF0000FFu, at(f, 40, 5));

  // Without shader support the pass does nothing either.
  renderSystem->mDistortionEnabled = true;
  renderSystem->mVertexShader11Supported = false;
  renderSystem->checkDeviceLost();
  renderSystem->beginOffscreenPass();
  EXPECT_FALSE(renderSystem->mDistortionUsed);
  renderSystem->endOffscreenPass();
  renderSystem->renderFrame();
}

// ---------------------------------------------------------------------------
// Shader programs

TEST_F(ShaderProgramTest, CreationFailuresAreLoggedAndReturnOne) {
  ShaderProgram p;
  EXPECT_EQ(1, renderSystem->createPixelShader(&p, "ps.1.1\nfoo r0, v0\n"));
  EXPECT_TRUE(content->log.contains("ERROR: Failed to create pixel shader: line 2: unknown instruction 'foo'"));
  EXPECT_FALSE(p.mPixelShaderCreated);
  EXPECT_EQ(1, renderSystem->createVertexShader(&p.mVertex, "vs.1.1\nmov oPos, v9\n"));
  EXPECT_TRUE(content->log.contains(
      "ERROR: Failed to create vertex shader: line 2: input register 'v9' is not in the vertex declaration"));
  EXPECT_EQ(1, renderSystem->createPixelShader(&p, "vs.1.1\nm4x4 oPos, v0, c0\n"));
  EXPECT_TRUE(content->log.contains("ERROR: Failed to create pixel shader: line 1: expected a pixel shader version"));

  // Null arguments and missing support: 1 without a message.
  const size_t lines = content->log.lines().size();
  EXPECT_EQ(1, renderSystem->createPixelShader(nullptr, "ps.1.1\nmov r0, v0\n"));
  EXPECT_EQ(1, renderSystem->createPixelShader(&p, nullptr));
  renderSystem->mPixelShader14Supported = false;
  EXPECT_EQ(1, renderSystem->createPixelShader(&p, "ps.1.1\nmov r0, v0\n"));
  renderSystem->mPixelShader14Supported = true;
  renderSystem->mVertexShader11Supported = false;
  EXPECT_EQ(1, renderSystem->createVertexShader(&p.mVertex, "vs.1.1\nm4x4 oPos, v0, c0\n"));
  renderSystem->mVertexShader11Supported = true;
  EXPECT_EQ(lines, content->log.lines().size());

  // Files: missing, bad, good.
  EXPECT_EQ(1, renderSystem->loadPixelShader(&p, "no_such_ps"));
  EXPECT_TRUE(content->log.contains("ERROR. Failed to shader file no_such_ps"));
  EXPECT_EQ(1, renderSystem->loadPixelShader(&p, "broken_ps"));
  EXPECT_TRUE(content->log.contains("ERROR: Failed to create pixel shader: line 2: bad register 'r5'"));
  EXPECT_EQ(1, renderSystem->loadPixelShader(nullptr, "green_ps"));
  EXPECT_EQ(1, renderSystem->loadPixelShader(&p, nullptr));
  EXPECT_EQ(0, renderSystem->loadPixelShader(&p, "green_ps"));
  EXPECT_EQ(0, renderSystem->loadVertexShader(&p.mVertex, "pass_vs"));
  EXPECT_TRUE(p.mPixelShaderCreated && p.mVertex.mVertexShaderCreated);

  // Creating again replaces the old shader.
  const uint32_t old = p.mPixelShader;
  EXPECT_EQ(0, renderSystem->loadPixelShader(&p, "green_ps"));
  EXPECT_NE(old, p.mPixelShader);
  EXPECT_FALSE(renderSystem->getShaderDevice()->deletePixelShader(old));
}

TEST_F(ShaderProgramTest, DeleteAndReleaseReportWhatTheyDid) {
  ShaderProgram p;
  EXPECT_EQ(1, renderSystem->deletePixelShader(&p));
  EXPECT_EQ(1, renderSystem->deleteVertexShader(&p.mVertex));
  EXPECT_EQ(1, renderSystem->deletePixelShader(nullptr));
  EXPECT_EQ(1, renderSystem->releaseShaderProgram(nullptr));

  ASSERT_EQ(0, renderSystem->loadPixelShader(&p, "green_ps"));
  EXPECT_EQ(0, renderSystem->deletePixelShader(&p));
  EXPECT_FALSE(p.mPixelShaderCreated);
  EXPECT_EQ(0u, p.mPixelShader);

  // Only the pixel part: deleted, but the result says not both existed.
  ASSERT_EQ(0, renderSystem->loadPixelShader(&p, "green_ps"));
  p.mReady = true;
  EXPECT_EQ(1, renderSystem->releaseShaderProgram(&p));
  EXPECT_FALSE(p.mPixelShaderCreated);
  EXPECT_FALSE(p.mReady);

  ASSERT_EQ(0, renderSystem->loadPixelShader(&p, "green_ps"));
  ASSERT_EQ(0, renderSystem->loadVertexShader(&p.mVertex, "pass_vs"));
  EXPECT_EQ(0, renderSystem->releaseShaderProgram(&p));
  EXPECT_FALSE(p.mPixelShaderCreated || p.mVertex.mVertexShaderCreated);
}

TEST_F(ShaderProgramTest, ProgramsDrawAndResetToTheFixedPipeline) {
  ShaderProgram green;
  ASSERT_EQ(0, renderSystem->loadPixelShader(&green, "green_ps"));
  ShaderProgram colour;
  ASSERT_EQ(0, renderSystem->createPixelShader(&colour, "ps.1.1\nmov r0, v0\n"));
  ASSERT_EQ(0, renderSystem->loadVertexShader(&colour.mVertex, "pass_vs"));

  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, kW, kH, 0xFF000080));
  // A program without a vertex part: the fixed vertex pipeline places it.
  EXPECT_EQ(0, renderSystem->setShaderProgram(&green));
  renderSystem->render(quad(8, 8, 16, 16, 0xFFFFFFFF));
  // With the vertex part, fed the transposed view-projection as c0 to c3.
  EXPECT_EQ(0, renderSystem->setShaderProgram(&colour));
  renderSystem->setVertexShaderConstant(0, renderSystem->mShaderViewProjection, 4);
  renderSystem->render(quad(24, 8, 32, 16, 0xFFFF00FF));
  EXPECT_EQ(0, renderSystem->resetShaders());
  renderSystem->render(quad(40, 8, 48, 16, 0xFF808080));
  renderSystem->renderFrame();
  const std::vector<uint32_t> f = read();
  EXPECT_EQ(0xFF00FF00u, at(f, 8, 8));
  EXPECT_EQ(0xFF00FF00u, at(f, 15, 15));
  EXPECT_EQ(0xFF000080u, at(f, 7, 8));
  EXPECT_EQ(0xFF000080u, at(f, 16, 8));
  EXPECT_EQ(0xFFFF00FFu, at(f, 24, 8));
  EXPECT_EQ(0xFFFF00FFu, at(f, 31, 15));
  EXPECT_EQ(0xFF000080u, at(f, 23, 8));
  EXPECT_EQ(0xFF000080u, at(f, 32, 16));
  EXPECT_EQ(0xFF808080u, at(f, 40, 8));
  EXPECT_EQ(0, renderSystem->setShaderProgram(nullptr));
  renderSystem->releaseShaderProgram(&green);
  renderSystem->releaseShaderProgram(&colour);
}

// An opaque picture at full alpha drawn through a program is blended by the
// alpha the program gives, not the picture's.
TEST_F(ShaderProgramTest, AProgramsAlphaIsBlendedOverAnOpaquePicture) {
  ShaderProgram halfRed;
  ASSERT_EQ(0, renderSystem->createPixelShader(&halfRed, "ps.1.1\ndef c0, 1, 0, 0, 0.5\nmov r0, c0\n"));
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  white->mOpaque = true;
  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, kW, kH, 0xFF0000FF));
  renderSystem->setShaderProgram(&halfRed);
  renderSystem->render(quad(8, 8, 16, 16, 0xFFFFFFFF, white));
  renderSystem->resetShaders();
  renderSystem->renderFrame();
  EXPECT_TRUE(KR::Test::colorNear(0xFF80007F, at(read(), 10, 10)));
  renderSystem->releaseShaderProgram(&halfRed);
}

TEST_F(ShaderProgramTest, UnknownVertexFormatIsFatalForGoodTextOnly) {
  ShaderProgram p;
  content->configManager->vertexFormatFlags = 7;
  EXPECT_EQ(1, renderSystem->createVertexShader(&p.mVertex, "vs.1.1\nbogus oPos, v0\n"));
  EXPECT_TRUE(content->log.contains("ERROR: Failed to create vertex shader: line 2: unknown instruction 'bogus'"));
  EXPECT_EXIT(renderSystem->createVertexShader(&p.mVertex, "vs.1.1\nm4x4 oPos, v0, c0\n"),
              ::testing::ExitedWithCode(255), "Unknown vertex shader declaration!");
}

// ---------------------------------------------------------------------------
// The content's shader files (game vertex format)

class ContentShaderTest : public ShaderProgramTest {
 protected:
  void SetUp() override { start(kVertexFormatGame); }
};

TEST_F(ContentShaderTest, YuvConversionMatchesTheDecoder) {
  ShaderProgram yuv;
  ASSERT_EQ(0, renderSystem->createPixelShader(&yuv, mediaShader("yuv2rgb_ps.psh").c_str()));
  ASSERT_EQ(0, renderSystem->createVertexShader(&yuv.mVertex, mediaShader("yuv2rgb_vs.vsh").c_str()));
  // The decoder's conversion of (Y, U, V) with its integer tables.
  auto cpu = [](int y, int u, int v) {
    auto t = [](int k, int i) { return (k * (i - 128)) >> 7; };
    auto c = [](int x) { return uint32_t(std::min(255, std::max(0, x))); };
    return 0xFF000000u | c(y + t(175, v)) << 16 | c(y - t(44, u) - t(91, v)) << 8 | c(y + t(226, u));
  };
  const int samples[][3] = {{0, 128, 255}, {128, 128, 128}, {200, 30, 90}, {60, 220, 40}, {255, 255, 0}};
  for (const auto& s : samples) {
    Texture* luminance = makeTexture(1, 1, {uint32_t(s[0])}, TF_L8);
    Texture* chroma = makeTexture(1, 1, {uint32_t(s[2]) << 24 | uint32_t(s[1])}, TF_A8L8);
    renderSystem->checkDeviceLost();
    // Chroma coordinates travel in the vertex colour (red u, green v).
    const uint32_t corners[4] = {Color::fromFloats(0, 0, 1, 1).value, Color::fromFloats(1, 0, 1, 1).value,
                                 Color::fromFloats(1, 1, 1, 1).value, Color::fromFloats(0, 1, 1, 1).value};
    RenderData* picture = quad(0, 0, kW, kH, 0, luminance, corners);
    device()->setTexture(1, chroma->mHandle);
    renderSystem->setShaderProgram(&yuv);
    renderSystem->setVertexShaderConstant(0, renderSystem->mShaderViewProjection, 4);
    renderSystem->render(picture);
    renderSystem->flushBatch();
    renderSystem->resetShaders();
    device()->setTexture(1, nullptr);
    renderSystem->renderFrame();
    // The shader rounds where the tables truncate: one step apart at most.
    EXPECT_TRUE(KR::Test::colorNear(cpu(s[0], s[1], s[2]), at(read(), 10, 10), 1))
        << s[0] << " " << s[1] << " " << s[2];
    textures->releaseTexture(luminance);
    textures->releaseTexture(chroma);
  }
  EXPECT_EQ(0xFFAD0000u, cpu(0, 128, 255));  // 173, 0, 0
}

TEST_F(ContentShaderTest, GrayscaleAndBlur) {
  ShaderProgram grey, blur;
  ASSERT_EQ(0, renderSystem->createPixelShader(&grey, mediaShader("grayscale_ps.psh").c_str()));
  ASSERT_EQ(0, renderSystem->createPixelShader(&blur, mediaShader("blur_ps.psh").c_str()));
  ASSERT_EQ(0, renderSystem->createVertexShader(&blur.mVertex, mediaShader("blur_vs.vsh").c_str()));

  // Grey: luminance, vertex colour applied.
  Texture* orange = makeTexture(1, 1, {0xFFFF8000});
  renderSystem->checkDeviceLost();
  renderSystem->setShaderProgram(&grey);
  renderSystem->render(quad(0, 0, kW, kH, 0xFFFFFFFF, orange));
  renderSystem->resetShaders();
  renderSystem->renderFrame();
  const uint32_t l = uint32_t(std::lround((0.299 * 255 + 0.587 * 128)));
  EXPECT_TRUE(KR::Test::colorNear(0xFF000000u | l << 16 | l << 8 | l, at(read(), 5, 5)));

  // Blur: a vertical edge (black left, white right) spread by the taps along
  // x; nothing changes along y, and far from the edge nothing changes.
  std::vector<uint32_t> edge(16 * 4);
  for (int i = 0; i < 64; ++i) edge[size_t(i)] = (i % 16) < 8 ? 0xFF000000u : 0xFFFFFFFFu;
  Texture* picture = makeTexture(16, 4, edge);
  renderSystem->checkDeviceLost();
  renderSystem->setShaderProgram(&blur);
  renderSystem->setVertexShaderConstant(0, renderSystem->mShaderViewProjection, 4);
  const float offset[4] = {1.f / 16.f, 0.f, 0.f, 0.f};  // one texel along x
  renderSystem->setVertexShaderConstant(4, offset, 1);
  renderSystem->flushBatch();
  // The same picture and sampler states on stages 0 to 5.
  for (int s = 0; s < 6; ++s) {
    device()->setTexture(s, picture->mHandle);
    renderSystem->setTextureAddressMode(TAM_CLAMP, s);
    device()->setTextureStageState(s, Platform::TextureStageState::MagFilter,
                                   uint32_t(Platform::TextureFilter::Linear));
    device()->setTextureStageState(s, Platform::TextureStageState::MinFilter,
                                   uint32_t(Platform::TextureFilter::Linear));
  }
  RenderData* rd = quad(0, 0, kW, kH, 0xFFFFFFFF, picture);
  rd->mAddressMode = TAM_CLAMP;
  renderSystem->render(rd);
  renderSystem->flushBatch();
  for (int s = 1; s < 6; ++s) device()->setTexture(s, nullptr);
  renderSystem->resetShaders();
  renderSystem->renderFrame();
  const std::vector<uint32_t> f = read();
  // The edge sits at x = 32; the taps reach 2.5 texels (10 pixels) each side.
  EXPECT_TRUE(KR::Test::colorNear(0xFF000000, at(f, 4, 10)));
  EXPECT_TRUE(KR::Test::colorNear(0xFFFFFFFF, at(f, 60, 10)));
  const uint32_t mid = at(f, 32, 10) & 0xFF;
  EXPECT_GT(mid, 0x40u);
  EXPECT_LT(mid, 0xC0u);
  EXPECT_EQ(at(f, 32, 10), at(f, 32, 40));
  // Monotonic across the edge.
  for (int x = 20; x < 44; ++x) EXPECT_LE(at(f, x, 10) & 0xFF, at(f, x + 1, 10) & 0xFF) << x;
  textures->releaseTexture(orange);
  textures->releaseTexture(picture);
  renderSystem->releaseShaderProgram(&grey);
  renderSystem->releaseShaderProgram(&blur);
}

}  // namespace
}  // namespace Test
}  // namespace KR
