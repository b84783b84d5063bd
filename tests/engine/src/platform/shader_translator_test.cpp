// The assembler translator: its messages on text it cannot take, and every
// instruction run through a full-target quad on the device and read back.
#include "platform/shader_translator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "../offscreen_test_support.h"
#include "platform/render_device.h"
#include "platform/render_device_shaders.h"

using namespace KR::Platform;

namespace {

// ---------------------------------------------------------------------------
// Text only

std::string pixelError(const std::string& text) {
  TranslatedShader out;
  std::string error;
  EXPECT_FALSE(translatePixelShader(text, out, error)) << text;
  return error;
}

VertexInputs engineDeclaration() {
  VertexInputs in;
  in.reg[0] = VertexInput::Position;
  in.reg[1] = VertexInput::Diffuse;
  in.reg[2] = VertexInput::TexCoord0;
  return in;
}

std::string vertexError(const std::string& text) {
  TranslatedShader out;
  std::string error;
  EXPECT_FALSE(translateVertexShader(text, engineDeclaration(), out, error)) << text;
  return error;
}

const char* kDisplacement =
    "ps.1.4;\ndef c0, 0.15f, 0.15f, 1.0f, 1.0f;\ndef c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
    "texcrd r2.xyz, t0;\ntexld r1, t0;\nmov r2.w, r2.x;\nsub r1, r1, c1;\nmul r1, r1, c0;\n"
    "add r1, r1, r2;\nphase\ntexld r0, r1;\n";

TEST(ShaderTranslatorText, AcceptsTheDisplacementShaderAndComments) {
  TranslatedShader out;
  std::string error;
  ASSERT_TRUE(translatePixelShader(kDisplacement, out, error)) << error;
  EXPECT_EQ(4u, out.versionMinor);
  EXPECT_EQ(0x3u, out.samplerMask);  // stages 0 and 1
  EXPECT_NE(std::string::npos, out.glsl.find("#version 330 core"));

  ASSERT_TRUE(translatePixelShader("// header\nPS_1_1 /* block\n comment */\n  MOV R0, V0 ; trailing\n", out, error))
      << error;
  EXPECT_EQ(1u, out.versionMinor);
}

TEST(ShaderTranslatorText, RejectsWhatItCannotTakeWithTheLine) {
  // Unknown instruction, bad registers, version mismatches.
  EXPECT_EQ("line 2: unknown instruction 'frobnicate'", pixelError("ps.1.1\nfrobnicate r0, v0\n"));
  EXPECT_EQ("line 3: bad register 'r2'", pixelError("ps.1.1\ntex t0\nmov r2, t0\n"));
  EXPECT_EQ("line 2: bad register 'r6'", pixelError("ps.1.4\nmov r6, v0\n"));
  EXPECT_EQ("line 2: bad register 'c8'", pixelError("ps.1.4\nmov r0, c8\n"));
  EXPECT_EQ("line 2: bad register 'x0'", pixelError("ps.1.4\nmov r0, x0\n"));
  EXPECT_EQ("line 1: expected a pixel shader version (ps.1.1 to ps.1.4), found 'vs.1.1'",
            pixelError("vs.1.1\nmov oPos, v0\n"));
  EXPECT_EQ("line 1: expected a vertex shader version (vs.1.1), found 'ps.1.4'", vertexError("ps.1.4\nmov r0, v0\n"));
  EXPECT_EQ("line 1: unsupported shader version 'ps.2.0'", pixelError("ps.2.0\nmov r0, v0\n"));
  EXPECT_EQ("line 1: expected a pixel shader version (ps.1.1 to ps.1.4), found nothing", pixelError("; empty\n"));

  // Instructions of the wrong version, reads of unwritten registers.
  EXPECT_EQ("line 2: instruction 'texld' needs ps.1.4", pixelError("ps.1.1\ntexld r0, t0\n"));
  EXPECT_EQ("line 2: instruction 'tex' is not in ps.1.4 (use texld or texcrd)", pixelError("ps.1.4\ntex t0\n"));
  EXPECT_EQ("line 2: instruction 'dp4' needs ps.1.2 or later", pixelError("ps.1.1\ndp4 r0, v0, v1\n"));
  EXPECT_EQ("line 2: register 'r1' is read before it is written", pixelError("ps.1.1\nmov r0, r1\n"));
  EXPECT_EQ("line 2: register 't0' is read before it is written", pixelError("ps.1.1\nmov r0, t0\n"));
  EXPECT_EQ("line 2: r0 is never written", pixelError("ps.1.1\ntex t0\n"));
  EXPECT_EQ("line 3: colour register 'v0' is not available before phase",
            pixelError("ps.1.4\ntexld r0, t0\nmov r0, v0\nphase\nmov r0, r0\n"));
  EXPECT_EQ("line 2: texld from a temporary register needs phase 2",
            pixelError("ps.1.4\ntexld r0, r1\nphase\nmov r0, r0\n"));
  EXPECT_EQ("line 3: texture instruction 'tex' after arithmetic", pixelError("ps.1.1\nmov r0, v0\ntex t0\n"));
  EXPECT_EQ("line 3: def must come before the instructions", pixelError("ps.1.1\nmov r0, v0\ndef c0, 1, 1, 1, 1\n"));

  // Operands and modifiers.
  EXPECT_EQ("line 2: bad number '1.0.0'", pixelError("ps.1.1\ndef c0, 1.0.0, 0, 0, 0\nmov r0, c0\n"));
  EXPECT_EQ("line 2: bad number '1e99'", pixelError("ps.1.1\ndef c0, 1e99, 0, 0, 0\nmov r0, c0\n"));
  EXPECT_EQ("line 2: def takes a constant register and four numbers", pixelError("ps.1.1\ndef c0, 1, 2\n"));
  EXPECT_EQ("line 2: bad instruction modifier '_x3'", pixelError("ps.1.1\nmul_x3 r0, v0, v1\n"));
  EXPECT_EQ("line 2: bad instruction modifier '_x8'", pixelError("ps.1.1\nmul_x8 r0, v0, v1\n"));
  EXPECT_EQ("line 2: bad source modifier '_foo'", pixelError("ps.1.1\nmov r0, v0_foo\n"));
  EXPECT_EQ("line 2: source modifier _x2 needs ps.1.4", pixelError("ps.1.1\nmov r0, v0_x2\n"));
  EXPECT_EQ("line 2: bad write mask '.ar'", pixelError("ps.1.4\nmov r0.ar, v0\n"));
  EXPECT_EQ("line 2: bad write mask '.rg' (ps.1.1 to ps.1.3 write .rgb, .a or all)",
            pixelError("ps.1.1\nmov r0.rg, v0\n"));
  EXPECT_EQ("line 2: mad takes 4 operands", pixelError("ps.1.1\nmad r0, v0, v1\n"));
  EXPECT_EQ("line 2: missing operand", pixelError("ps.1.1\nadd r0, , v1\n"));
  EXPECT_EQ("line 2: register 'v0' cannot be written", pixelError("ps.1.1\nmov v0, v1\n"));
  EXPECT_EQ("line 2: cnd needs r0.a as its condition before ps.1.4", pixelError("ps.1.1\ncnd r0, v0, v0, v1\n"));
  EXPECT_EQ("line 3: unterminated comment", pixelError("ps.1.1\nmov r0, v0\n/* open\n"));
  EXPECT_EQ("line 2: '+' must follow an arithmetic instruction", pixelError("ps.1.1\n+mov r0.a, v0\n"));
  EXPECT_EQ("line 10: too many arithmetic instructions",
            pixelError("ps.1.1\nmov r0, v0\nmov r0, v0\nmov r0, v0\nmov r0, v0\nmov r0, v0\nmov r0, v0\n"
                       "mov r0, v0\nmov r0, v0\nmov r0, v0\n"));

  // Vertex shaders.
  EXPECT_EQ("line 2: unknown instruction 'lrp'", vertexError("vs.1.1\nlrp oPos, v0, v0, v0\n"));
  EXPECT_EQ("line 2: input register 'v5' is not in the vertex declaration", vertexError("vs.1.1\nmov oPos, v5\n"));
  EXPECT_EQ("line 2: bad register 'c96'", vertexError("vs.1.1\nmov oPos, c96\n"));
  EXPECT_EQ("line 2: matrix 'c93' runs past the last register", vertexError("vs.1.1\nm4x4 oPos, v0, c93\n"));
  EXPECT_EQ("line 2: oPos is never written", vertexError("vs.1.1\nmov oD0, v1\n"));
  EXPECT_EQ("line 2: output register 'oD0' cannot be read", vertexError("vs.1.1\nmov oPos, oD0\n"));
  EXPECT_EQ("line 2: instruction modifiers are not allowed in a vertex shader",
            vertexError("vs.1.1\nmov_sat oPos, v0\n"));
  EXPECT_EQ("line 2: source modifier not allowed in a vertex shader: 'v0_bias'",
            vertexError("vs.1.1\nmov oPos, v0_bias\n"));
}

// ---------------------------------------------------------------------------
// On the device

struct Vertex {
  float x, y, z;
  uint32_t color;
  float u, v;
};

constexpr uint32_t kSize = 4;
constexpr uint32_t kFvf = FVF_XYZ | FVF_DIFFUSE | FVF_TEX1;

// Colours as 0..1 floats.
struct Rgba {
  float r, g, b, a;
};
Rgba fromArgb(uint32_t c) {
  return {float((c >> 16) & 0xFF) / 255.f, float((c >> 8) & 0xFF) / 255.f, float(c & 0xFF) / 255.f,
          float(c >> 24) / 255.f};
}
uint32_t toArgb(Rgba c) {
  auto b = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.f, 1.f) * 255.f)); };
  return b(c.a) << 24 | b(c.r) << 16 | b(c.g) << 8 | b(c.b);
}

