#include "sound_system/sound_oal.h"

#include <AL/al.h>

#include "sound_system/al_check.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"

namespace KR {

Sound::Sound(SoundResource* soundResource) : resource(soundResource) {
  ALuint name = 0;
  alGetError();
  alGenSources(1, &name);
  if (!KR_AL_OK()) return;
  source = name;
  const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
  alSourcef(source, AL_PITCH, 1.0f);
  alSourcefv(source, AL_POSITION, zero);
  alSourcefv(source, AL_VELOCITY, zero);
  alSourcei(source, AL_LOOPING, AL_FALSE);
  KR_AL_OK();
  created = true;
  setVolume(1.0f);
}

bool Sound::queueSpan(uint32_t index) {
  SoundBuffer* span = resource->getBuffer(index);
  if (!span || queuedCount >= kQueueLength || !span->acquire()) return false;
  ALuint name = span->getName();
  alSourceQueueBuffers(source, 1, &name);
  if (!KR_AL_OK()) {
    span->release();
    return false;
  }
  queuedSpans[queuedCount++] = index;
  return true;
}

void Sound::giveBackQueued(uint32_t alName) {
  for (int i = 0; i < queuedCount; ++i) {
    SoundBuffer* span = resource->getBuffer(queuedSpans[i]);
    if (span && span->getName() == alName) {
      for (int j = i; j + 1 < queuedCount; ++j) queuedSpans[j] = queuedSpans[j + 1];
      --queuedCount;
      span->release();
      return;
    }
  }
}

void Sound::giveBackAllQueued() {
  // Copied first: releasing the last use of a span deletes its buffer.
  uint32_t spans[kQueueLength];
  int count = queuedCount;
  for (int i = 0; i < count; ++i) spans[i] = queuedSpans[i];
  queuedCount = 0;
  for (int i = 0; i < count; ++i) {
    if (SoundBuffer* span = resource->getBuffer(spans[i])) span->release();
  }
}

void Sound::play() {
  if (!created) return;
  stop();
  if (!resource || resource->getBufferCount() == 0) return;
  bufferIndex = -1;
  uint32_t first = resource->getBufferCount() < kQueueLength ? resource->getBufferCount() : kQueueLength;
  for (uint32_t i = 0; i < first; ++i) {
    ++bufferIndex;
    if (!queueSpan(static_cast<uint32_t>(bufferIndex))) return;
  }
  alSourcePlay(source);
  KR_AL_OK();
  setVolume(volume);
}

void Sound::update() {
  if (!created || stopped || !resource || resource->getBufferCount() == 0) return;
  ALint processed = 0;
  alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
  if (!KR_AL_OK()) return;
  for (ALint i = 0; i < processed; ++i) {
    ALuint name = 0;
    alSourceUnqueueBuffers(source, 1, &name);
    if (!KR_AL_OK()) return;
    giveBackQueued(name);
  }
  const int32_t count = static_cast<int32_t>(resource->getBufferCount());
  while (queuedCount < kQueueLength) {
    if (!resource->isLooping() && bufferIndex + 1 >= count) {
      // Past the last span: nothing more to queue; the queue drains.
      bufferIndex = count;
      break;
    }
    bufferIndex = (bufferIndex + 1) % count;
    if (!queueSpan(static_cast<uint32_t>(bufferIndex))) return;
  }
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (!KR_AL_OK()) return;
  if (state != AL_PLAYING && queuedCount > 0) {
    // The source ran dry before the next span was queued: carry on.
    alSourcePlay(source);
    KR_AL_OK();
  }
}

void Sound::stop() {
  if (!created) return;
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (!KR_AL_OK()) return;
  if (state == AL_PLAYING || state == AL_PAUSED) {
    alSourceStop(source);
    KR_AL_OK();
  }
  bufferIndex = -1;
  // Detaching the whole queue at once works on a stopped source whatever its
  // entries' state; the spans' uses are given back only once nothing holds
  // their buffers, so no buffer is deleted while attached.
  alSourcei(source, AL_BUFFER, 0);
  if (!KR_AL_OK()) return;
  giveBackAllQueued();
}

bool Sound::isPlaying() {
  if (!created || stopped) return false;
  if (resource && resource->isLooping()) return true;
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  if (!KR_AL_OK()) return false;
  return state == AL_PLAYING || queuedCount > 0;
}

void Sound::setVolume(float value) {
  if (!created) return;
  volume = value;
  float active = 1.0f;
  float group = 1.0f;
  if (SoundManager* manager = SoundManager::getInstancePtr()) {
    active = manager->isApplicationActive() ? 1.0f : 0.0f;
    group = manager->getGroupVolume(resource ? resource->getGroup() : 0);
  }
  float gain = active * group * (resource ? resource->getVolume() : 1.0f) * value;
  if (!(gain > 0.0f)) gain = 0.0f;
  if (gain >= 1.0f) gain = 1.0f;
  alSourcef(source, AL_GAIN, gain);
  KR_AL_OK();
}

void Sound::deleteSource() {
  if (!created) return;
  stop();
  stopped = true;
  ALuint name = source;
  alDeleteSources(1, &name);
  KR_AL_OK();
  created = false;
  source = 0;
  // Deleting the source detached whatever the stop could not.
  giveBackAllQueued();
}

}  // namespace KR
