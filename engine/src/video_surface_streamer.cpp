#include "video_surface_streamer.h"

#include "application.h"
#include "file_system.h"
#include "scoped_lock.h"
#include "video_surface.h"

namespace KR {

VideoSurfaceStreamer::VideoSurfaceStreamer(bool startThread) {
  setInstance(this);
  lockCreated = initRecursiveMutex(&lock) == 0;
  if (startThread) {
    thread.start(&VideoSurfaceStreamer::threadMain, this);
    threadStarted = true;
  }
}

VideoSurfaceStreamer::~VideoSurfaceStreamer() {
  stop = true;
  if (threadStarted) thread.join();
  threadStarted = false;
  if (lockCreated) pthread_mutex_destroy(&lock);
  lockCreated = false;
}

// Read on the streamer's thread while the main thread switches it.
bool VideoSurfaceStreamer::isApplicationActive() {
  return gApplication && __atomic_load_n(&gApplication->active, __ATOMIC_RELAXED);
}

void VideoSurfaceStreamer::threadMain(void* argument) {
  VideoSurfaceStreamer* self = static_cast<VideoSurfaceStreamer*>(argument);
  while (!self->stop) {
    const bool decoded = self->streamPass(isApplicationActive());
    // While a video plays its next frame is due within milliseconds, not at
    // once: yielding in a loop kept a whole core busy behind the game's frames.
    Thread::sleep(decoded ? 1 : 100);
  }
}

bool VideoSurfaceStreamer::streamPass(bool applicationActive) {
  ScopedLock guard(ScopedLock::lock(&lock));
  bool decoded = false;
  for (uint32_t i = 0; i < surfaceCount; ++i)
    if (surfaces[i]->streamStep(applicationActive)) decoded = true;
  return decoded;
}

VideoSurface* VideoSurfaceStreamer::createSurface(const std::string& fileName) {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (surfaceCount >= kMaxSurfaces) return nullptr;
  FileSystem* fileSystem = FileSystem::getInstancePtr();
  File* file = fileSystem ? fileSystem->openFile("default", fileName) : nullptr;
  if (!file) return nullptr;
  VideoSurface* surface = new VideoSurface(useShaders);
  if (surface->open(file) != 0) {
    delete surface;
    return nullptr;
  }
  surfaces[surfaceCount++] = surface;
  return surface;
}

int VideoSurfaceStreamer::destroySurface(VideoSurface* surface) {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (uint32_t i = 0; i < surfaceCount; ++i) {
    if (surfaces[i] != surface) continue;
    delete surface;
    for (uint32_t j = i + 1; j < surfaceCount; ++j) surfaces[j - 1] = surfaces[j];
    surfaces[--surfaceCount] = nullptr;
    return 0;
  }
  return 1;
}

void VideoSurfaceStreamer::uploadFrames() {
  ScopedLock guard(ScopedLock::lock(&lock));
  for (uint32_t i = 0; i < surfaceCount; ++i) surfaces[i]->uploadFrame();
}

uint32_t VideoSurfaceStreamer::getSurfaceCount() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return surfaceCount;
}

}  // namespace KR
