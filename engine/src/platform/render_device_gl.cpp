// The render device on OpenGL 3.3 core, through an SDL2 window and context.
//
// Every colour target but the window is a framebuffer object whose rows are
// stored top row first; the clip transform flips y for that. Because of this
// rule, uploaded textures and render textures are sampled the same way (v = 0
// is the top row) and their read-back needs no flipping.
//
// The back buffer is the window's own framebuffer whenever the window's
// drawable has the back buffer's size and a depth-stencil buffer: drawing
// goes straight into it, without the flip (its rows are stored bottom first),
// and present() only swaps. Otherwise it is one more framebuffer object that
// present() blits upside down into the window.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/render_device.h"
#include "platform/render_device_programs.h"

#ifndef GL_COMPRESSED_RGBA_S3TC_DXT5_EXT
#define GL_COMPRESSED_RGBA_S3TC_DXT5_EXT 0x83F3
#endif

namespace KR {
namespace Platform {

uint32_t bytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8:
    case PixelFormat::D24S8: return 4;
    case PixelFormat::A8L8: return 2;
    case PixelFormat::L8: return 1;
    default: return 0;
  }
}

class DeviceSurface {
 public:
  enum class Kind { BackBuffer, TextureLevel, DepthStencil };
  Kind kind = Kind::BackBuffer;
  GLuint renderbuffer = 0;           // back buffer colour, depth-stencil
  DeviceTexture* texture = nullptr;  // texture level
  uint32_t width = 0, height = 0;
  bool deviceOwned = false;  // back buffer and default depth-stencil
  bool opaque = true;        // X8 colour: alpha reads as 1
  bool window = false;       // the window's framebuffer (back buffer, its depth-stencil): rows bottom first
  // Depth-stencil: a depth clear not made yet. Depth is only ever read by the
  // depth test, so the clear waits for a draw that tests depth, or joins a
  // stencil clear (a whole clear costs less than one that spares the stencil).
  bool depthClearPending = false;
  float pendingDepth = 1.f;
};

class DeviceTexture {
 public:
  GLuint name = 0;
  uint32_t width = 0, height = 0;
  PixelFormat format = PixelFormat::Unknown;
  TextureUsage usage = TextureUsage::Managed;
  std::vector<uint8_t> lockBuffer;
  bool locked = false;
  DeviceSurface surface;
};

class VertexBuffer {
 public:
  GLuint name = 0;
  std::vector<uint8_t> shadow;
  bool locked = false;
  // The GL buffer is a ring several shadows long: each unlocked content is
  // uploaded after the previous one, so no upload overwrites bytes that
  // queued draws still read, and the storage is renamed only when it wraps.
  size_t storageBytes = 0;   // size of the GL buffer's storage
  size_t ringHead = 0;       // first free byte of the ring
  size_t regionStart = 0;    // where the current content's upload starts
  size_t uploadedBytes = 0;  // bytes of the shadow already in the ring
};

class IndexBuffer {
 public:
  GLuint name = 0;
  std::vector<uint16_t> shadow;
  bool locked = false;
};

namespace {

// Shadows of content a dynamic vertex buffer's storage holds before it is renamed.
constexpr size_t kVertexRingShadows = 8;
// Primitives queued before they are handed to the card: the card starts on
// drawing only when it is flushed, so a frame handed over in pieces is drawn
// while the rest of it is still being prepared.
constexpr uint32_t kFlushPrimitives = 8000;

std::string gLastError;
RenderDevice* gCurrent = nullptr;
class GlRenderDevice;
// Every device alive, for the window that goes before its device.
std::vector<GlRenderDevice*> gDevices;

// A surface on a new renderbuffer with `storage` of the given size; the
// renderbuffer is left bound.
DeviceSurface renderbufferSurface(DeviceSurface::Kind kind, GLenum storage, uint32_t width, uint32_t height,
                                  bool deviceOwned) {
  DeviceSurface surface;
  surface.kind = kind;
  surface.deviceOwned = deviceOwned;
  surface.width = width;
  surface.height = height;
  glGenRenderbuffers(1, &surface.renderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, surface.renderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, storage, width, height);
  return surface;
}

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec2 aTexCoord;
uniform mat4 uTransform;
out vec4 vDiffuse;
out vec2 vTexCoord;
void main() {
  gl_Position = uTransform * vec4(aPosition, 1.0);
  vDiffuse = aDiffuse;
  vTexCoord = aTexCoord;
}
)";

GLenum toGl(Blend b) {
  switch (b) {
    case Blend::Zero: return GL_ZERO;
    case Blend::One: return GL_ONE;
    case Blend::SrcColor: return GL_SRC_COLOR;
    case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case Blend::SrcAlpha: return GL_SRC_ALPHA;
    case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::DestAlpha: return GL_DST_ALPHA;
    case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case Blend::DestColor: return GL_DST_COLOR;
    case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
  }
  return GL_ONE;
}

GLenum toGl(Cmp c) {
  switch (c) {
    case Cmp::Never: return GL_NEVER;
    case Cmp::Less: return GL_LESS;
    case Cmp::Equal: return GL_EQUAL;
    case Cmp::LessEqual: return GL_LEQUAL;
    case Cmp::Greater: return GL_GREATER;
    case Cmp::NotEqual: return GL_NOTEQUAL;
    case Cmp::GreaterEqual: return GL_GEQUAL;
    case Cmp::Always: return GL_ALWAYS;
  }
  return GL_ALWAYS;
}

GLenum toGl(StencilOp op) {
  switch (op) {
    case StencilOp::Keep: return GL_KEEP;
    case StencilOp::Zero: return GL_ZERO;
    case StencilOp::Replace: return GL_REPLACE;
    case StencilOp::IncrSat: return GL_INCR;
    case StencilOp::DecrSat: return GL_DECR;
    case StencilOp::Invert: return GL_INVERT;
    case StencilOp::Incr: return GL_INCR_WRAP;
    case StencilOp::Decr: return GL_DECR_WRAP;
  }
  return GL_KEEP;
}

GLint toGlAddress(uint32_t a) {
  switch (static_cast<TextureAddress>(a)) {
    case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
    case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
  }
}

GLint toGlFilter(uint32_t f) { return static_cast<TextureFilter>(f) == TextureFilter::Linear ? GL_LINEAR : GL_NEAREST; }

void multiply(const float a[16], const float b[16], float out[16]) {
  float r[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float s = 0.f;
      for (int k = 0; k < 4; ++k) s += a[i * 4 + k] * b[k * 4 + j];
      r[i * 4 + j] = s;
    }
  std::memcpy(out, r, sizeof r);
}

void identity(float m[16]) {
  std::memset(m, 0, 16 * sizeof(float));
  m[0] = m[5] = m[10] = m[15] = 1.f;
}

