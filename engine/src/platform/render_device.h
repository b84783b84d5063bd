#pragma once
// The graphics device of the platform layer: a small Direct3D-8-shaped device
// (render states, texture stages, vertex/index buffers, textures, render
// targets, transforms, lost-device protocol) implemented on OpenGL 3.3 core.
//
// Conventions that the rest of the engine relies on (the device maps them to
// OpenGL once, here):
//  - pixel space of every target: origin top left, y downward; a texture's
//    row 0 is its top row and is sampled at v = 0, for uploaded textures and
//    for render textures alike;
//  - transforms are row-vector matrices (a point p becomes p x M), clip z in
//    0..1; the half-pixel offset that the projection carries is cancelled here;
//  - vertex colours are 32-bit 0xAARRGGBB values;
//  - texel bytes of A8R8G8B8 / X8R8G8B8 in locked memory are B, G, R, A;
//    A8L8 is L, A; L8 is L; DXT5 is stored in 4x4 blocks of 16 bytes, the
//    pitch being one row of blocks.
// Every call is for the main thread only (the thread that created the device).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace KR {
namespace Platform {

// Results of the calls that can fail the way a device does.
enum class DeviceResult : uint32_t {
  Ok = 0,
  DeviceLost,      // the device cannot be used now; try again later
  DeviceNotReset,  // the device can be reset now
  InvalidCall,     // bad arguments, or resources alive that block a reset
  OutOfVideoMemory,
  OutOfMemory,
};

// Pixel formats of textures and surfaces.
enum class PixelFormat : uint32_t {
  Unknown = 0,
  A8R8G8B8,
  X8R8G8B8,
  A8L8,
  L8,
  DXT5,
  D24S8,  // depth-stencil surfaces only
};

// Bytes per pixel of an uncompressed format (0 for DXT5 / Unknown).
uint32_t bytesPerPixel(PixelFormat format);

enum class TextureUsage : uint32_t {
  Managed = 0,       // survives a device reset
  RenderTarget = 1,  // default pool: must be released before a reset
};

// Vertex format bits (the values of the Direct3D flexible vertex format).
enum : uint32_t {
  FVF_XYZ = 0x002,
  FVF_NORMAL = 0x010,
  FVF_DIFFUSE = 0x040,
  FVF_SPECULAR = 0x080,
  FVF_TEX1 = 0x100,
  FVF_TEXCOUNT_MASK = 0xF00,
  FVF_TEXCOUNT_SHIFT = 8,
};

enum class PrimitiveType : uint32_t { TriangleList, LineList };

enum class RenderState : uint32_t {
  CullMode,          // Cull
  Lighting,          // bool, accepted and ignored (no lighting)
  AlphaBlendEnable,  // bool
  SrcBlend,          // Blend
  DestBlend,         // Blend
  ZEnable,           // bool
  ZWriteEnable,      // bool
  AlphaTestEnable,   // bool
  AlphaRef,          // 0..255
  AlphaFunc,         // Cmp
  StencilEnable,     // bool
  StencilFunc,       // Cmp
  StencilRef,
  StencilMask,
  StencilWriteMask,
  StencilFail,       // StencilOp
  StencilZFail,      // StencilOp
  StencilPass,       // StencilOp
  ColorWriteEnable,  // ColorWrite bits
  FillMode,          // Fill
  Count
};

enum class Cull : uint32_t { None, Clockwise, CounterClockwise };
enum class Fill : uint32_t { Point, Wireframe, Solid };
enum class Blend : uint32_t {
  Zero,
  One,
  SrcColor,
  InvSrcColor,
  SrcAlpha,
  InvSrcAlpha,
  DestAlpha,
  InvDestAlpha,
  DestColor,
  InvDestColor
};
enum class Cmp : uint32_t { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class StencilOp : uint32_t { Keep, Zero, Replace, IncrSat, DecrSat, Invert, Incr, Decr };
enum : uint32_t { COLORWRITE_RED = 1, COLORWRITE_GREEN = 2, COLORWRITE_BLUE = 4, COLORWRITE_ALPHA = 8 };

enum class TextureStageState : uint32_t {
  ColorOp,
  ColorArg1,
  ColorArg2,
  AlphaOp,
  AlphaArg1,
  AlphaArg2,
  AddressU,
  AddressV,
  AddressW,
  MagFilter,
  MinFilter,
  MipFilter,
  Count
};
enum class TextureOp : uint32_t { Disable, SelectArg1, SelectArg2, Modulate };
enum class TextureArg : uint32_t { Diffuse, Current, Texture };
enum class TextureAddress : uint32_t { Wrap, Mirror, Clamp };
enum class TextureFilter : uint32_t { None, Point, Linear };

enum class TransformType : uint32_t { World, View, Projection };

enum : uint32_t { CLEAR_TARGET = 1, CLEAR_ZBUFFER = 2, CLEAR_STENCIL = 4 };

constexpr int kMaxTextureStages = 8;

// Opaque device objects; owned by the device, handed out as pointers.
class DeviceTexture;
class DeviceSurface;
class VertexBuffer;
class IndexBuffer;

struct LockedRect {
  uint8_t* bits = nullptr;
  uint32_t pitch = 0;  // bytes from one row (one block row for DXT5) to the next
};

struct DeviceCaps {
  uint32_t maxTextureWidth = 0;
  uint32_t maxTextureHeight = 0;
  bool pixelShader14 = false;  // programs that replace the fixed pipeline
  bool vertexShader11 = false;
  bool depthStencilD24S8 = true;
};

struct PresentParameters {
  uint32_t backBufferWidth = 0;
  uint32_t backBufferHeight = 0;
};

struct DeviceParams {
  // The window to draw into (an SDL_Window*, from KR::Platform::Window). Null:
  // the device makes its own hidden off-screen window (tests, tools), which a
  // reset makes anew at the new back buffer's size.
  void* window = nullptr;
  PresentParameters present;
};

// A rectangle of a render target: pixels from its top left.
struct Viewport {
  int32_t x = 0, y = 0;
  uint32_t width = 0, height = 0;
};

// The byte order of four-byte texels handed to updateTexture.
enum class TexelOrder : uint32_t { Locked, RedFirst };

class RenderDevice {
 public:
  // Creates the GL context and the device. Null on failure (reason logged to
  // lastError()).
  static std::unique_ptr<RenderDevice> create(const DeviceParams& params);
  static const char* lastError();
  // The device that is alive (the latest created), or null. Textures use it.
  static RenderDevice* current();
  // Window::destroy hands over the window a live device draws into: the
  // device hides it and destroys it after its own context, so that neither
  // its teardown nor the releases before it reach a window that is gone.
  // False when no device draws into it (the caller destroys it then).
  static bool adoptWindow(void* window);

