#include "video_surface.h"

#include <cmath>
#include <cstring>

#include "file_system.h"
#include "image.h"
#include "log_system.h"
#include "rect.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "video_surface_shader.h"

namespace KR {

namespace {

uint32_t powerOfTwoAtLeast(uint32_t value) {
  uint32_t result = 1;
  while (result < value && result < 0x80000000u) result <<= 1;
  return result;
}

uint32_t textureFormatOf(uint32_t kind) {
  switch (kind) {
    case VPK_LUMINANCE: return TF_L8;
    case VPK_CHROMA: return TF_A8L8;
    // Alpha reads as one: the picture is opaque also where filtering reaches
    // past the frame into the texture's unused texels.
    default: return TF_X8R8G8B8;
  }
}

uint32_t imageFormatOf(uint32_t kind) {
  switch (kind) {
    case VPK_LUMINANCE: return IF_LUMINANCE;
    case VPK_CHROMA: return IF_LUMINANCE_ALPHA;
    default: return IF_RGBA;
  }
}

// The picture is opaque on both paths (the RGBA texture's alpha reads as one,
// the shader path's comes from the luminance texture, which reads as one too),
// so blending it over what lies below would give the same pixels at the price
// of reading them back: it is drawn with blending and the alpha test off, the
// batch before it and its own flushed first, the states restored after.
class OpaqueDrawing {
 public:
  OpaqueDrawing() : renderSystem(RenderSystem::getInstancePtr()) {
    device = renderSystem ? renderSystem->getDevice() : nullptr;
    if (!device) return;
    renderSystem->flushBatch();
    blend = device->getRenderState(Platform::RenderState::AlphaBlendEnable);
    alphaTest = device->getRenderState(Platform::RenderState::AlphaTestEnable);
    device->setRenderState(Platform::RenderState::AlphaBlendEnable, 0);
    device->setRenderState(Platform::RenderState::AlphaTestEnable, 0);
  }
  ~OpaqueDrawing() {
    if (!device) return;
    renderSystem->flushBatch();
    device->setRenderState(Platform::RenderState::AlphaBlendEnable, blend);
    device->setRenderState(Platform::RenderState::AlphaTestEnable, alphaTest);
  }
  OpaqueDrawing(const OpaqueDrawing&) = delete;
  OpaqueDrawing& operator=(const OpaqueDrawing&) = delete;

