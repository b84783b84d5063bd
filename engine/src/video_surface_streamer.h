#pragma once
// Owner of every video surface and of the thread that decodes them. The
// thread passes over the surfaces under the streamer lock: each playing
// surface of an active application runs its decode step (its clock starts
// when needed); while the application is inactive the clocks stop and bank
// their time. It sleeps 0 ms after a pass that decoded, 100 ms otherwise.
// The render system's frame calls uploadFrames on the main thread, right
// after the texture manager's pending pass.
//
//   VideoSurface* s = VideoSurfaceStreamer::getInstance()->createSurface("movie_intro_ogv");
//   ...
//   VideoSurfaceStreamer::getInstance()->destroySurface(s);
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "singleton.h"
#include "thread.h"

namespace KR {

class VideoSurface;

class VideoSurfaceStreamer : public Singleton<VideoSurfaceStreamer> {
 public:
  static constexpr uint32_t kMaxSurfaces = 127;

  // Starts the decoding thread unless told not to (tests drive the passes
  // themselves with streamPass).
  explicit VideoSurfaceStreamer(bool startThread = true);
  // Stops and joins the thread. Surfaces still listed are left to their owners.
  ~VideoSurfaceStreamer() override;

  // Opens the file (package "default") and starts decoding it; null when the
  // list is full, the file is missing or holds no playable Theora stream.
  VideoSurface* createSurface(const std::string& fileName);
  // 0 destroyed, 1 not one of this streamer's surfaces.
  int destroySurface(VideoSurface* surface);
  // Main thread, once a frame: uploads every surface's decoded frame.
  void uploadFrames();

  // One pass of the decoding thread; true when any surface ran its decode step.
  bool streamPass(bool applicationActive);
  // Whether the application object exists and is active.
  static bool isApplicationActive();

  uint32_t getSurfaceCount();
  // New surfaces try the "yuv2rgb" program when set (the default).
  void setUseShaders(bool use) { useShaders = use; }
  bool isThreadStarted() const { return threadStarted; }

 private:
  static void threadMain(void* streamer);

  VideoSurface* surfaces[kMaxSurfaces] = {};
  uint32_t surfaceCount = 0;
  pthread_mutex_t lock;
  bool lockCreated = false;
  Thread thread;
  bool threadStarted = false;
  std::atomic<bool> stop{false};
  bool useShaders = true;
};

}  // namespace KR
