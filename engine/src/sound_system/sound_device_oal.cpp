#include "sound_system/sound_device_oal.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include "log_system.h"
#include "sound_system/al_check.h"
#include "sound_system/sound_manager.h"

namespace KR {

namespace {
int gLoopbackFrequency = 0;

ALCdevice* openLoopbackDevice() {
  auto openLoopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  return openLoopback ? openLoopback(nullptr) : nullptr;
}
}  // namespace

void SoundDevice::useLoopback(int frequency) { gLoopbackFrequency = frequency > 0 ? frequency : 0; }

int SoundDevice::open() {
  close();
  log("Creating AL Device...");
  const int loopbackFrequency = gLoopbackFrequency;
  ALCdevice* alDevice = loopbackFrequency ? openLoopbackDevice() : alcOpenDevice(nullptr);
  if (!alDevice) {
    log("ERROR: Failed to create AL Device");
    return 1;
  }
  log("Creating AL Context...");
  const ALCint loopbackFormat[] = {ALC_FORMAT_CHANNELS_SOFT,
                                   ALC_STEREO_SOFT,
                                   ALC_FORMAT_TYPE_SOFT,
                                   ALC_SHORT_SOFT,
                                   ALC_FREQUENCY,
                                   loopbackFrequency,
                                   0};
  ALCcontext* alContext = alcCreateContext(alDevice, loopbackFrequency ? loopbackFormat : nullptr);
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