// Texel and colour inputs of every program below.
const uint32_t kTex0 = 0xFFCC6633;     // r 0.8, g 0.4, b 0.2, a 1
const uint32_t kTex1 = 0x7F3399FF;     // r 0.2, g 0.6, b 1, a 0.498
const uint32_t kDiffuse = 0xBF8040FF;  // r 0.5, g 0.25, b 1, a 0.75

class ShaderDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeviceParams params;
    params.present.backBufferWidth = 16;
    params.present.backBufferHeight = 16;
    device = RenderDevice::create(params);
    ASSERT_TRUE(device) << RenderDevice::lastError();
    shaders = std::make_unique<ShaderDevice>(device.get());
    vb = device->createVertexBuffer(16 * sizeof(Vertex), true);
    ib = device->createIndexBuffer(6 * 2);
    uint16_t* idx = device->lockIndexBuffer(ib);
    const uint16_t six[6] = {0, 1, 2, 2, 3, 0};
    std::memcpy(idx, six, sizeof six);
    device->unlockIndexBuffer(ib);
    device->setStreamSource(vb, sizeof(Vertex));
    device->setIndices(ib);
    device->setVertexFormat(kFvf);
    const float p[16] = {2.f / kSize,       0, 0, 0, 0, -2.f / kSize, 0, 0, 0, 0, 1, 0, -1.f - 1.f / kSize,
                         1.f + 1.f / kSize, 0, 1};
    std::memcpy(viewProjection, p, sizeof p);
    device->setTransform(TransformType::Projection, p);
    device->setRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device->setRenderState(RenderState::ZEnable, 0);
    target = device->createTexture(kSize, kSize, PixelFormat::A8R8G8B8, TextureUsage::RenderTarget);
    ASSERT_NE(nullptr, target);
    device->setRenderTarget(device->textureSurface(target), nullptr);
    tex0 = texture(1, 1, {kTex0});
    tex1 = texture(1, 1, {kTex1});
    device->setTexture(0, tex0);
    device->setTexture(1, tex1);
  }
  void TearDown() override {
    if (!device) return;
    shaders.reset();
    for (DeviceTexture* t : textures) device->releaseTexture(t);
    device->releaseTexture(target);
    device->releaseVertexBuffer(vb);
    device->releaseIndexBuffer(ib);
  }

  DeviceTexture* texture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb) {
    DeviceTexture* t = device->createTexture(w, h, PixelFormat::A8R8G8B8, TextureUsage::Managed);
    LockedRect lr;
    EXPECT_TRUE(device->lockTexture(t, lr, true));
    for (uint32_t y = 0; y < h; ++y) std::memcpy(lr.bits + y * lr.pitch, &argb[y * w], w * 4);
    device->unlockTexture(t);
    textures.push_back(t);
    return t;
  }

  // The quad over l..r x t..b of the 4x4 target, texture coordinates 0..1.
  void draw(float l = 0, float t = 0, float r = kSize, float b = kSize, uint32_t color = kDiffuse) {
    const Vertex v[4] = {
        {l, t, 0, color, 0, 0}, {r, t, 0, color, 1, 0}, {r, b, 0, color, 1, 1}, {l, b, 0, color, 0, 1}};
    std::memcpy(device->lockVertexBuffer(vb, true), v, sizeof v);
    device->unlockVertexBuffer(vb);
    ASSERT_EQ(DeviceResult::Ok, device->drawIndexedPrimitive(PrimitiveType::TriangleList, 0, 4, 0, 2));
  }
  uint32_t pixel(uint32_t x, uint32_t y) {
    std::vector<uint8_t> rgba;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(device->readPixels(device->textureSurface(target), rgba, w, h));
    const uint8_t* p = &rgba[(y * w + x) * 4];
    return uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }

  // Runs a pixel shader (with an optional vertex shader) over the target and
  // returns pixel (x, y).
  uint32_t run(const std::string& ps, const std::string& vs = "", uint32_t x = 1, uint32_t y = 2) {
    device->clear(CLEAR_TARGET, 0x00000000, 1.f, 0);
    std::string error;
    const uint32_t p = shaders->createPixelShader(ps, error);
    EXPECT_NE(0u, p) << error << "\n" << ps;
    uint32_t v = 0;
    if (!vs.empty()) {
      v = shaders->createVertexShader(vs, engineDeclaration(), error);
      EXPECT_NE(0u, v) << error << "\n" << vs;
      float columns[16];
      for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) columns[i * 4 + j] = viewProjection[j * 4 + i];
      shaders->setVertexShaderConstant(0, columns, 4);
    }
    EXPECT_TRUE(shaders->setPixelShader(p)) << shaders->lastGlError();
    EXPECT_TRUE(shaders->setVertexShader(v)) << shaders->lastGlError();
    draw();
    const uint32_t result = pixel(x, y);
    shaders->setPixelShader(0);
    shaders->setVertexShader(0);
    shaders->deletePixelShader(p);
    if (v) shaders->deleteVertexShader(v);
    return result;
  }

  std::unique_ptr<RenderDevice> device;
  std::unique_ptr<ShaderDevice> shaders;
  VertexBuffer* vb = nullptr;
  IndexBuffer* ib = nullptr;
  DeviceTexture* target = nullptr;
  DeviceTexture* tex0 = nullptr;
  DeviceTexture* tex1 = nullptr;
  std::vector<DeviceTexture*> textures;
  float viewProjection[16];
};

