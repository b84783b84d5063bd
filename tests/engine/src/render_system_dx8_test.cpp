// The render system's frame, batching and states, drawn off screen and read back.
#include "render_system_dx8.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "notification.h"
#include "render_test_fixture.h"
#include "support/png_file.h"

namespace KR {
namespace Test {
namespace {

constexpr uint32_t kGrey = 0xFF808080u;

class RenderSystemTest : public RenderFixture {
 protected:
  // One frame: background, the given drawing, composite.
  template <typename Draw>
  std::vector<uint32_t> drawFrame(Draw draw, uint32_t background = 0) {
    renderSystem->checkDeviceLost();
    if (background) renderSystem->render(quad(0, 0, kDesignW, kDesignH, background));
    draw();
    renderSystem->renderFrame();
    return frame();
  }
};

TEST_F(RenderSystemTest, FrameCompositesSceneOneToOne) {
  auto f = drawFrame([&] { renderSystem->render(quad(10, 5, 20, 15, 0xFFFF0000)); });
  EXPECT_EQ(0xFFFF0000u, at(f, 10, 5));
  EXPECT_EQ(0xFFFF0000u, at(f, 19, 14));
  EXPECT_EQ(0xFF000000u, at(f, 20, 14));
  EXPECT_EQ(0xFF000000u, at(f, 9, 5));
  EXPECT_EQ(0xFF000000u, at(f, 10, 15));
  // Outside a frame nothing is written anywhere.
  renderSystem->render(quad(0, 0, 64, 48, 0xFFFFFFFF));
  EXPECT_EQ(0u, renderSystem->mBatchVertices);
}

TEST_F(RenderSystemTest, BlendModesAndVertexColourModulate) {
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  auto f = drawFrame(
      [&] {
        renderSystem->render(quad(0, 0, 8, 8, 0x80FF0000, white, BM_ALPHA));
        renderSystem->render(quad(8, 0, 16, 8, 0xFFFF4000, white, BM_COLOR));
        renderSystem->render(quad(16, 0, 24, 8, 0x80400000, white, BM_ADD));
        renderSystem->render(quad(24, 0, 32, 8, 0xFF00FF00, white, BM_KEEP));  // keeps "add"
      },
      kGrey);
  EXPECT_TRUE(colorNear(0xFFBF4040, at(f, 4, 4)));
  EXPECT_TRUE(colorNear(0xFFFFA080, at(f, 12, 4)));
  EXPECT_TRUE(colorNear(0xFFA08080, at(f, 20, 4)));
  EXPECT_TRUE(colorNear(0xFF80FF80, at(f, 28, 4)));
  // A texture is modulated by the vertex colour.
  Texture* tex = makeTexture(2, 1, {0xFFFFFFFF, 0xFF4080FF});
  renderSystem->render(nullptr);
  f = drawFrame([&] {
    RenderData* rd = quad(0, 0, 32, 16, 0xFF808080, tex);
    rd->mAddressMode = TAM_CLAMP;
    renderSystem->render(rd);
  });
  EXPECT_TRUE(colorNear(0xFF808080, at(f, 2, 8)));
  EXPECT_TRUE(colorNear(0xFF204080, at(f, 29, 8)));
}

// Quads of an opaque picture at full alpha are drawn without the blend,
// which changes no pixel; whatever is translucent in the same batch, in its
// picture or in its vertex colour, and everything after, is still blended.
TEST_F(RenderSystemTest, OpaqueBatchesShowTheBlendsPixelsAndLeaveTheBlendOn) {
  Texture* opaque = makeTexture(2, 1, {0xFF20C040, 0xFF20C040});
  opaque->mOpaque = true;  // as a picture of opaque texels is
  Texture* seeThrough = makeTexture(1, 1, {0x80FF0000});
  auto f = drawFrame(
      [&] {
        renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF, opaque));
        renderSystem->render(quad(8, 0, 16, 8, 0x80FFFFFF, opaque));  // the same batch, half alpha
        renderSystem->render(quad(16, 0, 24, 8, 0xFFFFFFFF, seeThrough));
        renderSystem->render(quad(24, 0, 32, 8, 0xFFFFFFFF, opaque));
        renderSystem->flushBatch();
        renderSystem->render(quad(32, 0, 40, 8, 0x80FFFFFF, opaque));  // after an opaque batch
      },
      kGrey);
  EXPECT_EQ(0xFF20C040u, at(f, 4, 4));
  EXPECT_TRUE(colorNear(0xFF50A060, at(f, 12, 4)));
  EXPECT_TRUE(colorNear(0xFFBF4040, at(f, 20, 4)));
  EXPECT_EQ(0xFF20C040u, at(f, 28, 4));
  EXPECT_TRUE(colorNear(0xFF50A060, at(f, 36, 4)));
  EXPECT_EQ(1u, device()->getRenderState(Platform::RenderState::AlphaBlendEnable));
  EXPECT_EQ(1u, device()->getRenderState(Platform::RenderState::AlphaTestEnable));
}

TEST_F(RenderSystemTest, FirstColourItemOfAFrameSendsItsOwnBlend) {
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  drawFrame([&] { renderSystem->render(quad(0, 0, 8, 8, 0x80400000, white, BM_ADD)); }, kGrey);
  // The device still blends "add"; the "color" items of the next frame must
  // not inherit it. The second lands on the first's grey.
  auto f = drawFrame(
      [&] {
        renderSystem->render(quad(0, 0, 8, 8, kGrey, white, BM_COLOR));
        renderSystem->render(quad(0, 0, 8, 8, 0xFFFF4000, white, BM_COLOR));
      },
      0);
  EXPECT_TRUE(colorNear(0xFFFFA080, at(f, 4, 4)));  // "add" would give 0xFFFFC080
}

TEST_F(RenderSystemTest, BatchingJoinsCompatibleItemsOnly) {
  Texture* a = makeTexture(1, 1, {0xFFFFFFFF});
  Texture* b = makeTexture(1, 1, {0xFF00FF00});
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  auto calls = [&] { return renderSystem->getDrawCallCount() - start; };
  renderSystem->render(quad(0, 0, 4, 4, 0xFFFFFFFF, a));
  renderSystem->render(quad(4, 0, 8, 4, 0xFFFFFFFF, a));
  EXPECT_EQ(0u, calls());
  EXPECT_EQ(8u, renderSystem->mBatchVertices);
  // Another texture waits beside the open batch.
  renderSystem->render(quad(8, 0, 12, 4, 0xFFFFFFFF, b));
  EXPECT_EQ(0u, calls());
  // Fully transparent: dropped without flushing.
  renderSystem->render(quad(8, 0, 12, 4, 0x00FFFFFF, a));
  EXPECT_EQ(0u, calls());
  EXPECT_EQ(8u, renderSystem->mBatchVertices);
  // Two more kinds (another blend mode, then another address mode) wait too;
  // a fifth draws the oldest batch, and the next oldest takes its place.
  renderSystem->render(quad(0, 8, 4, 12, 0xFFFFFFFF, b, BM_ADD));
  RenderData* clamped = quad(0, 8, 4, 12, 0xFFFFFFFF, b, BM_ADD);
  clamped->mAddressMode = TAM_CLAMP;
  renderSystem->render(clamped);
  EXPECT_EQ(0u, calls());
  RenderData* mirrored = quad(0, 8, 4, 12, 0xFFFFFFFF, b, BM_ADD);
  mirrored->mAddressMode = TAM_MIRROR;
  renderSystem->render(mirrored);
  EXPECT_EQ(1u, calls());
  EXPECT_EQ(4u, renderSystem->mBatchVertices);
  // An empty texture list always starts a batch, after all open ones; a
  // single null entry with the same states joins it.
  renderSystem->render(quad(0, 16, 4, 20, 0xFFFFFFFF, nullptr, BM_ALPHA, false));
  EXPECT_EQ(5u, calls());
  renderSystem->render(quad(0, 16, 4, 20, 0xFFFFFFFF, nullptr, BM_ALPHA, false));
  EXPECT_EQ(6u, calls());
  renderSystem->render(quad(4, 16, 8, 20, 0xFFFFFFFF, nullptr, BM_ALPHA, true));
  EXPECT_EQ(6u, calls());
  EXPECT_EQ(8u, renderSystem->mBatchVertices);
  renderSystem->renderFrame();
}

TEST_F(RenderSystemTest, TwoAlternatingTexturesMakeTwoCallsAndOverlapsKeepTheirOrder) {
  Texture* a = makeTexture(1, 1, {0xFFFFFFFF});
  Texture* b = makeTexture(1, 1, {0xFF00FF00});
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  // Six pictures, each with a caption on it, in a row.
  for (int i = 0; i < 6; ++i) {
    const float x = float(i * 10);
    renderSystem->render(quad(x, 0, x + 8, 8, 0xFFFFFFFF, a));
    renderSystem->render(quad(x + 2, 2, x + 6, 6, 0xFFFFFFFF, b));
  }
  renderSystem->flushBatch();
  EXPECT_EQ(2u, renderSystem->getDrawCallCount() - start);
  // A picture over an earlier caption is drawn after it; one beside it joins
  // the pictures' batch.
  renderSystem->render(quad(0, 20, 8, 28, 0xFFFFFFFF, a));
  renderSystem->render(quad(0, 30, 8, 38, 0xFFFFFFFF, b));
  renderSystem->render(quad(20, 30, 28, 38, 0xFFFFFFFF, a));
  renderSystem->render(quad(0, 30, 4, 38, 0xFFFFFFFF, a));
  renderSystem->renderFrame();
  auto f = frame();
  EXPECT_EQ(0xFF00FF00u, at(f, 54, 4));
  EXPECT_EQ(0xFFFFFFFFu, at(f, 51, 1));
  EXPECT_EQ(0xFFFFFFFFu, at(f, 2, 34));
  EXPECT_EQ(0xFF00FF00u, at(f, 6, 34));
  EXPECT_EQ(0xFFFFFFFFu, at(f, 24, 34));
  // A picture on a caption far wider than high, away from the caption's
  // left end, is drawn over it too.
  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, 4, 4, 0xFFFFFFFF, a));
  renderSystem->render(quad(10, 0, 60, 2, 0xFFFFFFFF, b));
  renderSystem->render(quad(30, 0, 34, 4, 0xFFFFFFFF, a));
  renderSystem->renderFrame();
  EXPECT_EQ(0xFFFFFFFFu, at(frame(), 32, 1));
}