// Makes `surface` (null: nothing) the colour attachment of the framebuffer bound to `target`.
void attachColor(GLenum target, const DeviceSurface* surface) {
  if (surface && surface->texture) {
    glFramebufferRenderbuffer(target, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0);
    glFramebufferTexture2D(target, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, surface->texture->name, 0);
  } else {
    glFramebufferTexture2D(target, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    glFramebufferRenderbuffer(target, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, surface ? surface->renderbuffer : 0);
  }
}

class GlRenderDevice final : public RenderDevice {
 public:
  ~GlRenderDevice() override;
  bool init(const DeviceParams& params);

  void* nativeWindow() const override { return mWindow; }
  // See RenderDevice::adoptWindow.
  bool adopt(SDL_Window* window) {
    if (window != mWindow || mOwnWindow) return false;
    SDL_HideWindow(mWindow);
    mOwnWindow = true;
    return true;
  }
  const DeviceCaps& caps() const override { return mCaps; }
  PixelFormat displayFormat() const override { return PixelFormat::X8R8G8B8; }
  const PresentParameters& presentParameters() const override { return mPresent; }

  DeviceResult testCooperativeLevel() override;
  DeviceResult reset(const PresentParameters& params) override;
  DeviceResult present() override;
  void forceDeviceLost(bool lost) override;

  DeviceResult beginScene() override;
  DeviceResult endScene() override;
  DeviceResult clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) override;

  void setRenderState(RenderState state, uint32_t value) override;
  uint32_t getRenderState(RenderState state) const override { return mRenderStates[static_cast<size_t>(state)]; }
  void setTextureStageState(int stage, TextureStageState state, uint32_t value) override;
  uint32_t getTextureStageState(int stage, TextureStageState state) const override;
  void setTransform(TransformType type, const float matrix[16]) override;
  void getTransform(TransformType type, float matrix[16]) const override;
  Viewport viewport() const override { return mViewport; }
  void setViewport(const Viewport& viewport) override;
  void setScissor(const Viewport* rect) override;

  VertexBuffer* createVertexBuffer(uint32_t bytes, bool dynamic) override;
  void* lockVertexBuffer(VertexBuffer* vb, bool discard) override;
  void unlockVertexBuffer(VertexBuffer* vb) override;
  void releaseVertexBuffer(VertexBuffer* vb) override;
  IndexBuffer* createIndexBuffer(uint32_t bytes) override;
  uint16_t* lockIndexBuffer(IndexBuffer* ib) override;
  void unlockIndexBuffer(IndexBuffer* ib) override;
  void releaseIndexBuffer(IndexBuffer* ib) override;
  void setStreamSource(VertexBuffer* vb, uint32_t stride) override;
  void setIndices(IndexBuffer* ib) override;
  void setVertexFormat(uint32_t fvf) override;
  DeviceResult drawIndexedPrimitive(PrimitiveType type, uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                                    uint32_t primitiveCount) override;
  DeviceResult drawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) override;

  DeviceTexture* createTexture(uint32_t width, uint32_t height, PixelFormat format, TextureUsage usage) override;
  bool lockTexture(DeviceTexture* texture, LockedRect& out, bool discard) override;
  void unlockTexture(DeviceTexture* texture) override;
  bool updateTexture(DeviceTexture* texture, const uint8_t* data, uint32_t width, uint32_t height, uint32_t pitch,
                     TexelOrder order) override;
  void releaseTexture(DeviceTexture* texture) override;
  uint32_t textureWidth(const DeviceTexture* t) const override { return t ? t->width : 0; }
  uint32_t textureHeight(const DeviceTexture* t) const override { return t ? t->height : 0; }
  PixelFormat textureFormat(const DeviceTexture* t) const override { return t ? t->format : PixelFormat::Unknown; }
  TextureUsage textureUsage(const DeviceTexture* t) const override { return t ? t->usage : TextureUsage::Managed; }
  void setTexture(int stage, DeviceTexture* texture) override;
  DeviceTexture* getTexture(int stage) const override {
    return stage >= 0 && stage < kMaxTextureStages ? mTextures[stage] : nullptr;
  }

  DeviceSurface* textureSurface(DeviceTexture* texture) override;
  DeviceSurface* backBuffer() override { return &mBackBuffer; }
  DeviceSurface* defaultDepthStencil() override { return &mDefaultDepth; }
  DeviceSurface* createDepthStencilSurface(uint32_t width, uint32_t height) override;
  void releaseSurface(DeviceSurface* surface) override;
  DeviceResult setRenderTarget(DeviceSurface* color, DeviceSurface* depthStencil) override;
  DeviceSurface* renderTarget() const override { return mColorTarget; }
  DeviceSurface* depthStencilSurface() const override { return mDepthTarget; }
  uint32_t surfaceWidth(const DeviceSurface* s) const override { return s ? s->width : 0; }
  uint32_t surfaceHeight(const DeviceSurface* s) const override { return s ? s->height : 0; }
  DeviceResult copySurface(DeviceSurface* source, DeviceSurface* dest) override;

  void setProgram(uint32_t glProgram) override;

  bool readPixels(DeviceSurface* surface, std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) override;
  uint32_t drawCallCount() const override { return mDrawCalls; }
  void finish() override {
    checkThread("finish");
    glFinish();
  }

 private:
  void checkThread(const char* what) const;
  bool windowUnusable() const;
  bool createBackBuffer();
  void destroyBackBuffer();
  void setDefaultStates();
  void applyRenderState(RenderState state);
  void applySampler(int stage);
  void attachTargets();
  void queued(uint32_t primitives);
  void blitSurface(const DeviceSurface* source, const DeviceSurface* dest);
  // The framebuffer the current colour target belongs to.
  GLuint targetFramebuffer() const { return mWindowTarget ? 0 : mFbo; }
  void applyViewport();
  void applyScissor();
  // The scissor test is off while clears and copies fill whole surfaces.
  void suspendScissor() {
    if (mScissorOn) glDisable(GL_SCISSOR_TEST);
  }
  void resumeScissor() {
    if (mScissorOn) glEnable(GL_SCISSOR_TEST);
  }
  // True when the window's framebuffer can be the back buffer.
  bool windowServesAsBackBuffer() const;
  // A window the device made for itself takes the back buffer's size.
  void resizeMadeWindow();
  // Makes the back buffer's pending copy (before it or its source changes).
  void settleBackBuffer();
  void settleBackBufferBefore(const DeviceTexture* changed);
  bool prepareDraw(size_t vertexBytesNeeded, GLint& baseVertex);
  // Uploads what draws need of the stream's content; the vertex it starts at in the GL buffer.
  GLint uploadVertices(size_t bytesNeeded);
  void bindVertexLayout();

  SDL_Window* mWindow = nullptr;
  bool mOwnWindow = false;
  bool mMadeWindow = false;  // the hidden window made by init, which follows the back buffer's size
  SDL_GLContext mContext = nullptr;
  std::thread::id mThread;

  DeviceCaps mCaps;
  PresentParameters mPresent;
  bool mLost = false;
  bool mForcedLost = false;
  bool mInScene = false;

  uint32_t mRenderStates[static_cast<size_t>(RenderState::Count)] = {};
  uint32_t mStageStates[kMaxTextureStages][static_cast<size_t>(TextureStageState::Count)] = {};
  float mTransforms[3][16];
  bool mTransformDirty = true;
  Viewport mViewport;
  GLint mMaxViewport[2] = {0, 0};
  bool mScissorOn = false;
  Viewport mScissor;  // cut to the target

  // The clip transform of the draws (world x view x projection x the
  // target's conventions) and a serial that changes with it.
  float mClip[16];
  uint64_t mClipSerial = 0;

  GLuint mCustomProgram = 0;
  GLint mCustomTransformLoc = -1;
  GLint mCustomAlphaTestLoc = -1, mCustomAlphaFuncLoc = -1, mCustomAlphaRefLoc = -1;
  GLint mCustomTargetSizeLoc = -1;
  GLint mCustomTargetYScaleLoc = -1;
  std::unique_ptr<FixedPrograms> mFixedPrograms;
  FixedPrograms::Program* mFixed = nullptr;  // the fixed program the states need
  bool mFixedDirty = true;                   // a state it depends on changed
  GLuint mVao = 0;
  GLuint mSamplers[kMaxTextureStages] = {};
  DeviceTexture* mTextures[kMaxTextureStages] = {};

  GLuint mFbo = 0;
  GLuint mReadFbo = 0;
  GLuint mCopyFbo = 0;  // the draw side of surface copies
  // The back buffer is a copy of this surface that present() may show
  // without making it (null: the back buffer holds its own pixels).
  DeviceSurface* mBackBufferSource = nullptr;
  DeviceSurface mBackBuffer;
  DeviceSurface mDefaultDepth;
  DeviceSurface* mColorTarget = nullptr;
  DeviceSurface* mDepthTarget = nullptr;
  bool mTargetsDirty = true;
  bool mWindowTarget = false;  // the colour target is the window's framebuffer

  VertexBuffer* mStream = nullptr;
  uint32_t mStride = 0;
  uint32_t mFvf = 0;
  bool mLayoutDirty = true;
  IndexBuffer* mIndices = nullptr;

  uint32_t mDrawCalls = 0;
  uint32_t mUnflushedPrimitives = 0;
  int mDefaultPoolObjects = 0;  // resources that block a reset while alive
};

GlRenderDevice::~GlRenderDevice() {
  if (mContext) {
    SDL_GL_MakeCurrent(mWindow, mContext);
    destroyBackBuffer();
    if (mFbo) glDeleteFramebuffers(1, &mFbo);
    if (mReadFbo) glDeleteFramebuffers(1, &mReadFbo);
    if (mCopyFbo) glDeleteFramebuffers(1, &mCopyFbo);
    glDeleteSamplers(kMaxTextureStages, mSamplers);
    if (mVao) glDeleteVertexArrays(1, &mVao);
    mFixedPrograms.reset();
    SDL_GL_MakeCurrent(mWindow, nullptr);
    SDL_GL_DeleteContext(mContext);
  }
  if (mOwnWindow && mWindow) SDL_DestroyWindow(mWindow);
  if (gCurrent == this) gCurrent = nullptr;
  gDevices.erase(std::remove(gDevices.begin(), gDevices.end(), this), gDevices.end());
}

void GlRenderDevice::checkThread(const char* what) const {
  if (std::this_thread::get_id() != mThread) {
    std::fprintf(stderr, "render device: %s called off the main thread\n", what);
    std::abort();
  }
}

