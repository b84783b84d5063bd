#pragma once
// Shader programs on the render device: pixel and vertex shaders made from
// Direct3D 8 assembler text (shader_translator.h), bound in place of the
// fixed pipeline, and their constant registers.
//
// Like the device it mimics, a pixel shader and a vertex shader are chosen
// independently (handle 0: the fixed pipeline's part), and constant registers
// belong to the device: they keep their values across shader changes. A pair
// is linked into one GL program the first time it is drawn with.
//
// One ShaderDevice per RenderDevice, made after it and destroyed before it;
// main thread only.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/render_device.h"
#include "platform/shader_translator.h"

namespace KR {
namespace Platform {

class ShaderDevice {
 public:
  explicit ShaderDevice(RenderDevice* device);
  ~ShaderDevice();
  ShaderDevice(const ShaderDevice&) = delete;
  ShaderDevice& operator=(const ShaderDevice&) = delete;

  // A new shader's handle (never 0), or 0 with the reason in error: the
  // translator's message, or the GL compiler's.
  uint32_t createPixelShader(const std::string& text, std::string& error);
  uint32_t createVertexShader(const std::string& text, const VertexInputs& inputs, std::string& error);
  // False when the handle is no live shader of that kind. A bound shader is
  // unbound first.
  bool deletePixelShader(uint32_t handle);
  bool deleteVertexShader(uint32_t handle);

  // Chooses the shaders of the next draws (0: the fixed pipeline's part).
  // False, changing nothing, for an unknown handle or a pair that does not link.
  bool setPixelShader(uint32_t handle);
  bool setVertexShader(uint32_t handle);
  uint32_t getPixelShader() const { return mPixel; }
  uint32_t getVertexShader() const { return mVertex; }

  // Constant registers c[first] .. c[first + count - 1], four floats each;
  // registers past the last one are ignored.
  void setPixelShaderConstant(uint32_t first, const float* data, uint32_t count);
  void setVertexShaderConstant(uint32_t first, const float* data, uint32_t count);

  RenderDevice* getDevice() const { return mDevice; }
  // The last GL compile or link message (diagnostics).
  const std::string& lastGlError() const { return mGlError; }

 private:
  struct Shader {
    uint32_t glShader = 0;
  };
  uint32_t compile(uint32_t type, const std::string& glsl);
  uint32_t programFor(uint32_t vertex, uint32_t pixel);
  void bind();
  void upload(uint32_t program);
  void forgetPrograms(bool vertex, uint32_t handle);

  RenderDevice* mDevice;
  std::map<uint32_t, Shader> mPixelShaders;
  std::map<uint32_t, Shader> mVertexShaders;
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> mPrograms;  // (vertex, pixel) -> GL program
  uint32_t mNextHandle = 1;
  uint32_t mPixel = 0;
  uint32_t mVertex = 0;
  uint32_t mFixedVertex = 0;  // GL shader objects of the fixed parts, made on first use
  uint32_t mFixedPixel = 0;
  float mPixelConstants[kPixelConstantCount][4] = {};
  float mVertexConstants[kVertexConstantCount][4] = {};
  std::string mGlError;
};

}  // namespace Platform
}  // namespace KR