Rgba map(Rgba a, Rgba b, float (*f)(float, float)) { return {f(a.r, b.r), f(a.g, b.g), f(a.b, b.b), f(a.a, b.a)}; }

TEST_F(ShaderDeviceTest, ArithmeticInstructionsAndModifiers) {
  const Rgba t0 = fromArgb(kTex0), t1 = fromArgb(kTex1), d = fromArgb(kDiffuse);
  struct Case {
    const char* body;
    Rgba expected;
  };
  const float dot3 = t0.r * t1.r + t0.g * t1.g + t0.b * t1.b;
  const float dot4 = dot3 + t0.a * t1.a;
  const Case cases[] = {
      {"ps.1.1\ntex t0\nmov r0, t0", t0},
      {"ps.1.1\nmov r0, v0", d},
      {"ps.1.1\ntex t0\ntex t1\nadd r0, t0, t1", map(t0, t1, [](float a, float b) { return a + b; })},
      {"ps.1.1\ntex t0\ntex t1\nsub r0, t0, t1", map(t0, t1, [](float a, float b) { return a - b; })},
      {"ps.1.1\ntex t0\nmul r0, t0, v0", map(t0, d, [](float a, float b) { return a * b; })},
      {"ps.1.1\ntex t0\ntex t1\nmad r0, t0, v0, t1",
       {t0.r * d.r + t1.r, t0.g * d.g + t1.g, t0.b * d.b + t1.b, t0.a * d.a + t1.a}},
      {"ps.1.1\ntex t0\ntex t1\nlrp r0, v0, t0, t1",
       {d.r * t0.r + (1 - d.r) * t1.r, d.g * t0.g + (1 - d.g) * t1.g, d.b * t0.b + (1 - d.b) * t1.b,
        d.a * t0.a + (1 - d.a) * t1.a}},
      {"ps.1.1\ntex t0\ntex t1\ndp3 r0, t0, t1", {dot3, dot3, dot3, dot3}},
      {"ps.1.2\ntex t0\ntex t1\ndp4 r0, t0, t1", {1, 1, 1, 1}},  // 1.06 clamps
      {"ps.1.2\ntex t0\ntex t1\ndp4_d2 r0, t0, t1", {dot4 / 2, dot4 / 2, dot4 / 2, dot4 / 2}},
      // cnd: r0.a of 0.75 picks the first; cmp per component on t1 - 0.5.
      {"ps.1.1\ntex t0\ntex t1\nmov r0, v0\ncnd r0, r0.a, t0, t1", t0},
      {"ps.1.1\ntex t0\ntex t1\nmov r0, t1\ncnd r0, r0.a, t0, v0", d},  // 0.498 is not above 0.5
      {"ps.1.4\ntexld r0, t0\ntexld r1, t0\ncnd r0, r1, r0, v0", {d.r, t0.g, t0.b, d.a}},
      {"ps.1.2\ntex t0\ntex t1\ncmp r0, t1_bias, t0, v0", {d.r, t0.g, t0.b, d.a}},
      // Instruction modifiers.
      {"ps.1.1\ntex t0\nmul_x2 r0, t0, v0", {t0.r * d.r * 2, t0.g * d.g * 2, t0.b * d.b * 2, 1}},
      {"ps.1.1\ntex t0\nmul_x4 r0, t0, v0", {1, t0.g * d.g * 4, t0.b * d.b * 4, 1}},
      {"ps.1.1\ntex t0\nmul_d2 r0, t0, v0", {t0.r * d.r / 2, t0.g * d.g / 2, t0.b * d.b / 2, t0.a * d.a / 2}},
      {"ps.1.4\ntexld r0, t0\nmul_x8 r0, r0, c0", {0, 0, 0, 0}},  // unset constants are 0
      {"ps.1.4\ndef c0, 0.5, 0.5, 0.5, 0.5\ntexld r0, t0\nmul_d8 r0, r0, c0",
       {t0.r / 16, t0.g / 16, t0.b / 16, t0.a / 16}},
      {"ps.1.1\ntex t0\ntex t1\nadd_sat r0, t0, t1", {1, 1, 1, 1}},
      // Without _sat, ps.1.1 values stay within -1..1: r1 holds 1, not 2 (t0 + t1), so r0 is 0.5.
      {"ps.1.1\ndef c0, 0.75, 0.75, 0.75, 0.75\ntex t0\ntex t1\nadd_x2 r1, t0, t1\nsub_x2 r0, r1, c0",
       {0.5f, 0.5f, 0.5f, 0.5f}},
      // Source modifiers.
      {"ps.1.1\ntex t0\nmov r0, 1-t0", {1 - t0.r, 1 - t0.g, 1 - t0.b, 1 - t0.a}},
      {"ps.1.1\ntex t0\ntex t1\nadd r0, t0, -t1", map(t0, t1, [](float a, float b) { return a - b; })},
      {"ps.1.1\ntex t0\nadd r0, t0_bias, v0", {t0.r - 0.5f + d.r, t0.g - 0.5f + d.g, t0.b - 0.5f + d.b, 1}},
      {"ps.1.1\ndef c0, 0.5, 0.5, 0.5, 0.5\ntex t0\nmad r0, t0_bx2, c0, c0",
       {(2 * (t0.r - 0.5f)) * 0.5f + 0.5f, (2 * (t0.g - 0.5f)) * 0.5f + 0.5f, (2 * (t0.b - 0.5f)) * 0.5f + 0.5f,
        (2 * (t0.a - 0.5f)) * 0.5f + 0.5f}},
      {"ps.1.4\ntexld r1, t0\nmul r0, r1_x2, v0", {2 * t1.r * d.r, 2 * t1.g * d.g, 2 * t1.b * d.b, 2 * t1.a * d.a}},
      // Selectors and write masks.
      {"ps.1.1\ntex t1\nmov r0, t1.a", {t1.a, t1.a, t1.a, t1.a}},
      {"ps.1.4\ntexld r0, t0\nmov r0.g, v0.b", {t0.r, d.b, t0.b, t0.a}},
      {"ps.1.1\ntex t0\nmov r0, t0\nmov r0.a, v0", {t0.r, t0.g, t0.b, d.a}},
      {"ps.1.1\ntex t0\nmov r0, v0\nmov r0.rgb, t0", {t0.r, t0.g, t0.b, d.a}},
      // Co-issue: both halves read the registers as they were before the pair.
      {"ps.1.1\ntex t0\ntex t1\nmov r0, t0\nmov r0.rgb, t1\n+mov r0.a, r0.r", {t1.r, t1.g, t1.b, t0.r}},
      // The alpha of temporary registers does not survive the phase.
      {"ps.1.4\ntexld r1, t0\nphase\nmov r0, r1", {t1.r, t1.g, t1.b, 0.f}},
      // Constants: def, and what the device set (c3 below).
      {"ps.1.1\ndef c0, 0.25, 0.5, 0.75, 1.0\nmov r0, c0", {0.25f, 0.5f, 0.75f, 1}},
      {"ps.1.1\nmov r0, c3", {0.1f, 0.2f, 0.3f, 0.4f}},
      // Pixel constants hold -1 .. 1: 2 reads as 1, -3 as -1.
      {"ps.1.4\ndef c0, 2, -3, 0.5, 0.5\nmul r0, c0, c0.b", {0.5f, 0.f, 0.25f, 0.25f}},
      {"ps.1.1\nmul r0, c4, v0", {d.r, d.g, d.b, d.a}},
  };
  const float c3[4] = {0.1f, 0.2f, 0.3f, 0.4f};
  shaders->setPixelShaderConstant(3, c3, 1);
  const float c4[4] = {4.f, 4.f, 4.f, 4.f};
  shaders->setPixelShaderConstant(4, c4, 1);
  for (const Case& c : cases) {
    const Rgba e = c.expected;
    const Rgba clamped{std::clamp(e.r, 0.f, 1.f), std::clamp(e.g, 0.f, 1.f), std::clamp(e.b, 0.f, 1.f),
                       std::clamp(e.a, 0.f, 1.f)};
    EXPECT_TRUE(KR::Test::colorNear(toArgb(clamped), run(c.body))) << c.body;
  }
}

