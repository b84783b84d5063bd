// Shader programs, the distortion map's off-screen pass and the displacement
// composite of the render system; render targets other than the slots.
#include "shader_program.h"

#include <cstdlib>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"
#include "platform/render_device_shaders.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {

const char* const kDisplacementShaderSource =
    "ps.1.4;\n"
    "def c0, 0.15f, 0.15f, 1.0f, 1.0f;\n"
    "def c1, 0.498039f, 0.498039f, 0.0f, 0.0f;\n"
    "texcrd r2.xyz, t0;\n"
    "texld r1, t0;\n"
    "mov r2.w, r2.x;\n"
    "sub r1, r1, c1;\n"
    "mul r1, r1, c0;\n"
    "add r1, r1, r2;\n"
    "phase\n"
    "texld r0, r1;\n";

RenderShaderState::RenderShaderState() : mDisplacement(new ShaderProgram()) {}

RenderShaderState::~RenderShaderState() {
  // The device outlives this member of the render system; its GL objects go
  // with the shader device.
  delete mDevice;
  delete mDisplacement;
}

namespace {

// The vertex declaration of a vertex-format mask: which input register holds
// which component of the stream. Null for a mask that has none.
const Platform::VertexInputs* declarationFor(uint32_t mask) {
  using Platform::VertexInput;
  static const Platform::VertexInputs engine = [] {
    Platform::VertexInputs in;
    in.reg[0] = VertexInput::Position;
    in.reg[1] = VertexInput::Diffuse;
    in.reg[2] = VertexInput::TexCoord0;
    return in;
  }();
  static const Platform::VertexInputs game = [] {
    Platform::VertexInputs in;
    in.reg[0] = VertexInput::Position;
    in.reg[1] = VertexInput::Normal;
    in.reg[2] = VertexInput::Diffuse;
    in.reg[3] = VertexInput::TexCoord0;
    return in;
  }();
  if (mask == kVertexFormatEngine) return &engine;
  if (mask == kVertexFormatGame) return &game;
  return nullptr;
}

}  // namespace

Platform::ShaderDevice* RenderSystem::getShaderDevice() {
  Platform::RenderDevice* d = getDevice();
  if (!d) return nullptr;
  if (!mShaderState.mDevice) mShaderState.mDevice = new Platform::ShaderDevice(d);
  return mShaderState.mDevice;
}

ShaderProgram* RenderSystem::getDisplacementProgram() { return mShaderState.mDisplacement; }

// ---- shaders ----

int RenderSystem::createPixelShader(ShaderProgramDX8* part, const char* text) {
  if (!mPixelShader14Supported || !part || !text) return 1;
  Platform::ShaderDevice* sd = getShaderDevice();
  if (!sd) return 1;
  deletePixelShader(part);
  std::string error;
  const uint32_t handle = sd->createPixelShader(text, error);
  if (!handle) {
    log("ERROR: Failed to create pixel shader: %s", error.c_str());
    return 1;
  }
  part->mPixelShader = handle;
  part->mPixelShaderCreated = true;
  return 0;
}

int RenderSystem::createVertexShader(VertexShaderDX8* part, const char* text) {
  if (!mVertexShader11Supported || !part || !text) return 1;
  Platform::ShaderDevice* sd = getShaderDevice();
  if (!sd) return 1;
  deleteVertexShader(part);
  const uint32_t mask = ConfigManager::getInstance()->vertexFormatFlags;
  const Platform::VertexInputs* declaration = declarationFor(mask);
  if (!declaration) {
    // The text is checked first, as an assembler would; only good text meets
    // the missing declaration.
    Platform::VertexInputs any;
    for (auto& r : any.reg) r = Platform::VertexInput::Position;
    Platform::TranslatedShader unused;
    std::string error;
    if (!Platform::translateVertexShader(text, any, unused, error)) {
      log("ERROR: Failed to create vertex shader: %s", error.c_str());
      return 1;
    }
    KR_FATAL("Unknown vertex shader declaration!");
  }
  std::string error;
  const uint32_t handle = sd->createVertexShader(text, *declaration, error);
  if (!handle) {
    log("ERROR: Failed to create vertex shader: %s", error.c_str());
    return 1;
  }
  part->mVertexShader = handle;
  part->mVertexShaderCreated = true;
  return 0;
}

int RenderSystem::deletePixelShader(ShaderProgramDX8* part) {
  if (!part || !part->mPixelShaderCreated) return 1;
  Platform::ShaderDevice* sd = getShaderDevice();
  const bool deleted = sd && sd->deletePixelShader(part->mPixelShader);
  part->mPixelShader = 0;
  part->mPixelShaderCreated = false;
  return deleted ? 0 : 1;
}

int RenderSystem::deleteVertexShader(VertexShaderDX8* part) {
  if (!part || !part->mVertexShaderCreated) return 1;
  Platform::ShaderDevice* sd = getShaderDevice();
  const bool deleted = sd && sd->deleteVertexShader(part->mVertexShader);
  part->mVertexShader = 0;
  part->mVertexShaderCreated = false;
  return deleted ? 0 : 1;
}

namespace {

// The resource's whole text, or false after the log line.
bool readShaderText(const char* name, std::string& text) {
  char* buffer = nullptr;
  if (readFileToBuffer(name, &buffer) != 0) {
    log("ERROR. Failed to shader file %s", name);
    return false;
  }
  text = buffer;
  std::free(buffer);
  return true;
}

}  // namespace

int RenderSystem::loadPixelShader(ShaderProgramDX8* part, const char* name) {
  if (!part || !name) return 1;
  std::string text;
  if (!readShaderText(name, text)) return 1;
  return createPixelShader(part, text.c_str());
}

