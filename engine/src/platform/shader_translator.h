#pragma once
// Translates Direct3D 8 shader assembler text (pixel shaders ps.1.1 to ps.1.4,
// vertex shaders vs.1.1) into GLSL 330 core. Pure text in, text out: no GL.
//
// The GLSL that comes out plugs into the render device's conventions:
//  - vertex attributes: location 0 position, 1 diffuse colour (normalised
//    RGBA), 2 texture coordinates (the device's fixed layout);
//  - varyings between the stages: vColor0, vColor1 (oD0 / oD1 -> v0 / v1) and
//    vT0 .. vT7 (oT# -> t#), always all declared by the vertex stage;
//  - uniforms: "uPSConst[8]" (pixel constants c0 .. c7), "uVSConst[96]"
//    (vertex constants c0 .. c95), samplers "uSampler0" .. "uSampler7" (one
//    per texture stage), "uTransform" (fixed vertex stage only) and
//    "uTargetSize" (render-target size in pixels: the vertex stage turns
//    Direct3D clip space, half-pixel offset included, into the target's) with
//    "uTargetYScale" (1 for targets stored top row first, -1 for the window).
//  - the pixel stages end in the device's alpha test ("uAlphaTest",
//    "uAlphaFunc", "uAlphaRef"), as the fixed pipeline does.
//
// Accepted language (what the content uses):
//  - comments: ";" and "//" to the end of the line, "/* ... */";
//  - "def c#, f, f, f, f" (floats may end in "f");
//  - pixel shaders: tex, texcoord, texkill (1.1 - 1.3); texld, texcrd,
//    texkill, phase (1.4); mov, add, sub, mul, mad, lrp, dp3, dp4, cnd, cmp,
//    nop; co-issue "+"; instruction modifiers _x2 _x4 _x8 _d2 _d4 _d8 _sat;
//    source modifiers "-", "1-", _bias, _bx2, _x2 (1.4); texld sources _dz,
//    _dw; replicate selectors and write masks;
//  - vertex shaders: mov, add, sub, mul, mad, dp3, dp4, rcp, m4x4, nop; inputs
//    v0 .. v15 as the declaration binds them; outputs oPos, oD0, oD1,
//    oT0 .. oT7; negation, swizzles and write masks.
// Everything else is rejected with a message "line N: ...".
#include <cstdint>
#include <string>

namespace KR {
namespace Platform {

enum class ShaderStage : uint8_t { Pixel, Vertex };

// What the vertex declaration binds to an input register v#.
enum class VertexInput : uint8_t { None, Position, Normal, Diffuse, TexCoord0 };

constexpr int kMaxVertexInputs = 16;
constexpr int kPixelConstantCount = 8;
constexpr int kVertexConstantCount = 96;
constexpr int kMaxSamplers = 8;

struct VertexInputs {
  VertexInput reg[kMaxVertexInputs] = {};
};

struct TranslatedShader {
  ShaderStage stage = ShaderStage::Pixel;
  uint32_t versionMajor = 0;
  uint32_t versionMinor = 0;
  std::string glsl;
  // Bit n: texture stage n is sampled (pixel shaders).
  uint32_t samplerMask = 0;
};

// Pixel shader text -> fragment stage. False with the message in error.
bool translatePixelShader(const std::string& text, TranslatedShader& out, std::string& error);
// Vertex shader text -> vertex stage, its inputs bound by the declaration.
bool translateVertexShader(const std::string& text, const VertexInputs& inputs, TranslatedShader& out,
                           std::string& error);

// The vertex stage that stands in for the fixed pipeline under a pixel
// shader: "uTransform" x position, diffuse to vColor0, the one set of texture
// coordinates to every vT#.
const char* fixedVertexStageGlsl();
// The fragment stage under a vertex shader without a pixel shader: stage 0's
// texture modulated by the diffuse colour.
const char* fixedPixelStageGlsl();

}  // namespace Platform
}  // namespace KR
