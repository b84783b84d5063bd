#define GL_GLEXT_PROTOTYPES 1
#include "platform/render_device_shaders.h"

#include <GL/glcorearb.h>

#include <cstring>
#include <vector>

#include "platform/render_device_programs.h"

namespace KR {
namespace Platform {

ShaderDevice::ShaderDevice(RenderDevice* device) : mDevice(device) {}

ShaderDevice::~ShaderDevice() {
  if (mDevice) mDevice->setProgram(0);
  for (auto& p : mPrograms) glDeleteProgram(p.second);
  for (auto& s : mPixelShaders) glDeleteShader(s.second.glShader);
  for (auto& s : mVertexShaders) glDeleteShader(s.second.glShader);
  if (mFixedVertex) glDeleteShader(mFixedVertex);
  if (mFixedPixel) glDeleteShader(mFixedPixel);
}

uint32_t ShaderDevice::compile(uint32_t type, const std::string& glsl) { return compileStage(type, glsl, mGlError); }

uint32_t ShaderDevice::createPixelShader(const std::string& text, std::string& error) {
  TranslatedShader t;
  if (!translatePixelShader(text, t, error)) return 0;
  const uint32_t gl = compile(GL_FRAGMENT_SHADER, t.glsl);
  if (!gl) {
    error = mGlError;
    return 0;
  }
  const uint32_t handle = mNextHandle++;
  mPixelShaders[handle].glShader = gl;
  return handle;
}

uint32_t ShaderDevice::createVertexShader(const std::string& text, const VertexInputs& inputs, std::string& error) {
  TranslatedShader t;
  if (!translateVertexShader(text, inputs, t, error)) return 0;
  const uint32_t gl = compile(GL_VERTEX_SHADER, t.glsl);
  if (!gl) {
    error = mGlError;
    return 0;
  }
  const uint32_t handle = mNextHandle++;
  mVertexShaders[handle].glShader = gl;
  return handle;
}

void ShaderDevice::forgetPrograms(bool vertex, uint32_t handle) {
  for (auto it = mPrograms.begin(); it != mPrograms.end();) {
    if ((vertex ? it->first.first : it->first.second) == handle) {
      glDeleteProgram(it->second);
      it = mPrograms.erase(it);
    } else {
      ++it;
    }
  }
}

bool ShaderDevice::deletePixelShader(uint32_t handle) {
  auto it = mPixelShaders.find(handle);
  if (it == mPixelShaders.end()) return false;
  if (mPixel == handle) {
    mPixel = 0;
    bind();
  }
  forgetPrograms(false, handle);
  glDeleteShader(it->second.glShader);
  mPixelShaders.erase(it);
  return true;
}

bool ShaderDevice::deleteVertexShader(uint32_t handle) {
  auto it = mVertexShaders.find(handle);
  if (it == mVertexShaders.end()) return false;
  if (mVertex == handle) {
    mVertex = 0;
    bind();
  }
  forgetPrograms(true, handle);
  glDeleteShader(it->second.glShader);
  mVertexShaders.erase(it);
  return true;
}

uint32_t ShaderDevice::programFor(uint32_t vertex, uint32_t pixel) {
  const auto key = std::make_pair(vertex, pixel);
  auto found = mPrograms.find(key);
  if (found != mPrograms.end()) return found->second;

  GLuint vs = 0, fs = 0;
  if (vertex) {
    vs = mVertexShaders[vertex].glShader;
  } else {
    if (!mFixedVertex) mFixedVertex = compile(GL_VERTEX_SHADER, fixedVertexStageGlsl());
    vs = mFixedVertex;
  }
  if (pixel) {
    fs = mPixelShaders[pixel].glShader;
  } else {
    if (!mFixedPixel) mFixedPixel = compile(GL_FRAGMENT_SHADER, fixedPixelStageGlsl());
    fs = mFixedPixel;
  }
  if (!vs || !fs) return 0;
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDetachShader(program, vs);
  glDetachShader(program, fs);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    char log[1024] = {};
    glGetProgramInfoLog(program, sizeof log - 1, nullptr, log);
    mGlError = std::string("GLSL link failed: ") + log;
    glDeleteProgram(program);
    return 0;
  }
  // Uniforms are set on the program in use; the device binds its program
  // again before every draw, so none is restored here (the one in use may
  // be a deleted program that only lives on until it is replaced).
  glUseProgram(program);
  for (int i = 0; i < kMaxSamplers; ++i) {
    const std::string name = "uSampler" + std::to_string(i);
    const GLint loc = glGetUniformLocation(program, name.c_str());
    if (loc >= 0) glUniform1i(loc, i);
  }
  glUseProgram(0);
  mPrograms[key] = program;
  return program;
}

void ShaderDevice::upload(uint32_t program) {
  if (!program) return;
  glUseProgram(program);
  const GLint ps = glGetUniformLocation(program, "uPSConst");
  if (ps >= 0) glUniform4fv(ps, kPixelConstantCount, &mPixelConstants[0][0]);
  const GLint vs = glGetUniformLocation(program, "uVSConst");
  if (vs >= 0) glUniform4fv(vs, kVertexConstantCount, &mVertexConstants[0][0]);
  glUseProgram(0);
}

void ShaderDevice::bind() {
  if (!mPixel && !mVertex) {
    mDevice->setProgram(0);
    return;
  }
  const uint32_t program = programFor(mVertex, mPixel);
  upload(program);
  mDevice->setProgram(program);
}

bool ShaderDevice::setPixelShader(uint32_t handle) {
  if (handle && !mPixelShaders.count(handle)) return false;
  if (handle && !programFor(mVertex, handle)) return false;
  mPixel = handle;
  bind();
  return true;
}

bool ShaderDevice::setVertexShader(uint32_t handle) {
  if (handle && !mVertexShaders.count(handle)) return false;
  if (handle && !programFor(handle, mPixel)) return false;
  mVertex = handle;
  bind();
  return true;
}

void ShaderDevice::setPixelShaderConstant(uint32_t first, const float* data, uint32_t count) {
  if (!data || first >= uint32_t(kPixelConstantCount)) return;
  for (uint32_t i = 0; i < count && first + i < uint32_t(kPixelConstantCount); ++i)
    std::memcpy(mPixelConstants[first + i], data + 4 * i, 4 * sizeof(float));
  if (mPixel || mVertex) upload(programFor(mVertex, mPixel));
}

void ShaderDevice::setVertexShaderConstant(uint32_t first, const float* data, uint32_t count) {
  if (!data || first >= uint32_t(kVertexConstantCount)) return;
  for (uint32_t i = 0; i < count && first + i < uint32_t(kVertexConstantCount); ++i)
    std::memcpy(mVertexConstants[first + i], data + 4 * i, 4 * sizeof(float));
  if (mPixel || mVertex) upload(programFor(mVertex, mPixel));
}

}  // namespace Platform
}  // namespace KR
