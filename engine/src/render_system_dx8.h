#pragma once
// The engine's single path to the screen. Each frame is drawn in design
// coordinates where the design-coordinate fit puts it in the window. A frame
// that needs no picture of itself is drawn straight into the back buffer: the
// projection and a viewport map the design area onto the fit's pixels (cut
// by the window's edges where the fit reaches past them), the bars around it
// cleared black, so the picture is drawn once at the window's own resolution.
// Otherwise it is drawn into an off-screen scene texture that the end of the
// frame scales into the window (through the distortion map where the frame
// drew into it). A frame goes off screen when it was asked for
// (requestSceneTexture: a frame whose picture is read back as the design
// area), or when the frame before drew into the distortion map. A frame
// drawn into the window that draws into the distortion map unforeseen is
// copied into the scene texture for the bend when the fit is the whole window
// texel for texel, and shows it from the next frame on otherwise. Blurs draw
// into render targets of their own and back into either.
//
// Frame protocol (application render, loading render, video render):
//   rs->checkDeviceLost();   // frame start (resets a lost device when it can)
//   ... rs->render(&renderData) for everything drawn ...
//   rs->renderFrame();       // composite into the back buffer
//   rs->present();           // show it; a lost device is noted for next frame
//
// All drawing goes through one dynamic vertex buffer of 4000 vertices and one
// static index buffer; consecutive RenderData with the same texture, blend
// mode, primitive and address mode are drawn with one call. Up to four
// batches of quads stay open at a time: the oldest in the device buffer, the
// newer ones kept aside, so that items alternating between a few textures (a
// button's picture, its caption and a label, row after row) still make one
// call per texture. An item joins the newest open batch of its kind only when
// it overlaps none of the quads of the batches after that one, so
// every pixel sees its items in the order they came. Main thread only.
#include <cstdint>
#include <memory>
#include <vector>

#include "application.h"
#include "design_coords.h"
#include "platform/render_device.h"
#include "render_data.h"
#include "render_target.h"
#include "shader_program.h"
#include "singleton.h"
#include "vector2.h"

namespace KR {

class Color;
class Texture;

// Camera: position x, y, zoom x, zoom y, angle in degrees.
enum CameraField { CAM_X = 0, CAM_Y, CAM_ZOOM_X, CAM_ZOOM_Y, CAM_ANGLE, CAM_COUNT };

// Batch capacity.
constexpr uint32_t kBatchMaxVertices = 4000;
constexpr uint32_t kBatchMaxQuads = kBatchMaxVertices / 4;

// The device-side state, owned by RenderSystemDX8.
struct DeviceBlockDX8 {
  std::unique_ptr<Platform::RenderDevice> device;
  Platform::PresentParameters presentParameters;
  float viewProjection[16] = {};
  bool deviceLost = false;
  Platform::VertexBuffer* vertexBuffer = nullptr;
  // The vertex stride the buffer was sized for: it holds kBatchMaxVertices of them.
  uint32_t vertexBufferStride = 0;
  Platform::IndexBuffer* indexBuffer = nullptr;
  Texture* sceneTexture = nullptr;
  // The quad that shows the scene texture in the window.
  RenderData* sceneQuad = nullptr;
  Platform::DeviceSurface* backBufferSurface = nullptr;
  Platform::DeviceSurface* defaultDepthStencil = nullptr;
  Platform::DeviceSurface* designDepthStencil = nullptr;
  // The vertex format of the stream (device FVF bits).
  uint32_t fvf = 0;
  // The frame (the latest started) draws straight into the back buffer,
  // through sceneViewport (the design area's pixels in the window).
  bool directFrame = false;
  Platform::Viewport sceneViewport;
};

class RenderSystemBase {
 public:
  explicit RenderSystemBase(Application* application);
  virtual ~RenderSystemBase();
  RenderSystemBase(const RenderSystemBase&) = delete;
  RenderSystemBase& operator=(const RenderSystemBase&) = delete;

  // Forgets the state sent to the device: one null texture entry, quads, wrap,
  // blend mode unknown (so the first item of a frame always sends its blend).
  void resetBatchState();
  // Engine shutdown: the batch state and the line data give up their
  // textures and vertices.
  void releaseRenderData();

  // The window the frame is composited into: the application's record, or
  // the render system's own when it was made without an application.
  WindowInfo& getWindowInfo();

