#include "sound_system/sound_device_oal.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "log_system.h"
#include "sound_system/al_check.h"
#include "sound_system/sound_manager.h"

namespace KR {

int SoundDevice::open() {
  close();
  log("Creating AL Device...");
  ALCdevice* alDevice = alcOpenDevice(nullptr);
  if (!alDevice) {
    log("ERROR: Failed to create AL Device");
    return 1;
  }
  log("Creating AL Context...");
  ALCcontext* alContext = alcCreateContext(alDevice, nullptr);
  if (!alContext) {
    log("ERROR: Failed to create AL context");
    alcCloseDevice(alDevice);
    return 1;
  }
  device = alDevice;
  context = alContext;
  alcMakeContextCurrent(alContext);
  alGetError();
  const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
  const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
  alListenerf(AL_GAIN, 1.0f);
  alListenerfv(AL_POSITION, zero);
  alListenerfv(AL_VELOCITY, zero);
  alListenerfv(AL_ORIENTATION, orientation);
  KR_AL_OK();
  if (SoundManager* manager = SoundManager::getInstancePtr()) manager->applyListenerGain();
  return 0;
}

void SoundDevice::close() {
  if (context) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context));
    context = nullptr;
  }
  if (device) {
    alcCloseDevice(static_cast<ALCdevice*>(device));
    device = nullptr;
  }
}

}  // namespace KR
