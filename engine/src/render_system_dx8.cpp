#include "render_system_dx8.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "color.h"
#include "config_manager.h"
#include "design_coords.h"
#include "log_system.h"
#include "notification.h"
#include "platform/render_device_shaders.h"
#include "platform/window.h"
#include "report_assert.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"
#include "video_surface_streamer.h"

namespace KR {

using Platform::DeviceResult;
using Platform::RenderState;
using Platform::TextureStageState;

namespace {

constexpr uint32_t kIndexBufferBytes = 12000;

// Row-vector 4x4 matrices, as the transforms of the device take them.
struct Mat4 {
  float m[16];
  static Mat4 identity() {
    Mat4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.f;
    return r;
  }
  static Mat4 scaling(float x, float y, float z) {
    Mat4 r = identity();
    r.m[0] = x;
    r.m[5] = y;
    r.m[10] = z;
    return r;
  }
  static Mat4 translation(float x, float y, float z) {
    Mat4 r = identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
  }
  static Mat4 rotationZ(float radians) {
    Mat4 r = identity();
    const float c = std::cos(radians), s = std::sin(radians);
    r.m[0] = c;
    r.m[1] = s;
    r.m[4] = -s;
    r.m[5] = c;
    return r;
  }
  // Orthographic off-centre projection, left-handed, depth to 0..1.
  static Mat4 orthoOffCenterLH(float l, float r, float b, float t, float zn, float zf) {
    Mat4 o = identity();
    o.m[0] = 2.f / (r - l);
    o.m[5] = 2.f / (t - b);
    o.m[10] = 1.f / (zf - zn);
    o.m[12] = (l + r) / (l - r);
    o.m[13] = (t + b) / (b - t);
    o.m[14] = zn / (zn - zf);
    return o;
  }
  Mat4 operator*(const Mat4& b) const {
    Mat4 r{};
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        float s = 0.f;
        for (int k = 0; k < 4; ++k) s += m[i * 4 + k] * b.m[k * 4 + j];
        r.m[i * 4 + j] = s;
      }
    return r;
  }
};

const char* errorCodeName(DeviceResult r) {
  switch (r) {
    case DeviceResult::OutOfVideoMemory: return "D3DERR_OUTOFVIDEOMEMORY";
    case DeviceResult::InvalidCall: return "D3DERR_INVALIDCALL";
    case DeviceResult::OutOfMemory: return "E_OUTOFMEMORY";
    case DeviceResult::DeviceLost: return "D3DERR_DEVICELOST";
    default: return nullptr;
  }
}

}  // namespace

// ---- RenderSystemBase / RenderSystemDX8 ----

RenderSystemBase::RenderSystemBase(Application* application) : mApplication(application) { resetBatchState(); }

RenderSystemBase::~RenderSystemBase() {
  releaseRenderData();
  delete mLineData;
  delete mFadeQuad;
}

WindowInfo& RenderSystemBase::getWindowInfo() {
  if (mApplication && mApplication->windowInfo) return *mApplication->windowInfo;
  return mOwnWindowInfo;
}

RenderSystemDX8::RenderSystemDX8(Application* application) : RenderSystemBase(application) {
  mDeviceBlock = new DeviceBlockDX8();
}

RenderSystemDX8::~RenderSystemDX8() {
  delete mDeviceBlock;
  mDeviceBlock = nullptr;
}

// ---- RenderSystem ----

RenderSystem::RenderSystem(Application* application) : RenderSystemDX8(application) { setInstance(this); }

RenderSystem::~RenderSystem() {
  DeviceBlockDX8& b = *mDeviceBlock;
  if (Platform::RenderDevice* d = b.device.get()) {
    if (mVertexPointer) d->unlockVertexBuffer(b.vertexBuffer);
    mVertexPointer = nullptr;
    d->setStreamSource(nullptr, 0);
    d->setIndices(nullptr);
    d->releaseVertexBuffer(b.vertexBuffer);
    d->releaseIndexBuffer(b.indexBuffer);
    d->releaseSurface(b.designDepthStencil);
  }
  b.vertexBuffer = nullptr;
  b.indexBuffer = nullptr;
  b.designDepthStencil = nullptr;
  b.backBufferSurface = nullptr;
  b.defaultDepthStencil = nullptr;
  delete b.sceneQuad;
  b.sceneQuad = nullptr;
  // The textures belong to the texture manager, which is gone by now at
  // engine shutdown; the device goes with the block.
}