  DeviceBlockDX8* mDeviceBlock = nullptr;
  Application* mApplication = nullptr;
  RenderData mBatchState;  // its first texture entry is not referenced
  RenderData* mLineData = nullptr;
  uint8_t* mVertexPointer = nullptr;  // the locked vertex buffer, null outside a frame
  uint32_t mBatchQuads = 0;
  float mCamera[CAM_COUNT] = {0.f, 0.f, 1.f, 1.f, 0.f};
  float mFadeLevel = 1.f;           // below 1 renderFrame darkens the frame
  RenderData* mFadeQuad = nullptr;  // black, design size, made by reset
  bool mPixelShader14Supported = false;
  bool mVertexShader11Supported = false;
  bool mCameraLocked = false;
  bool mColorWriteMask[4] = {true, true, true, true};
  bool mPrevColorWriteMask[4] = {true, true, true, true};
  uint32_t mBatchVertices = 0;
  bool mDistortionUsed = false;
  bool mDistortionEnabled = true;
  Texture* mDistortionTexture = nullptr;
  // Transpose of the current view-projection, for programs that take it as
  // their transform constants.
  float mShaderViewProjection[16] = {};

 private:
  WindowInfo mOwnWindowInfo;
};

class RenderSystemDX8 : public RenderSystemBase {
 public:
  explicit RenderSystemDX8(Application* application);
  ~RenderSystemDX8() override;
};

class RenderSystem : public Singleton<RenderSystem>, public RenderSystemDX8 {
 public:
  // Only the fields: no device yet. With a null application the render system
  // draws into its own hidden window sized by getWindowInfo() (tests, tools).
  explicit RenderSystem(Application* application);
  ~RenderSystem() override;

  // ---- device and frame ----
  void initDevice();
  // Rebuilds everything that depends on the device or the window size.
  void reset();
  // Frame start; see the protocol above.
  void checkDeviceLost();
  // Frame end: fade, composite into the back buffer, texture pass.
  void renderFrame();
  // The next frame started is drawn into the scene texture (whoever reads
  // the frame's picture back at the design size asks for it before the frame).
  void requestSceneTexture() { mSceneTextureRequested = true; }
  bool isFrameDirect() const { return mDeviceBlock->directFrame; }
  // The design area of the latest frame as RGBA rows, top first (flushes):
  // the scene texture of a frame drawn off screen, the viewport's part of
  // the back buffer of one drawn into the window. False when nothing can be read.
  bool readScene(std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height);
  // Shows the back buffer; a lost device is remembered for checkDeviceLost.
  void present();
  void updateMatrices(int width, int height);
  void logDeviceCaps();
  void notifyDeviceReset();

  // ---- batching and states ----
  // Null, unready textures, no vertices and fully transparent data are skipped.
  void render(RenderData* renderData);
  void flushBatch();
  void setBlendMode(uint32_t mode);
  void setTextureAddressMode(uint32_t mode, int stage);
  // camera: CAM_COUNT floats.
  void setCamera(const float* camera);
  void clearStencil();
  void beginStencilMask();
  void endStencilMask();
  void enableStencilTest();
  void disableStencilTest();
  void setColorWriteMask(bool red, bool green, bool blue, bool alpha);
  // Clipping to a rectangle of design coordinates, placed by the camera now
  // in force: drawing until endClipRect changes only the target's pixels the
  // rectangle's quad would cover. False (nothing changed) when the camera
  // turns it off the pixel grid; the stencil clips such a shape instead.
  bool beginClipRect(const Vector2<float>& position, const Vector2<float>& size);
  void endClipRect();
  // Debug lines: one draw call each, opaque green or the given colour.
  void drawLine(const Vector2<float>& from, const Vector2<float>& to);
  void drawColoredLine(const Vector2<float>& from, const Vector2<float>& to, const Color& color);

  // ---- access ----
  Platform::RenderDevice* getDevice() const { return mDeviceBlock->device.get(); }
  bool isDeviceLost() const { return mDeviceBlock->deviceLost; }
  void setDeviceLost(bool lost) { mDeviceBlock->deviceLost = lost; }
  Texture* getSceneTexture() const { return mDeviceBlock->sceneTexture; }
  Platform::DeviceSurface* getDesignDepthStencil() const { return mDeviceBlock->designDepthStencil; }
  const float* getViewProjection() const { return mDeviceBlock->viewProjection; }
  // The current platform's resolution.
  static int getDesignWidth();
  static int getDesignHeight();
  // Draw calls sent since the device was made (statistics, tests).
  uint32_t getDrawCallCount() const;

