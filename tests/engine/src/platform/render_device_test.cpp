// The OpenGL device layer, drawn off screen and read back pixel by pixel.
#include "platform/render_device.h"

#include "platform/window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

using namespace KR::Platform;

namespace {

struct Vertex {
  float x, y, z;
  uint32_t color;
  float u, v;
};
static_assert(sizeof(Vertex) == 24, "vertex layout");

constexpr uint32_t kW = 32, kH = 32;
constexpr uint32_t kFvf = FVF_XYZ | FVF_DIFFUSE | FVF_TEX1;

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeviceParams params;
    params.present.backBufferWidth = kW;
    params.present.backBufferHeight = kH;
    device = RenderDevice::create(params);
    ASSERT_TRUE(device) << RenderDevice::lastError();
    vb = device->createVertexBuffer(64 * sizeof(Vertex), true);
    ib = device->createIndexBuffer(6 * 16 * 2);
    uint16_t* idx = device->lockIndexBuffer(ib);
    for (uint16_t q = 0; q < 16; ++q) {
      const uint16_t b = q * 4;
      const uint16_t six[6] = {b, uint16_t(b + 1), uint16_t(b + 2), uint16_t(b + 2), uint16_t(b + 3), b};
      std::memcpy(idx + q * 6, six, sizeof six);
    }
    device->unlockIndexBuffer(ib);
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);
    device->setVertexFormat(kFvf);
    // Pixel space with the half-pixel alignment the engine's transforms carry.
    const float p[16] = {2.f / kW, 0, 0, 0, 0, -2.f / kH, 0, 0, 0, 0, 1, 0, -1.f - 1.f / kW, 1.f + 1.f / kH, 0, 1};
    device->setTransform(TransformType::Projection, p);
    device->setRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device->setRenderState(RenderState::ZEnable, 0);
    device->setRenderState(RenderState::AlphaBlendEnable, 1);
    device->setRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
    device->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha));
    device->setRenderState(RenderState::AlphaTestEnable, 1);
    device->setRenderState(RenderState::AlphaRef, 1);
    device->setRenderState(RenderState::AlphaFunc, uint32_t(Cmp::GreaterEqual));
    device->setTextureStageState(0, TextureStageState::AlphaOp, uint32_t(TextureOp::Modulate));
    device->setTextureStageState(0, TextureStageState::AlphaArg2, uint32_t(TextureArg::Diffuse));
    device->setTextureStageState(0, TextureStageState::ColorArg2, uint32_t(TextureArg::Diffuse));
    device->clear(CLEAR_TARGET | CLEAR_ZBUFFER | CLEAR_STENCIL, 0xFF000000, 1.f, 0);
  }
  void TearDown() override {
    if (device) {
      for (DeviceTexture* t : textures) device->releaseTexture(t);
      device->releaseVertexBuffer(vb);
      device->releaseIndexBuffer(ib);
    }
  }

  // Quads of pixel rectangles: each quad's vertices (0,1,2),(2,3,0).
  void quad(std::vector<Vertex>& out, float l, float t, float r, float b, uint32_t color, float u0 = 0, float v0 = 0,
            float u1 = 1, float v1 = 1) {
    out.push_back({l, t, 0, color, u0, v0});
    out.push_back({r, t, 0, color, u1, v0});
    out.push_back({r, b, 0, color, u1, v1});
    out.push_back({l, b, 0, color, u0, v1});
  }
  void drawQuads(const std::vector<Vertex>& v) {
    void* p = device->lockVertexBuffer(vb, true);
    std::memcpy(p, v.data(), v.size() * sizeof(Vertex));
    device->unlockVertexBuffer(vb);
    uint32_t quads = uint32_t(v.size() / 4);
    EXPECT_EQ(DeviceResult::Ok, device->drawIndexedPrimitive(PrimitiveType::TriangleList, 0, quads * 4, 0, quads * 2));
  }
  void fill(float l, float t, float r, float b, uint32_t color) {
    std::vector<Vertex> v;
    quad(v, l, t, r, b, color);
    drawQuads(v);
  }
  // A texture of 0xAARRGGBB texels, rows top first.
  DeviceTexture* makeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& texels) {
    DeviceTexture* t = device->createTexture(w, h, PixelFormat::A8R8G8B8, TextureUsage::Managed);
    EXPECT_NE(nullptr, t);
    LockedRect lr;
    EXPECT_TRUE(device->lockTexture(t, lr, true));
    for (uint32_t y = 0; y < h; ++y) std::memcpy(lr.bits + y * lr.pitch, &texels[y * w], w * 4);
    device->unlockTexture(t);
    textures.push_back(t);
    return t;
  }
  // 0xAARRGGBB of a back-buffer pixel (alpha forced to 255: X8R8G8B8).
  uint32_t pixel(uint32_t x, uint32_t y, DeviceSurface* s = nullptr) {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(device->readPixels(s, rgba, w, h));
    const uint8_t* p = &rgba[(y * w + x) * 4];
    return uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }

  std::unique_ptr<RenderDevice> device;
  VertexBuffer* vb = nullptr;
  IndexBuffer* ib = nullptr;
  std::vector<DeviceTexture*> textures;
};

