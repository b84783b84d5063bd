#pragma once
// The fixed pipeline's fragment programs, one per combination of the states
// that change what a pixel computes: the colour and alpha of texture stage 0,
// the alpha test (dropped where the blend makes it invisible), and the
// stencil-only pass (colour writes off). A software rasteriser pays for every
// branch on every pixel, so each combination gets straight-line code, chosen
// when the states change and linked on first use. Main thread only.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/render_device.h"

namespace KR {
namespace Platform {

// What a term of stage 0 reads.
enum class StageTerm : uint8_t {
  Diffuse,         // the vertex colour
  Texture,         // the texel
  TextureDiffuse,  // texel x vertex colour (modulate)
  TextureTexture,  // texel x texel
  DiffuseDiffuse,  // vertex colour x vertex colour
  One,             // white (a texel where no texture is bound)
  Zero,            // nothing (the colour of the stencil-only pass)
};

// The states a fixed program is made for, packed into one word.
struct FixedProgramKey {
  StageTerm color = StageTerm::TextureDiffuse;
  StageTerm alpha = StageTerm::TextureDiffuse;
  Cmp alphaTest = Cmp::Always;  // Always: no test in the program

  uint32_t packed() const { return uint32_t(color) | uint32_t(alpha) << 8 | uint32_t(alphaTest) << 16; }
};

// The device states the choice reads.
struct FixedStates {
  const uint32_t* renderStates;  // RenderState::Count values
  const uint32_t* stage0;        // TextureStageState::Count values
  bool hasTexture;
};

// A compiled GL shader stage of the given type, or 0 with the compiler's
// message in error.
uint32_t compileStage(uint32_t type, const std::string& text, std::string& error);

// The program the states need.
FixedProgramKey fixedProgramKey(const FixedStates& states);
// Its GLSL fragment stage (uniforms: sampler2D uTexture0, float uAlphaRef 0..255).
std::string fixedFragmentGlsl(const FixedProgramKey& key);

class FixedPrograms {
 public:
  struct Program {
    uint32_t name = 0;
    int32_t transformLoc = -1;
    int32_t alphaRefLoc = -1;
    uint64_t transformSerial = 0;  // of the transform last sent to it
    float alphaRef = -1.f;
  };

  FixedPrograms() = default;
  ~FixedPrograms();
  FixedPrograms(const FixedPrograms&) = delete;
  FixedPrograms& operator=(const FixedPrograms&) = delete;

  // Compiles the shared vertex stage; false with the reason in error.
  bool init(const char* vertexGlsl, std::string& error);
  // The program of the key, linked on first use; null when it does not build
  // (reason in error).
  Program* get(const FixedProgramKey& key, std::string& error);
  size_t count() const { return mPrograms.size(); }

 private:
  uint32_t mVertex = 0;
  std::unordered_map<uint32_t, Program> mPrograms;
};

}  // namespace Platform
}  // namespace KR