  // ---- render targets, distortion map and shader programs ----
  // A free slot of the same request, else a new target in the first empty
  // slot; null when all eight are taken. (render_target.cpp, with the sprites)
  RenderTarget* acquireRenderTarget(uint32_t width, uint32_t height, bool withDepth);
  void releaseRenderTarget(RenderTarget* target);
  // Draw into the target's texture (design-size transforms) / the scene again.
  // 0 success, 1 failure.
  int setRenderTargetTexture(RenderTarget* target);
  int restoreSceneTarget();
  // Drawing between these goes into the distortion map (cleared on its
  // first use in a frame); nothing happens without shader support or with
  // distortion disabled.
  void beginOffscreenPass();
  void endOffscreenPass();
  // Around the scene composite of renderFrame.
  void applyDisplacementShader();
  void removeDisplacementShader();
  // Shaders from Direct3D 8 assembler text or from a resource of package
  // "default"; 0 success, 1 failure (logged).
  int createPixelShader(ShaderProgramDX8* part, const char* text);
  int createVertexShader(VertexShaderDX8* part, const char* text);
  int deletePixelShader(ShaderProgramDX8* part);
  int deleteVertexShader(VertexShaderDX8* part);
  int loadPixelShader(ShaderProgramDX8* part, const char* name);
  int loadVertexShader(VertexShaderDX8* part, const char* name);
  // Null or missing parts: the fixed pipeline's. 1 when the device refused.
  int setShaderProgram(ShaderProgram* program);
  int resetShaders();
  // 0 when both parts existed and were deleted; the program is not ready after.
  int releaseShaderProgram(ShaderProgram* program);
  // Constant registers c[first] .. c[first + count - 1] (four floats each).
  void setVertexShaderConstant(uint32_t first, const float* data, uint32_t count);
  void setPixelShaderConstant(uint32_t first, const float* data, uint32_t count);
  ShaderProgram* getDisplacementProgram();
  Platform::ShaderDevice* getShaderDevice();

  RenderTarget mRenderTargets[kRenderTargetSlots];

 private:
  RenderShaderState mShaderState;  // destroyed before the device
  // The bound target is the window of a direct frame: the design-size
  // transforms then carry the half-pixel offsets (design pixels) that put the
  // picture where the composite of the scene texture would put it.
  bool mDrawingDirect = false;
  float mDirectHalfPixel[2] = {0.5f, 0.5f};
  void setDrawingDirect(bool on);
  // The clip rectangle in the scene target's pixels, while one is on.
  bool mClipRectOn = false;
  Platform::Viewport mClipPixels;
  bool mSceneTextureRequested = false;
  // The device's draw calls when the frame's clear was done.
  uint32_t mFrameStartDrawCalls = 0;
  // Whether the frame starting now may draw into the window; `viewport`
  // gets the design area's pixels there.
  bool directFrameFits(Platform::Viewport& viewport);
  // The newer open batches, oldest first: quads only, their vertices and
  // each item's bounds kept here until the batches before them are drawn.
  struct StagedBatch {
    std::vector<uint8_t> vertices;
    uint32_t count = 0;
    Texture* texture = nullptr;
    uint32_t blendMode = 0;
    uint32_t addressMode = 0;
    // Bounds of the items (min x, min y, max x, max y); past kMaxStagedBounds
    // items the batch counts as covering everything.
    std::vector<float> bounds;
    bool boundless = false;
    bool opaque = false;  // as mBatchOpaque
  };
  static constexpr uint32_t kStagedBatches = 3;
  static constexpr size_t kMaxStagedBounds = 128;
  StagedBatch mStaged[kStagedBatches];
  uint32_t mStagedCount = 0;
  // Every quad in the device buffer's batch shows an opaque picture at full
  // alpha under the alpha blend: it is drawn without blending (and without
  // the alpha test that all of it passes), which leaves the same pixels
  // without reading back those beneath.
  bool mBatchOpaque = false;
  void appendToBatch(RenderData* renderData, uint32_t firstVertex, uint32_t count);
  bool compatible(const RenderData* renderData, uint32_t count) const;
  // Sends the states of a batch about to fill the device buffer.
  void openBatch(Texture* texture, bool textured, uint32_t blendMode, uint32_t primitiveType, uint32_t addressMode);
  // Copies vertices of an item into the device buffer's batch.
  void copyToBatch(const RenderData* renderData, uint32_t firstVertex, uint32_t count);
  void stage(StagedBatch& batch, const RenderData* renderData, uint32_t firstVertex, uint32_t count);
  static bool stagedCompatible(const StagedBatch& batch, const RenderData* renderData, uint32_t count);
  // The item has the device batch's texture and states (whatever room is left).
  bool sameStates(const RenderData* renderData) const;
  static bool overlaps(const StagedBatch& batch, const float* box);
  // Draws the device buffer's batch, then makes the oldest staged batch the
  // one in the device buffer.
  void drawOlderBatch();
  void drawDeviceBatch();
  void lockVertexBuffer();
  void releaseSizeDependentResources();
  void drawLineData(const Vector2<float>& from, const Vector2<float>& to, uint32_t argb);
  void setQuad(RenderData& quad, float left, float top, float width, float height, uint32_t argb);
  // True when the scene's composite writes every back-buffer pixel opaquely
  // (oneToOne: texel for texel, a plain copy), with the states now set.
  bool compositeCovers(const Viewport2D& viewport, bool oneToOne) const;
};

}  // namespace KR