// Channel-wise comparison within a tolerance of 2 (blending rounds).
::testing::AssertionResult near(uint32_t expected, uint32_t actual) {
  for (int s = 0; s < 32; s += 8) {
    int e = int((expected >> s) & 0xFF), a = int((actual >> s) & 0xFF);
    if (std::abs(e - a) > 2)
      return ::testing::AssertionFailure() << std::hex << "expected 0x" << expected << " got 0x" << actual;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(DeviceTest, QuadCoversExactlyItsPixelsAndColoursAreAarrggbb) {
  fill(4, 4, 8, 6, 0xFFFF8000);
  EXPECT_EQ(0xFFFF8000u, pixel(4, 4));
  EXPECT_EQ(0xFFFF8000u, pixel(7, 5));
  EXPECT_EQ(0xFF000000u, pixel(8, 5));
  EXPECT_EQ(0xFF000000u, pixel(3, 4));
  EXPECT_EQ(0xFF000000u, pixel(4, 6));
  EXPECT_EQ(0xFF000000u, pixel(4, 3));
}

// A scene is begun once before it ends; rows handed over exactly as wide as
// the picture are taken, rows shorter than it refused.
TEST_F(DeviceTest, ScenesNestNotAndUpdatesTakeRowsOfTheirWidth) {
  EXPECT_EQ(DeviceResult::Ok, device->beginScene());
  EXPECT_EQ(DeviceResult::InvalidCall, device->beginScene());
  EXPECT_EQ(DeviceResult::Ok, device->endScene());
  DeviceTexture* texture = device->createTexture(4, 4, PixelFormat::A8R8G8B8, TextureUsage::Managed);
  ASSERT_NE(nullptr, texture);
  const std::vector<uint8_t> texels(4 * 4 * 4, 0x80);
  EXPECT_TRUE(device->updateTexture(texture, texels.data(), 4, 4, 16, TexelOrder::Locked));
  EXPECT_FALSE(device->updateTexture(texture, texels.data(), 4, 4, 12, TexelOrder::Locked));
  device->releaseTexture(texture);
}

TEST_F(DeviceTest, BlendModesOverGrey) {
  const uint32_t grey = 0xFF808080;
  fill(0, 0, 32, 32, grey);
  // alpha: dest x (1 - a) + src x a
  device->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha));
  fill(0, 0, 4, 4, 0x80FF0000);
  EXPECT_TRUE(near(0xFFBF4040, pixel(1, 1)));
  // color: dest x (1 - src colour) + src x a
  device->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcColor));
  fill(4, 0, 8, 4, 0xFFFF4000);
  EXPECT_TRUE(near(0xFFFFA080, pixel(5, 1)));
  // add: dest + src x a
  device->setRenderState(RenderState::DestBlend, uint32_t(Blend::One));
  fill(8, 0, 12, 4, 0x80400000);
  EXPECT_TRUE(near(0xFFA08080, pixel(9, 1)));
}

TEST_F(DeviceTest, TextureModulatedByVertexColour) {
  DeviceTexture* t = makeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  device->setTexture(0, t);
  device->setTextureStageState(0, TextureStageState::MagFilter, uint32_t(TextureFilter::Point));
  device->setTextureStageState(0, TextureStageState::MinFilter, uint32_t(TextureFilter::Point));
  fill(0, 0, 16, 16, 0xFF808080);
  EXPECT_TRUE(near(0xFF800000, pixel(2, 2)));    // top left texel: red, halved
  EXPECT_TRUE(near(0xFF008000, pixel(13, 2)));   // top right: green
  EXPECT_TRUE(near(0xFF000080, pixel(2, 13)));   // bottom left: blue
  EXPECT_TRUE(near(0xFF808080, pixel(13, 13)));  // white
  // Without a texture the stage reads white: the vertex colour alone.
  device->setTexture(0, nullptr);
  fill(16, 16, 32, 32, 0xFF20C040);
  EXPECT_EQ(0xFF20C040u, pixel(20, 20));
}

TEST_F(DeviceTest, AlphaTestDropsZeroAlphaOnly) {
  device->setRenderState(RenderState::AlphaBlendEnable, 0);
  fill(0, 0, 4, 4, 0x00FFFFFF);  // alpha 0: rejected even without blending
  EXPECT_EQ(0xFF000000u, pixel(1, 1));
  fill(4, 0, 8, 4, 0x01FFFFFF);  // alpha 1/255 passes
  EXPECT_EQ(0xFFFFFFFFu, pixel(5, 1));
}