TEST_F(ShaderDeviceTest, TextureCoordinatesPhaseAndKill) {
  // Pixel (1, 2) of the 4x4 quad samples at u = 0.375, v = 0.625.
  EXPECT_TRUE(KR::Test::colorNear(toArgb({0.375f, 0.625f, 0.f, 1.f}), run("ps.1.1\ntexcoord t0\nmov r0, t0")));
  EXPECT_TRUE(
      KR::Test::colorNear(toArgb({0.375f, 0.625f, 0.f, 0.75f}), run("ps.1.4\ntexcrd r0.rgb, t0\nmov r0.a, v0")));

  // A dependent read: the coordinates shifted by c0 in the first phase pick the
  // other texel of a two-texel texture in the second.
  device->setTexture(0, texture(2, 1, {0xFFFF0000, 0xFF00FF00}));
  const char* shifted = "ps.1.4\ndef c0, 0.5, 0, 0, 0\ntexcrd r1.xyz, t0\nadd r1, r1, c0\nphase\ntexld r0, r1";
  EXPECT_TRUE(KR::Test::colorNear(0xFF00FF00, run(shifted, "", 0, 0)));  // u 0.125 -> 0.625
  EXPECT_TRUE(KR::Test::colorNear(0xFF00FF00, run("ps.1.4\ntexld r0, t0", "", 3, 0)));
  EXPECT_TRUE(KR::Test::colorNear(0xFFFF0000, run("ps.1.4\ntexld r0, t0", "", 0, 0)));
  // _dz divides by z: texcrd gives z 0 there, so make z 2 through a register.
  EXPECT_TRUE(KR::Test::colorNear(
      0xFFFF0000, run("ps.1.4\ndef c0, 0, 0, 1, 1\ntexcrd r1.xyz, t0\nadd r1, r1, c0\nadd r1, r1, c0\nphase\n"
                      "texld r0, r1_dz",
                      "", 3, 0)));  // u 0.875 / 2 -> left texel
  device->setTexture(0, tex0);

  // texkill drops the pixels with a negative coordinate; the target keeps
  // its clear colour there.
  const char* kill =
      "ps.1.4\ndef c0, 0.5, 0.5, 0.5, 0\ntexcrd r1.xyz, t0\nsub r1.xy, r1, c0\nphase\ntexkill r1\nmov r0, v0";
  EXPECT_TRUE(KR::Test::colorNear(0x00000000, run(kill, "", 0, 0)));
  EXPECT_TRUE(KR::Test::colorNear(kDiffuse, run(kill, "", 3, 3)));
  EXPECT_TRUE(KR::Test::colorNear(kDiffuse, run("ps.1.1\ntexkill t0\nmov r0, v0", "", 0, 0)));  // nothing negative

  // The device's alpha test follows the shader, as it follows the fixed pipeline.
  device->setRenderState(RenderState::AlphaTestEnable, 1);
  device->setRenderState(RenderState::AlphaRef, 0xC0);
  device->setRenderState(RenderState::AlphaFunc, uint32_t(Cmp::GreaterEqual));
  EXPECT_EQ(0x00000000u, run("ps.1.1\nmov r0, v0"));  // alpha 0xBF
  EXPECT_TRUE(KR::Test::colorNear(0xFF000000u | (kDiffuse & 0xFFFFFF),
                                  run("ps.1.1\ndef c0, 0, 0, 0, 1\nmov r0.rgb, v0\n+mov r0.a, c0")));
  device->setRenderState(RenderState::AlphaTestEnable, 0);
}

