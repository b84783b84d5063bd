#include "sound_system/sound_buffer_oal.h"

#include <AL/al.h>

#include "sound_system/al_check.h"
#include "sound_system/sound_resource_oal.h"

namespace KR {

SoundBuffer::~SoundBuffer() { unload(); }

void SoundBuffer::init(SoundResource* ownerResource, uint32_t first, uint32_t count) {
  owner = ownerResource;
  firstFrame = first;
  frameCount = count;
  useCount = 0;
}

bool SoundBuffer::acquire() {
  if (!loaded && !fill()) return false;
  ++useCount;
  return true;
}

void SoundBuffer::release() {
  if (useCount > 0) --useCount;
  if (useCount == 0 && loaded) unload();
}

bool SoundBuffer::fill() {
  if (!owner || !owner->getDecoder()) return false;
  // One span of stereo 16-bit samples at most; the decoder never writes more.
  unsigned char area[VorbisDecoder::kSpanBytes];
  uint32_t bytes = owner->getDecoder()->decode(firstFrame, frameCount, area, sizeof(area));
  return upload(area, bytes);
}

bool SoundBuffer::upload(const void* data, uint32_t bytes) {
  VorbisDecoder* decoder = owner ? owner->getDecoder() : nullptr;
  if (!decoder) return false;
  unload();
  ALuint buffer = 0;
  alGetError();
  alGenBuffers(1, &buffer);
  if (!KR_AL_OK()) return false;
  ALenum format = decoder->getOutputChannels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
  alBufferData(buffer, format, data, static_cast<ALsizei>(bytes), decoder->getSampleRate());
  if (!KR_AL_OK()) {
    alDeleteBuffers(1, &buffer);
    alGetError();
    return false;
  }
  name = buffer;
  byteSize = bytes;
  loaded = true;
  return true;
}

void SoundBuffer::unload() {
  if (name != 0) {
    ALuint buffer = name;
    alDeleteBuffers(1, &buffer);
    KR_AL_OK();
  }
  name = 0;
  byteSize = 0;
  loaded = false;
}

}  // namespace KR