bool GlRenderDevice::init(const DeviceParams& params) {
  mThread = std::this_thread::get_id();
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      gLastError = std::string("SDL video: ") + SDL_GetError();
      return false;
    }
  }
  // The GL driver stays loaded for the life of the process: devices come and
  // go (tests, device re-creation) and reloading the driver each time is slow
  // and leaves its allocations unaccounted for.
  static bool driverPinned = false;
  if (!driverPinned) driverPinned = SDL_GL_LoadLibrary(nullptr) == 0;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  mWindow = static_cast<SDL_Window*>(params.window);
  if (!mWindow) {
    // The buffers that let the window's framebuffer be the back buffer.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    mWindow =
        SDL_CreateWindow("render device", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                         std::max<uint32_t>(1, params.present.backBufferWidth),
                         std::max<uint32_t>(1, params.present.backBufferHeight), SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!mWindow) {
      gLastError = std::string("window: ") + SDL_GetError();
      return false;
    }
    mOwnWindow = true;
    mMadeWindow = true;
  }
  mContext = SDL_GL_CreateContext(mWindow);
  if (!mContext) {
    gLastError = std::string("OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  SDL_GL_MakeCurrent(mWindow, mContext);
  SDL_GL_SetSwapInterval(0);

  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  mCaps.maxTextureWidth = mCaps.maxTextureHeight = static_cast<uint32_t>(maxSize);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, mMaxViewport);
  mCaps.pixelShader14 = true;
  mCaps.vertexShader11 = true;
  mCaps.depthStencilD24S8 = true;

  mFixedPrograms = std::make_unique<FixedPrograms>();
  if (!mFixedPrograms->init(kVertexShader, gLastError)) return false;
  // The most common program is linked now: a broken GL fails here, not at the first draw.
  if (!mFixedPrograms->get(FixedProgramKey{}, gLastError)) return false;

  glGenVertexArrays(1, &mVao);
  glBindVertexArray(mVao);
  glGenSamplers(kMaxTextureStages, mSamplers);
  for (int i = 0; i < kMaxTextureStages; ++i) glBindSampler(i, mSamplers[i]);
  glGenFramebuffers(1, &mFbo);
  glGenFramebuffers(1, &mReadFbo);
  glGenFramebuffers(1, &mCopyFbo);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);

  mPresent = params.present;
  if (mPresent.backBufferWidth == 0 || mPresent.backBufferHeight == 0) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(mWindow, &w, &h);
    mPresent.backBufferWidth = static_cast<uint32_t>(std::max(1, w));
    mPresent.backBufferHeight = static_cast<uint32_t>(std::max(1, h));
  }
  if (!createBackBuffer()) {
    gLastError = "back buffer could not be created";
    return false;
  }
  setDefaultStates();
  if (glGetError() != GL_NO_ERROR) {
    gLastError = "OpenGL error during device set-up";
    return false;
  }
  return true;
}

void GlRenderDevice::resizeMadeWindow() {
  if (!mMadeWindow) return;
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(mWindow, &w, &h);
  if (w == static_cast<int>(mPresent.backBufferWidth) && h == static_cast<int>(mPresent.backBufferHeight)) return;
  // A new window of the new size, so that its framebuffer stays the back
  // buffer (a resized off-screen window keeps its old surface); the context
  // and all it holds carry over.
  SDL_Window* window = SDL_CreateWindow(
      "render device", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, static_cast<int>(mPresent.backBufferWidth),
      static_cast<int>(mPresent.backBufferHeight), SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) return;
  if (SDL_GL_MakeCurrent(window, mContext) != 0) {
    SDL_DestroyWindow(window);
    SDL_GL_MakeCurrent(mWindow, mContext);
    return;
  }
  SDL_DestroyWindow(mWindow);
  mWindow = window;
  SDL_GL_SetSwapInterval(0);
}

bool GlRenderDevice::windowServesAsBackBuffer() const {
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(mWindow, &w, &h);
  if (w != static_cast<int>(mPresent.backBufferWidth) || h != static_cast<int>(mPresent.backBufferHeight)) return false;
  // The design's depth-stencil is D24S8: the window's must hold as much.
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  GLint depthType = GL_NONE, stencilType = GL_NONE, depthBits = 0, stencilBits = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &depthType);
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                        &stencilType);
  if (depthType != GL_NONE)
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
  if (stencilType != GL_NONE)
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE,
                                          &stencilBits);
  while (glGetError() != GL_NO_ERROR) {
  }
  glBindFramebuffer(GL_FRAMEBUFFER, mFbo);
  return depthBits >= 24 && stencilBits >= 8;
}