int RenderSystem::getDesignWidth() {
  const PlatformConfig* p = ConfigManager::getInstance()->getCurrentPlatform();
  return p ? p->resolutionWidth : 0;
}

int RenderSystem::getDesignHeight() {
  const PlatformConfig* p = ConfigManager::getInstance()->getCurrentPlatform();
  return p ? p->resolutionHeight : 0;
}

uint32_t RenderSystem::getDrawCallCount() const {
  return mDeviceBlock->device ? mDeviceBlock->device->drawCallCount() : 0;
}

void RenderSystem::initDevice() {
  WindowInfo& wi = getWindowInfo();
  Platform::DeviceParams params;
  params.window = wi.window ? wi.window->nativeHandle() : nullptr;
  params.present.backBufferWidth = uint32_t(wi.mWndWidth);
  params.present.backBufferHeight = uint32_t(wi.mWndHeight);
  mDeviceBlock->device = Platform::RenderDevice::create(params);
  if (!mDeviceBlock->device) {
    log("ERROR: Failed to create the OpenGL device: %s", Platform::RenderDevice::lastError());
    KR_FATAL("ERROR! Failed to create DirectX device.");
  }
  mDeviceBlock->presentParameters = mDeviceBlock->device->presentParameters();
  logDeviceCaps();
  reset();
}

void RenderSystem::logDeviceCaps() {
  Platform::RenderDevice* d = getDevice();
  if (!d) return;
  const Platform::DeviceCaps& caps = d->caps();
  mPixelShader14Supported = caps.pixelShader14;
  mVertexShader11Supported = caps.vertexShader11;
  if (!mPixelShader14Supported) log("WARNING! Pixel Shader 1.4 is not supported");
  if (!mVertexShader11Supported) log("WARNING! Vertex Shader 1.1 is not supported");
  log("Device Capabilities...");
  log("  Pixel Shader 1.4: %s", mPixelShader14Supported ? "SUPPORTED" : "NOT SUPPORTED");
  log("  Vertex Shader 1.1: %s", mVertexShader11Supported ? "SUPPORTED" : "NOT SUPPORTED");
  log("  MaxTextureWidth: %i", int(caps.maxTextureWidth));
  log("  MaxTextureHeight: %i", int(caps.maxTextureHeight));
  if (!caps.depthStencilD24S8) log("WARNING! Depth-stencil texture is not supported.");
}

void RenderSystem::releaseSizeDependentResources() {
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  TextureManager* tm = TextureManager::getInstancePtr();
  delete b.sceneQuad;
  b.sceneQuad = nullptr;
  b.backBufferSurface = nullptr;
  b.directFrame = false;
  b.defaultDepthStencil = nullptr;
  d->releaseSurface(b.designDepthStencil);
  b.designDepthStencil = nullptr;
  if (tm) {
    if (b.sceneTexture) tm->destroyTexture(b.sceneTexture);
    if (mDistortionTexture) tm->destroyTexture(mDistortionTexture);
    tm->destroyDiscardedTextures();
  }
  b.sceneTexture = nullptr;
  mDistortionTexture = nullptr;
  if (mVertexPointer) d->unlockVertexBuffer(b.vertexBuffer);
  mVertexPointer = nullptr;
  d->setStreamSource(nullptr, gVertexStride);
  d->setIndices(nullptr);
  d->releaseVertexBuffer(b.vertexBuffer);
  d->releaseIndexBuffer(b.indexBuffer);
  b.vertexBuffer = nullptr;
  b.indexBuffer = nullptr;
  if (tm) tm->releaseDeviceTextures();
}