  virtual ~RenderDevice() = default;

  // The SDL_Window* the device draws into.
  virtual void* nativeWindow() const = 0;
  virtual const DeviceCaps& caps() const = 0;
  virtual PixelFormat displayFormat() const = 0;  // back-buffer format
  virtual const PresentParameters& presentParameters() const = 0;

  // ---- lost device ----
  // Ok, DeviceLost (window minimised or hidden, or a forced loss) or
  // DeviceNotReset (usable again once reset).
  virtual DeviceResult testCooperativeLevel() = 0;
  // Rebuilds the back buffer at the new size. Fails with InvalidCall while
  // render-target textures, depth-stencil surfaces, vertex or index buffers
  // made by the device are still alive (like the device this one mimics).
  virtual DeviceResult reset(const PresentParameters& params) = 0;
  // Shows the back buffer; DeviceLost when the device is lost. A back buffer
  // that is the window's own framebuffer (see backBuffer()) is shown as it
  // is drawn, with no copy.
  virtual DeviceResult present() = 0;
  // Tests: lose the device now (as if the window were minimised); with false,
  // the loss ends and the device waits for a reset.
  virtual void forceDeviceLost(bool lost) = 0;

  // ---- scene ----
  virtual DeviceResult beginScene() = 0;
  virtual DeviceResult endScene() = 0;
  virtual DeviceResult clear(uint32_t flags, uint32_t color, float z, uint32_t stencil) = 0;