TEST_F(ShaderDeviceTest, VertexShaderInstructions) {
  const char* pass = "ps.1.1\nmov r0, v0";
  const char* head = "vs.1.1\nm4x4 oPos, v0, c0\n";
  const float k[4][4] = {
      {0.2f, 0.4f, 0.6f, 0.8f}, {0.5f, 0.5f, 0.25f, 2.f}, {0.1f, 0.1f, 0.1f, 0.1f}, {4.f, 2.f, 8.f, 1.f}};
  shaders->setVertexShaderConstant(4, &k[0][0], 4);
  const float d3 = 0.2f * 0.5f + 0.4f * 0.5f + 0.6f * 0.25f;
  struct Case {
    const char* body;
    Rgba expected;
  };
  const Rgba d = fromArgb(kDiffuse);
  const Case cases[] = {
      {"mov oD0, v1", d},
      {"mov oD0, c4", {0.2f, 0.4f, 0.6f, 0.8f}},
      {"add oD0, c4, c6", {0.3f, 0.5f, 0.7f, 0.9f}},
      {"sub oD0, c4, c6", {0.1f, 0.3f, 0.5f, 0.7f}},
      {"mul oD0, c4, c5", {0.1f, 0.2f, 0.15f, 1.f}},
      {"mad oD0, c4, c5, c6", {0.2f, 0.3f, 0.25f, 1.f}},
      {"dp3 oD0, c4, c5", {d3, d3, d3, d3}},
      {"dp4 r0, c4, c6\nmov oD0, r0", {0.2f, 0.2f, 0.2f, 0.2f}},
      {"rcp oD0, c7.z", {0.125f, 0.125f, 0.125f, 0.125f}},
      {"rcp r1, c7\nmov oD0, r1", {1.f, 1.f, 1.f, 1.f}},  // no selector: w
      {"mov oD0, c4.wzyx", {0.8f, 0.6f, 0.4f, 0.2f}},
      {"mov oD0, -c6\nadd oD0.xz, c4, c6", {0.3f, 0.f, 0.7f, 0.f}},
      // Texture coordinates out of the vertex stage: chroma in the colour, as the video path does.
      {"mov oT1, v1\nmov oD0, c6", {0.1f, 0.1f, 0.1f, 0.1f}},
  };
  for (const Case& c : cases)
    EXPECT_TRUE(KR::Test::colorNear(toArgb(c.expected), run(pass, std::string(head) + c.body))) << c.body;
  EXPECT_TRUE(KR::Test::colorNear(
      kDiffuse, run("ps.1.4\ntexcrd r0, t1\nmov r0.a, v0", std::string(head) + "mov oT1, v1\nmov oD0, v1")));
  // The texture coordinates of the vertices reach t0.
  EXPECT_TRUE(KR::Test::colorNear(toArgb({0.375f, 0.625f, 0.f, 1.f}),
                                  run("ps.1.1\ntexcoord t0\nmov r0, t0", std::string(head) + "mov oT0, v2")));
}