void RenderSystem::reset() {
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  log("Resetting DirectX device...");
  releaseSizeDependentResources();

  WindowInfo& wi = getWindowInfo();
  b.presentParameters.backBufferWidth = uint32_t(wi.mWndWidth);
  b.presentParameters.backBufferHeight = uint32_t(wi.mWndHeight);
  log("RenderSystem::reset, mWndWidth %i, mWndHeight %i", wi.mWndWidth, wi.mWndHeight);
  const DeviceResult result = d->reset(b.presentParameters);
  if (result != DeviceResult::Ok) {
    log("Failed to reset dx8 device");
    if (const char* name = errorCodeName(result))
      log("error code: %s", name);
    else
      log("error code: %i", int(result));
    // A device that is still lost (minimised or hidden window) is reset again
    // once it can be; every other failure is fatal.
    if (result == DeviceResult::DeviceLost) {
      b.deviceLost = true;
      return;
    }
    KR_FATAL("Failed to reset DX8 device.");
  }

  const uint32_t stride = computeVertexLayout();
  b.fvf = vertexFormatToFVF();

  TextureManager* tm = TextureManager::getInstancePtr();
  if (tm) {
    tm->recreateDeviceTextures();
    // The distortion map is made by the first pass that draws into it.
    b.sceneTexture = tm->createRenderTexture(0, 0);
  }
  b.sceneQuad = new RenderData();
  b.sceneQuad->addTexture(b.sceneTexture);
  b.sceneQuad->mAddressMode = TAM_CLAMP;
  b.sceneQuad->allocateVertices(4);

  b.designDepthStencil = d->createDepthStencilSurface(uint32_t(getDesignWidth()), uint32_t(getDesignHeight()));

  b.vertexBuffer = d->createVertexBuffer(kBatchMaxVertices * stride, true);
  b.vertexBufferStride = stride;
  if (!b.vertexBuffer) KR_FATAL("Failed to create DirectX Vertex Buffer");
  d->setVertexFormat(b.fvf);
  d->setStreamSource(b.vertexBuffer, stride);

  b.indexBuffer = d->createIndexBuffer(kIndexBufferBytes);
  if (!b.indexBuffer) KR_FATAL("Failed to create DirectX Index Buffer");
  uint16_t* indices = d->lockIndexBuffer(b.indexBuffer);
  if (!indices) return;
  for (uint32_t q = 0; q < kBatchMaxQuads; ++q) {
    const uint16_t v = uint16_t(4 * q);
    uint16_t* i = indices + 6 * q;
    i[0] = v;
    i[1] = uint16_t(v + 1);
    i[2] = uint16_t(v + 2);
    i[3] = uint16_t(v + 2);
    i[4] = uint16_t(v + 3);
    i[5] = v;
  }
  d->unlockIndexBuffer(b.indexBuffer);
  d->setIndices(b.indexBuffer);

  using namespace Platform;
  d->setRenderState(RenderState::CullMode, uint32_t(Cull::None));
  d->setRenderState(RenderState::Lighting, 0);
  d->setRenderState(RenderState::AlphaBlendEnable, 1);
  d->setTextureStageState(0, TextureStageState::ColorOp, uint32_t(TextureOp::Modulate));
  d->setTextureStageState(0, TextureStageState::ColorArg1, uint32_t(TextureArg::Texture));
  d->setTextureStageState(0, TextureStageState::ColorArg2, uint32_t(TextureArg::Diffuse));
  d->setTextureStageState(0, TextureStageState::AlphaOp, uint32_t(TextureOp::Modulate));
  d->setTextureStageState(0, TextureStageState::AlphaArg1, uint32_t(TextureArg::Texture));
  d->setTextureStageState(0, TextureStageState::AlphaArg2, uint32_t(TextureArg::Diffuse));
  d->setTextureStageState(0, TextureStageState::MipFilter, uint32_t(TextureFilter::Linear));
  d->setTextureStageState(0, TextureStageState::MagFilter, uint32_t(TextureFilter::Linear));
  d->setTextureStageState(0, TextureStageState::MinFilter, uint32_t(TextureFilter::Linear));
  d->setRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
  d->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha));
  d->setRenderState(RenderState::ZWriteEnable, 0);
  d->setRenderState(RenderState::ZEnable, 0);
  d->setRenderState(RenderState::AlphaTestEnable, 1);
  d->setRenderState(RenderState::AlphaRef, 1);
  d->setRenderState(RenderState::AlphaFunc, uint32_t(Cmp::GreaterEqual));
  d->setRenderState(RenderState::StencilEnable, 0);

  b.deviceLost = false;
  mBatchVertices = 0;
  mBatchQuads = 0;
  mStagedCount = 0;

  delete mFadeQuad;
  mFadeQuad = new RenderData();
  mFadeQuad->allocateVertices(4);
  setQuad(*mFadeQuad, 0.f, 0.f, float(getDesignWidth()), float(getDesignHeight()),
          Color::fromFloats(0.f, 0.f, 0.f, 1.f).value);

  notifyDeviceReset();
  log("Resetting done.");
}