  // ---- states ----
  virtual void setRenderState(RenderState state, uint32_t value) = 0;
  virtual uint32_t getRenderState(RenderState state) const = 0;
  virtual void setTextureStageState(int stage, TextureStageState state, uint32_t value) = 0;
  virtual uint32_t getTextureStageState(int stage, TextureStageState state) const = 0;
  virtual void setTransform(TransformType type, const float matrix[16]) = 0;
  virtual void getTransform(TransformType type, float matrix[16]) const = 0;
  virtual Viewport viewport() const = 0;
  // The rectangle that draws map onto. It may reach past the target (a
  // picture cropped by the window's edges): what falls outside is not drawn.
  // Sizes beyond the device's largest are cut down. setRenderTarget makes it
  // the whole target again. Clears fill the whole target whatever the viewport.
  virtual void setViewport(const Viewport& viewport) = 0;
  // Draws (not clears, not copies) change only the pixels of the target
  // inside this rectangle, which is cut to the target; null lifts the limit,
  // as setRenderTarget does.
  virtual void setScissor(const Viewport* rect) = 0;

  // ---- geometry ----
  virtual VertexBuffer* createVertexBuffer(uint32_t bytes, bool dynamic) = 0;
  // discard: the old content is no longer needed.
  virtual void* lockVertexBuffer(VertexBuffer* vb, bool discard) = 0;
  virtual void unlockVertexBuffer(VertexBuffer* vb) = 0;
  virtual void releaseVertexBuffer(VertexBuffer* vb) = 0;
  virtual IndexBuffer* createIndexBuffer(uint32_t bytes) = 0;  // 16-bit indices
  virtual uint16_t* lockIndexBuffer(IndexBuffer* ib) = 0;
  virtual void unlockIndexBuffer(IndexBuffer* ib) = 0;
  virtual void releaseIndexBuffer(IndexBuffer* ib) = 0;
  virtual void setStreamSource(VertexBuffer* vb, uint32_t stride) = 0;
  virtual void setIndices(IndexBuffer* ib) = 0;
  // The vertex layout of the stream (FVF_* bits); position, diffuse and the
  // first texture coordinates feed the fixed pipeline.
  virtual void setVertexFormat(uint32_t fvf) = 0;
  virtual DeviceResult drawIndexedPrimitive(PrimitiveType type, uint32_t minIndex, uint32_t numVertices,
                                            uint32_t startIndex, uint32_t primitiveCount) = 0;
  virtual DeviceResult drawPrimitive(PrimitiveType type, uint32_t startVertex, uint32_t primitiveCount) = 0;