bool GlRenderDevice::createBackBuffer() {
  if (windowServesAsBackBuffer()) {
    mBackBuffer = DeviceSurface{};
    mBackBuffer.kind = DeviceSurface::Kind::BackBuffer;
    mDefaultDepth = DeviceSurface{};
    mDefaultDepth.kind = DeviceSurface::Kind::DepthStencil;
    for (DeviceSurface* s : {&mBackBuffer, &mDefaultDepth}) {
      s->deviceOwned = true;
      s->window = true;
      s->width = mPresent.backBufferWidth;
      s->height = mPresent.backBufferHeight;
    }
  } else {
    mBackBuffer = renderbufferSurface(DeviceSurface::Kind::BackBuffer, GL_RGBA8, mPresent.backBufferWidth,
                                      mPresent.backBufferHeight, true);
    mDefaultDepth = renderbufferSurface(DeviceSurface::Kind::DepthStencil, GL_DEPTH24_STENCIL8, mBackBuffer.width,
                                        mBackBuffer.height, true);
  }
  mColorTarget = &mBackBuffer;
  mDepthTarget = &mDefaultDepth;
  mTargetsDirty = true;
  attachTargets();
  return mWindowTarget || glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void GlRenderDevice::destroyBackBuffer() {
  mBackBufferSource = nullptr;
  if (mBackBuffer.renderbuffer) glDeleteRenderbuffers(1, &mBackBuffer.renderbuffer);
  if (mDefaultDepth.renderbuffer) glDeleteRenderbuffers(1, &mDefaultDepth.renderbuffer);
  mBackBuffer.renderbuffer = mDefaultDepth.renderbuffer = 0;
}

void GlRenderDevice::setDefaultStates() {
  auto rs = [this](RenderState s, uint32_t v) { mRenderStates[static_cast<size_t>(s)] = v; };
  rs(RenderState::CullMode, static_cast<uint32_t>(Cull::CounterClockwise));
  rs(RenderState::Lighting, 1);
  rs(RenderState::AlphaBlendEnable, 0);
  rs(RenderState::SrcBlend, static_cast<uint32_t>(Blend::One));
  rs(RenderState::DestBlend, static_cast<uint32_t>(Blend::Zero));
  rs(RenderState::ZEnable, 1);
  rs(RenderState::ZWriteEnable, 1);
  rs(RenderState::AlphaTestEnable, 0);
  rs(RenderState::AlphaRef, 0);
  rs(RenderState::AlphaFunc, static_cast<uint32_t>(Cmp::Always));
  rs(RenderState::StencilEnable, 0);
  rs(RenderState::StencilFunc, static_cast<uint32_t>(Cmp::Always));
  rs(RenderState::StencilRef, 0);
  rs(RenderState::StencilMask, 0xFFFFFFFFu);
  rs(RenderState::StencilWriteMask, 0xFFFFFFFFu);
  rs(RenderState::StencilFail, static_cast<uint32_t>(StencilOp::Keep));
  rs(RenderState::StencilZFail, static_cast<uint32_t>(StencilOp::Keep));
  rs(RenderState::StencilPass, static_cast<uint32_t>(StencilOp::Keep));
  rs(RenderState::ColorWriteEnable, 0xF);
  rs(RenderState::FillMode, static_cast<uint32_t>(Fill::Solid));
  for (size_t i = 0; i < static_cast<size_t>(RenderState::Count); ++i) applyRenderState(static_cast<RenderState>(i));

  for (int s = 0; s < kMaxTextureStages; ++s) {
    uint32_t* st = mStageStates[s];
    st[static_cast<size_t>(TextureStageState::ColorOp)] =
        static_cast<uint32_t>(s == 0 ? TextureOp::Modulate : TextureOp::Disable);
    st[static_cast<size_t>(TextureStageState::ColorArg1)] = static_cast<uint32_t>(TextureArg::Texture);
    st[static_cast<size_t>(TextureStageState::ColorArg2)] = static_cast<uint32_t>(TextureArg::Current);
    st[static_cast<size_t>(TextureStageState::AlphaOp)] =
        static_cast<uint32_t>(s == 0 ? TextureOp::SelectArg1 : TextureOp::Disable);
    st[static_cast<size_t>(TextureStageState::AlphaArg1)] = static_cast<uint32_t>(TextureArg::Texture);
    st[static_cast<size_t>(TextureStageState::AlphaArg2)] = static_cast<uint32_t>(TextureArg::Current);
    st[static_cast<size_t>(TextureStageState::AddressU)] = static_cast<uint32_t>(TextureAddress::Wrap);
    st[static_cast<size_t>(TextureStageState::AddressV)] = static_cast<uint32_t>(TextureAddress::Wrap);
    st[static_cast<size_t>(TextureStageState::AddressW)] = static_cast<uint32_t>(TextureAddress::Wrap);
    st[static_cast<size_t>(TextureStageState::MagFilter)] = static_cast<uint32_t>(TextureFilter::Point);
    st[static_cast<size_t>(TextureStageState::MinFilter)] = static_cast<uint32_t>(TextureFilter::Point);
    st[static_cast<size_t>(TextureStageState::MipFilter)] = static_cast<uint32_t>(TextureFilter::None);
    applySampler(s);
    setTexture(s, nullptr);
  }
  mFixedDirty = true;
  for (auto& m : mTransforms) identity(m);
  mTransformDirty = true;
}

void GlRenderDevice::applyRenderState(RenderState state) {
  const uint32_t* r = mRenderStates;
  auto get = [r](RenderState s) { return r[static_cast<size_t>(s)]; };
  switch (state) {
    case RenderState::CullMode: {
      Cull c = static_cast<Cull>(get(state));
      if (c == Cull::None) {
        glDisable(GL_CULL_FACE);
      } else {
        // Targets are stored top row first, so the winding seen on screen is
        // the GL winding of the same window coordinates; the window's rows
        // run the other way, and so does its winding.
        glEnable(GL_CULL_FACE);
        glFrontFace(mWindowTarget ? GL_CW : GL_CCW);
        glCullFace(c == Cull::CounterClockwise ? GL_BACK : GL_FRONT);
      }
      break;
    }
    case RenderState::AlphaBlendEnable:
      if (get(state))
        glEnable(GL_BLEND);
      else
        glDisable(GL_BLEND);
      break;
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
      glBlendFunc(toGl(static_cast<Blend>(get(RenderState::SrcBlend))),
                  toGl(static_cast<Blend>(get(RenderState::DestBlend))));
      break;
    case RenderState::ZEnable:
      if (get(state))
        glEnable(GL_DEPTH_TEST);
      else
        glDisable(GL_DEPTH_TEST);
      glDepthFunc(GL_LEQUAL);
      break;
    case RenderState::ZWriteEnable: glDepthMask(get(state) ? GL_TRUE : GL_FALSE); break;
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc: break;  // in the fragment program
    case RenderState::StencilEnable:
      if (get(state))
        glEnable(GL_STENCIL_TEST);
      else
        glDisable(GL_STENCIL_TEST);
      break;
    case RenderState::StencilFunc:
    case RenderState::StencilRef:
    case RenderState::StencilMask:
      glStencilFunc(toGl(static_cast<Cmp>(get(RenderState::StencilFunc))),
                    static_cast<GLint>(get(RenderState::StencilRef)), get(RenderState::StencilMask));
      break;
    case RenderState::StencilWriteMask: glStencilMask(get(state)); break;
    case RenderState::StencilFail:
    case RenderState::StencilZFail:
    case RenderState::StencilPass:
      glStencilOp(toGl(static_cast<StencilOp>(get(RenderState::StencilFail))),
                  toGl(static_cast<StencilOp>(get(RenderState::StencilZFail))),
                  toGl(static_cast<StencilOp>(get(RenderState::StencilPass))));
      break;
    case RenderState::ColorWriteEnable: {
      uint32_t m = get(state);
      glColorMask((m & COLORWRITE_RED) != 0, (m & COLORWRITE_GREEN) != 0, (m & COLORWRITE_BLUE) != 0,
                  (m & COLORWRITE_ALPHA) != 0);
      break;
    }
    case RenderState::FillMode: {
      Fill f = static_cast<Fill>(get(state));
      glPolygonMode(GL_FRONT_AND_BACK, f == Fill::Point ? GL_POINT : f == Fill::Wireframe ? GL_LINE : GL_FILL);
      break;
    }
    default: break;
  }
}

void GlRenderDevice::setRenderState(RenderState state, uint32_t value) {
  checkThread("setRenderState");
  size_t i = static_cast<size_t>(state);
  if (i >= static_cast<size_t>(RenderState::Count)) return;
  if (mRenderStates[i] == value) return;
  mRenderStates[i] = value;
  applyRenderState(state);
  switch (state) {
    case RenderState::AlphaBlendEnable:
    case RenderState::SrcBlend:
    case RenderState::DestBlend:
    case RenderState::ZEnable:
    case RenderState::ZWriteEnable:
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaFunc:
    case RenderState::StencilEnable:
    case RenderState::ColorWriteEnable: mFixedDirty = true; break;
    default: break;
  }
}

void GlRenderDevice::applySampler(int stage) {
  const uint32_t* st = mStageStates[stage];
  GLuint s = mSamplers[stage];
  glSamplerParameteri(s, GL_TEXTURE_WRAP_S, toGlAddress(st[static_cast<size_t>(TextureStageState::AddressU)]));
  glSamplerParameteri(s, GL_TEXTURE_WRAP_T, toGlAddress(st[static_cast<size_t>(TextureStageState::AddressV)]));
  glSamplerParameteri(s, GL_TEXTURE_WRAP_R, toGlAddress(st[static_cast<size_t>(TextureStageState::AddressW)]));
  glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, toGlFilter(st[static_cast<size_t>(TextureStageState::MagFilter)]));
  glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, toGlFilter(st[static_cast<size_t>(TextureStageState::MinFilter)]));
}

void GlRenderDevice::setTextureStageState(int stage, TextureStageState state, uint32_t value) {
  checkThread("setTextureStageState");
  if (stage < 0 || stage >= kMaxTextureStages) return;
  size_t i = static_cast<size_t>(state);
  if (i >= static_cast<size_t>(TextureStageState::Count)) return;
  if (mStageStates[stage][i] == value) return;
  mStageStates[stage][i] = value;
  switch (state) {
    case TextureStageState::AddressU:
    case TextureStageState::AddressV:
    case TextureStageState::AddressW:
    case TextureStageState::MagFilter:
    case TextureStageState::MinFilter:
    case TextureStageState::MipFilter: applySampler(stage); break;
    default: mFixedDirty = true; break;
  }
}

uint32_t GlRenderDevice::getTextureStageState(int stage, TextureStageState state) const {
  if (stage < 0 || stage >= kMaxTextureStages) return 0;
  size_t i = static_cast<size_t>(state);
  return i < static_cast<size_t>(TextureStageState::Count) ? mStageStates[stage][i] : 0;
}

void GlRenderDevice::setTransform(TransformType type, const float matrix[16]) {
  size_t i = static_cast<size_t>(type);
  if (i > 2) return;
  std::memcpy(mTransforms[i], matrix, 16 * sizeof(float));
  mTransformDirty = true;
}

void GlRenderDevice::getTransform(TransformType type, float matrix[16]) const {
  size_t i = static_cast<size_t>(type);
  if (i > 2) return;
  std::memcpy(matrix, mTransforms[i], 16 * sizeof(float));
}

