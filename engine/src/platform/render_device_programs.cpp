#define GL_GLEXT_PROTOTYPES 1
#include "platform/render_device_programs.h"

#include <GL/glcorearb.h>

namespace KR {
namespace Platform {

namespace {

uint32_t at(const uint32_t* values, RenderState s) { return values[static_cast<size_t>(s)]; }
uint32_t at(const uint32_t* values, TextureStageState s) { return values[static_cast<size_t>(s)]; }

StageTerm termOf(uint32_t op, uint32_t arg1, uint32_t arg2, bool hasTexture) {
  const auto texture = [](uint32_t a) { return a == static_cast<uint32_t>(TextureArg::Texture); };
  StageTerm t = StageTerm::Diffuse;  // a disabled stage passes the vertex colour on
  switch (static_cast<TextureOp>(op)) {
    case TextureOp::SelectArg1: t = texture(arg1) ? StageTerm::Texture : StageTerm::Diffuse; break;
    case TextureOp::SelectArg2: t = texture(arg2) ? StageTerm::Texture : StageTerm::Diffuse; break;
    case TextureOp::Modulate:
      t = texture(arg1) && texture(arg2)   ? StageTerm::TextureTexture
          : texture(arg1) || texture(arg2) ? StageTerm::TextureDiffuse
                                           : StageTerm::DiffuseDiffuse;
      break;
    default: break;
  }
  if (hasTexture) return t;
  // Without a texture the stage reads white.
  switch (t) {
    case StageTerm::Texture:
    case StageTerm::TextureTexture: return StageTerm::One;
    case StageTerm::TextureDiffuse: return StageTerm::Diffuse;
    default: return t;
  }
}

// True when the blend leaves the target as it was for a fragment of alpha 0
// (rounded to 8 bits) and nothing else (stencil, depth) records the fragment:
// a test that only drops such fragments then changes nothing.
bool blendHidesZeroAlpha(const uint32_t* rs) {
  if (!at(rs, RenderState::AlphaBlendEnable) || at(rs, RenderState::StencilEnable)) return false;
  if (at(rs, RenderState::ZEnable) && at(rs, RenderState::ZWriteEnable)) return false;
  if (at(rs, RenderState::SrcBlend) != static_cast<uint32_t>(Blend::SrcAlpha)) return false;
  const auto dest = static_cast<Blend>(at(rs, RenderState::DestBlend));
  return dest == Blend::InvSrcAlpha || dest == Blend::One;
}

const char* expression(StageTerm t) {
  switch (t) {
    case StageTerm::Diffuse: return "vDiffuse";
    case StageTerm::Texture: return "tex";
    case StageTerm::TextureDiffuse: return "tex * vDiffuse";
    case StageTerm::TextureTexture: return "tex * tex";
    case StageTerm::DiffuseDiffuse: return "vDiffuse * vDiffuse";
    case StageTerm::One: return "vec4(1.0)";
    case StageTerm::Zero: return "vec4(0.0)";
  }
  return "vDiffuse";
}

bool readsTexture(StageTerm t) {
  return t == StageTerm::Texture || t == StageTerm::TextureDiffuse || t == StageTerm::TextureTexture;
}

// The condition under which a fragment of 8-bit alpha `a8` survives.
const char* passes(Cmp c) {
  switch (c) {
    case Cmp::Never: return "false";
    case Cmp::Less: return "a8 < uAlphaRef";
    case Cmp::Equal: return "a8 == uAlphaRef";
    case Cmp::LessEqual: return "a8 <= uAlphaRef";
    case Cmp::Greater: return "a8 > uAlphaRef";
    case Cmp::NotEqual: return "a8 != uAlphaRef";
    case Cmp::GreaterEqual: return "a8 >= uAlphaRef";
    case Cmp::Always: return "true";
  }
  return "true";
}

uint32_t linkStages(uint32_t vertex, uint32_t fragment, std::string& error) {
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDetachShader(program, vertex);
  glDetachShader(program, fragment);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    error = "program failed to link";
    glDeleteProgram(program);
    return 0;
  }
  // Texture stage 0 samples unit 0.
  glUseProgram(program);
  const GLint sampler = glGetUniformLocation(program, "uTexture0");
  if (sampler >= 0) glUniform1i(sampler, 0);
  return program;
}

}  // namespace

uint32_t compileStage(uint32_t type, const std::string& text, std::string& error) {
  const GLuint s = glCreateShader(type);
  const char* source = text.c_str();
  glShaderSource(s, 1, &source, nullptr);
  glCompileShader(s);
  GLint ok = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetShaderInfoLog(s, sizeof log - 1, nullptr, log);
    error = std::string("GLSL compile failed: ") + log;
    glDeleteShader(s);
    return 0;
  }
  return s;
}