  // ---- textures ----
  // One mipmap level. Null on failure. DXT5 sizes are rounded up to whole
  // blocks for storage.
  virtual DeviceTexture* createTexture(uint32_t width, uint32_t height, PixelFormat format, TextureUsage usage) = 0;
  // Locks level 0; the locked memory holds the current texels. discard: the
  // old content is not needed. Unlock uploads what was written.
  virtual bool lockTexture(DeviceTexture* texture, LockedRect& out, bool discard) = 0;
  virtual void unlockTexture(DeviceTexture* texture) = 0;
  // Writes a width x height block of level 0 at its top-left corner from
  // `data` (rows `pitch` bytes apart, a whole number of texels); the texels
  // outside keep their values. No copy of the texture is made or read back,
  // so a streamed picture smaller than its texture costs only its own bytes.
  // Texels are in the locked memory's byte order, or for four-byte formats
  // with TexelOrder::RedFirst in R, G, B, A order (the device swaps, where it
  // has to, while storing). False for compressed textures, a locked one or a
  // block that does not fit.
  virtual bool updateTexture(DeviceTexture* texture, const uint8_t* data, uint32_t width, uint32_t height,
                             uint32_t pitch, TexelOrder order) = 0;
  virtual void releaseTexture(DeviceTexture* texture) = 0;
  virtual uint32_t textureWidth(const DeviceTexture* texture) const = 0;
  virtual uint32_t textureHeight(const DeviceTexture* texture) const = 0;
  virtual PixelFormat textureFormat(const DeviceTexture* texture) const = 0;
  virtual TextureUsage textureUsage(const DeviceTexture* texture) const = 0;
  virtual void setTexture(int stage, DeviceTexture* texture) = 0;
  virtual DeviceTexture* getTexture(int stage) const = 0;

  // ---- render targets ----
  // Level 0 of a render-target texture (owned by the texture).
  virtual DeviceSurface* textureSurface(DeviceTexture* texture) = 0;
  // The back buffer and the default depth-stencil (owned by the device).
  // While the window's drawable has the back buffer's size, they are the
  // window's own buffers: drawing into the back buffer draws into the
  // window, and it pairs with the default depth-stencil only (with no
  // depth-stencil surface made by createDepthStencilSurface, and the default
  // one with no other colour surface). Reading the back buffer back reads
  // what the window holds; an off-screen window keeps it after present().
  virtual DeviceSurface* backBuffer() = 0;
  virtual DeviceSurface* defaultDepthStencil() = 0;
  virtual DeviceSurface* createDepthStencilSurface(uint32_t width, uint32_t height) = 0;
  virtual void releaseSurface(DeviceSurface* surface) = 0;  // depth-stencil surfaces made above
  // The viewport becomes the whole colour surface. depthStencil may be null.
  virtual DeviceResult setRenderTarget(DeviceSurface* color, DeviceSurface* depthStencil) = 0;
  virtual DeviceSurface* renderTarget() const = 0;
  virtual DeviceSurface* depthStencilSurface() const = 0;
  virtual uint32_t surfaceWidth(const DeviceSurface* surface) const = 0;
  virtual uint32_t surfaceHeight(const DeviceSurface* surface) const = 0;
  // Copies a colour surface into another of the same size, texel for texel
  // (a composite that needs no drawing). A copy into the back buffer may be
  // left to present(), which then shows the source straight away; drawing
  // into, clearing or reading the back buffer, or changing the source, first
  // makes the copy. As with a swap chain that discards, the back buffer's
  // content after present() is undefined.
  virtual DeviceResult copySurface(DeviceSurface* source, DeviceSurface* dest) = 0;

  // ---- custom programs ----
  // Binds a linked GL program in place of the fixed pipeline (0: back to the
  // fixed pipeline). The program receives the same attributes (location 0
  // position, 1 diffuse, 2 texture coordinates) and, when it declares it, the
  // uniform mat4 "uTransform" (clip transform incl. the target's conventions)
  // and the alpha-test state as "uAlphaTest" (bool), "uAlphaFunc" (int, Cmp)
  // and "uAlphaRef" (float 0..255) for the program to apply. Texture stage i
  // is bound to texture unit i.
  virtual void setProgram(uint32_t glProgram) = 0;

  // ---- read-back (tests, screenshots) ----
  // RGBA bytes, rows top first, of the given colour surface (the current render
  // target when null). Flushes pending drawing.
  virtual bool readPixels(DeviceSurface* surface, std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) = 0;

  // ---- statistics ----
  virtual uint32_t drawCallCount() const = 0;  // since creation
  // Waits until the card has carried out everything sent so far (benchmarks
  // that time whole frames).
  virtual void finish() = 0;
};

}  // namespace Platform
}  // namespace KR