 private:
  RenderSystem* renderSystem;
  Platform::RenderDevice* device = nullptr;
  uint32_t blend = 1;
  uint32_t alphaTest = 1;
};

}  // namespace

VideoSurface::VideoSurface(bool useShaders) {
  initRecursiveMutex(&decoderLock);
  initRecursiveMutex(&planeLock);
  initRecursiveMutex(&textureLock);
  clock.reset();
  if (useShaders) {
    program = VideoShaderProgram::load();
    programLoaded = program != nullptr;
  }
  shaderPath = programLoaded;
}

VideoSurface::~VideoSurface() {
  if (playing) close();
  // A surface that never opened still holds its file.
  delete file;
  file = nullptr;
  delete program;
  program = nullptr;
  programLoaded = false;
  pthread_mutex_destroy(&textureLock);
  pthread_mutex_destroy(&planeLock);
  pthread_mutex_destroy(&decoderLock);
}

int VideoSurface::open(File* source) {
  ScopedLock guard(ScopedLock::lock(&decoderLock));
  if (!source) return 1;
  file = source;
  if (decoder.open(file) != 0) return 1;

  playingTime = 0.0f;
  bankedTime = 0.0f;
  playing = true;
  finished = false;
  clockRunning = true;
  framesDecoded = 0;
  frameRate = decoder.getFrameRate();
  clock.reset();

  const uint32_t width = decoder.getWidth();
  const uint32_t height = decoder.getHeight();
  ScopedLock textures(ScopedLock::lock(&textureLock));
  ScopedLock buffers(ScopedLock::lock(&planeLock));
  if (shaderPath) {
    makePlane(kPlaneY, VPK_LUMINANCE, width, height);
    makePlane(kPlaneUV, VPK_CHROMA, width / 2, height / 2);
  } else {
    makePlane(kPlaneRgba, VPK_RGBA, width, height);
  }
  return 0;
}

bool VideoSurface::makePlane(int index, uint32_t kind, uint32_t width, uint32_t height) {
  VideoPlane& plane = planes[index];
  plane.kind = kind;
  plane.bytesPerPixel = kind == VPK_RGBA ? 4 : kind == VPK_CHROMA ? 2 : 1;
  plane.width = width;
  plane.height = height;
  plane.dataSize = width * height * plane.bytesPerPixel;
  plane.data = new uint8_t[plane.dataSize ? plane.dataSize : 1]();
  plane.ready = false;
  plane.uploaded = false;
  plane.current = 0;

  TextureManager* textureManager = TextureManager::getInstancePtr();
  SpriteManager<Sprite>* spriteManager = SpriteManager<Sprite>::getInstancePtr();
  if (!textureManager || !spriteManager) return false;
  bool all = true;
  for (uint32_t i = 0; i < VideoPlane::kRingSize; ++i) {
    plane.textures[i] = textureManager->createEmptyTexture(powerOfTwoAtLeast(width), powerOfTwoAtLeast(height),
                                                           TextureFormat(textureFormatOf(kind)));
    plane.sprites[i] = spriteManager->createSpriteFromTextureObject(plane.textures[i]);
    if (!plane.textures[i] || !plane.sprites[i]) {
      all = false;
      continue;
    }
    plane.sprites[i]->setFrameRect(0, Rect(0.0f, 0.0f, float(width), float(height)), true);
    plane.sprites[i]->setSize(Vector2<float>(float(width), float(height)));
  }
  // Drawing checks every entry, so a plane missing some is still usable.
  plane.hasTextures = true;
  return all;
}

bool VideoSurface::streamStep(bool applicationActive) {
  if (playing && !finished && applicationActive) {
    if (!clockRunning) {
      clock.reset();
      clockRunning = true;
    }
    decodeStep(clock.getElapsed());
    return true;
  }
  stopClock();
  return false;
}

void VideoSurface::stopClock() {
  if (!clockRunning) return;
  bankedTime += clock.getElapsed();
  clockRunning = false;
}

void VideoSurface::decodeStep(float clockSeconds) {
  ScopedLock guard(ScopedLock::lock(&decoderLock));
  if (!playing || finished) return;
  if (!clockRunning && framesDecoded != 0) return;
  const float time = clockSeconds + bankedTime;
  playingTime = time;
  if (float(framesDecoded) < time * frameRate) decodeNextFrame();
}

void VideoSurface::decodeNextFrame() {
  ScopedLock guard(ScopedLock::lock(&decoderLock));
  {
    // At most one decoded frame waits for the uploader.
    ScopedLock buffers(ScopedLock::lock(&planeLock));
    if (shaderPath ? (planes[kPlaneY].ready || planes[kPlaneUV].ready) : planes[kPlaneRgba].ready) return;
  }
  YuvFrameView frame;
  const VideoStreamDecoder::Result result = decoder.decodeFrame(&frame);
  if (result != VideoStreamDecoder::kFrame) {
    // A broken stream ends the video like its end does, so that its player
    // moves on instead of waiting for a frame that never comes.
    if (result == VideoStreamDecoder::kError) log("VideoSurface: decoding failed, the video ends here");
    close();
    finished = true;
    return;
  }
  {
    ScopedLock buffers(ScopedLock::lock(&planeLock));
    if (shaderPath) {
      copyFramePlanes(frame, planes[kPlaneY].data, planes[kPlaneUV].data);
      planes[kPlaneY].ready = true;
      planes[kPlaneUV].ready = true;
    } else {
      convertFrameToRgba(frame, planes[kPlaneRgba].data);
      planes[kPlaneRgba].ready = true;
    }
  }
  ++framesDecoded;
}

void VideoSurface::uploadFrame() {
  ScopedLock buffers(ScopedLock::lock(&planeLock));
  ScopedLock textures(ScopedLock::lock(&textureLock));
  VideoPlane& picture = picturePlane();
  if (picture.ready) uploadPlane(picture);
  if (shaderPath && planes[kPlaneUV].ready) uploadPlane(planes[kPlaneUV]);
}

void VideoSurface::uploadPlane(VideoPlane& plane) {
  Sprite* sprite = plane.sprites[plane.current];
  if (sprite && sprite->getTexture()) {
    plane.current = (plane.current + 1) % VideoPlane::kRingSize;
    if (Texture* texture = plane.textures[plane.current])
      texture->update(plane.data, imageFormatOf(plane.kind), plane.width, plane.height);
  }
  plane.ready = false;
  plane.uploaded = true;
}

void VideoSurface::draw() {
  ScopedLock textures(ScopedLock::lock(&textureLock));
  if (shaderPath) {
    VideoPlane& y = planes[kPlaneY];
    VideoPlane& uv = planes[kPlaneUV];
    if (!programLoaded || !y.hasTextures || !uv.hasTextures || !y.uploaded || !uv.uploaded) return;
    Sprite* luminance = y.sprites[y.current];
    Sprite* chroma = uv.sprites[uv.current];
    if (!luminance || !chroma || !chroma->getTexture()) return;
    // The chroma sprite's texture coordinates travel in the luminance
    // sprite's vertex colours (red u, green v, normalised).
    const Texture* chromaTexture = chroma->getTexture();
    const float tw = float(chromaTexture->width ? chromaTexture->width : 1);
    const float th = float(chromaTexture->height ? chromaTexture->height : 1);
    for (uint32_t row = 0; row < 2; ++row)
      for (uint32_t column = 0; column < 2; ++column) {
        const Vector2<float>& uvCoord = chroma->getMeshVertexTexCoord(column, row);
        const Color color = Color::fromFloats(uvCoord.x / tw, uvCoord.y / th, 1.0f, 1.0f);
        const size_t index = size_t(luminance->getMeshSizeX() + 1) * row + column;
        if (index < luminance->mVertexColorRefs.size()) *luminance->mVertexColorRefs[index] = color.value;
      }
    OpaqueDrawing opaque;
    program->drawPicture(luminance, chroma->getTexture(), firstVertexConstant);
    return;
  }
  VideoPlane& rgba = planes[kPlaneRgba];
  if (!rgba.hasTextures || !rgba.uploaded) return;
  if (Sprite* sprite = rgba.sprites[rgba.current]) {
    OpaqueDrawing opaque;
    sprite->updateVertices();
    sprite->render();
  }
}

Vector2<float> VideoSurface::getSize() {
  ScopedLock textures(ScopedLock::lock(&textureLock));
  const VideoPlane& plane = picturePlane();
  if (!plane.hasTextures || !plane.sprites[0]) return Vector2<float>(1.0f, 1.0f);
  return Vector2<float>(float(plane.width), float(plane.height));
}

void VideoSurface::setPosition(float x, float y) {
  ScopedLock textures(ScopedLock::lock(&textureLock));
  VideoPlane& plane = picturePlane();
  for (Sprite* sprite : plane.sprites)
    if (sprite) sprite->setPosition(x, y);
}

void VideoSurface::setSize(float width, float height) {
  ScopedLock textures(ScopedLock::lock(&textureLock));
  VideoPlane& plane = picturePlane();
  for (Sprite* sprite : plane.sprites) {
    if (!sprite) continue;
    const Vector2<float>& size = sprite->getSize();
    if (std::fabs(size.x - width) > 0.001f || std::fabs(size.y - height) > 0.001f)
      sprite->setSize(Vector2<float>(width, height));
  }
}

void VideoSurface::close() {
  ScopedLock guard(ScopedLock::lock(&decoderLock));
  ScopedLock textures(ScopedLock::lock(&textureLock));
  ScopedLock buffers(ScopedLock::lock(&planeLock));
  decoder.close();
  if (file) {
    file->close();
    delete file;
    file = nullptr;
  }
  SpriteManager<Sprite>* spriteManager = SpriteManager<Sprite>::getInstancePtr();
  for (VideoPlane& plane : planes) {
    delete[] plane.data;
    plane.data = nullptr;
    plane.dataSize = 0;
    plane.ready = false;
    for (uint32_t i = 0; i < VideoPlane::kRingSize; ++i) {
      if (plane.sprites[i] && spriteManager) spriteManager->destroySprite(plane.sprites[i]);
      plane.sprites[i] = nullptr;
      plane.textures[i] = nullptr;
    }
    plane.hasTextures = false;
  }
  playing = false;
  finished = false;
}

}  // namespace KR