TEST_F(DeviceTest, StencilMaskClipsLaterDrawing) {
  device->setRenderState(RenderState::StencilEnable, 1);
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
  device->setRenderState(RenderState::StencilRef, 1);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Replace));
  device->setRenderState(RenderState::ColorWriteEnable, 0);
  fill(8, 8, 16, 16, 0xFFFFFFFF);         // the mask
  fill(20, 20, 24, 24, 0x00FFFFFF);       // alpha-tested away: writes no stencil
  EXPECT_EQ(0xFF000000u, pixel(10, 10));  // colour untouched
  device->setRenderState(RenderState::ColorWriteEnable, 0xF);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Keep));
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
  fill(0, 0, 32, 32, 0xFF00FF00);
  EXPECT_EQ(0xFF00FF00u, pixel(10, 10));
  EXPECT_EQ(0xFF000000u, pixel(4, 4));
  EXPECT_EQ(0xFF000000u, pixel(21, 21));
  // Clearing the stencil opens everything again.
  device->clear(CLEAR_STENCIL, 0xFF000000, 1.f, 0);
  device->setRenderState(RenderState::StencilRef, 0);
  fill(0, 0, 32, 32, 0xFF0000FF);
  EXPECT_EQ(0xFF0000FFu, pixel(4, 4));
}

TEST_F(DeviceTest, ColourWriteMaskKeepsMaskedChannels) {
  fill(0, 0, 32, 32, 0xFF204060);
  device->setRenderState(RenderState::ColorWriteEnable, COLORWRITE_RED | COLORWRITE_ALPHA);
  fill(0, 0, 32, 32, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFF4060u, pixel(3, 3));
  // A clear ignores the mask.
  device->clear(CLEAR_TARGET, 0xFF112233, 1.f, 0);
  EXPECT_EQ(0xFF112233u, pixel(3, 3));
  EXPECT_EQ(uint32_t(COLORWRITE_RED | COLORWRITE_ALPHA), device->getRenderState(RenderState::ColorWriteEnable));
}

TEST_F(DeviceTest, AddressModesWrapMirrorClamp) {
  // 2x1 texture: left red, right blue; the quad spans u 0..2 over 8 pixels.
  DeviceTexture* t = makeTexture(2, 1, {0xFFFF0000, 0xFF0000FF});
  device->setTexture(0, t);
  auto row = [&](uint32_t y, TextureAddress mode) {
    device->setTextureStageState(0, TextureStageState::AddressU, uint32_t(mode));
    device->setTextureStageState(0, TextureStageState::AddressV, uint32_t(mode));
    std::vector<Vertex> v;
    quad(v, 0, float(y), 8, float(y + 1), 0xFFFFFFFF, 0, 0, 2, 1);
    drawQuads(v);
  };
  row(0, TextureAddress::Wrap);
  row(1, TextureAddress::Mirror);
  row(2, TextureAddress::Clamp);
  // Pixel 4..5 cover u 1.0..1.5, pixel 6..7 u 1.5..2.0.
  EXPECT_EQ(0xFFFF0000u, pixel(5, 0));  // wrap: red again
  EXPECT_EQ(0xFF0000FFu, pixel(7, 0));
  EXPECT_EQ(0xFF0000FFu, pixel(5, 1));  // mirror: blue first
  EXPECT_EQ(0xFFFF0000u, pixel(7, 1));
  EXPECT_EQ(0xFF0000FFu, pixel(5, 2));  // clamp: blue edge
  EXPECT_EQ(0xFF0000FFu, pixel(7, 2));
}

TEST_F(DeviceTest, LineListDrawsSegments) {
  std::vector<Vertex> v = {{2, 10.5f, 0, 0xFF00FF00, 0, 0},
                           {30, 10.5f, 0, 0xFF00FF00, 0, 0},
                           {5.5f, 0, 0, 0xFFFF0000, 0, 0},
                           {5.5f, 8, 0, 0xFFFF0000, 0, 0}};
  void* p = device->lockVertexBuffer(vb, true);
  std::memcpy(p, v.data(), v.size() * sizeof(Vertex));
  device->unlockVertexBuffer(vb);
  const uint32_t before = device->drawCallCount();
  EXPECT_EQ(DeviceResult::Ok, device->drawPrimitive(PrimitiveType::LineList, 0, 2));
  EXPECT_EQ(before + 1, device->drawCallCount());
  int green = 0, red = 0;
  for (uint32_t x = 0; x < kW; ++x)
    for (uint32_t y = 9; y <= 11; ++y) green += pixel(x, y) == 0xFF00FF00u;
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 4; x <= 6; ++x) red += pixel(x, y) == 0xFFFF0000u;
  EXPECT_GE(green, 26);
  EXPECT_LE(green, 29);
  EXPECT_GE(red, 7);
  EXPECT_LE(red, 9);
}

TEST_F(DeviceTest, RenderTextureKeepsTopRowFirstWhenSampled) {
  DeviceTexture* rt = device->createTexture(16, 16, PixelFormat::X8R8G8B8, TextureUsage::RenderTarget);
  ASSERT_NE(nullptr, rt);
  textures.push_back(rt);
  DeviceSurface* ds = device->createDepthStencilSurface(32, 32);
  ASSERT_EQ(DeviceResult::Ok, device->setRenderTarget(device->textureSurface(rt), ds));
  EXPECT_EQ(16u, device->viewport().width);
  device->clear(CLEAR_TARGET, 0xFF0000FF, 1.f, 0);
  const float p[16] = {2.f / 16, 0, 0, 0, 0, -2.f / 16, 0, 0, 0, 0, 1, 0, -1.f - 1.f / 16, 1.f + 1.f / 16, 0, 1};
  device->setTransform(TransformType::Projection, p);
  fill(0, 0, 16, 4, 0xFFFF0000);  // top rows red
  EXPECT_EQ(0xFFFF0000u, pixel(5, 1, device->textureSurface(rt)));
  EXPECT_EQ(0xFF0000FFu, pixel(5, 12, device->textureSurface(rt)));

  ASSERT_EQ(DeviceResult::Ok, device->setRenderTarget(device->backBuffer(), device->defaultDepthStencil()));
  const float q[16] = {2.f / kW, 0, 0, 0, 0, -2.f / kH, 0, 0, 0, 0, 1, 0, -1.f - 1.f / kW, 1.f + 1.f / kH, 0, 1};
  device->setTransform(TransformType::Projection, q);
  device->setTexture(0, rt);
  fill(0, 0, 32, 32, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFF0000u, pixel(10, 2));
  EXPECT_EQ(0xFF0000FFu, pixel(10, 28));
  device->setTexture(0, nullptr);
  device->releaseSurface(ds);
}

