#pragma once
// The engine's single owner of sound. Clients load sounds by name into numbered
// resources (ids 1..1023), play them on numbered channels (handles 1..63), and
// hold only those numbers. Three volume groups (sounds, music, ambient) have
// their own volumes and timed fades; plain effects (group 0) are ranked so that
// at most five sound at once; everything is silent while the application is
// inactive. When the sound device cannot be opened every operation does
// nothing and returns 0, false or 0.0.
//
// Typical use:
//   KR::SoundManager* sound = KR::SoundManager::getInstance();
//   uint32_t handle = sound->playSoundByName("click");          // effect, loaded on first use
//   KR::SoundDescriptor music{"theme", KR::kSoundGroupMusic, 1.0f, true, 0};
//   uint32_t id = sound->acquireSoundId("theme");
//   if (!id) id = sound->loadSound(music);
//   uint32_t channel = sound->playSound(id);
//   ...
//   sound->stopSound(channel);
//   sound->releaseSound(id);
#include <pthread.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "notification.h"
#include "singleton.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/sound_device_oal.h"
#include "thread.h"

namespace KR {

class Sound;
class SoundResource;

class SoundManager : public Singleton<SoundManager> {
 public:
  static constexpr uint32_t kPoolSize = 64;
  static constexpr uint32_t kChannelCount = 64;
  static constexpr uint32_t kResourceCount = 1024;
  static constexpr uint32_t kRankedEffects = 5;
  // A channel is not reclaimed during its sound's first updates, so that a
  // sound that has only just been started is not taken for a finished one.
  static constexpr uint32_t kMinimumAge = 5;

  // Starts opening the sound device on a thread of its own (the device and its
  // mixer take a few milliseconds that the rest of start-up overlaps); the
  // first call that needs the device waits for it. Without a device the
  // manager stays uninitialised. Calls that need no device (a group volume,
  // the activation) are kept and applied when it opens.
  SoundManager();
  ~SoundManager() override;

  // A new resource for the descriptor's name: its id, or 0 when the name is
  // loaded already (call acquireSoundId first), no id is free or the manager is
  // not initialised. The file is read outside the lock, so loading threads do
  // not hold up the main thread. A missing file still takes an id; it plays
  // nothing. The resource starts with one reference.
  uint32_t loadSound(const SoundDescriptor& descriptor);
  // The id of a loaded name with one more reference, or 0.
  uint32_t acquireSoundId(const std::string& name);
  // One reference less; the last one unloads the resource.
  void releaseSound(uint32_t id);
  // Frees every channel playing the resource, forgets its name, destroys it.
  void unloadSound(uint32_t id);
  // releaseSound on every loaded music resource.
  void releaseMusic();

  // Plays a group-0 sound, loading the name on first use (that load's
  // reference is kept for the rest of the run). A channel handle or 0.
  uint32_t playSoundByName(const std::string& name);
  // A channel handle or 0.
  uint32_t playSound(uint32_t id);
  uint32_t createSound(SoundResource* resource);

  // Stopping silences at once and takes the sound out of the effect ranking;
  // the channel itself is freed by a later update.
  void stopSound(uint32_t handle);
  void stopAllSounds();
  void stopGroup(uint32_t group);
  // False for an empty channel. A handle must not be kept once this is false.
  bool isSoundPlaying(uint32_t handle);
  void setSoundVolume(uint32_t handle, float volume);

  void setSoundGroupVolume(float volume);
  void setMusicGroupVolume(float volume);
  void setAmbientGroupVolume(float volume);
  // Sets a group's volume and re-applies every channel's volume.
  void setGroupVolume(uint32_t group, float volume);
  // 1.0 for an unknown group; 0.0 when not initialised.
  float getGroupVolume(uint32_t group);

  // Fades the group's volume out over fadeOut seconds, holds silence for hold
  // seconds and fades back in over fadeIn seconds to the volume it had when
  // the fade began (a fade started over a running one keeps that volume).
  void startGroupFade(uint32_t group, float fadeOut, float hold, float fadeIn);
  void startFadeAllGroups(float fadeOut, float hold, float fadeIn);
  // Ends every fade at once; each group gets its volume from before the fade.
  void cancelGroupFades();

  // Once per frame: listener gain, streaming and reclaiming of channels, fades.
  void update();
  void updateChannels();
  // Advances the fades by dt seconds.
  void updateFades(float dt);

  // Listener gain 1.0 while the application is active, 0.0 while it is not.
  void applyListenerGain();
  // Whether the application is active, as its activation notifications say;
  // true when there is no application.
  bool isApplicationActive() const { return applicationActive; }

  // Ranking of group-0 sounds by priority times volume.
  bool canQueueEffect(uint32_t priority, float volume);
  void queueEffect(Sound* sound);
  void rankEffectVolumes();

  // Waits for the device's opening.
  bool isInitialised();
  // The manager's recursive lock, for callers that must act on it atomically.
  void lock();
  void unlock();

  // Read access for diagnostics and tests (null for an empty slot).
  SoundResource* getResource(uint32_t id);
  Sound* getSound(uint32_t handle);
  std::vector<Sound*> getRankedEffects();

 private:
  struct Fade {
    bool active = false;
    float elapsed = 0.0f;
    float total = 0.0f;
    float savedVolume = 1.0f;
    float fadeIn = 0.0f;
    float fadeOut = 0.0f;
    float hold = 0.0f;
    uint32_t group = 0;
  };

  class ActivationListener : public NotificationListener {
   public:
    explicit ActivationListener(SoundManager* owner) : manager(owner) {}
    void onNotification(const Notification& notification) override;

   private:
    SoundManager* manager;
  };

  Sound* allocateSound(SoundResource* resource);
  // Takes the sound out of the ranking, deletes its source, returns it to the pool.
  void freeSound(Sound* sound);
  void freeChannel(uint32_t handle);
  void stopChannel(uint32_t handle);
  void removeFromRanking(Sound* sound);
  bool isRanked(const Sound* sound) const;
  void updateGroupFade(Fade& fade, float dt);
  void reapplyVolumes();
  void setApplicationActive(bool active);
  static void openDevice(void* manager);
  // Under the lock: waits for the opening thread the first time; whether the
  // device is open.
  bool deviceReady();

  // The pool of sounds: one block, a free list by index (-1 ends it).
  unsigned char* poolBlock = nullptr;
  int32_t poolNext[kPoolSize];
  int32_t firstFree = -1;
  uint32_t freeCount = 0;

  SoundDevice device;
  // The opening thread, its result, and whether it is still to be joined
  // (under the lock). The thread touches only the device and the result.
  Thread opener;
  int openResult = 1;
  bool opening = false;
  Sound* channels[kChannelCount] = {};
  SoundResource* resources[kResourceCount] = {};
  bool initialised = false;
  std::map<std::string, uint32_t> names;
  uint32_t lastHandle = 0;
  uint32_t lastId = 0;
  std::vector<Sound*> rankedEffects;
  float groupVolumes[kSoundGroupCount] = {1.0f, 1.0f, 1.0f};
  pthread_mutex_t mutex;
  Fade fades[kSoundGroupCount];
  bool applicationActive = true;
  ActivationListener activationListener;
};

}  // namespace KR