int RenderSystem::loadVertexShader(VertexShaderDX8* part, const char* name) {
  if (!part || !name) return 1;
  std::string text;
  if (!readShaderText(name, text)) return 1;
  return createVertexShader(part, text.c_str());
}

int RenderSystem::setShaderProgram(ShaderProgram* program) {
  flushBatch();
  Platform::ShaderDevice* sd = getShaderDevice();
  if (!sd) return 1;
  const uint32_t pixel = program && program->mPixelShaderCreated ? program->mPixelShader : 0;
  const uint32_t vertex = program && program->mVertex.mVertexShaderCreated ? program->mVertex.mVertexShader : 0;
  bool ok = sd->setPixelShader(pixel);
  // Without a vertex part the stream's fixed-function format serves.
  ok = sd->setVertexShader(vertex) && ok;
  return ok ? 0 : 1;
}

int RenderSystem::resetShaders() {
  flushBatch();
  Platform::ShaderDevice* sd = getShaderDevice();
  if (!sd) return 1;
  const bool ok = sd->setPixelShader(0) && sd->setVertexShader(0);
  return ok ? 0 : 1;
}

int RenderSystem::releaseShaderProgram(ShaderProgram* program) {
  if (!program) return 1;
  const bool both = program->mPixelShaderCreated && program->mVertex.mVertexShaderCreated;
  int failed = 0;
  if (program->mPixelShaderCreated) failed |= deletePixelShader(program);
  if (program->mVertex.mVertexShaderCreated) failed |= deleteVertexShader(&program->mVertex);
  program->mReady = false;
  return both && !failed ? 0 : 1;
}

void RenderSystem::setVertexShaderConstant(uint32_t first, const float* data, uint32_t count) {
  flushBatch();
  if (Platform::ShaderDevice* sd = getShaderDevice()) sd->setVertexShaderConstant(first, data, count);
}

void RenderSystem::setPixelShaderConstant(uint32_t first, const float* data, uint32_t count) {
  flushBatch();
  if (Platform::ShaderDevice* sd = getShaderDevice()) sd->setPixelShaderConstant(first, data, count);
}

// ---- targets ----

int RenderSystem::setRenderTargetTexture(RenderTarget* target) {
  flushBatch();
  setDrawingDirect(false);
  Platform::RenderDevice* d = getDevice();
  if (!d || !target || !target->mTexture || !target->mTexture->mHandle) return 1;
  Platform::DeviceSurface* surface = d->textureSurface(target->mTexture->mHandle);
  if (!surface) return 1;
  const Platform::DeviceResult r =
      d->setRenderTarget(surface, target->mUseDepth ? mDeviceBlock->designDepthStencil : nullptr);
  return r == Platform::DeviceResult::Ok ? 0 : 1;
}

int RenderSystem::restoreSceneTarget() {
  flushBatch();
  Platform::RenderDevice* d = getDevice();
  if (d && mDeviceBlock->directFrame) {
    if (d->setRenderTarget(mDeviceBlock->backBufferSurface, mDeviceBlock->defaultDepthStencil) !=
        Platform::DeviceResult::Ok)
      return 1;
    d->setViewport(mDeviceBlock->sceneViewport);
    setDrawingDirect(true);
  } else {
    Texture* scene = mDeviceBlock->sceneTexture;
    if (!d || !scene || !scene->mHandle) return 1;
    Platform::DeviceSurface* surface = d->textureSurface(scene->mHandle);
    if (!surface || d->setRenderTarget(surface, mDeviceBlock->designDepthStencil) != Platform::DeviceResult::Ok)
      return 1;
  }
  // Back on the scene, a clip rectangle still open clips again.
  if (mClipRectOn) d->setScissor(&mClipPixels);
  return 0;
}

// ---- distortion ----

void RenderSystem::beginOffscreenPass() {
  if (!mPixelShader14Supported || !mVertexShader11Supported || !mDistortionEnabled) return;
  flushBatch();
  Platform::RenderDevice* d = getDevice();
  // Most frames never bend: the map is made when the first pass needs it.
  if (!mDistortionTexture && TextureManager::exists())
    mDistortionTexture = TextureManager::getInstance()->createRenderTexture(0, 0);
  if (!d || !mDistortionTexture || !mDistortionTexture->mHandle) return;
  d->setRenderTarget(d->textureSurface(mDistortionTexture->mHandle), nullptr);
  mDrawingDirect = false;
  // Red and green 0x7F: nothing moves where nothing was drawn.
  if (!mDistortionUsed) d->clear(Platform::CLEAR_TARGET, 0x007F7FFFu, 1.f, 0);
  updateMatrices(getDesignWidth(), getDesignHeight());
  mDistortionUsed = true;
}

void RenderSystem::endOffscreenPass() {
  if (!mPixelShader14Supported || !mVertexShader11Supported || !mDistortionEnabled) return;
  flushBatch();
  restoreSceneTarget();
  updateMatrices(getDesignWidth(), getDesignHeight());
}

void RenderSystem::applyDisplacementShader() {
  setShaderProgram(mShaderState.mDisplacement);
  Platform::RenderDevice* d = getDevice();
  if (d && mDistortionTexture && mDistortionTexture->mHandle) d->setTexture(1, mDistortionTexture->mHandle);
}

void RenderSystem::removeDisplacementShader() {
  Platform::RenderDevice* d = getDevice();
  if (d) d->setTexture(1, nullptr);
  flushBatch();
  if (Platform::ShaderDevice* sd = getShaderDevice()) {
    sd->setPixelShader(0);
    sd->setVertexShader(0);
  }
}

}  // namespace KR