TEST_F(RenderSystemTest, ThousandAndFirstQuadFlushesTheFirstThousand) {
  Texture* a = makeTexture(1, 1, {0xFFFFFFFF});
  RenderData* q = quad(0, 0, 1, 1, 0xFFFFFFFF, a);
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  for (int i = 0; i < 1000; ++i) renderSystem->render(q);
  EXPECT_EQ(start, renderSystem->getDrawCallCount());
  EXPECT_EQ(1000u, renderSystem->mBatchQuads);
  renderSystem->render(q);
  EXPECT_EQ(start + 1, renderSystem->getDrawCallCount());
  EXPECT_EQ(1u, renderSystem->mBatchQuads);
  renderSystem->renderFrame();
}

TEST_F(RenderSystemTest, OversizedRenderDataIsDrawnInBatchSizedPieces) {
  // 1600 quads, 6400 vertices: more than the buffer holds.
  Texture* a = makeTexture(1, 1, {0xFFFFFFFF});
  RenderData* big = quad(0, 0, 1, 1, 0xFF0000FF, a);
  for (int i = 1; i < 1600; ++i) {
    const float x = float(i % 64), y = float(i / 64);
    addQuad(*big, x, y, x + 1, y + 1, 0xFF0000FF);
  }
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  renderSystem->render(big);
  EXPECT_EQ(start + 1, renderSystem->getDrawCallCount());
  EXPECT_EQ(2400u, renderSystem->mBatchVertices);
  renderSystem->renderFrame();
  auto f = frame();
  EXPECT_EQ(0xFF0000FFu, at(f, 0, 0));
  EXPECT_EQ(0xFF0000FFu, at(f, 63, 24));  // quad 1599 lies at (63, 24)
  EXPECT_EQ(0xFF000000u, at(f, 0, 25));
}