TEST_F(ShaderDeviceTest, VertexShaderPlacesThePixelsLikeTheFixedPipeline) {
  std::string error;
  const uint32_t ps = shaders->createPixelShader("ps.1.1\nmov r0, v0", error);
  const uint32_t vs = shaders->createVertexShader("vs.1.1\nm4x4 oPos, v0, c0\nmov oD0, v1", engineDeclaration(), error);
  ASSERT_NE(0u, vs) << error;
  float columns[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) columns[i * 4 + j] = viewProjection[j * 4 + i];
  shaders->setVertexShaderConstant(0, columns, 4);
  for (uint32_t v : {0u, vs}) {
    device->clear(CLEAR_TARGET, 0x00000000, 1.f, 0);
    ASSERT_TRUE(shaders->setPixelShader(ps));
    ASSERT_TRUE(shaders->setVertexShader(v));
    draw(1, 1, 3, 2, 0xFFFFFFFF);
    for (uint32_t y = 0; y < kSize; ++y)
      for (uint32_t x = 0; x < kSize; ++x) {
        const bool inside = x >= 1 && x < 3 && y == 1;
        EXPECT_EQ(inside ? 0xFFFFFFFFu : 0u, pixel(x, y)) << "shader " << v << " at " << x << "," << y;
      }
  }
}