bool GlRenderDevice::windowUnusable() const {
  if (mOwnWindow) return false;
  Uint32 flags = SDL_GetWindowFlags(mWindow);
  return (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

DeviceResult GlRenderDevice::testCooperativeLevel() {
  if (mForcedLost || windowUnusable()) {
    mLost = true;
    return DeviceResult::DeviceLost;
  }
  return mLost ? DeviceResult::DeviceNotReset : DeviceResult::Ok;
}

void GlRenderDevice::forceDeviceLost(bool lost) {
  mForcedLost = lost;
  if (lost) mLost = true;
}

DeviceResult GlRenderDevice::reset(const PresentParameters& params) {
  checkThread("reset");
  if (mForcedLost || windowUnusable()) {
    mLost = true;
    return DeviceResult::DeviceLost;
  }
  if (mDefaultPoolObjects > 0) return DeviceResult::InvalidCall;
  if (params.backBufferWidth == 0 || params.backBufferHeight == 0 || params.backBufferWidth > mCaps.maxTextureWidth ||
      params.backBufferHeight > mCaps.maxTextureHeight)
    return DeviceResult::InvalidCall;
  mPresent = params;
  destroyBackBuffer();
  resizeMadeWindow();
  if (!createBackBuffer()) return DeviceResult::OutOfVideoMemory;
  mStream = nullptr;
  mIndices = nullptr;
  mLayoutDirty = true;
  setProgram(0);
  setDefaultStates();
  mInScene = false;
  mLost = false;
  return DeviceResult::Ok;
}

DeviceResult GlRenderDevice::present() {
  checkThread("present");
  if (mForcedLost || windowUnusable()) mLost = true;
  if (mLost) return DeviceResult::DeviceLost;
  if (mBackBuffer.window) {
    // The frame was drawn into the window itself.
    SDL_GL_SwapWindow(mWindow);
    mUnflushedPrimitives = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
    return DeviceResult::Ok;
  }
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(mWindow, &w, &h);
  // A back buffer that is a plain copy is shown from the copy's source.
  DeviceSurface* shown = mBackBufferSource ? mBackBufferSource : &mBackBuffer;
  mBackBufferSource = nullptr;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, mReadFbo);
  attachColor(GL_READ_FRAMEBUFFER, shown);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  const bool masked = mRenderStates[static_cast<size_t>(RenderState::ColorWriteEnable)] != 0xF;
  if (masked) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  // Surfaces hold their top row first; the window wants it last.
  suspendScissor();
  glBlitFramebuffer(
      0, 0, shown->width, shown->height, 0, h, w, 0, GL_COLOR_BUFFER_BIT,
      (static_cast<int>(shown->width) == w && static_cast<int>(shown->height) == h) ? GL_NEAREST : GL_LINEAR);
  resumeScissor();
  attachColor(GL_READ_FRAMEBUFFER, nullptr);
  if (masked) applyRenderState(RenderState::ColorWriteEnable);
  SDL_GL_SwapWindow(mWindow);
  mUnflushedPrimitives = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
  return DeviceResult::Ok;
}

DeviceResult GlRenderDevice::beginScene() {
  if (mInScene) return DeviceResult::InvalidCall;
  mInScene = true;
  return DeviceResult::Ok;
}

DeviceResult GlRenderDevice::endScene() {
  if (!mInScene) return DeviceResult::InvalidCall;
  mInScene = false;
  return DeviceResult::Ok;
}

void GlRenderDevice::blitSurface(const DeviceSurface* source, const DeviceSurface* dest) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, source->window ? 0 : mReadFbo);
  if (!source->window) attachColor(GL_READ_FRAMEBUFFER, source);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, dest->window ? 0 : mCopyFbo);
  if (!dest->window) attachColor(GL_DRAW_FRAMEBUFFER, dest);
  const bool masked = mRenderStates[static_cast<size_t>(RenderState::ColorWriteEnable)] != 0xF;
  if (masked) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  // Between the window and a surface the rows run the other way.
  const bool flip = source->window != dest->window;
  const GLint h = static_cast<GLint>(source->height);
  suspendScissor();
  glBlitFramebuffer(0, 0, source->width, source->height, 0, flip ? h : 0, source->width, flip ? 0 : h,
                    GL_COLOR_BUFFER_BIT, GL_NEAREST);
  resumeScissor();
  if (masked) applyRenderState(RenderState::ColorWriteEnable);
  if (!dest->window) attachColor(GL_DRAW_FRAMEBUFFER, nullptr);
  if (!source->window) attachColor(GL_READ_FRAMEBUFFER, nullptr);
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
}

void GlRenderDevice::settleBackBuffer() {
  const DeviceSurface* source = mBackBufferSource;
  if (!source) return;
  mBackBufferSource = nullptr;
  blitSurface(source, &mBackBuffer);
}

void GlRenderDevice::settleBackBufferBefore(const DeviceTexture* changed) {
  if (mBackBufferSource && mBackBufferSource->texture == changed) settleBackBuffer();
}

DeviceResult GlRenderDevice::copySurface(DeviceSurface* source, DeviceSurface* dest) {
  checkThread("copySurface");
  if (!source || !dest || source->kind == DeviceSurface::Kind::DepthStencil ||
      dest->kind == DeviceSurface::Kind::DepthStencil || source->width != dest->width || source->height != dest->height)
    return DeviceResult::InvalidCall;
  if (source == dest) return DeviceResult::Ok;
  // A back buffer of its own is shown by a copy anyway: the copy into it waits for present().
  if (dest == &mBackBuffer && !mBackBuffer.window) {
    mBackBufferSource = source;
    return DeviceResult::Ok;
  }
  if (source == &mBackBuffer || dest == mBackBufferSource) settleBackBuffer();
  blitSurface(source, dest);
  return DeviceResult::Ok;
}

void GlRenderDevice::attachTargets() {
  // Drawing into the back buffer or into the source of its pending copy needs the copy first.
  if (mBackBufferSource && (mColorTarget == &mBackBuffer || mColorTarget == mBackBufferSource)) settleBackBuffer();
  if (!mTargetsDirty) {
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
    return;
  }
  mTargetsDirty = false;
  const bool window = mColorTarget->window;
  if (window != mWindowTarget) {
    mWindowTarget = window;
    applyRenderState(RenderState::CullMode);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
  if (!window) {
    attachColor(GL_FRAMEBUFFER, mColorTarget);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              mDepthTarget ? mDepthTarget->renderbuffer : 0);
  }
  mViewport = Viewport{0, 0, mColorTarget->width, mColorTarget->height};
  applyViewport();
  mScissorOn = false;
  glDisable(GL_SCISSOR_TEST);
}

void GlRenderDevice::applyViewport() {
  // The window's rows are stored bottom first.
  const int64_t y =
      mWindowTarget ? int64_t(mColorTarget->height) - mViewport.y - int64_t(mViewport.height) : int64_t(mViewport.y);
  glViewport(static_cast<GLint>(mViewport.x), static_cast<GLint>(y), static_cast<GLsizei>(mViewport.width),
             static_cast<GLsizei>(mViewport.height));
  mTransformDirty = true;
}

void GlRenderDevice::applyScissor() {
  if (!mScissorOn) {
    glDisable(GL_SCISSOR_TEST);
    return;
  }
  const uint32_t y =
      mWindowTarget ? mColorTarget->height - uint32_t(mScissor.y) - mScissor.height : uint32_t(mScissor.y);
  glScissor(mScissor.x, static_cast<GLint>(y), static_cast<GLsizei>(mScissor.width),
            static_cast<GLsizei>(mScissor.height));
  glEnable(GL_SCISSOR_TEST);
}

void GlRenderDevice::setViewport(const Viewport& viewport) {
  checkThread("setViewport");
  attachTargets();
  Viewport v = viewport;
  v.width = std::min(v.width, uint32_t(std::max(1, mMaxViewport[0])));
  v.height = std::min(v.height, uint32_t(std::max(1, mMaxViewport[1])));
  // Far enough out to draw nothing, near enough for GL's integers.
  const int32_t limitX = int32_t(std::max<int64_t>(mMaxViewport[0], mColorTarget->width));
  const int32_t limitY = int32_t(std::max<int64_t>(mMaxViewport[1], mColorTarget->height));
  v.x = std::max(-limitX, std::min(v.x, limitX));
  v.y = std::max(-limitY, std::min(v.y, limitY));
  if (v.width == mViewport.width && v.height == mViewport.height && v.x == mViewport.x && v.y == mViewport.y) return;
  mViewport = v;
  applyViewport();
}

void GlRenderDevice::setScissor(const Viewport* rect) {
  checkThread("setScissor");
  attachTargets();
  if (!rect) {
    if (!mScissorOn) return;
    mScissorOn = false;
    applyScissor();
    return;
  }
  const int64_t w = mColorTarget->width, h = mColorTarget->height;
  const int64_t left = std::max<int64_t>(0, rect->x), top = std::max<int64_t>(0, rect->y);
  const int64_t right = std::min<int64_t>(w, int64_t(rect->x) + rect->width);
  const int64_t bottom = std::min<int64_t>(h, int64_t(rect->y) + rect->height);
  mScissor.x = int32_t(std::min(left, w));
  mScissor.y = int32_t(std::min(top, h));
  mScissor.width = uint32_t(std::max<int64_t>(0, right - mScissor.x));
  mScissor.height = uint32_t(std::max<int64_t>(0, bottom - mScissor.y));
  mScissorOn = true;
  applyScissor();
}