TEST_F(RenderSystemTest, UnreadyTextureIsSkippedUntilTheFramePass) {
  Texture* later = textures->createEmptyTexture(1, 1, TF_A8R8G8B8);
  textures->addReference(later);
  RenderData* rd = quad(0, 0, 8, 8, 0xFFFFFFFF, later);
  renderSystem->checkDeviceLost();
  renderSystem->render(rd);
  EXPECT_EQ(0u, renderSystem->mBatchVertices);
  renderSystem->renderFrame();  // the texture pass makes it
  ASSERT_NE(nullptr, later->mHandle);
  renderSystem->checkDeviceLost();
  renderSystem->render(rd);
  EXPECT_EQ(4u, renderSystem->mBatchVertices);
  renderSystem->renderFrame();
}

TEST_F(RenderSystemTest, StencilMaskClipsAndRestoresColourMask) {
  // The mask texture: left texel opaque, right texel fully transparent, so
  // only the left half of the mask quad passes the alpha test.
  Texture* mask = makeTexture(2, 1, {0xFFFFFFFF, 0x00FFFFFF});
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  auto f = drawFrame([&] {
    renderSystem->setColorWriteMask(true, true, true, false);
    renderSystem->clearStencil();
    renderSystem->beginStencilMask();
    RenderData* m = quad(16, 16, 48, 32, 0xFFFFFFFF, mask);
    m->mAddressMode = TAM_CLAMP;
    renderSystem->render(m);
    renderSystem->endStencilMask();
    EXPECT_TRUE(renderSystem->mColorWriteMask[0] && !renderSystem->mColorWriteMask[3]);
    renderSystem->enableStencilTest();
    renderSystem->render(quad(0, 0, 64, 48, 0xFF00FF00, white));
    renderSystem->disableStencilTest();
    renderSystem->render(quad(0, 40, 8, 48, 0xFFFF0000, white));
    renderSystem->setColorWriteMask(true, true, true, true);
  });
  EXPECT_EQ(0xFF00FF00u, at(f, 20, 20));  // inside the opaque half
  EXPECT_EQ(0xFF000000u, at(f, 44, 20));  // transparent half: no stencil
  EXPECT_EQ(0xFF000000u, at(f, 8, 8));    // outside the mask
  EXPECT_EQ(0xFFFF0000u, at(f, 2, 44));   // after the test is off
}

