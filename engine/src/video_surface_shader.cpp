#include "video_surface_shader.h"

#include "render_system_dx8.h"
#include "shader_program.h"
#include "sprite.h"
#include "texture_dx8.h"

namespace KR {

struct VideoShaderProgram::Parts {
  ShaderProgram program;
};

VideoShaderProgram* VideoShaderProgram::load() {
  RenderSystem* renderSystem = RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice()) return nullptr;
  Parts* parts = new Parts();
  const bool pixel = renderSystem->loadPixelShader(&parts->program, "yuv2rgb_ps") == 0;
  const bool vertex = renderSystem->loadVertexShader(&parts->program.mVertex, "yuv2rgb_vs") == 0;
  if (!pixel || !vertex) {
    renderSystem->releaseShaderProgram(&parts->program);
    delete parts;
    return nullptr;
  }
  parts->program.mReady = true;
  VideoShaderProgram* result = new VideoShaderProgram();
  result->parts = parts;
  return result;
}

VideoShaderProgram::~VideoShaderProgram() {
  if (parts)
    if (RenderSystem* renderSystem = RenderSystem::getInstancePtr())
      renderSystem->releaseShaderProgram(&parts->program);
  delete parts;
}

void VideoShaderProgram::drawPicture(Sprite* luminance, Texture* chroma, unsigned firstVertexConstant) {
  RenderSystem* renderSystem = RenderSystem::getInstancePtr();
  if (!renderSystem || !parts || !luminance || !chroma) return;
  Platform::RenderDevice* device = renderSystem->getDevice();
  if (!device) return;
  renderSystem->flushBatch();
  device->setTexture(1, chroma->mHandle);
  renderSystem->setShaderProgram(&parts->program);
  renderSystem->setVertexShaderConstant(firstVertexConstant, renderSystem->mShaderViewProjection, 4);
  luminance->updateVertices();
  luminance->render();
  renderSystem->flushBatch();
  renderSystem->resetShaders();
  device->setTexture(1, nullptr);
}

}  // namespace KR