TEST_F(DeviceTest, TextureFormatsUploadAndReadBack) {
  // A8L8 and L8 spread luminance over the colour channels.
  DeviceTexture* la = device->createTexture(1, 1, PixelFormat::A8L8, TextureUsage::Managed);
  DeviceTexture* l = device->createTexture(1, 1, PixelFormat::L8, TextureUsage::Managed);
  ASSERT_TRUE(la && l);
  textures.push_back(la);
  textures.push_back(l);
  LockedRect lr;
  ASSERT_TRUE(device->lockTexture(la, lr, true));
  EXPECT_EQ(2u, lr.pitch);
  lr.bits[0] = 0x40;  // L
  lr.bits[1] = 0xFF;  // A
  device->unlockTexture(la);
  ASSERT_TRUE(device->lockTexture(l, lr, true));
  lr.bits[0] = 0xC0;
  device->unlockTexture(l);
  device->setTexture(0, la);
  fill(0, 0, 4, 4, 0xFFFFFFFF);
  device->setTexture(0, l);
  fill(4, 0, 8, 4, 0xFFFFFFFF);
  EXPECT_EQ(0xFF404040u, pixel(1, 1));
  EXPECT_EQ(0xFFC0C0C0u, pixel(5, 1));
  // A lock without discard returns what was uploaded.
  ASSERT_TRUE(device->lockTexture(l, lr, false));
  EXPECT_EQ(0xC0, lr.bits[0]);
  device->unlockTexture(l);
  device->setTexture(0, nullptr);
}

TEST_F(DeviceTest, Dxt5BlocksUpload) {
  DeviceTexture* t = device->createTexture(4, 4, PixelFormat::DXT5, TextureUsage::Managed);
  ASSERT_NE(nullptr, t);
  textures.push_back(t);
  LockedRect lr;
  ASSERT_TRUE(device->lockTexture(t, lr, true));
  EXPECT_EQ(16u, lr.pitch);
  // One block: alpha 255 everywhere; colour 0 = pure red (RGB565 0xF800) for every texel.
  const uint8_t block[16] = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
  std::memcpy(lr.bits, block, 16);
  device->unlockTexture(t);
  device->setTexture(0, t);
  fill(0, 0, 8, 8, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFF0000u, pixel(3, 3));
  device->setTexture(0, nullptr);
}

TEST_F(DeviceTest, LostDeviceWaitsForResetAndResetNeedsDefaultPoolReleased) {
  EXPECT_EQ(DeviceResult::Ok, device->testCooperativeLevel());
  EXPECT_EQ(DeviceResult::Ok, device->present());
  device->forceDeviceLost(true);
  EXPECT_EQ(DeviceResult::DeviceLost, device->present());
  EXPECT_EQ(DeviceResult::DeviceLost, device->testCooperativeLevel());
  PresentParameters pp{48, 40};
  EXPECT_EQ(DeviceResult::DeviceLost, device->reset(pp));
  device->forceDeviceLost(false);
  EXPECT_EQ(DeviceResult::DeviceNotReset, device->testCooperativeLevel());
  EXPECT_EQ(DeviceResult::DeviceLost, device->present());
  // The dynamic buffers are still alive: the reset is refused.
  EXPECT_EQ(DeviceResult::InvalidCall, device->reset(pp));
  device->releaseVertexBuffer(vb);
  device->releaseIndexBuffer(ib);
  vb = nullptr;
  ib = nullptr;
  EXPECT_EQ(DeviceResult::Ok, device->reset(pp));
  EXPECT_EQ(DeviceResult::Ok, device->testCooperativeLevel());
  EXPECT_EQ(48u, device->surfaceWidth(device->backBuffer()));
  EXPECT_EQ(40u, device->viewport().height);
  // States are back at their defaults after a reset.
  EXPECT_EQ(0u, device->getRenderState(RenderState::AlphaBlendEnable));
  EXPECT_EQ(DeviceResult::Ok, device->present());
}