TEST_F(RenderSystemTest, ColourWriteMaskKeepsOtherChannels) {
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  auto f = drawFrame(
      [&] {
        renderSystem->setColorWriteMask(true, false, false, true);
        renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF, white));
        renderSystem->setColorWriteMask(true, true, true, true);
        EXPECT_FALSE(renderSystem->mPrevColorWriteMask[1]);
      },
      0xFF204060);
  EXPECT_EQ(0xFFFF4060u, at(f, 4, 4));
  EXPECT_EQ(0xFF204060u, at(f, 12, 4));
}

TEST_F(RenderSystemTest, AddressModesRepeatMirrorOrClamp) {
  // Four texels red, red, blue, blue; quads 32 pixels wide over u 0..2.
  Texture* t = makeTexture(4, 1, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF});
  auto f = drawFrame([&] {
    const uint32_t modes[3] = {TAM_WRAP, TAM_MIRROR, TAM_CLAMP};
    for (int i = 0; i < 3; ++i) {
      owned.push_back(std::make_unique<RenderData>());
      RenderData* rd = owned.back().get();
      rd->addTexture(t);
      rd->mAddressMode = modes[i];
      addQuad(*rd, 0, float(i * 8), 32, float(i * 8 + 8), 0xFFFFFFFF, 2.f, 1.f);
      renderSystem->render(rd);
    }
  });
  for (int y : {4, 12, 20}) {
    EXPECT_EQ(0xFFFF0000u, at(f, 3, y));
    EXPECT_EQ(0xFF0000FFu, at(f, 12, y));
  }
  EXPECT_EQ(0xFFFF0000u, at(f, 19, 4));  // wrap: red again
  EXPECT_EQ(0xFF0000FFu, at(f, 28, 4));
  EXPECT_EQ(0xFF0000FFu, at(f, 19, 12));  // mirror: blue first
  EXPECT_EQ(0xFFFF0000u, at(f, 28, 12));
  EXPECT_EQ(0xFF0000FFu, at(f, 19, 20));  // clamp: the blue edge
  EXPECT_EQ(0xFF0000FFu, at(f, 28, 20));
}

TEST_F(RenderSystemTest, NextFrameStartsWithTheAddressModeTheBatchStateAssumes) {
  // The composite of the first frame must not leave its addressing behind:
  // the next frame's batch state takes the device to be at wrap.
  Texture* t = makeTexture(4, 1, {0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF});
  drawFrame([] {});
  auto f = drawFrame([&] {
    owned.push_back(std::make_unique<RenderData>());
    RenderData* rd = owned.back().get();
    rd->addTexture(t);
    addQuad(*rd, 0, 0, 32, 8, 0xFFFFFFFF, 2.f, 1.f);
    renderSystem->render(rd);
  });
  EXPECT_EQ(0xFFFF0000u, at(f, 19, 4));  // wrap: red again
  EXPECT_EQ(0xFF0000FFu, at(f, 28, 4));
}

TEST_F(RenderSystemTest, DebugLinesCostOneDrawCallEach) {
  uint32_t calls = 0;
  auto f = drawFrame([&] {
    const uint32_t start = renderSystem->getDrawCallCount();
    renderSystem->drawLine(Vector2<float>(2.f, 10.f), Vector2<float>(40.f, 10.f));
    renderSystem->drawColoredLine(Vector2<float>(5.f, 20.f), Vector2<float>(5.f, 40.f), Color::fromARGB(0xFFFF0000));
    calls = renderSystem->getDrawCallCount() - start;
  });
  EXPECT_EQ(2u, calls);
  int green = 0, red = 0;
  for (int x = 0; x < 64; ++x)
    for (int y = 9; y <= 11; ++y) green += at(f, x, y) == 0xFF00FF00u;
  for (int y = 0; y < 48; ++y)
    for (int x = 4; x <= 6; ++x) red += at(f, x, y) == 0xFFFF0000u;
  EXPECT_NEAR(38, green, 2);
  EXPECT_NEAR(20, red, 2);
}

TEST_F(RenderSystemTest, CameraMovesContentAndIgnoresTinyChanges) {
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, 4, 4, 0xFFFFFFFF, white));
  const uint32_t start = renderSystem->getDrawCallCount();
  float cam[CAM_COUNT] = {1e-8f, 0.f, 1.f, 1.f, 0.f};
  renderSystem->setCamera(cam);
  EXPECT_EQ(start, renderSystem->getDrawCallCount());
  cam[CAM_X] = 1e-6f;
  renderSystem->setCamera(cam);
  EXPECT_EQ(start + 1, renderSystem->getDrawCallCount());
  renderSystem->mCameraLocked = true;
  cam[CAM_X] = 100.f;
  renderSystem->setCamera(cam);
  EXPECT_NEAR(1e-6f, renderSystem->mCamera[CAM_X], 1e-9f);
  renderSystem->mCameraLocked = false;
  cam[CAM_X] = 10.f;
  cam[CAM_Y] = 20.f;
  renderSystem->setCamera(cam);
  renderSystem->render(quad(0, 0, 4, 4, 0xFF00FF00, white));
  renderSystem->renderFrame();
  auto f = frame();
  EXPECT_EQ(0xFF00FF00u, at(f, 11, 21));  // moved by (+10, +20)
  EXPECT_EQ(0xFFFFFFFFu, at(f, 1, 1));
  // The camera survives the frame's composite.
  EXPECT_EQ(10.f, renderSystem->mCamera[CAM_X]);
}