void RenderSystem::notifyDeviceReset() {
  if (EngineNotificationDispatcher* n = EngineNotificationDispatcher::getInstancePtr())
    n->dispatch(Notification{kNotificationDeviceReset});
}

void RenderSystem::lockVertexBuffer() {
  mVertexPointer = static_cast<uint8_t*>(getDevice()->lockVertexBuffer(mDeviceBlock->vertexBuffer, true));
}

void RenderSystem::checkDeviceLost() {
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  if (b.deviceLost) {
    log("DEVICE LOST!");
    const DeviceResult r = d->testCooperativeLevel();
    if (r == DeviceResult::DeviceLost) return;
    if (r == DeviceResult::DeviceNotReset) reset();
    // A reset that found the device lost again leaves nothing to draw into.
    if (b.deviceLost) return;
  }
  if (!b.sceneTexture || !b.sceneTexture->mHandle || !b.vertexBuffer) return;
  if (!b.backBufferSurface) b.backBufferSurface = d->backBuffer();
  if (!b.defaultDepthStencil) b.defaultDepthStencil = d->defaultDepthStencil();
  b.directFrame = directFrameFits(b.sceneViewport);
  mSceneTextureRequested = false;
  if (b.directFrame) {
    // The bars around the design area and the area itself start black alike.
    d->setRenderTarget(b.backBufferSurface, b.defaultDepthStencil);
    d->clear(Platform::CLEAR_TARGET | Platform::CLEAR_ZBUFFER, 0xFF000000u, 1.f, 0);
    d->setViewport(b.sceneViewport);
    // The composite puts the scene texture's pixel centres (the design
    // area's, half a texel shifted as every target's are) on the viewport's
    // scale: the same offset in design pixels, where the window's own half
    // pixel is the device's.
    const float design[2] = {float(getDesignWidth()), float(getDesignHeight())};
    const float scene[2] = {float(d->textureWidth(b.sceneTexture->mHandle)),
                            float(d->textureHeight(b.sceneTexture->mHandle))};
    const float shown[2] = {float(b.sceneViewport.width), float(b.sceneViewport.height)};
    for (int i = 0; i < 2; ++i)
      mDirectHalfPixel[i] = scene[i] > 0.f ? 0.5f - 0.5f * design[i] / scene[i] + 0.5f * design[i] / shown[i] : 0.5f;
  } else {
    d->setRenderTarget(d->textureSurface(b.sceneTexture->mHandle), b.designDepthStencil);
    d->clear(Platform::CLEAR_TARGET | Platform::CLEAR_ZBUFFER, 0xFF000000u, 1.f, 0);
  }
  mDrawingDirect = b.directFrame;
  updateMatrices(getDesignWidth(), getDesignHeight());
  d->beginScene();
  lockVertexBuffer();
  mDistortionUsed = false;
  mFrameStartDrawCalls = d->drawCallCount();
  d->setRenderState(RenderState::FillMode, uint32_t(Platform::Fill::Solid));
}

bool RenderSystem::directFrameFits(Platform::Viewport& viewport) {
  // The distortion map bends the scene texture: a frame after one that drew
  // into it is likely to draw into it again.
  if (mSceneTextureRequested || (mDistortionUsed && mDistortionEnabled && mPixelShader14Supported)) return false;
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  WindowInfo& wi = getWindowInfo();
  const long w = long(d->surfaceWidth(b.backBufferSurface)), h = long(d->surfaceHeight(b.backBufferSurface));
  // A back buffer of another size than the window is stretched over it by the composite.
  if (w != long(uint32_t(wi.mWndWidth)) || h != long(uint32_t(wi.mWndHeight))) return false;
  // The design area lands where the composite would put the scene: the fit,
  // at whole pixels. The projection maps the design area onto that viewport,
  // so the picture is drawn once at the window's own resolution; a fit that
  // reaches past the window is cut by its edges as the composite's is.
  const Viewport2D fit = calcViewport(wi);
  const float left = std::round(fit.offset.x), top = std::round(fit.offset.y);
  const float right = std::round(fit.offset.x + fit.size.x), bottom = std::round(fit.offset.y + fit.size.y);
  if (!(right - left >= 1.f && bottom - top >= 1.f)) return false;  // NaN too
  const Platform::DeviceCaps& caps = d->caps();
  if (right - left > float(caps.maxTextureWidth) || bottom - top > float(caps.maxTextureHeight) ||
      std::fabs(left) > float(caps.maxTextureWidth) || std::fabs(top) > float(caps.maxTextureHeight))
    return false;
  viewport = Platform::Viewport{int32_t(left), int32_t(top), uint32_t(right - left), uint32_t(bottom - top)};
  return true;
}