DeviceResult GlRenderDevice::setRenderTarget(DeviceSurface* color, DeviceSurface* depthStencil) {
  checkThread("setRenderTarget");
  if (!color) color = mColorTarget;
  if (color->kind == DeviceSurface::Kind::DepthStencil) return DeviceResult::InvalidCall;
  if (depthStencil && depthStencil->kind != DeviceSurface::Kind::DepthStencil) return DeviceResult::InvalidCall;
  if (depthStencil && (depthStencil->width < color->width || depthStencil->height < color->height))
    return DeviceResult::InvalidCall;
  // The window's framebuffer has its own depth-stencil, and only it.
  if (depthStencil && depthStencil->window != color->window) return DeviceResult::InvalidCall;
  if (color != mColorTarget || depthStencil != mDepthTarget) {
    mColorTarget = color;
    mDepthTarget = depthStencil;
    mTargetsDirty = true;
  }
  attachTargets();
  // The same target again still starts over with the whole of it.
  if (mViewport.x != 0 || mViewport.y != 0 || mViewport.width != color->width || mViewport.height != color->height) {
    mViewport = Viewport{0, 0, color->width, color->height};
    applyViewport();
  }
  if (mScissorOn) {
    mScissorOn = false;
    applyScissor();
  }
  if (!mWindowTarget && glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    return DeviceResult::InvalidCall;
  return DeviceResult::Ok;
}

DeviceResult GlRenderDevice::clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) {
  checkThread("clear");
  attachTargets();
  GLbitfield bits = 0;
  // A clear fills the whole target whatever the write masks say.
  if (flags & CLEAR_TARGET) {
    glClearColor(((color >> 16) & 0xFF) / 255.f, ((color >> 8) & 0xFF) / 255.f, (color & 0xFF) / 255.f,
                 ((color >> 24) & 0xFF) / 255.f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    bits |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & CLEAR_ZBUFFER) && mDepthTarget) {
    mDepthTarget->depthClearPending = true;
    mDepthTarget->pendingDepth = z;
  }
  if ((flags & CLEAR_STENCIL) && mDepthTarget) {
    glClearStencil(static_cast<GLint>(stencil));
    glStencilMask(0xFFFFFFFFu);
    bits |= GL_STENCIL_BUFFER_BIT;
  }
  if (mDepthTarget && mDepthTarget->depthClearPending && (bits & GL_STENCIL_BUFFER_BIT)) {
    glClearDepth(mDepthTarget->pendingDepth);
    glDepthMask(GL_TRUE);
    bits |= GL_DEPTH_BUFFER_BIT;
    mDepthTarget->depthClearPending = false;
  }
  if (bits) {
    suspendScissor();
    glClear(bits);
    resumeScissor();
  }
  // The write masks the clear opened go back to the states.
  if (bits & GL_COLOR_BUFFER_BIT) applyRenderState(RenderState::ColorWriteEnable);
  if (bits & GL_DEPTH_BUFFER_BIT) applyRenderState(RenderState::ZWriteEnable);
  if (bits & GL_STENCIL_BUFFER_BIT) applyRenderState(RenderState::StencilWriteMask);
  return DeviceResult::Ok;
}

VertexBuffer* GlRenderDevice::createVertexBuffer(uint32_t bytes, bool dynamic) {
  checkThread("createVertexBuffer");
  if (bytes == 0) return nullptr;
  auto* vb = new VertexBuffer();
  vb->shadow.assign(bytes, 0);
  glGenBuffers(1, &vb->name);
  glBindBuffer(GL_ARRAY_BUFFER, vb->name);
  vb->storageBytes = dynamic ? size_t(bytes) * kVertexRingShadows : bytes;
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vb->storageBytes), nullptr,
               dynamic ? GL_STREAM_DRAW : GL_STATIC_DRAW);
  ++mDefaultPoolObjects;
  return vb;
}

// Discarding or not, the shadow holds the old content, and no upload
// overwrites bytes of the GL buffer that queued draws read.
void* GlRenderDevice::lockVertexBuffer(VertexBuffer* vb, bool /*discard*/) {
  if (!vb || vb->locked) return nullptr;
  vb->locked = true;
  return vb->shadow.data();
}

void GlRenderDevice::unlockVertexBuffer(VertexBuffer* vb) {
  if (!vb || !vb->locked) return;
  vb->locked = false;
  // The content is uploaded lazily, as far as draws read it.
  vb->uploadedBytes = 0;
}

void GlRenderDevice::releaseVertexBuffer(VertexBuffer* vb) {
  if (!vb) return;
  checkThread("releaseVertexBuffer");
  if (mStream == vb) mStream = nullptr;
  glDeleteBuffers(1, &vb->name);
  delete vb;
  --mDefaultPoolObjects;
}

IndexBuffer* GlRenderDevice::createIndexBuffer(uint32_t bytes) {
  checkThread("createIndexBuffer");
  if (bytes < 2) return nullptr;
  auto* ib = new IndexBuffer();
  ib->shadow.assign(bytes / 2, 0);
  glGenBuffers(1, &ib->name);
  glBindVertexArray(mVao);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib->name);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, ib->shadow.size() * 2, nullptr, GL_STATIC_DRAW);
  if (mIndices) glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mIndices->name);
  ++mDefaultPoolObjects;
  return ib;
}

uint16_t* GlRenderDevice::lockIndexBuffer(IndexBuffer* ib) {
  if (!ib || ib->locked) return nullptr;
  ib->locked = true;
  return ib->shadow.data();
}

void GlRenderDevice::unlockIndexBuffer(IndexBuffer* ib) {
  if (!ib || !ib->locked) return;
  ib->locked = false;
  glBindVertexArray(mVao);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib->name);
  glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, ib->shadow.size() * 2, ib->shadow.data());
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mIndices ? mIndices->name : 0);
}

void GlRenderDevice::releaseIndexBuffer(IndexBuffer* ib) {
  if (!ib) return;
  checkThread("releaseIndexBuffer");
  if (mIndices == ib) {
    mIndices = nullptr;
    glBindVertexArray(mVao);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
  glDeleteBuffers(1, &ib->name);
  delete ib;
  --mDefaultPoolObjects;
}

void GlRenderDevice::setStreamSource(VertexBuffer* vb, uint32_t stride) {
  if (vb != mStream || stride != mStride) mLayoutDirty = true;
  mStream = vb;
  mStride = stride;
}

void GlRenderDevice::setIndices(IndexBuffer* ib) {
  mIndices = ib;
  glBindVertexArray(mVao);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib ? ib->name : 0);
}

void GlRenderDevice::setVertexFormat(uint32_t fvf) {
  if (fvf != mFvf) mLayoutDirty = true;
  mFvf = fvf;
}

void GlRenderDevice::bindVertexLayout() {
  glBindBuffer(GL_ARRAY_BUFFER, mStream->name);
  if (!mLayoutDirty) return;
  mLayoutDirty = false;
  uintptr_t offset = 0;
  const GLsizei stride = static_cast<GLsizei>(mStride);
  if (mFvf & FVF_XYZ) {
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offset));
    offset += 12;
  } else {
    glDisableVertexAttribArray(0);
  }
  if (mFvf & FVF_NORMAL) offset += 12;
  if (mFvf & FVF_DIFFUSE) {
    // 0xAARRGGBB words are the bytes B, G, R, A in memory.
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(offset));
    offset += 4;
  } else {
    glDisableVertexAttribArray(1);
    glVertexAttrib4f(1, 1.f, 1.f, 1.f, 1.f);
  }
  if (mFvf & FVF_SPECULAR) offset += 4;
  if ((mFvf & FVF_TEXCOUNT_MASK) >> FVF_TEXCOUNT_SHIFT) {
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offset));
  } else {
    glDisableVertexAttribArray(2);
    glVertexAttrib2f(2, 0.f, 0.f);
  }
}

GLint GlRenderDevice::uploadVertices(size_t bytesNeeded) {
  VertexBuffer* vb = mStream;
  bytesNeeded = std::min(bytesNeeded, vb->shadow.size());
  glBindBuffer(GL_ARRAY_BUFFER, vb->name);
  // Draws start on a whole vertex of the current stride.
  if (vb->regionStart % mStride) vb->uploadedBytes = 0;
  if (bytesNeeded > vb->uploadedBytes) {
    const size_t end = vb->regionStart + bytesNeeded;
    if (vb->uploadedBytes && vb->ringHead == vb->regionStart + vb->uploadedBytes && end <= vb->storageBytes) {
      // More of the same content: it grows in place.
      glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(vb->ringHead),
                      static_cast<GLsizeiptr>(bytesNeeded - vb->uploadedBytes), vb->shadow.data() + vb->uploadedBytes);
    } else {
      // A new region, on a whole vertex so that draws can start there.
      size_t start = (vb->ringHead + mStride - 1) / mStride * mStride;
      if (start + bytesNeeded > vb->storageBytes) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vb->storageBytes), nullptr, GL_STREAM_DRAW);
        start = 0;
      }
      glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(start), static_cast<GLsizeiptr>(bytesNeeded),
                      vb->shadow.data());
      vb->regionStart = start;
    }
    vb->uploadedBytes = bytesNeeded;
    vb->ringHead = vb->regionStart + bytesNeeded;
  }
  return static_cast<GLint>(vb->regionStart / mStride);
}

