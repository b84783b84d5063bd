#pragma once
// One playing Ogg Theora file: decoded frame by frame on the video surface
// streamer's thread in step with the surface's clock, uploaded into a ring of
// three textures on the main thread, drawn through sprites. With the
// "yuv2rgb" shader program the picture stays in Y'CbCr (a full-size
// luminance texture and a half-size chroma texture, converted on the graphics
// card); without it each frame is converted on the decoding thread into
// R, G, B, A rows, which the software rasteriser stores by a plain copy. Only
// the frame's own rows are uploaded, never the whole (power-of-two) texture,
// and the opaque picture is drawn without blending.
//
// Surfaces are made and destroyed only through the streamer
// (video_surface_streamer.h), which also runs their decode steps and uploads:
//
//   VideoSurface* s = VideoSurfaceStreamer::getInstance()->createSurface("movie_intro_ogv");
//   s->setPosition(x, y); s->setSize(w, h);   // each frame, main thread
//   s->draw();
//   if (s->isFinished()) VideoSurfaceStreamer::getInstance()->destroySurface(s);
//
// Locks: decoder (Ogg/Theora state), plane (frame buffers and ready flags),
// texture (textures, sprites, ring). Upload takes plane then texture; close
// takes texture then plane; both only under the streamer lock.
#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "timer_manager.h"
#include "vector2.h"
#include "video_surface_decoder.h"

namespace KR {

class File;
class Sprite;
class Texture;
class VideoShaderProgram;

enum VideoPlaneKind : uint32_t { VPK_RGBA = 0, VPK_LUMINANCE = 1, VPK_CHROMA = 2 };

struct VideoPlane {
  static constexpr uint32_t kRingSize = 3;

  uint8_t* data = nullptr;
  uint32_t dataSize = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  bool ready = false;  // a decoded frame waits for upload
  uint32_t kind = VPK_RGBA;
  uint32_t bytesPerPixel = 4;
  Texture* textures[kRingSize] = {};
  Sprite* sprites[kRingSize] = {};
  uint32_t current = 0;
  bool hasTextures = false;
  bool uploaded = false;  // at least one frame reached a texture
};

class VideoSurface {
 public:
  enum PlaneIndex { kPlaneRgba = 0, kPlaneY = 1, kPlaneUV = 2, kPlaneCount = 3 };

  // Makes the three locks and reads the clock. With useShaders the surface
  // tries the "yuv2rgb" program and keeps Y'CbCr planes when it loads.
  explicit VideoSurface(bool useShaders = true);
  // Closes the surface when it still plays, frees the program and the locks.
  ~VideoSurface();
  VideoSurface(const VideoSurface&) = delete;
  VideoSurface& operator=(const VideoSurface&) = delete;

  // Takes the file (owned from now on, also on failure) and reads its
  // headers; starts the clock and makes the planes, their textures and
  // sprites. 0 on success, 1 on failure.
  int open(File* file);

  // ---- decoding thread ----
  // One pass of the streamer's thread for this surface: while playing and the
  // application is active, (re)starts the clock and runs the decode step
  // (true returned); otherwise stops the clock and banks its time.
  bool streamStep(bool applicationActive);
  // The decode step at a clock reading of `clockSeconds` since the clock's
  // last start: playing time = clockSeconds + banked time; one frame is
  // decoded when fewer frames than playing time x frame rate exist.
  void decodeStep(float clockSeconds);

  // ---- main thread ----
  // Copies ready planes into the next texture of their ring.
  void uploadFrame();
  void draw();
  // The picture's size; (1, 1) before the sprites exist.
  Vector2<float> getSize();
  void setPosition(float x, float y);
  void setSize(float width, float height);

  // ---- state ----
  // Seconds of video played; written by the decoding thread, read by the
  // player's subtitles.
  float getPlayingTime() const { return playingTime; }
  bool isFinished() const { return finished; }
  bool isPlaying() const { return playing; }
  bool isClockRunning() const { return clockRunning; }
  bool usesShaderPath() const { return shaderPath; }
  float getFrameRate() const { return frameRate; }
  uint32_t getFramesDecoded() const { return framesDecoded; }
  float getBankedTime() const { return bankedTime; }
  // Plane record (tests, diagnostics); read under the locks by their users.
  const VideoPlane& getPlane(int index) const { return planes[index]; }

 private:
  void decodeNextFrame();
  // Frees the decoder, the file, the buffers and the sprites; playing and
  // finished off.
  void close();
  void stopClock();
  bool makePlane(int index, uint32_t kind, uint32_t width, uint32_t height);
  void uploadPlane(VideoPlane& plane);
  VideoPlane& picturePlane() { return planes[shaderPath ? kPlaneY : kPlaneRgba]; }

  bool shaderPath = false;
  VideoStreamDecoder decoder;
  pthread_mutex_t decoderLock;
  pthread_mutex_t planeLock;
  pthread_mutex_t textureLock;
  File* file = nullptr;
  VideoPlane planes[kPlaneCount];
  // Counted on the streamer's thread, read by the main thread's diagnostics.
  std::atomic<uint32_t> framesDecoded{0};
  std::atomic<bool> playing{false};
  std::atomic<bool> finished{false};
  std::atomic<bool> clockRunning{false};
  std::atomic<float> playingTime{0.0f};
  float bankedTime = 0.0f;
  float frameRate = 0.0f;
  WTimer clock;
  VideoShaderProgram* program = nullptr;
  bool programLoaded = false;
  uint32_t firstVertexConstant = 0;
};

}  // namespace KR