TEST_F(RenderSystemTest, FadeLevelDarkensTheFrame) {
  renderSystem->mFadeLevel = 0.25f;
  auto f = drawFrame([] {}, 0xFFFFFFFF);
  EXPECT_TRUE(colorNear(0xFF404040, at(f, 30, 30)));
  renderSystem->mFadeLevel = 1.f;
  f = drawFrame([] {}, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFFFFFFu, at(f, 30, 30));
}

TEST_F(RenderSystemTest, ResizedWindowShowsBarsWhereTheFitPutsThem) {
  renderSystem->getWindowInfo().mWndWidth = 160;
  renderSystem->getWindowInfo().mWndHeight = 96;
  renderSystem->reset();
  // Whatever the window showed before, the bars start black.
  device()->setRenderTarget(device()->backBuffer(), device()->defaultDepthStencil());
  device()->clear(Platform::CLEAR_TARGET, 0xFFFFFFFF, 1.f, 0);
  auto f = drawFrame([] {}, 0xFFFFFFFF);
  uint32_t w = 0, h = 0;
  frame(&w, &h);
  EXPECT_EQ(160u, w);
  EXPECT_EQ(96u, h);
  // Design 64x48 into 160x96: 128x96 at (16, 0), black bars either side.
  EXPECT_EQ(0xFF000000u, at(f, 8, 50));
  EXPECT_EQ(0xFF000000u, at(f, 150, 50));
  EXPECT_EQ(0xFFFFFFFFu, at(f, 16, 50));
  EXPECT_EQ(0xFFFFFFFFu, at(f, 143, 95));
}

// A frame that needs no picture of itself is drawn straight into a scaled
// window: the same picture as the composite of the scene texture, in the same
// place, only sharper (detail finer than a design pixel survives).
TEST_F(RenderSystemTest, ScaledWindowIsDrawnStraightInWhereTheCompositeWouldShowIt) {
  std::vector<uint32_t> checker(32 * 32);
  for (size_t i = 0; i < checker.size(); ++i) checker[i] = ((i % 32) + (i / 32)) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  Texture* fine = makeTexture(32, 32, checker);
  auto scene = [&](bool composite) {
    if (composite) renderSystem->requestSceneTexture();
    renderSystem->checkDeviceLost();
    EXPECT_EQ(!composite, renderSystem->isFrameDirect());
    renderSystem->render(quad(10, 5, 30, 25, 0xFFFF0000));
    RenderData* detail = quad(36, 8, 52, 24, 0xFFFFFFFF, fine);  // two texels a design pixel
    detail->mAddressMode = TAM_CLAMP;
    renderSystem->render(detail);
    renderSystem->render(quad(40.5f, 30.25f, 60.75f, 44.5f, 0xFF40C0FF));
    renderSystem->renderFrame();
    return frame();
  };
  const auto luma = [](uint32_t c) { return int((c >> 16) & 0xFF) + int((c >> 8) & 0xFF) + int(c & 0xFF); };
  // Sum of absolute differences of b against a moved by (dx, dy), inside the
  // window, in red minus green: the coloured quads without the grey detail.
  const auto tint = [](uint32_t c) { return int((c >> 16) & 0xFF) - int((c >> 8) & 0xFF); };
  const auto difference = [&](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int w, int h, int dx,
                              int dy) {
    long sum = 0;
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x)
        sum += std::abs(tint(a[size_t(y + dy) * w + x + dx]) - tint(b[size_t(y) * w + x]));
    return sum;
  };
  const auto sharpness = [&](const std::vector<uint32_t>& f, int w, int h) {
    long sum = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x + 1 < w; ++x) sum += std::abs(luma(f[size_t(y) * w + x + 1]) - luma(f[size_t(y) * w + x]));
    return sum;
  };
  // Letterboxed (128x96 at (16, 0), twice the design), then cropped at the
  // sides by a fill with a minimal aspect (127.68x95.76 at (-15.84, 0.12)).
  for (const int fit : {0, 1}) {
    SCOPED_TRACE(fit ? "cropped" : "letterboxed");
    config->currentPlatform->fullscreenFitType = uint32_t(fit);
    config->currentPlatform->fullscreenMinimalAspect = 1.33f;
    const int w = fit ? 96 : 160, h = 96;
    renderSystem->getWindowInfo().mWndWidth = w;
    renderSystem->getWindowInfo().mWndHeight = h;
    renderSystem->reset();
    const std::vector<uint32_t> direct = scene(false), composite = scene(true);
    EXPECT_GT(sharpness(direct, w, h), sharpness(composite, w, h) * 3 / 2);
    const long aligned = difference(direct, composite, w, h, 0, 0);
    for (const auto& d : {std::make_pair(1, 0), std::make_pair(-1, 0), std::make_pair(0, 1), std::make_pair(0, -1)})
      EXPECT_LT(aligned, difference(direct, composite, w, h, d.first, d.second)) << d.first << "," << d.second;
    if (fit == 0) {
      // The red quad's edges on whole window pixels: design x 10 is window x 36.
      EXPECT_EQ(0xFFFF0000u, at(direct, 36, 10));
      EXPECT_EQ(0xFF000000u, at(direct, 35, 10));
      EXPECT_EQ(0xFFFF0000u, at(direct, 75, 49));
      EXPECT_EQ(0xFF000000u, at(direct, 76, 49));
      EXPECT_EQ(0xFF000000u, at(direct, 36, 50));
      // The bars stay black, also where the window held something before.
      EXPECT_EQ(0xFF000000u, at(direct, 8, 20));
      EXPECT_EQ(0xFF000000u, at(direct, 150, 20));
    } else {
      // No bars at the cropped sides: design x 10 lies at window x 4.
      EXPECT_EQ(0xFFFF0000u, at(direct, 5, 20));
      EXPECT_EQ(0xFF000000u, at(direct, 2, 20));
    }
  }
  config->currentPlatform->fullscreenFitType = 0;
}