bool GlRenderDevice::prepareDraw(size_t vertexBytesNeeded, GLint& baseVertex) {
  if (!mStream || mStream->locked || mStride == 0) return false;
  attachTargets();
  glBindVertexArray(mVao);
  baseVertex = uploadVertices(vertexBytesNeeded);
  if (mDepthTarget && mDepthTarget->depthClearPending && mRenderStates[static_cast<size_t>(RenderState::ZEnable)]) {
    glClearDepth(mDepthTarget->pendingDepth);
    glDepthMask(GL_TRUE);
    suspendScissor();
    glClear(GL_DEPTH_BUFFER_BIT);
    resumeScissor();
    applyRenderState(RenderState::ZWriteEnable);
    mDepthTarget->depthClearPending = false;
  }
  bindVertexLayout();

  if (mTransformDirty) {
    // Row-vector matrices end in the target's clip space: no half-pixel shift
    // (GL samples pixel centres), y flipped (rows top first; not for the
    // window, whose rows are stored bottom first), z from 0..1.
    multiply(mTransforms[0], mTransforms[1], mClip);
    multiply(mClip, mTransforms[2], mClip);
    const float w = static_cast<float>(std::max<uint32_t>(1, mViewport.width));
    const float h = static_cast<float>(std::max<uint32_t>(1, mViewport.height));
    const float sy = mWindowTarget ? 1.f : -1.f;
    const float fix[16] = {1, 0, 0, 0, 0, sy, 0, 0, 0, 0, 2, 0, 1.f / w, -sy / h, -1, 1};
    multiply(mClip, fix, mClip);
    ++mClipSerial;
    mTransformDirty = false;
  }
  const auto state = [this](RenderState s) { return mRenderStates[static_cast<size_t>(s)]; };
  if (mCustomProgram) {
    glUseProgram(mCustomProgram);
    if (mCustomTransformLoc >= 0) glUniformMatrix4fv(mCustomTransformLoc, 1, GL_FALSE, mClip);
    // Programs with their own vertex stage map Direct3D clip space themselves.
    if (mCustomTargetSizeLoc >= 0)
      glUniform2f(mCustomTargetSizeLoc, static_cast<float>(std::max<uint32_t>(1, mViewport.width)),
                  static_cast<float>(std::max<uint32_t>(1, mViewport.height)));
    if (mCustomTargetYScaleLoc >= 0) glUniform1f(mCustomTargetYScaleLoc, mWindowTarget ? -1.f : 1.f);
    // The alpha test stays device state under a custom program too.
    if (mCustomAlphaTestLoc >= 0) glUniform1i(mCustomAlphaTestLoc, state(RenderState::AlphaTestEnable) ? 1 : 0);
    if (mCustomAlphaFuncLoc >= 0) glUniform1i(mCustomAlphaFuncLoc, static_cast<GLint>(state(RenderState::AlphaFunc)));
    if (mCustomAlphaRefLoc >= 0)
      glUniform1f(mCustomAlphaRefLoc, static_cast<float>(state(RenderState::AlphaRef) & 0xFF));
    return true;
  }
  if (mFixedDirty || !mFixed) {
    const FixedStates states{mRenderStates, mStageStates[0], mTextures[0] != nullptr};
    mFixed = mFixedPrograms->get(fixedProgramKey(states), gLastError);
    if (!mFixed) return false;
    mFixedDirty = false;
  }
  glUseProgram(mFixed->name);
  if (mFixed->transformSerial != mClipSerial) {
    glUniformMatrix4fv(mFixed->transformLoc, 1, GL_FALSE, mClip);
    mFixed->transformSerial = mClipSerial;
  }
  const float ref = static_cast<float>(state(RenderState::AlphaRef) & 0xFF);
  if (mFixed->alphaRefLoc >= 0 && mFixed->alphaRef != ref) {
    glUniform1f(mFixed->alphaRefLoc, ref);
    mFixed->alphaRef = ref;
  }
  return true;
}

void GlRenderDevice::queued(uint32_t primitives) {
  mUnflushedPrimitives += primitives;
  if (mUnflushedPrimitives < kFlushPrimitives) return;
  glFlush();
  mUnflushedPrimitives = 0;
}

DeviceResult GlRenderDevice::drawIndexedPrimitive(PrimitiveType type, uint32_t minIndex, uint32_t numVertices,
                                                  uint32_t startIndex, uint32_t primitiveCount) {
  checkThread("drawIndexedPrimitive");
  if (primitiveCount == 0) return DeviceResult::Ok;
  if (!mIndices || mIndices->locked) return DeviceResult::InvalidCall;
  const uint32_t perPrimitive = type == PrimitiveType::LineList ? 2 : 3;
  const uint64_t indexEnd = static_cast<uint64_t>(startIndex) + uint64_t(primitiveCount) * perPrimitive;
  if (indexEnd > mIndices->shadow.size()) return DeviceResult::InvalidCall;
  const uint64_t vertexEnd = uint64_t(minIndex) + numVertices;
  if (!mStream || vertexEnd * mStride > mStream->shadow.size()) return DeviceResult::InvalidCall;
  GLint base = 0;
  if (!prepareDraw(static_cast<size_t>(vertexEnd * mStride), base)) return DeviceResult::InvalidCall;
  glDrawRangeElementsBaseVertex(type == PrimitiveType::LineList ? GL_LINES : GL_TRIANGLES, minIndex,
                                static_cast<GLuint>(vertexEnd ? vertexEnd - 1 : 0),
                                static_cast<GLsizei>(primitiveCount * perPrimitive), GL_UNSIGNED_SHORT,
                                reinterpret_cast<void*>(static_cast<uintptr_t>(startIndex) * 2), base);
  ++mDrawCalls;
  queued(primitiveCount);
  return DeviceResult::Ok;
}

DeviceResult GlRenderDevice::drawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) {
  checkThread("drawPrimitive");
  if (primitiveCount == 0) return DeviceResult::Ok;
  const uint32_t perPrimitive = type == PrimitiveType::LineList ? 2 : 3;
  const uint64_t vertexEnd = uint64_t(startVertex) + uint64_t(primitiveCount) * perPrimitive;
  if (!mStream || vertexEnd * mStride > mStream->shadow.size()) return DeviceResult::InvalidCall;
  GLint base = 0;
  if (!prepareDraw(static_cast<size_t>(vertexEnd * mStride), base)) return DeviceResult::InvalidCall;
  glDrawArrays(type == PrimitiveType::LineList ? GL_LINES : GL_TRIANGLES, base + static_cast<GLint>(startVertex),
               static_cast<GLsizei>(primitiveCount * perPrimitive));
  ++mDrawCalls;
  queued(primitiveCount);
  return DeviceResult::Ok;
}

// ---- textures ----

struct GlFormat {
  GLint internal;
  GLenum format;
  GLenum type;
  GLint swizzle[4];
};

bool glFormatOf(PixelFormat f, GlFormat& out) {
  switch (f) {
    case PixelFormat::A8R8G8B8:
      out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
      return true;
    case PixelFormat::X8R8G8B8:
      out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
      return true;
    case PixelFormat::A8L8: out = {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_GREEN}}; return true;
    case PixelFormat::L8: out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, {GL_RED, GL_RED, GL_RED, GL_ONE}}; return true;
    case PixelFormat::DXT5:
      out = {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 0, 0, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
      return true;
    default: return false;
  }
}

uint32_t dxtBlockPitch(uint32_t width) { return std::max(1u, (width + 3) / 4) * 16; }
uint32_t dxtBlockRows(uint32_t height) { return std::max(1u, (height + 3) / 4); }

DeviceTexture* GlRenderDevice::createTexture(uint32_t width, uint32_t height, PixelFormat format, TextureUsage usage) {
  checkThread("createTexture");
  GlFormat gf;
  if (width == 0 || height == 0 || width > mCaps.maxTextureWidth || height > mCaps.maxTextureHeight ||
      !glFormatOf(format, gf))
    return nullptr;
  if (usage == TextureUsage::RenderTarget && format != PixelFormat::A8R8G8B8 && format != PixelFormat::X8R8G8B8)
    return nullptr;
  while (glGetError() != GL_NO_ERROR) {
  }
  auto* t = new DeviceTexture();
  t->width = width;
  t->height = height;
  t->format = format;
  t->usage = usage;
  glGenTextures(1, &t->name);
  glBindTexture(GL_TEXTURE_2D, t->name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, gf.swizzle);
  if (format == PixelFormat::DXT5) {
    const uint32_t bytes = dxtBlockPitch(width) * dxtBlockRows(height);
    std::vector<uint8_t> zero(bytes, 0);
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLenum>(gf.internal), width, height, 0, bytes, zero.data());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, gf.internal, width, height, 0, gf.format, gf.type, nullptr);
  }
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &t->name);
    delete t;
    glBindTexture(GL_TEXTURE_2D, 0);
    return nullptr;
  }
  t->surface.kind = DeviceSurface::Kind::TextureLevel;
  t->surface.texture = t;
  t->surface.width = width;
  t->surface.height = height;
  t->surface.opaque = format == PixelFormat::X8R8G8B8;
  if (usage == TextureUsage::RenderTarget) ++mDefaultPoolObjects;
  // Keep the stage-0 binding what the caller set.
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, mTextures[0] ? mTextures[0]->name : 0);
  return t;
}