TEST_F(ShaderDeviceTest, HandlesConstantsAndFixedParts) {
  std::string error;
  EXPECT_EQ(0u, shaders->createPixelShader("ps.1.1\nbogus r0", error));
  EXPECT_EQ("line 2: unknown instruction 'bogus'", error);
  EXPECT_FALSE(shaders->setPixelShader(12345));
  EXPECT_FALSE(shaders->deletePixelShader(12345));
  EXPECT_FALSE(shaders->deleteVertexShader(0));

  // Constants belong to the device: set before the shader exists, kept after
  // another shader was bound.
  const float red[4] = {1, 0, 0, 1};
  shaders->setPixelShaderConstant(7, red, 1);
  shaders->setPixelShaderConstant(8, red, 1);            // past the last register: ignored
  shaders->setPixelShaderConstant(0xFFFFFFFFu, red, 2);  // no wrap-around into c0
  const uint32_t a = shaders->createPixelShader("ps.1.1\nmov r0, c7", error);
  const uint32_t b = shaders->createPixelShader("ps.1.1\nmov r0, c0", error);
  ASSERT_TRUE(shaders->setPixelShader(b));
  draw();
  EXPECT_EQ(0x00000000u, pixel(0, 0));
  ASSERT_TRUE(shaders->setPixelShader(a));
  draw();
  EXPECT_EQ(0xFFFF0000u, pixel(0, 0));

  // Deleting the bound shader falls back to the fixed pipeline.
  EXPECT_TRUE(shaders->deletePixelShader(a));
  EXPECT_EQ(0u, shaders->getPixelShader());
  device->setTexture(0, nullptr);
  device->setRenderState(RenderState::AlphaBlendEnable, 0);
  draw(0, 0, kSize, kSize, 0xFF00FF00);
  EXPECT_EQ(0xFF00FF00u, pixel(0, 0));

  // A vertex shader without a pixel shader: stage 0 modulated by the colour.
  const uint32_t vs =
      shaders->createVertexShader("vs.1.1\nm4x4 oPos, v0, c0\nmov oD0, v1\nmov oT0, v2", engineDeclaration(), error);
  float columns[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) columns[i * 4 + j] = viewProjection[j * 4 + i];
  shaders->setVertexShaderConstant(0, columns, 4);
  device->setTexture(0, tex0);
  ASSERT_TRUE(shaders->setVertexShader(vs));
  draw(0, 0, kSize, kSize, 0xFFFFFFFF);
  EXPECT_TRUE(KR::Test::colorNear(kTex0, pixel(2, 2)));
}