TEST_F(DeviceTest, CustomProgramReplacesTheFixedPipeline) {
  // Colour from the vertex's texture coordinates; the alpha test comes from
  // the device state.
  const char* vs =
      "#version 330 core\nlayout(location=0) in vec3 aPosition;\nlayout(location=2) in vec2 aTexCoord;\n"
      "uniform mat4 uTransform;\nout vec2 t;\n"
      "void main() { gl_Position = uTransform * vec4(aPosition, 1.0); t = aTexCoord; }\n";
  const char* fs =
      "#version 330 core\nin vec2 t;\nuniform bool uAlphaTest;\nuniform float uAlphaRef;\nout vec4 c;\n"
      "void main() { if (uAlphaTest && t.y * 255.0 < uAlphaRef) discard; c = vec4(t.x, 0.0, 1.0, 1.0); }\n";
  GLuint program = glCreateProgram();
  for (auto [type, text] : {std::pair<GLenum, const char*>{GL_VERTEX_SHADER, vs}, {GL_FRAGMENT_SHADER, fs}}) {
    GLuint sh = glCreateShader(type);
    glShaderSource(sh, 1, &text, nullptr);
    glCompileShader(sh);
    glAttachShader(program, sh);
    glDeleteShader(sh);
  }
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  ASSERT_TRUE(linked);
  device->setProgram(program);
  device->setRenderState(RenderState::AlphaRef, 128);
  std::vector<Vertex> v;
  quad(v, 0, 0, 8, 8, 0xFFFFFFFF, 1, 1, 1, 1);   // t = (1, 1): passes
  quad(v, 8, 0, 16, 8, 0xFFFFFFFF, 1, 0, 1, 0);  // t.y = 0: alpha-tested away
  drawQuads(v);
  EXPECT_EQ(0xFFFF00FFu, pixel(3, 3));
  EXPECT_EQ(0xFF000000u, pixel(11, 3));
  device->setProgram(0);
  fill(16, 0, 24, 8, 0xFF00FF00);  // the fixed pipeline again
  EXPECT_EQ(0xFF00FF00u, pixel(19, 3));
  glDeleteProgram(program);
}

// The fixed pipeline runs a program made for the states in use; each case
// reads a pixel that the program of other states would get wrong.

TEST_F(DeviceTest, ModulateProgramMultipliesTexelByVertexColourForColourAndAlpha) {
  // Left texel opaque yellow, right texel half transparent cyan.
  DeviceTexture* t = makeTexture(2, 1, {0xFFFFFF00, 0x8000FFFF});
  device->setTexture(0, t);
  device->setTextureStageState(0, TextureStageState::MagFilter, uint32_t(TextureFilter::Point));
  fill(0, 0, 32, 32, 0xFF000000);
  fill(0, 0, 16, 8, 0xFF808080);
  EXPECT_TRUE(near(0xFF808000, pixel(2, 2)));   // texel x diffuse
  EXPECT_TRUE(near(0xFF004040, pixel(13, 2)));  // alpha from the texel too: half of half
  // Colour from the texture alone, alpha from the vertex.
  device->setTextureStageState(0, TextureStageState::ColorOp, uint32_t(TextureOp::SelectArg1));
  device->setTextureStageState(0, TextureStageState::AlphaOp, uint32_t(TextureOp::SelectArg2));
  fill(0, 8, 16, 16, 0xFF808080);
  EXPECT_TRUE(near(0xFF00FFFF, pixel(13, 10)));
}

TEST_F(DeviceTest, AlphaTestProgramAppliesEachComparison) {
  device->setRenderState(RenderState::AlphaBlendEnable, 0);
  device->setRenderState(RenderState::AlphaRef, 0x80);
  const struct {
    Cmp func;
    bool keepsBelow, keepsEqual, keepsAbove;
  } cases[] = {{Cmp::Less, true, false, false},    {Cmp::LessEqual, true, true, false},
               {Cmp::Equal, false, true, false},   {Cmp::NotEqual, true, false, true},
               {Cmp::Greater, false, false, true}, {Cmp::GreaterEqual, false, true, true},
               {Cmp::Never, false, false, false},  {Cmp::Always, true, true, true}};
  for (const auto& c : cases) {
    device->clear(CLEAR_TARGET, 0xFF000000, 1.f, 0);
    device->setRenderState(RenderState::AlphaFunc, uint32_t(c.func));
    fill(0, 0, 4, 4, 0x7FFFFFFF);
    fill(4, 0, 8, 4, 0x80FFFFFF);
    fill(8, 0, 12, 4, 0x81FFFFFF);
    EXPECT_EQ(c.keepsBelow, pixel(1, 1) == 0xFFFFFFFFu) << "func " << int(c.func);
    EXPECT_EQ(c.keepsEqual, pixel(5, 1) == 0xFFFFFFFFu) << "func " << int(c.func);
    EXPECT_EQ(c.keepsAbove, pixel(9, 1) == 0xFFFFFFFFu) << "func " << int(c.func);
  }
}