bool GlRenderDevice::lockTexture(DeviceTexture* t, LockedRect& out, bool discard) {
  checkThread("lockTexture");
  if (!t || t->locked) return false;
  uint32_t pitch, rows;
  if (t->format == PixelFormat::DXT5) {
    pitch = dxtBlockPitch(t->width);
    rows = dxtBlockRows(t->height);
  } else {
    pitch = t->width * bytesPerPixel(t->format);
    rows = t->height;
  }
  t->lockBuffer.assign(size_t(pitch) * rows, 0);
  if (!discard) {
    GlFormat gf;
    glFormatOf(t->format, gf);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, t->name);
    if (t->format == PixelFormat::DXT5)
      glGetCompressedTexImage(GL_TEXTURE_2D, 0, t->lockBuffer.data());
    else
      glGetTexImage(GL_TEXTURE_2D, 0, gf.format, gf.type, t->lockBuffer.data());
    glBindTexture(GL_TEXTURE_2D, mTextures[0] ? mTextures[0]->name : 0);
  }
  t->locked = true;
  out.bits = t->lockBuffer.data();
  out.pitch = pitch;
  return true;
}

void GlRenderDevice::unlockTexture(DeviceTexture* t) {
  checkThread("unlockTexture");
  if (!t || !t->locked) return;
  settleBackBufferBefore(t);
  t->locked = false;
  GlFormat gf;
  glFormatOf(t->format, gf);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, t->name);
  if (t->format == PixelFormat::DXT5) {
    glCompressedTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t->width, t->height, static_cast<GLenum>(gf.internal),
                              static_cast<GLsizei>(t->lockBuffer.size()), t->lockBuffer.data());
  } else {
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t->width, t->height, gf.format, gf.type, t->lockBuffer.data());
  }
  glBindTexture(GL_TEXTURE_2D, mTextures[0] ? mTextures[0]->name : 0);
  std::vector<uint8_t>().swap(t->lockBuffer);
}

bool GlRenderDevice::updateTexture(DeviceTexture* t, const uint8_t* data, uint32_t width, uint32_t height,
                                   uint32_t pitch, TexelOrder order) {
  checkThread("updateTexture");
  if (!t || !data || t->locked || t->format == PixelFormat::DXT5 || width > t->width || height > t->height)
    return false;
  const uint32_t texelBytes = bytesPerPixel(t->format);
  if (texelBytes == 0 || pitch % texelBytes != 0 || pitch / texelBytes < width) return false;
  if (order == TexelOrder::RedFirst && texelBytes != 4) return false;
  if (width == 0 || height == 0) return true;
  settleBackBufferBefore(t);
  GlFormat gf;
  glFormatOf(t->format, gf);
  // The software rasteriser keeps four-byte texels in R, G, B, A order: texels
  // handed over in that order are stored by a plain copy, the locked order
  // (B, G, R, A) costs it a swap per texel.
  GLenum format = gf.format;
  GLenum type = gf.type;
  if (order == TexelOrder::RedFirst) {
    format = GL_RGBA;
    type = GL_UNSIGNED_BYTE;
  } else if (texelBytes == 4) {
    type = GL_UNSIGNED_INT_8_8_8_8_REV;
  }
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, t->name);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(pitch / texelBytes));
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), format, type,
                  data);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glBindTexture(GL_TEXTURE_2D, mTextures[0] ? mTextures[0]->name : 0);
  return true;
}

void GlRenderDevice::releaseTexture(DeviceTexture* t) {
  if (!t) return;
  checkThread("releaseTexture");
  settleBackBufferBefore(t);
  for (int s = 0; s < kMaxTextureStages; ++s)
    if (mTextures[s] == t) setTexture(s, nullptr);
  if (mColorTarget == &t->surface) {
    mColorTarget = &mBackBuffer;
    mTargetsDirty = true;
  }
  glDeleteTextures(1, &t->name);
  if (t->usage == TextureUsage::RenderTarget) --mDefaultPoolObjects;
  delete t;
}

void GlRenderDevice::setTexture(int stage, DeviceTexture* t) {
  if (stage < 0 || stage >= kMaxTextureStages) return;
  if (stage == 0 && (mTextures[0] == nullptr) != (t == nullptr)) mFixedDirty = true;
  mTextures[stage] = t;
  glActiveTexture(GL_TEXTURE0 + stage);
  glBindTexture(GL_TEXTURE_2D, t ? t->name : 0);
  glActiveTexture(GL_TEXTURE0);
}

DeviceSurface* GlRenderDevice::textureSurface(DeviceTexture* t) {
  if (!t || t->usage != TextureUsage::RenderTarget) return nullptr;
  return &t->surface;
}

DeviceSurface* GlRenderDevice::createDepthStencilSurface(uint32_t width, uint32_t height) {
  checkThread("createDepthStencilSurface");
  if (width == 0 || height == 0) return nullptr;
  auto* s = new DeviceSurface(
      renderbufferSurface(DeviceSurface::Kind::DepthStencil, GL_DEPTH24_STENCIL8, width, height, false));
  ++mDefaultPoolObjects;
  return s;
}

void GlRenderDevice::releaseSurface(DeviceSurface* s) {
  if (!s || s->deviceOwned || s->kind != DeviceSurface::Kind::DepthStencil) return;
  checkThread("releaseSurface");
  if (mDepthTarget == s) {
    mDepthTarget = nullptr;
    mTargetsDirty = true;
  }
  glDeleteRenderbuffers(1, &s->renderbuffer);
  delete s;
  --mDefaultPoolObjects;
}

void GlRenderDevice::setProgram(uint32_t glProgram) {
  if (glProgram == mCustomProgram) return;
  mCustomProgram = glProgram;
  mCustomTransformLoc = glProgram ? glGetUniformLocation(glProgram, "uTransform") : -1;
  mCustomAlphaTestLoc = glProgram ? glGetUniformLocation(glProgram, "uAlphaTest") : -1;
  mCustomAlphaFuncLoc = glProgram ? glGetUniformLocation(glProgram, "uAlphaFunc") : -1;
  mCustomAlphaRefLoc = glProgram ? glGetUniformLocation(glProgram, "uAlphaRef") : -1;
  mCustomTargetSizeLoc = glProgram ? glGetUniformLocation(glProgram, "uTargetSize") : -1;
  mCustomTargetYScaleLoc = glProgram ? glGetUniformLocation(glProgram, "uTargetYScale") : -1;
  mTransformDirty = true;
  mFixedDirty = true;
}

bool GlRenderDevice::readPixels(DeviceSurface* surface, std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) {
  checkThread("readPixels");
  if (!surface) surface = mColorTarget;
  if (surface->kind == DeviceSurface::Kind::DepthStencil) return false;
  width = surface->width;
  height = surface->height;
  rgba.assign(size_t(width) * height * 4, 0);
  if (surface == &mBackBuffer) settleBackBuffer();
  if (surface->window) {
    // What the window shows: its back buffer, which headless (off-screen)
    // windows keep after present(). Rows come bottom first.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t pitch = size_t(width) * 4;
    std::vector<uint8_t> row(pitch);
    for (uint32_t y = 0; y < height / 2; ++y) {
      uint8_t* a = rgba.data() + y * pitch;
      uint8_t* b = rgba.data() + (height - 1 - y) * pitch;
      std::memcpy(row.data(), a, pitch);
      std::memcpy(a, b, pitch);
      std::memcpy(b, row.data(), pitch);
    }
  } else {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mReadFbo);
    attachColor(GL_READ_FRAMEBUFFER, surface);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    attachColor(GL_READ_FRAMEBUFFER, nullptr);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer());
  if (surface->opaque)
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

std::unique_ptr<RenderDevice> RenderDevice::create(const DeviceParams& params) {
  auto device = std::make_unique<GlRenderDevice>();
  gDevices.push_back(device.get());
  if (!device->init(params)) return nullptr;
  gCurrent = device.get();
  return device;
}

bool RenderDevice::adoptWindow(void* window) {
  for (GlRenderDevice* device : gDevices)
    if (device->adopt(static_cast<SDL_Window*>(window))) return true;
  return false;
}

const char* RenderDevice::lastError() { return gLastError.c_str(); }

RenderDevice* RenderDevice::current() { return gCurrent; }

}  // namespace Platform
}  // namespace KR