bool RenderSystem::readScene(std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) {
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  if (!d) return false;
  flushBatch();
  if (!b.directFrame) {
    if (!b.sceneTexture || !b.sceneTexture->mHandle) return false;
    return d->readPixels(d->textureSurface(b.sceneTexture->mHandle), rgba, width, height);
  }
  std::vector<uint8_t> all;
  uint32_t w = 0, h = 0;
  if (!b.backBufferSurface || !d->readPixels(b.backBufferSurface, all, w, h)) return false;
  // The part of the viewport inside the window.
  const Platform::Viewport& v = b.sceneViewport;
  const int64_t left = std::max<int64_t>(0, v.x), top = std::max<int64_t>(0, v.y);
  const int64_t right = std::min<int64_t>(w, int64_t(v.x) + v.width);
  const int64_t bottom = std::min<int64_t>(h, int64_t(v.y) + v.height);
  if (right <= left || bottom <= top) return false;
  width = uint32_t(right - left);
  height = uint32_t(bottom - top);
  rgba.resize(size_t(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y)
    std::memcpy(&rgba[size_t(y) * width * 4], &all[(size_t(top + y) * w + size_t(left)) * 4], size_t(width) * 4);
  return true;
}

void RenderSystem::setDrawingDirect(bool on) {
  if (on == mDrawingDirect) return;
  mDrawingDirect = on;
  if (mDirectHalfPixel[0] != 0.5f || mDirectHalfPixel[1] != 0.5f) updateMatrices(getDesignWidth(), getDesignHeight());
}

void RenderSystem::updateMatrices(int width, int height) {
  const float W = float(width), H = float(height);
  const bool direct = mDrawingDirect && width == getDesignWidth() && height == getDesignHeight();
  const float halfX = direct ? mDirectHalfPixel[0] : 0.5f, halfY = direct ? mDirectHalfPixel[1] : 0.5f;
  const float* c = mCamera;
  const Mat4 view = Mat4::scaling(1.f, -1.f, 1.f) * Mat4::translation(c[CAM_X] - W / 2.f, H / 2.f - c[CAM_Y], 0.f) *
                    Mat4::scaling(c[CAM_ZOOM_X], c[CAM_ZOOM_Y], 1.f) * Mat4::rotationZ(c[CAM_ANGLE] * 0.017453292f) *
                    Mat4::translation(W / 2.f - halfX, H / 2.f + halfY, 0.f);
  const Mat4 projection = Mat4::orthoOffCenterLH(0.f, W, 0.f, H, 0.f, 128.f);
  const Mat4 vp = view * projection;
  std::memcpy(mDeviceBlock->viewProjection, vp.m, sizeof vp.m);
  if (Platform::RenderDevice* d = getDevice()) {
    d->setTransform(Platform::TransformType::Projection, vp.m);
    const Mat4 id = Mat4::identity();
    d->setTransform(Platform::TransformType::View, id.m);
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) mShaderViewProjection[i * 4 + j] = vp.m[j * 4 + i];
}

void RenderSystem::setQuad(RenderData& quad, float left, float top, float width, float height, uint32_t argb) {
  // Every vertex is written below, so vertices of an older layout are simply made again.
  if (!quad.hasCurrentVertexStride()) quad.allocateVertices(quad.getVertexCount());
  const uint32_t stride = gVertexStride;
  const uint32_t pos = getVertexComponentOffset(VC_POSITION);
  const uint32_t dif = getVertexComponentOffset(VC_DIFFUSE);
  const uint32_t tex = getVertexComponentOffset(VC_TEXCOORD0);
  const float xy[4][2] = {{left, top}, {left + width, top}, {left + width, top + height}, {left, top + height}};
  const float uv[4][2] = {{0.f, 0.f}, {1.f, 0.f}, {1.f, 1.f}, {0.f, 1.f}};
  uint8_t* v = quad.getVertexBytes();
  for (int i = 0; i < 4; ++i, v += stride) {
    const float p[3] = {xy[i][0], xy[i][1], 0.f};
    std::memcpy(v + pos, p, sizeof p);
    std::memcpy(v + dif, &argb, 4);
    std::memcpy(v + tex, uv[i], sizeof uv[i]);
  }
}

void RenderSystem::renderFrame() {
  DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  // A frame whose start found the device lost drew nothing and has nothing
  // to composite.
  if (mVertexPointer) {
    d->setRenderState(RenderState::FillMode, uint32_t(Platform::Fill::Solid));
    // Nothing drawn since the frame's clear to black: a black fade leaves the
    // scene black and its composite onto a black window changes no colour, so
    // both are left out. On a software rasteriser each would first compile its
    // program's variant (the launch's first frame comes before any picture is
    // uploaded, so it draws nothing).
    const bool blank =
        mBatchVertices == 0 && mStagedCount == 0 && d->drawCallCount() == mFrameStartDrawCalls && !mDistortionUsed;
    if (mFadeQuad && mFadeLevel < 1.f && !blank) {
      setQuad(*mFadeQuad, 0.f, 0.f, float(getDesignWidth()), float(getDesignHeight()),
              Color::fromFloats(0.f, 0.f, 0.f, 1.f - mFadeLevel).value);
      render(mFadeQuad);
    }
    flushBatch();

    WindowInfo& wi = getWindowInfo();
    Viewport2D viewport = calcViewport(wi);

    flushBatch();
    // The scene bends through the distortion map in frames that drew into it.
    bool displace = mPixelShader14Supported && mDistortionUsed && mDistortionEnabled;
    bool composite = !b.directFrame;
    if (b.directFrame && displace) {
      // Drawn into the window unforeseen: bent from a copy where the design
      // area is the whole window texel for texel, left straight otherwise.
      Platform::DeviceSurface* scene = d->textureSurface(b.sceneTexture->mHandle);
      const Platform::Viewport& v = b.sceneViewport;
      composite = v.x == 0 && v.y == 0 && v.width == d->surfaceWidth(b.backBufferSurface) &&
                  v.height == d->surfaceHeight(b.backBufferSurface) &&
                  d->copySurface(b.backBufferSurface, scene) == DeviceResult::Ok;
      displace = composite;
    }
    d->setRenderTarget(b.backBufferSurface, b.defaultDepthStencil);
    // Bars around the scene start black; where the opaque scene covers the
    // whole window there is nothing to clear.
    bool cleared = !composite;
    if (composite && blank) {
      d->clear(Platform::CLEAR_TARGET, 0x00000000u, 1.f, 0);
      cleared = true;
      composite = false;
    } else if (composite && (displace || !compositeCovers(viewport, false))) {
      d->clear(Platform::CLEAR_TARGET, 0x00000000u, 1.f, 0);
      cleared = true;
    }

    mDrawingDirect = false;
    float remembered[CAM_COUNT];
    std::memcpy(remembered, mCamera, sizeof remembered);
    const float defaultCamera[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 0.f};
    setCamera(defaultCamera);
    updateMatrices(int(float(uint32_t(wi.mWndWidth))), int(float(uint32_t(wi.mWndHeight))));

    if (mApplication) mApplication->onPreRender(&viewport.size, &viewport.offset);
    if (!cleared && !compositeCovers(viewport, false)) d->clear(Platform::CLEAR_TARGET, 0x00000000u, 1.f, 0);

    if (!composite) {
      // The scene is in the window already.
    } else if (b.sceneQuad && !displace && compositeCovers(viewport, true)) {
      // Texel for texel into the window: a copy, which the device may fold into the present.
      d->copySurface(d->textureSurface(b.sceneTexture->mHandle), b.backBufferSurface);
    } else if (b.sceneQuad) {
      if (displace) applyDisplacementShader();
      setQuad(*b.sceneQuad, viewport.offset.x, viewport.offset.y, viewport.size.x, viewport.size.y, 0xFFFFFFFFu);
      render(b.sceneQuad);
      flushBatch();
      if (displace) removeDisplacementShader();
    }

    if (mApplication) mApplication->onPostRender(viewport.scale);
    flushBatch();
    setCamera(remembered);

    d->unlockVertexBuffer(b.vertexBuffer);
    mVertexPointer = nullptr;
    d->endScene();
  }

  if (TextureManager* tm = TextureManager::getInstancePtr()) tm->createPendingTextures();
  if (VideoSurfaceStreamer* streamer = VideoSurfaceStreamer::getInstancePtr()) streamer->uploadFrames();

  // The device forgets the bound texture together with the cache, so that no
  // stale binding (the scene texture, say) survives into the next frame; the
  // addressing goes back to the wrap the reset cache assumes, or the clamp of
  // the composite would stay on for every wrap item of the next frame.
  if (d) {
    d->setTexture(0, nullptr);
    setTextureAddressMode(TAM_WRAP, 0);
  }
  resetBatchState();
  mBatchVertices = 0;
  mBatchQuads = 0;
  mStagedCount = 0;
  mClipRectOn = false;
}

bool RenderSystem::compositeCovers(const Viewport2D& viewport, bool oneToOne) const {
  const DeviceBlockDX8& b = *mDeviceBlock;
  Platform::RenderDevice* d = getDevice();
  if (!b.sceneTexture || !b.sceneTexture->mHandle || !b.backBufferSurface) return false;
  // The scene reads opaque, so the composite's blend leaves nothing of the back buffer.
  if (d->textureFormat(b.sceneTexture->mHandle) != Platform::PixelFormat::X8R8G8B8) return false;
  // States that would keep pixels of the back buffer or change the scene's.
  if (d->getRenderState(RenderState::ColorWriteEnable) != 0xFu || d->getRenderState(RenderState::StencilEnable))
    return false;
  const Platform::ShaderDevice* sd = mShaderState.mDevice;
  if (sd && (sd->getPixelShader() || sd->getVertexShader())) return false;
  const float w = float(d->surfaceWidth(b.backBufferSurface)), h = float(d->surfaceHeight(b.backBufferSurface));
  if (!oneToOne)
    return viewport.offset.x <= 0.f && viewport.offset.y <= 0.f && viewport.offset.x + viewport.size.x >= w &&
           viewport.offset.y + viewport.size.y >= h;
  Platform::DeviceSurface* scene = d->textureSurface(b.sceneTexture->mHandle);
  return viewport.offset.x == 0.f && viewport.offset.y == 0.f && viewport.size.x == w && viewport.size.y == h &&
         float(d->surfaceWidth(scene)) == w && float(d->surfaceHeight(scene)) == h;
}

bool RenderSystem::beginClipRect(const Vector2<float>& position, const Vector2<float>& size) {
  Platform::RenderDevice* d = getDevice();
  if (!d || std::fmod(mCamera[CAM_ANGLE], 360.f) != 0.f) return false;
  flushBatch();
  // The corners through the view-projection to the target's pixels, with the
  // device's half-pixel correction: a pixel is inside when its centre is.
  const float* m = mDeviceBlock->viewProjection;
  const Platform::Viewport v = d->viewport();
  float left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
  for (int corner = 0; corner < 4; ++corner) {
    const float x = position.x + ((corner & 1) ? size.x : 0.f), y = position.y + ((corner & 2) ? size.y : 0.f);
    const float clipX = x * m[0] + y * m[4] + m[12], clipY = x * m[1] + y * m[5] + m[13];
    const float px = float(v.x) + (clipX + 1.f) * 0.5f * float(v.width) + 0.5f;
    const float py = float(v.y) + (1.f - clipY) * 0.5f * float(v.height) + 0.5f;
    left = std::min(left, px);
    right = std::max(right, px);
    top = std::min(top, py);
    bottom = std::max(bottom, py);
  }
  const float limit = 1e6f;
  if (!(left > -limit && top > -limit && right < limit && bottom < limit)) return false;
  const float x0 = std::ceil(left - 0.5f), y0 = std::ceil(top - 0.5f);
  const float x1 = std::max(x0, std::ceil(right - 0.5f)), y1 = std::max(y0, std::ceil(bottom - 0.5f));
  mClipPixels = Platform::Viewport{int32_t(x0), int32_t(y0), uint32_t(x1 - x0), uint32_t(y1 - y0)};
  mClipRectOn = true;
  d->setScissor(&mClipPixels);
  return true;
}

void RenderSystem::endClipRect() {
  if (!mClipRectOn) return;
  flushBatch();
  mClipRectOn = false;
  if (Platform::RenderDevice* d = getDevice()) d->setScissor(nullptr);
}

void RenderSystem::present() {
  Platform::RenderDevice* d = getDevice();
  if (!d) return;
  if (d->present() == DeviceResult::DeviceLost) mDeviceBlock->deviceLost = true;
}

}  // namespace KR