// Whatever text the translator accepts, the GL compiler accepts what it
// makes of it: random programs over the whole accepted language.
TEST_F(ShaderDeviceTest, EveryAcceptedProgramCompiles) {
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  auto pick = [&next](std::initializer_list<const char*> list) {
    return std::string(list.begin()[next(uint32_t(list.size()))]);
  };
  int accepted = 0;
  for (int round = 0; round < 300; ++round) {
    const int kind = int(next(3));  // 0 ps.1.1-1.3, 1 ps.1.4, 2 vs.1.1
    std::string text;
    auto reg = [&](bool dst) {
      std::string r;
      if (kind == 2) {
        r = dst ? pick({"r0", "r1", "oPos", "oD0", "oD1", "oT0", "oT5"})
                : pick({"r0", "r1", "v0", "v1", "v2", "c0", "c95"});
      } else if (kind == 1) {
        r = dst ? pick({"r0", "r1", "r5"}) : pick({"r0", "r1", "r5", "v0", "v1", "c0", "c7"});
      } else {
        r = dst ? pick({"r0", "r1", "t0"}) : pick({"r0", "r1", "t0", "t3", "v0", "v1", "c0", "c7"});
      }
      if (dst) return r + pick({"", "", ".rgb", ".a", ".xy", ".w", ".xz"});
      std::string m = kind == 2 ? pick({"", "", "-"}) : pick({"", "", "-", "1-"});
      std::string suffix =
          kind == 2 ? pick({"", ".x", ".wzyx", ".xy"}) : pick({"", "_bias", "_bx2", "_x2", ".a", ".b"});
      return m + r + suffix;
    };
    if (kind == 0) {
      text = pick({"ps.1.1", "ps.1.2", "ps.1.3"}) + "\ndef c0, 0.5, -1, 1, 0\ntex t0\ntexcoord t3\n";
    } else if (kind == 1) {
      text = "ps.1.4\ndef c7, 1, 0.25, 0, 1\ntexld r0, t0\ntexcrd r1.xyz, t1\ntexld r5, t2_dz\n";
      if (next(2)) text += "phase\ntexld r1, r1\n";
    } else {
      text = "vs.1.1\ndef c95, 1, 2, 3, 4\nm4x4 oPos, v0, c0\n";
    }
    const int count = 1 + int(next(6));
    for (int i = 0; i < count; ++i) {
      const std::string op = kind == 2 ? pick({"mov", "add", "sub", "mul", "mad", "dp3", "dp4", "rcp"})
                                       : pick({"mov", "add", "sub", "mul", "mad", "lrp", "dp3", "dp4", "cnd", "cmp"});
      const int sources = op == "mov" || op == "rcp"                                 ? 1
                          : op == "mad" || op == "lrp" || op == "cnd" || op == "cmp" ? 3
                                                                                     : 2;
      std::string line = op + (kind == 2 ? "" : pick({"", "", "_sat", "_x2", "_d2", "_x4_sat"})) + " " + reg(true);
      for (int k = 0; k < sources; ++k) line += ", " + reg(false);
      text += line + "\n";
    }
    TranslatedShader out;
    std::string error;
    const bool ok = kind == 2 ? translateVertexShader(text, engineDeclaration(), out, error)
                              : translatePixelShader(text, out, error);
    if (!ok) continue;
    ++accepted;
    const uint32_t handle = kind == 2 ? shaders->createVertexShader(text, engineDeclaration(), error)
                                      : shaders->createPixelShader(text, error);
    ASSERT_NE(0u, handle) << error << "\n" << text << "\n" << out.glsl;
    if (kind == 2) {
      ASSERT_TRUE(shaders->setVertexShader(handle)) << shaders->lastGlError();
      shaders->setVertexShader(0);
      shaders->deleteVertexShader(handle);
    } else {
      ASSERT_TRUE(shaders->setPixelShader(handle)) << shaders->lastGlError();
      shaders->setPixelShader(0);
      shaders->deletePixelShader(handle);
    }
  }
  EXPECT_GT(accepted, 30);
}

}  // namespace