// A clip rectangle under a moved and zoomed camera changes exactly the pixels
// the stencil clip of the same rectangle changes, in a window texel for texel
// and in a scaled one; it holds on the scene target again after a return to
// it, ends with endClipRect, and is left to the stencil under a turned camera.
TEST_F(RenderSystemTest, ClipRectangleChangesThePixelsTheStencilClipWould) {
  const Vector2<float> position(10.3f, 7.6f), size(30.45f, 20.2f);
  const float zoomed[CAM_COUNT] = {3.f, -2.f, 1.25f, 1.5f, 0.f};
  const float straight[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 0.f};
  auto clipped = [&](bool scissor) {
    renderSystem->checkDeviceLost();
    renderSystem->setCamera(zoomed);
    if (scissor) {
      EXPECT_TRUE(renderSystem->beginClipRect(position, size));
      EXPECT_EQ(0, renderSystem->restoreSceneTarget());
    } else {
      renderSystem->clearStencil();
      renderSystem->beginStencilMask();
      renderSystem->render(quad(position.x, position.y, position.x + size.x, position.y + size.y, 0xFFFFFFFF));
      renderSystem->endStencilMask();
      renderSystem->enableStencilTest();
    }
    renderSystem->render(quad(-20, -20, 90, 70, 0xFFFF8000));
    if (scissor) {
      renderSystem->endClipRect();
      // A return to the scene after the clip ended leaves it ended.
      EXPECT_EQ(0, renderSystem->restoreSceneTarget());
    } else {
      renderSystem->disableStencilTest();
    }
    renderSystem->setCamera(straight);
    renderSystem->render(quad(0, 44, 4, 48, 0xFF00FF00));  // outside the rectangle
    renderSystem->renderFrame();
    return frame();
  };
  for (const int width : {64, 160}) {
    SCOPED_TRACE(width);
    renderSystem->getWindowInfo().mWndWidth = width;
    renderSystem->getWindowInfo().mWndHeight = width == 64 ? 48 : 96;
    renderSystem->reset();
    const std::vector<uint32_t> scissor = clipped(true), stencil = clipped(false);
    size_t inside = 0, after = 0;
    for (uint32_t c : scissor) {
      inside += c == 0xFFFF8000u;
      after += c == 0xFF00FF00u;
    }
    EXPECT_GT(inside, scissor.size() / 8);
    EXPECT_LT(inside, scissor.size() / 2);
    EXPECT_GT(after, 0u);
    EXPECT_TRUE(scissor == stencil);
  }
  renderSystem->checkDeviceLost();
  const float turned[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 10.f};
  renderSystem->setCamera(turned);
  EXPECT_FALSE(renderSystem->beginClipRect(position, size));
  renderSystem->setCamera(straight);
  renderSystem->render(quad(0, 0, 64, 48, 0xFFFFFFFF));
  renderSystem->renderFrame();
  EXPECT_EQ(0xFFFFFFFFu, at(frame(), 17, 1));  // the design area's corner in the 160x96 window
}

TEST_F(RenderSystemTest, OneToOneCompositeIsACopyUnlessAStateWouldShowInIt) {
  // The window is the design's size: the frame's only draw call is its content.
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  renderSystem->render(quad(10, 5, 20, 15, 0xFFFF0000));
  renderSystem->renderFrame();
  EXPECT_EQ(1u, renderSystem->getDrawCallCount() - start);
  auto f = frame();
  EXPECT_EQ(0xFFFF0000u, at(f, 12, 7));
  EXPECT_EQ(0xFF000000u, at(f, 30, 30));
  // A colour mask left on at the frame's end masks the composite too: it is drawn.
  renderSystem->requestSceneTexture();
  auto g = drawFrame([&] { renderSystem->setColorWriteMask(true, false, false, true); }, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFF0000u, at(g, 30, 30));
  renderSystem->setColorWriteMask(true, true, true, true);
}