FixedProgramKey fixedProgramKey(const FixedStates& states) {
  const uint32_t* rs = states.renderStates;
  const uint32_t* st = states.stage0;
  FixedProgramKey key;
  key.color = termOf(at(st, TextureStageState::ColorOp), at(st, TextureStageState::ColorArg1),
                     at(st, TextureStageState::ColorArg2), states.hasTexture);
  key.alpha = termOf(at(st, TextureStageState::AlphaOp), at(st, TextureStageState::AlphaArg1),
                     at(st, TextureStageState::AlphaArg2), states.hasTexture);
  Cmp test = at(rs, RenderState::AlphaTestEnable) ? static_cast<Cmp>(at(rs, RenderState::AlphaFunc)) : Cmp::Always;
  if (static_cast<uint32_t>(test) > static_cast<uint32_t>(Cmp::Always)) test = Cmp::Always;
  const uint32_t ref = at(rs, RenderState::AlphaRef) & 0xFF;
  if (test == Cmp::GreaterEqual && ref == 0) test = Cmp::Always;
  const bool dropsOnlyZero =
      (test == Cmp::GreaterEqual && ref == 1) || ((test == Cmp::Greater || test == Cmp::NotEqual) && ref == 0);
  if (dropsOnlyZero && blendHidesZeroAlpha(rs)) test = Cmp::Always;
  key.alphaTest = test;
  // The stencil-only pass: no colour reaches the target, only the test counts.
  if (at(rs, RenderState::ColorWriteEnable) == 0) {
    key.color = StageTerm::Zero;
    if (test == Cmp::Always) key.alpha = StageTerm::Zero;
  }
  return key;
}

std::string fixedFragmentGlsl(const FixedProgramKey& key) {
  std::string s =
      "#version 330 core\n"
      "in vec4 vDiffuse;\n"
      "in vec2 vTexCoord;\n"
      "uniform sampler2D uTexture0;\n"
      "uniform float uAlphaRef;\n"
      "out vec4 fragColor;\n"
      "void main() {\n";
  if (readsTexture(key.color) || readsTexture(key.alpha)) s += "  vec4 tex = texture(uTexture0, vTexCoord);\n";
  s += std::string("  vec3 c = (") + expression(key.color) + ").rgb;\n";
  s += std::string("  float a = (") + expression(key.alpha) + ").a;\n";
  if (key.alphaTest != Cmp::Always) {
    s += "  float a8 = floor(a * 255.0 + 0.5);\n";
    s += std::string("  if (!(") + passes(key.alphaTest) + ")) discard;\n";
  }
  s += "  fragColor = vec4(c, a);\n}\n";
  return s;
}

FixedPrograms::~FixedPrograms() {
  for (auto& p : mPrograms) glDeleteProgram(p.second.name);
  if (mVertex) glDeleteShader(mVertex);
}

bool FixedPrograms::init(const char* vertexGlsl, std::string& error) {
  mVertex = compileStage(GL_VERTEX_SHADER, vertexGlsl, error);
  return mVertex != 0;
}

FixedPrograms::Program* FixedPrograms::get(const FixedProgramKey& key, std::string& error) {
  const uint32_t packed = key.packed();
  auto found = mPrograms.find(packed);
  if (found != mPrograms.end()) return &found->second;
  const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fixedFragmentGlsl(key), error);
  if (!fragment) return nullptr;
  const GLuint program = linkStages(mVertex, fragment, error);
  glDeleteShader(fragment);
  if (!program) return nullptr;
  Program p;
  p.name = program;
  p.transformLoc = glGetUniformLocation(program, "uTransform");
  p.alphaRefLoc = glGetUniformLocation(program, "uAlphaRef");
  return &mPrograms.emplace(packed, p).first->second;
}

}  // namespace Platform
}  // namespace KR
