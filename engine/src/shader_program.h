#pragma once
// Shader programs: a pixel shader and an optional vertex shader, made by the
// render system from Direct3D 8 assembler text (RenderSystem::createPixelShader,
// loadPixelShader, ...), set with RenderSystem::setShaderProgram and released
// with RenderSystem::releaseShaderProgram. Owners build them in place.
//
//   ShaderProgram p;
//   bool ok = rs->loadPixelShader(&p, "grayscale_ps") == 0;
//   p.mReady = ok;
//   ...
//   rs->setShaderProgram(&p); draw; rs->resetShaders();
//   ...
//   rs->releaseShaderProgram(&p);
#include <cstdint>

namespace KR {

namespace Platform {
class ShaderDevice;
}

// The pixel part.
class ShaderProgramDX8 {
 public:
  virtual ~ShaderProgramDX8() = default;
  uint32_t mPixelShader = 0;
  bool mPixelShaderCreated = false;
};

class VertexShaderDX8 {
 public:
  virtual ~VertexShaderDX8() = default;
  uint32_t mVertexShader = 0;
  bool mVertexShaderCreated = false;
};

class VertexShader : public VertexShaderDX8 {};

// The destructor frees nothing: release goes through the render system.
class ShaderProgram : public ShaderProgramDX8 {
 public:
  VertexShader mVertex;
  // Set by the owner when the parts it needs were created.
  bool mReady = false;
};

// The displacement shader: scene on stage 0, distortion map on stage 1; each
// pixel shows the scene moved by (map red and green - 0x7F) x 0.15.
extern const char* const kDisplacementShaderSource;

// The render system's shader objects; destroyed with the render system while
// its device still exists.
class RenderShaderState {
 public:
  RenderShaderState();
  ~RenderShaderState();
  RenderShaderState(const RenderShaderState&) = delete;
  RenderShaderState& operator=(const RenderShaderState&) = delete;

  Platform::ShaderDevice* mDevice = nullptr;  // made on first use
  ShaderProgram* mDisplacement = nullptr;
};

}  // namespace KR