TEST_F(RenderSystemTest, AFrameThatDrawsNothingIsBlackWithoutADrawCall) {
  // A scaled window (the composite is a drawn quad) and a running fade.
  renderSystem->getWindowInfo().mWndWidth = 160;
  renderSystem->getWindowInfo().mWndHeight = 96;
  renderSystem->reset();
  renderSystem->mFadeLevel = 0.5f;
  auto f = drawFrame([] {}, 0xFFFFFFFF);
  EXPECT_TRUE(colorNear(0xFF808080, at(f, 80, 50)));
  // Nothing drawn: the window turns black (not the last frame's grey) and
  // neither the fade nor the composite is drawn.
  renderSystem->checkDeviceLost();
  const uint32_t start = renderSystem->getDrawCallCount();
  renderSystem->renderFrame();
  EXPECT_EQ(0u, renderSystem->getDrawCallCount() - start);
  f = frame();
  EXPECT_EQ(0xFF000000u, at(f, 80, 50));
  // Content already sent to the device before the frame's end still counts.
  f = drawFrame([&] {
    renderSystem->render(quad(0, 0, 64, 48, 0xFFFFFFFF));
    renderSystem->flushBatch();
  });
  EXPECT_TRUE(colorNear(0xFF808080, at(f, 80, 50)));
  renderSystem->mFadeLevel = 1.f;
}

class ResetCounter : public NotificationListener {
 public:
  void onNotification(const Notification& n) override { resets += n.code == kNotificationDeviceReset; }
  int resets = 0;
};

TEST_F(RenderSystemTest, LostDeviceSkipsFramesAndResetsOnceItCan) {
  EngineNotificationDispatcher dispatcher;
  ResetCounter counter;
  dispatcher.addListener(&counter);
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});

  auto count = [&](const char* text) {
    int n = 0;
    for (const std::string& line : logs->lines()) n += line.find(text) != std::string::npos;
    return n;
  };
  const int doneBefore = count("Resetting done.");
  device()->forceDeviceLost(true);
  renderSystem->present();
  EXPECT_TRUE(renderSystem->isDeviceLost());
  for (int i = 0; i < 2; ++i) {
    renderSystem->checkDeviceLost();
    renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF, white));
    EXPECT_EQ(0u, renderSystem->mBatchVertices);
    renderSystem->renderFrame();
    renderSystem->present();
  }
  EXPECT_EQ(doneBefore, count("Resetting done."));
  EXPECT_EQ(2, count("DEVICE LOST!"));

  device()->forceDeviceLost(false);
  auto f = drawFrame([&] { renderSystem->render(quad(0, 0, 8, 8, 0xFFFF0000, white)); });
  EXPECT_EQ(1, counter.resets);
  EXPECT_FALSE(renderSystem->isDeviceLost());
  EXPECT_EQ(0xFFFF0000u, at(f, 4, 4));
  EXPECT_EQ(doneBefore + 1, count("Resetting done."));
  // The texture made before the loss is still there: managed textures survive.
  EXPECT_NE(nullptr, white->mHandle);
  dispatcher.removeListener(&counter);
}

TEST_F(RenderSystemTest, ResetWhileLostWaitsForTheDeviceToComeBack) {
  // The window host resizes a minimised window: the reset finds the device
  // lost, frames are skipped, and the first frame that can reset does.
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  device()->forceDeviceLost(true);
  renderSystem->getWindowInfo().mWndWidth = 128;
  renderSystem->getWindowInfo().mWndHeight = 96;
  renderSystem->reset();
  EXPECT_TRUE(renderSystem->isDeviceLost());
  EXPECT_TRUE(logs->contains("Failed to reset dx8 device"));
  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, 8, 8, 0xFFFFFFFF, white));
  EXPECT_EQ(0u, renderSystem->mBatchVertices);
  renderSystem->renderFrame();
  renderSystem->present();

  device()->forceDeviceLost(false);
  uint32_t w = 0, h = 0;
  auto f = drawFrame([&] { renderSystem->render(quad(0, 0, 8, 8, 0xFF00FF00, white)); });
  frame(&w, &h);
  EXPECT_FALSE(renderSystem->isDeviceLost());
  EXPECT_EQ(128u, w);
  EXPECT_EQ(96u, h);
  EXPECT_EQ(0xFF00FF00u, at(f, 8, 8));  // design pixel (4, 4) at scale 2
  ASSERT_NE(nullptr, renderSystem->getSceneTexture());
  EXPECT_EQ(64u, renderSystem->getSceneTexture()->getWidth());
}