TEST_F(DeviceTest, EachBlendKeepsTheTargetUnderATestedAwayFragment) {
  // The test may be left out only where the blend hides alpha 0 by itself:
  // "color" blending and no blending would show the fragment.
  const uint32_t grey = 0xFF808080;
  const struct {
    bool blend;
    Blend dest;
    uint32_t opaqueResult;  // of an opaque 0xFF402010 over grey
  } cases[] = {{true, Blend::InvSrcAlpha, 0xFF402010},
               {true, Blend::One, 0xFFC0A090},
               {true, Blend::InvSrcColor, 0xFFA09088},
               {false, Blend::InvSrcAlpha, 0xFF402010}};
  for (const auto& c : cases) {
    device->setRenderState(RenderState::AlphaBlendEnable, c.blend ? 1 : 0);
    device->setRenderState(RenderState::DestBlend, uint32_t(c.dest));
    device->clear(CLEAR_TARGET, grey, 1.f, 0);
    fill(0, 0, 4, 4, 0x00FFFFFF);
    fill(4, 0, 8, 4, 0xFF402010);
    EXPECT_EQ(grey, pixel(1, 1)) << "blend " << c.blend << " dest " << int(c.dest);
    EXPECT_TRUE(near(c.opaqueResult, pixel(5, 1))) << "blend " << c.blend << " dest " << int(c.dest);
  }
}

TEST_F(DeviceTest, StencilKeepsTheAlphaTestEvenWhereTheBlendHidesTheFragment) {
  // Colour writes on, "alpha" blending: an alpha-0 fragment is invisible,
  // but without the test it would still mark the stencil.
  device->setRenderState(RenderState::StencilEnable, 1);
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
  device->setRenderState(RenderState::StencilRef, 1);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Replace));
  fill(0, 0, 8, 8, 0x00FFFFFF);
  fill(8, 0, 16, 8, 0x01000000);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Keep));
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
  fill(0, 0, 32, 32, 0xFF00FF00);
  EXPECT_EQ(0xFF000000u, pixel(3, 3));
  EXPECT_EQ(0xFF00FF00u, pixel(11, 3));
}

TEST_F(DeviceTest, StencilOnlyPassTestsTheTexelsAlpha) {
  // Colour writes off: only the test's alpha matters, and it comes from the texture.
  DeviceTexture* t = makeTexture(2, 1, {0x00FFFFFF, 0xFFFFFFFF});
  device->setTexture(0, t);
  device->setTextureStageState(0, TextureStageState::MagFilter, uint32_t(TextureFilter::Point));
  device->setRenderState(RenderState::StencilEnable, 1);
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
  device->setRenderState(RenderState::StencilRef, 1);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Replace));
  device->setRenderState(RenderState::ColorWriteEnable, 0);
  fill(0, 0, 16, 8, 0xFFFFFFFF);
  device->setRenderState(RenderState::ColorWriteEnable, 0xF);
  device->setTexture(0, nullptr);
  device->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Keep));
  device->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
  fill(0, 0, 32, 32, 0xFF0000FF);
  EXPECT_EQ(0xFF000000u, pixel(3, 3));   // transparent texel: no mark
  EXPECT_EQ(0xFF0000FFu, pixel(12, 3));  // opaque texel: marked
}

TEST_F(DeviceTest, CopyIntoTheBackBufferIsMadeBeforeItsSourceChanges) {
  DeviceTexture* target = device->createTexture(kW, kH, PixelFormat::X8R8G8B8, TextureUsage::RenderTarget);
  ASSERT_NE(nullptr, target);
  DeviceSurface* surface = device->textureSurface(target);
  ASSERT_EQ(DeviceResult::Ok, device->setRenderTarget(surface, nullptr));
  device->clear(CLEAR_TARGET, 0xFF204060, 1.f, 0);
  fill(0, 0, 4, 4, 0xFFFF0000);
  EXPECT_EQ(DeviceResult::Ok, device->copySurface(surface, device->backBuffer()));
  // The source is drawn over before anything reads the back buffer.
  fill(0, 0, 32, 32, 0xFF00FF00);
  EXPECT_EQ(0xFFFF0000u, pixel(1, 1, device->backBuffer()));
  EXPECT_EQ(0xFF204060u, pixel(10, 10, device->backBuffer()));
  EXPECT_EQ(0xFF00FF00u, pixel(1, 1, surface));
  // Surfaces of another size are refused.
  DeviceTexture* small = device->createTexture(8, 8, PixelFormat::X8R8G8B8, TextureUsage::RenderTarget);
  EXPECT_EQ(DeviceResult::InvalidCall, device->copySurface(device->textureSurface(small), device->backBuffer()));
  device->setRenderTarget(device->backBuffer(), device->defaultDepthStencil());
  device->releaseTexture(small);
  device->releaseTexture(target);
}

TEST_F(DeviceTest, PresentShowsTheTopRowAtTheWindowsTop) {
  fill(0, 0, 32, 4, 0xFFFF0000);  // the top rows red
  ASSERT_EQ(DeviceResult::Ok, device->present());
  // The window's rows are stored bottom first: its top row is the last.
  uint8_t top[4] = {}, bottom[4] = {};
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadPixels(5, kH - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, top);
  glReadPixels(5, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bottom);
  EXPECT_EQ(255, top[0]);
  EXPECT_EQ(0, top[1]);
  EXPECT_EQ(0, bottom[0]);
  // Drawing goes on into the back buffer with the device's states.
  fill(0, 8, 4, 12, 0x00FFFFFF);
  EXPECT_EQ(0xFF000000u, pixel(1, 9));
}

