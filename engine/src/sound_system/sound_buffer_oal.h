#pragma once
// One span of a sound resource: up to 8192 sample frames that are decoded into
// an OpenAL buffer only while some source has it queued.
#include <cstdint>

namespace KR {

class SoundResource;

class SoundBuffer {
 public:
  SoundBuffer() = default;
  // Deletes the OpenAL buffer when it is loaded.
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  void init(SoundResource* owner, uint32_t firstFrame, uint32_t frameCount);

  // One more queue entry uses the span; decodes and uploads it first when it
  // is not loaded. False (and no use taken) when it cannot be loaded.
  bool acquire();
  // One queue entry less; the last one deletes the OpenAL buffer.
  void release();

  // Decodes the span (SoundBuffer::upload follows). False on failure.
  bool fill();
  bool upload(const void* data, uint32_t bytes);

  uint32_t getName() const { return name; }
  bool isLoaded() const { return loaded; }
  uint32_t getFirstFrame() const { return firstFrame; }
  uint32_t getFrameCount() const { return frameCount; }
  int32_t getUseCount() const { return useCount; }
  uint32_t getByteSize() const { return byteSize; }

 private:
  void unload();

  uint32_t name = 0;
  SoundResource* owner = nullptr;
  bool loaded = false;
  uint32_t firstFrame = 0;
  uint32_t frameCount = 0;
  int32_t useCount = 0;
  uint32_t byteSize = 0;
};

}  // namespace KR
