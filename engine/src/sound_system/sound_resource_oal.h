#pragma once
// One loaded sound: its Ogg Vorbis file in memory and the spans it is cut into.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sound_system/sound_buffer_oal.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/vorbis_decoder.h"

namespace KR {

class SoundResource {
 public:
  // Copies group, volume, loop and priority, then loads the descriptor's name.
  // Touches no OpenAL state, so it may run on a loading thread.
  explicit SoundResource(const SoundDescriptor& descriptor);
  // The same from a file already in memory.
  SoundResource(const SoundDescriptor& descriptor, std::vector<unsigned char> bytes);
  ~SoundResource();
  SoundResource(const SoundResource&) = delete;
  SoundResource& operator=(const SoundResource&) = delete;

  // Opens the file and cuts it into spans; a missing or unreadable file leaves
  // no spans (the sound then plays nothing).
  bool load(const std::string& name);
  // Closes the decoder and deletes the spans (and their OpenAL buffers).
  void destroy();

  // Span by index, null past the end.
  SoundBuffer* getBuffer(uint32_t index);
  // The span whose OpenAL buffer has this name, or null.
  SoundBuffer* findBufferByName(uint32_t alName);
  uint32_t getBufferCount() const { return bufferCount; }

  VorbisDecoder* getDecoder() { return decoder.get(); }
  uint32_t getGroup() const { return group; }
  float getVolume() const { return volume; }
  bool isLooping() const { return loop; }
  // Scene sound nodes make a sound loop with their node (under the manager's lock).
  void setLooping(bool looping) { loop = looping; }
  uint32_t getPriority() const { return priority; }
  int32_t getReferenceCount() const { return referenceCount; }
  void setReferenceCount(int32_t count) { referenceCount = count; }

 private:
  void makeSpans();

  std::unique_ptr<VorbisDecoder> decoder;
  std::unique_ptr<SoundBuffer[]> buffers;
  uint32_t bufferCount = 0;
  uint32_t group = 0;
  float volume = 1.0f;
  bool loop = false;
  uint32_t priority = 0;
  int32_t referenceCount = 0;
};

}  // namespace KR