// The back buffer is the window itself, whose rows run bottom first: the
// viewport, the winding and copies must turn with it, and match a texture's.
TEST_F(DeviceTest, ViewportWindingAndCopiesAgreeOnTheWindowAndOnTextures) {
  DeviceTexture* texture = device->createTexture(kW, kH, PixelFormat::X8R8G8B8, TextureUsage::RenderTarget);
  ASSERT_NE(nullptr, texture);
  DeviceSurface* surface = device->textureSurface(texture);
  // A depth-stencil of the window's cannot serve a texture, nor a made one the window.
  EXPECT_EQ(DeviceResult::InvalidCall, device->setRenderTarget(surface, device->defaultDepthStencil()));
  device->setRenderState(RenderState::CullMode, uint32_t(Cull::CounterClockwise));
  for (DeviceSurface* target : {device->backBuffer(), surface}) {
    SCOPED_TRACE(target == surface ? "texture" : "back buffer");
    ASSERT_EQ(DeviceResult::Ok,
              device->setRenderTarget(target, target == surface ? nullptr : device->defaultDepthStencil()));
    device->clear(CLEAR_TARGET, 0xFF000000, 1.f, 0);
    device->setViewport(Viewport{8, 4, 16, 8});
    // The whole target's quad lands in the viewport.
    fill(0, 0, kW, kH, 0xFFFF0000);
    // Clockwise on screen is drawn, counter-clockwise culled.
    std::vector<Vertex> v;
    quad(v, 0, 0, 8, 8, 0xFF00FF00);
    quad(v, 16, 0, 24, 8, 0xFF0000FF);
    std::swap(v[5], v[7]);
    drawQuads(v);
    EXPECT_EQ(0xFF00FF00u, pixel(8, 4));
    EXPECT_EQ(0xFF00FF00u, pixel(11, 5));
    EXPECT_EQ(0xFFFF0000u, pixel(17, 5));
    EXPECT_EQ(0xFFFF0000u, pixel(23, 11));
    EXPECT_EQ(0xFF000000u, pixel(24, 11));
    EXPECT_EQ(0xFF000000u, pixel(8, 12));
    EXPECT_EQ(0xFF000000u, pixel(8, 3));
    EXPECT_EQ(0xFF000000u, pixel(7, 4));
  }
  device->setRenderState(RenderState::CullMode, uint32_t(Cull::None));
  // Drawn into the window straight away, its top row last among GL's rows.
  device->setRenderTarget(device->backBuffer(), device->defaultDepthStencil());
  uint8_t texel[4] = {};
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadPixels(8, kH - 1 - 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  EXPECT_EQ(0, texel[0]);
  EXPECT_EQ(255, texel[1]);
  // Copies between the window and a texture keep the top row on top both ways.
  device->clear(CLEAR_TARGET, 0xFF000000, 1.f, 0);
  fill(0, 0, kW, 4, 0xFF0000FF);
  ASSERT_EQ(DeviceResult::Ok, device->copySurface(device->backBuffer(), surface));
  EXPECT_EQ(0xFF0000FFu, pixel(3, 1, surface));
  EXPECT_EQ(0xFF000000u, pixel(3, 30, surface));
  device->clear(CLEAR_TARGET, 0xFF000000, 1.f, 0);
  ASSERT_EQ(DeviceResult::Ok, device->copySurface(surface, device->backBuffer()));
  EXPECT_EQ(0xFF0000FFu, pixel(3, 1, device->backBuffer()));
  EXPECT_EQ(0xFF000000u, pixel(3, 30, device->backBuffer()));
  device->releaseTexture(texture);
  // A viewport that differs from the last one in its height alone is taken.
  ASSERT_EQ(DeviceResult::Ok, device->setRenderTarget(device->backBuffer(), device->defaultDepthStencil()));
  device->clear(CLEAR_TARGET, 0xFF000000, 1.f, 0);
  device->setViewport(Viewport{8, 4, 16, 8});
  device->setViewport(Viewport{8, 4, 16, 4});
  fill(0, 0, kW, kH, 0xFFFF0000);
  EXPECT_EQ(0xFFFF0000u, pixel(8, 7));
  EXPECT_EQ(0xFF000000u, pixel(8, 9));
}

TEST_F(DeviceTest, StreamedVerticesDrawTheirOwnContentAcrossTheRingsWrap) {
  // Contents of different lengths, many times the buffer's size in all:
  // every draw reads the content of its own lock, wherever the upload landed.
  for (int n = 0; n < 40; ++n) {
    const uint32_t colour = 0xFF000000u | uint32_t(n * 6) << 16 | uint32_t(255 - n * 6);
    std::vector<Vertex> v;
    for (int q = 0; q < 16 - n % 5; ++q) quad(v, float(q * 2), 0, float(q * 2 + 2), 2, colour);
    drawQuads(v);
    ASSERT_EQ(colour, pixel(1, 1)) << "content " << n;
    ASSERT_EQ(colour, pixel(uint32_t(v.size() / 4) * 2 - 1, 1)) << "content " << n;
  }
  // Two draws of one content, the second reading further than the first.
  std::vector<Vertex> v;
  quad(v, 0, 4, 4, 8, 0xFFFF0000);
  quad(v, 4, 4, 8, 8, 0xFF00FF00);
  std::memcpy(device->lockVertexBuffer(vb, true), v.data(), v.size() * sizeof(Vertex));
  device->unlockVertexBuffer(vb);
  EXPECT_EQ(DeviceResult::Ok, device->drawIndexedPrimitive(PrimitiveType::TriangleList, 0, 4, 0, 2));
  EXPECT_EQ(0xFF000000u, pixel(5, 5));
  EXPECT_EQ(DeviceResult::Ok, device->drawIndexedPrimitive(PrimitiveType::TriangleList, 0, 8, 0, 4));
  EXPECT_EQ(0xFFFF0000u, pixel(1, 5));
  EXPECT_EQ(0xFF00FF00u, pixel(5, 5));
}

TEST_F(DeviceTest, DepthClearHoldsForTheFirstDepthTestedDraw) {
  auto at = [&](float z, uint32_t colour) {
    std::vector<Vertex> v;
    quad(v, 0, 0, 4, 4, colour);
    for (Vertex& p : v) p.z = z;
    drawQuads(v);
  };
  device->clear(CLEAR_ZBUFFER, 0, 0.5f, 0);
  at(0.7f, 0xFFFF0000);  // no depth test yet: drawn
  EXPECT_EQ(0xFFFF0000u, pixel(1, 1));
  device->setRenderState(RenderState::ZEnable, 1);
  device->setRenderState(RenderState::ZWriteEnable, 0);
  at(0.7f, 0xFF0000FF);  // behind the cleared depth
  EXPECT_EQ(0xFFFF0000u, pixel(1, 1));
  at(0.3f, 0xFF00FF00);
  EXPECT_EQ(0xFF00FF00u, pixel(1, 1));
  // A depth clear followed by a stencil clear: both hold.
  device->setRenderState(RenderState::ZEnable, 0);
  device->clear(CLEAR_ZBUFFER, 0, 0.8f, 0);
  device->clear(CLEAR_STENCIL, 0, 1.f, 0);
  device->setRenderState(RenderState::ZEnable, 1);
  at(0.9f, 0xFF0000FF);
  EXPECT_EQ(0xFF00FF00u, pixel(1, 1));
  at(0.7f, 0xFFFFFFFF);
  EXPECT_EQ(0xFFFFFFFFu, pixel(1, 1));
}

TEST(DeviceWindowTest, HiddenWindowLosesTheDeviceUntilShownAndReset) {
  ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
  SDL_Window* window = SDL_CreateWindow("device", 0, 0, 40, 30, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(nullptr, window);
  {
    DeviceParams params;
    params.window = window;
    params.present = PresentParameters{40, 30};
    std::unique_ptr<RenderDevice> device = RenderDevice::create(params);
    ASSERT_TRUE(device) << RenderDevice::lastError();
    EXPECT_EQ(device.get(), RenderDevice::current());
    EXPECT_EQ(DeviceResult::DeviceLost, device->present());
    EXPECT_EQ(DeviceResult::DeviceLost, device->testCooperativeLevel());
    EXPECT_EQ(DeviceResult::DeviceLost, device->reset(PresentParameters{40, 30}));
    SDL_ShowWindow(window);
    EXPECT_EQ(DeviceResult::DeviceNotReset, device->testCooperativeLevel());
    EXPECT_EQ(DeviceResult::Ok, device->reset(PresentParameters{40, 30}));
    EXPECT_EQ(DeviceResult::Ok, device->present());
    SDL_HideWindow(window);
    EXPECT_EQ(DeviceResult::DeviceLost, device->present());
  }
  EXPECT_EQ(nullptr, RenderDevice::current());
  SDL_DestroyWindow(window);
}

// The player closes the window, then the engine shuts down: the device
// outlives the window it draws into and must never reach a window that is gone.
TEST(DeviceWindowTest, WindowDestroyedBeforeItsDeviceGoesWithTheDevice) {
  Window window;
  ASSERT_TRUE(window.create("device", 0, 0, 40, 30)) << lastError();
  const uint32_t id = window.id();
  {
    DeviceParams params;
    params.window = window.nativeHandle();
    params.present = PresentParameters{40, 30};
    std::unique_ptr<RenderDevice> device = RenderDevice::create(params);
    ASSERT_TRUE(device) << RenderDevice::lastError();
    window.destroy();
    EXPECT_FALSE(window.exists());
    // Hidden, yet still there for the device's last calls.
    ASSERT_NE(nullptr, SDL_GetWindowFromID(id));
    EXPECT_TRUE(SDL_GetWindowFlags(SDL_GetWindowFromID(id)) & SDL_WINDOW_HIDDEN);
    EXPECT_EQ(DeviceResult::Ok, device->testCooperativeLevel());
    DeviceTexture* texture = device->createTexture(4, 4, PixelFormat::A8R8G8B8, TextureUsage::Managed);
    ASSERT_NE(nullptr, texture);
    device->releaseTexture(texture);
  }
  EXPECT_EQ(nullptr, SDL_GetWindowFromID(id));
}

}  // namespace
