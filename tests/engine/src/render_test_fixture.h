#pragma once
// A render system on its own hidden window, with a configuration, a texture
// manager and helpers to build quads, run frames and read pixels back.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "color.h"
#include "config_manager.h"
#include "image.h"
#include "offscreen_test_support.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "support/test_support.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {
namespace Test {

class RenderFixture : public ::testing::Test {
 protected:
  static constexpr int kDesignW = 64;
  static constexpr int kDesignH = 48;

  void SetUp() override { start(kDesignW, kDesignH, kVertexFormatEngine); }

  void start(int windowW, int windowH, uint32_t vertexMask) {
    logs = std::make_unique<LogCapture>();
    config = designConfig(kDesignW, kDesignH);
    config->vertexFormatFlags = vertexMask;
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    textures = std::make_unique<TextureManager>();
    renderSystem->getWindowInfo().mWndWidth = windowW;
    renderSystem->getWindowInfo().mWndHeight = windowH;
    renderSystem->initDevice();
  }

  void TearDown() override {
    owned.clear();
    textures.reset();
    renderSystem.reset();
    config.reset();
    logs.reset();
  }

  Platform::RenderDevice* device() { return renderSystem->getDevice(); }

  // A texture of 0xAARRGGBB texels, rows top first, ready to draw.
  Texture* makeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb) {
    Texture* t = textures->createEmptyTexture(w, h, TF_A8R8G8B8);
    textures->addReference(t);
    textures->createPendingTextures();
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (size_t i = 0; i < argb.size(); ++i) {
      rgba[i * 4 + 0] = uint8_t(argb[i] >> 16);
      rgba[i * 4 + 1] = uint8_t(argb[i] >> 8);
      rgba[i * 4 + 2] = uint8_t(argb[i]);
      rgba[i * 4 + 3] = uint8_t(argb[i] >> 24);
    }
    t->update(rgba.data(), IF_RGBA, w, h);
    return t;
  }

  // A RenderData of one quad (or appends one more quad) in design pixels.
  static void addQuad(RenderData& rd, float l, float t, float r, float b, uint32_t argb, float u1 = 1.f,
                      float v1 = 1.f) {
    const uint32_t stride = gVertexStride;
    const uint32_t old = rd.getVertexCount();
    std::vector<uint8_t> keep;
    if (old) keep.assign(rd.getVertexBytes(), rd.getVertexBytes() + size_t(old) * stride);
    rd.allocateVertices(old + 4);
    if (old) std::memcpy(rd.getVertexBytes(), keep.data(), keep.size());
    const float xy[4][2] = {{l, t}, {r, t}, {r, b}, {l, b}};
    const float uv[4][2] = {{0.f, 0.f}, {u1, 0.f}, {u1, v1}, {0.f, v1}};
    uint8_t* v = rd.getVertexBytes() + size_t(old) * stride;
    for (int i = 0; i < 4; ++i, v += stride) {
      const float p[3] = {xy[i][0], xy[i][1], 0.f};
      std::memcpy(v + getVertexComponentOffset(VC_POSITION), p, sizeof p);
      std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &argb, 4);
      std::memcpy(v + getVertexComponentOffset(VC_TEXCOORD0), uv[i], sizeof uv[i]);
    }
  }

  // A quad RenderData kept alive until the test ends.
  RenderData* quad(float l, float t, float r, float b, uint32_t argb, Texture* texture = nullptr,
                   uint32_t blend = BM_ALPHA, bool withTextureEntry = true) {
    owned.push_back(std::make_unique<RenderData>());
    RenderData* rd = owned.back().get();
    if (withTextureEntry) rd->addTexture(texture);
    rd->mBlendMode = blend;
    addQuad(*rd, l, t, r, b, argb);
    return rd;
  }

  // The back buffer after the frame, as 0xAARRGGBB with opaque alpha.
  std::vector<uint32_t> frame(uint32_t* width = nullptr, uint32_t* height = nullptr) {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(device()->readPixels(device()->backBuffer(), rgba, w, h));
    std::vector<uint32_t> out(size_t(w) * h);
    for (size_t i = 0; i < out.size(); ++i)
      out[i] = 0xFF000000u | uint32_t(rgba[i * 4]) << 16 | uint32_t(rgba[i * 4 + 1]) << 8 | rgba[i * 4 + 2];
    if (width) *width = w;
    if (height) *height = h;
    return out;
  }
  uint32_t at(const std::vector<uint32_t>& f, int x, int y) {
    return f[size_t(y) * uint32_t(renderSystem->getWindowInfo().mWndWidth) + x];
  }

  std::unique_ptr<LogCapture> logs;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<TextureManager> textures;
  std::vector<std::unique_ptr<RenderData>> owned;
};

}  // namespace Test
}  // namespace KR