TEST_F(RenderSystemTest, ResetWithARenderTargetStillAliveIsFatal) {
  // A render target made behind the texture manager's back survives the
  // release steps, and the device refuses to reset.
  Platform::DeviceTexture* stray =
      device()->createTexture(8, 8, Platform::PixelFormat::X8R8G8B8, Platform::TextureUsage::RenderTarget);
  ASSERT_NE(nullptr, stray);
  EXPECT_EXIT(renderSystem->reset(), ::testing::ExitedWithCode(255), "Failed to reset DX8 device");
  device()->releaseTexture(stray);
  renderSystem->reset();
  EXPECT_TRUE(logs->contains("Resetting done."));
}

TEST_F(RenderSystemTest, RenderDataCopiesShareTexturesByReference) {
  Texture* t = makeTexture(1, 1, {0xFFFFFFFF});
  const int32_t before = t->getReferenceCount();
  {
    RenderData a;
    a.addTexture(t);
    a.addTexture(nullptr);
    addQuad(a, 0, 0, 1, 1, 0xFFFFFFFF);
    RenderData b(a);
    EXPECT_EQ(before + 2, t->getReferenceCount());
    EXPECT_EQ(4u, b.getVertexCount());
    EXPECT_NE(a.getVertexBytes(), b.getVertexBytes());
    EXPECT_EQ(0, std::memcmp(a.getVertexBytes(), b.getVertexBytes(), 4 * gVertexStride));
    RenderData c;
    c.appendTextures(a);
    EXPECT_EQ(1u, c.mTextures.size());
    EXPECT_EQ(before + 3, t->getReferenceCount());
  }
  EXPECT_EQ(before, t->getReferenceCount());
}

// ---- whole-frame reference image ----

TEST_F(RenderSystemTest, WholeFrameMatchesReferenceImage) {
  // A scaled, letterboxed frame with every blend mode, a gradient, a mirrored
  // texture, a stencil-clipped area, lines, a camera turn and a fade.
  renderSystem->getWindowInfo().mWndWidth = 96;
  renderSystem->getWindowInfo().mWndHeight = 96;
  renderSystem->reset();
  Texture* checker = makeTexture(4, 4,
                                 {0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000,  //
                                  0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF,  //
                                  0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFF00,  //
                                  0x00000000, 0x40FFFFFF, 0x80FFFFFF, 0xFFFFFFFF});
  Texture* white = makeTexture(1, 1, {0xFFFFFFFF});
  renderSystem->mFadeLevel = 0.9f;
  // The picture of the scene texture's composite, which the reference holds
  // (a frame drawn straight into the window is compared with it above).
  renderSystem->requestSceneTexture();
  renderSystem->checkDeviceLost();
  renderSystem->render(quad(0, 0, 64, 48, 0xFF203040, white));
  RenderData* grad = quad(2, 2, 30, 20, 0xFFFFFFFF, checker);
  grad->mAddressMode = TAM_MIRROR;
  {
    // A gradient of vertex colours over the texture, u and v 0..2.
    uint8_t* v = grad->getVertexBytes();
    const uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF};
    const float uv[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    for (int i = 0; i < 4; ++i) {
      std::memcpy(v + i * gVertexStride + getVertexComponentOffset(VC_DIFFUSE), &colours[i], 4);
      std::memcpy(v + i * gVertexStride + getVertexComponentOffset(VC_TEXCOORD0), uv[i], 8);
    }
  }
  renderSystem->render(grad);
  renderSystem->render(quad(34, 2, 46, 14, 0xA0FF8000, white, BM_ALPHA));
  renderSystem->render(quad(40, 8, 52, 20, 0xFF3060FF, white, BM_COLOR));
  renderSystem->render(quad(46, 14, 60, 26, 0x80808080, white, BM_ADD));
  renderSystem->clearStencil();
  renderSystem->beginStencilMask();
  RenderData* mask = quad(4, 26, 28, 44, 0xFFFFFFFF, checker);
  renderSystem->render(mask);
  renderSystem->endStencilMask();
  renderSystem->enableStencilTest();
  renderSystem->render(quad(0, 24, 32, 48, 0xFFFFD000, white));
  renderSystem->disableStencilTest();
  const float turned[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 15.f};
  renderSystem->setCamera(turned);
  renderSystem->render(quad(38, 30, 54, 42, 0xC000FFC0, white));
  const float straight[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 0.f};
  renderSystem->setCamera(straight);
  renderSystem->drawLine(Vector2<float>(34.f, 46.f), Vector2<float>(62.f, 28.f));
  renderSystem->drawColoredLine(Vector2<float>(1.f, 1.f), Vector2<float>(62.f, 1.f), Color::fromARGB(0xFFFF00FF));
  renderSystem->renderFrame();
  uint32_t w = 0, h = 0;
  const std::vector<uint32_t> f = frame(&w, &h);

  EXPECT_EQ(compareWithReference("render", "whole_frame", f, w, h), "");
}

}  // namespace
}  // namespace Test
}  // namespace KR
