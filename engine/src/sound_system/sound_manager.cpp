#include "sound_system/sound_manager.h"

#include <AL/al.h>

#include <algorithm>
#include <new>

#include "log_system.h"
#include "report_assert.h"
#include "scoped_lock.h"
#include "sound_system/al_check.h"
#include "sound_system/sound_oal.h"
#include "sound_system/sound_resource_oal.h"
#include "timer_manager.h"

namespace KR {

void SoundManager::ActivationListener::onNotification(const Notification& notification) {
  if (notification.code == kNotificationActivated) manager->setApplicationActive(true);
  if (notification.code == kNotificationDeactivated) manager->setApplicationActive(false);
}

SoundManager::SoundManager() : activationListener(this) {
  setInstance(this);
  initRecursiveMutex(&mutex);

  poolBlock = new unsigned char[kPoolSize * sizeof(Sound)];
  for (uint32_t i = 0; i < kPoolSize; ++i) poolNext[i] = i + 1 < kPoolSize ? static_cast<int32_t>(i + 1) : -1;
  firstFree = 0;
  freeCount = kPoolSize;
  rankedEffects.reserve(10);

  if (EngineNotificationDispatcher* dispatcher = EngineNotificationDispatcher::getInstancePtr()) {
    dispatcher->addListener(&activationListener);
  }
  opening = true;
  opener.start(&SoundManager::openDevice, this);
}

void SoundManager::openDevice(void* manager) {
  auto* self = static_cast<SoundManager*>(manager);
  self->openResult = self->device.open();
}

bool SoundManager::deviceReady() {
  if (opening) {
    opening = false;
    opener.join();
    initialised = openResult == 0;
    if (initialised) {
      // What was set while the device opened: the group volumes are read by
      // each new channel; the listener follows the activation.
      applyListenerGain();
    }
  }
  return initialised;
}

bool SoundManager::isInitialised() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  return deviceReady();
}

SoundManager::~SoundManager() {
  {
    ScopedLock guard(ScopedLock::lock(&mutex));
    deviceReady();
    for (uint32_t handle = 0; handle < kChannelCount; ++handle) freeChannel(handle);
    for (uint32_t id = 0; id < kResourceCount; ++id) {
      delete resources[id];
      resources[id] = nullptr;
    }
    names.clear();
    rankedEffects.clear();
    rankedEffects.shrink_to_fit();
    device.close();
    delete[] poolBlock;
    poolBlock = nullptr;
    if (EngineNotificationDispatcher* dispatcher = EngineNotificationDispatcher::getInstancePtr()) {
      dispatcher->removeListener(&activationListener);
    }
  }
  pthread_mutex_destroy(&mutex);
}

void SoundManager::lock() { pthread_mutex_lock(&mutex); }

void SoundManager::unlock() { pthread_mutex_unlock(&mutex); }

// ---- Resources ----

uint32_t SoundManager::loadSound(const SoundDescriptor& descriptor) {
  {
    ScopedLock guard(ScopedLock::lock(&mutex));
    if (!deviceReady() || names.count(descriptor.name) != 0) return 0;
  }
  // The file is read and its stream opened without the lock; this touches
  // nothing but the new resource.
  SoundResource* resource = new SoundResource(descriptor);
  resource->setReferenceCount(1);

  // The id is chosen and registered under one hold of the lock, so two loaders
  // never take the same id, nor the same name twice.
  ScopedLock guard(ScopedLock::lock(&mutex));
  uint32_t id = 0;
  if (names.count(descriptor.name) == 0) {
    for (uint32_t candidate = lastId + 1, tries = 0; tries < kResourceCount; ++candidate, ++tries) {
      uint32_t slot = candidate & (kResourceCount - 1);
      if (slot != 0 && !resources[slot]) {
        id = slot;
        break;
      }
    }
  }
  if (id == 0) {
    delete resource;
    return 0;
  }
  resources[id] = resource;
  names[descriptor.name] = id;
  lastId = id;
  return id;
}

uint32_t SoundManager::acquireSoundId(const std::string& name) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return 0;
  auto found = names.find(name);
  if (found == names.end() || !resources[found->second]) return 0;
  SoundResource* resource = resources[found->second];
  resource->setReferenceCount(resource->getReferenceCount() + 1);
  return found->second;
}

void SoundManager::releaseSound(uint32_t id) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || id == 0 || id >= kResourceCount || !resources[id]) return;
  SoundResource* resource = resources[id];
  resource->setReferenceCount(resource->getReferenceCount() - 1);
  if (resource->getReferenceCount() < 1) unloadSound(id);
}

void SoundManager::unloadSound(uint32_t id) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || id == 0 || id >= kResourceCount || !resources[id]) return;
  SoundResource* resource = resources[id];
  for (uint32_t handle = 1; handle < kChannelCount; ++handle) {
    if (channels[handle] && channels[handle]->getResource() == resource) freeChannel(handle);
  }
  for (auto it = names.begin(); it != names.end(); ++it) {
    if (it->second == id) {
      names.erase(it);
      break;
    }
  }
  delete resource;
  resources[id] = nullptr;
}

void SoundManager::releaseMusic() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  for (uint32_t id = 1; id < kResourceCount; ++id) {
    if (resources[id] && resources[id]->getGroup() == kSoundGroupMusic) releaseSound(id);
  }
}

// ---- Playing ----

uint32_t SoundManager::playSoundByName(const std::string& name) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return 0;
  uint32_t id = 0;
  auto found = names.find(name);
  if (found != names.end()) {
    id = found->second;
  } else {
    SoundDescriptor descriptor;
    descriptor.name = name;
    id = loadSound(descriptor);
  }
  return playSound(id);
}

uint32_t SoundManager::playSound(uint32_t id) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || id == 0 || id >= kResourceCount || !resources[id]) return 0;
  return createSound(resources[id]);
}

uint32_t SoundManager::createSound(SoundResource* resource) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return 0;
  if (!resource) {
    log("WARNING: SoundManager::createSound Bad sound resource ptr!");
    return 0;
  }
  if (resource->getGroup() == kSoundGroupSounds && !canQueueEffect(resource->getPriority(), resource->getVolume())) {
    log("ERROR: SoundManager::createSound Sound can not be queued");
    return 0;
  }
  uint32_t handle = 0;
  for (uint32_t candidate = lastHandle + 1, tries = 0; tries < kChannelCount; ++candidate, ++tries) {
    uint32_t slot = candidate & (kChannelCount - 1);
    if (slot != 0 && !channels[slot]) {
      handle = slot;
      break;
    }
  }
  if (handle == 0) {
    log("ERROR: SoundManager::createSound Can't play sound");
    return 0;
  }
  Sound* sound = allocateSound(resource);
  channels[handle] = sound;
  sound->play();
  lastHandle = handle;
  queueEffect(sound);
  // The test above weighs the resource's volume, the ranking the sound's own:
  // a loud resource of low priority can pass one and land last in the other,
  // silenced at once. Its caller must not get a handle that looks alive.
  if (resource->getGroup() == kSoundGroupSounds && !isRanked(sound)) {
    freeChannel(handle);
    log("ERROR: SoundManager::createSound Sound can not be queued");
    return 0;
  }
  return handle;
}

Sound* SoundManager::allocateSound(SoundResource* resource) {
  if (firstFree < 0 || freeCount == 0) KR_FATAL("Failed to allocate Sound object on pool");
  int32_t index = firstFree;
  firstFree = poolNext[index];
  --freeCount;
  return new (poolBlock + static_cast<size_t>(index) * sizeof(Sound)) Sound(resource);
}

void SoundManager::freeSound(Sound* sound) {
  if (!sound) return;
  removeFromRanking(sound);
  sound->deleteSource();
  int32_t index = static_cast<int32_t>((reinterpret_cast<unsigned char*>(sound) - poolBlock) / sizeof(Sound));
  sound->~Sound();
  poolNext[index] = firstFree;
  firstFree = index;
  ++freeCount;
}

void SoundManager::freeChannel(uint32_t handle) {
  if (handle >= kChannelCount || !channels[handle]) return;
  freeSound(channels[handle]);
  channels[handle] = nullptr;
}

void SoundManager::stopChannel(uint32_t handle) {
  Sound* sound = channels[handle];
  if (!sound) return;
  sound->stop();
  sound->setStopped(true);
  // A stopped sound gives up its place in the ranking at once, so that the
  // next sound (a movie's sound track after stopAllSounds, for one) is not
  // refused while stopped effects wait for their channels to be reclaimed.
  removeFromRanking(sound);
}

void SoundManager::stopSound(uint32_t handle) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || handle == 0 || handle >= kChannelCount) return;
  stopChannel(handle);
}

void SoundManager::stopAllSounds() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  for (uint32_t handle = 0; handle < kChannelCount; ++handle) stopChannel(handle);
}

void SoundManager::stopGroup(uint32_t group) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  for (uint32_t handle = 0; handle < kChannelCount; ++handle) {
    if (channels[handle] && channels[handle]->getResource() && channels[handle]->getResource()->getGroup() == group) {
      stopChannel(handle);
    }
  }
}

bool SoundManager::isSoundPlaying(uint32_t handle) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || handle == 0 || handle >= kChannelCount || !channels[handle]) return false;
  return channels[handle]->isPlaying();
}

void SoundManager::setSoundVolume(uint32_t handle, float volume) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || handle == 0 || handle >= kChannelCount || !channels[handle]) return;
  channels[handle]->setVolume(volume);
}

// ---- Groups and fades ----

void SoundManager::setSoundGroupVolume(float volume) { setGroupVolume(kSoundGroupSounds, volume); }

void SoundManager::setMusicGroupVolume(float volume) { setGroupVolume(kSoundGroupMusic, volume); }

void SoundManager::setAmbientGroupVolume(float volume) { setGroupVolume(kSoundGroupAmbient, volume); }

void SoundManager::setGroupVolume(uint32_t group, float volume) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  // No channel plays before the device is open: the volume is only kept.
  if (opening && group < kSoundGroupCount) {
    groupVolumes[group] = volume;
    return;
  }
  if (!deviceReady() || group >= kSoundGroupCount) return;
  groupVolumes[group] = volume;
  reapplyVolumes();
}

void SoundManager::reapplyVolumes() {
  for (uint32_t handle = 0; handle < kChannelCount; ++handle) {
    if (channels[handle]) channels[handle]->setVolume(channels[handle]->getVolume());
  }
}

float SoundManager::getGroupVolume(uint32_t group) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return 0.0f;
  if (group >= kSoundGroupCount) return 1.0f;
  return groupVolumes[group];
}

void SoundManager::startGroupFade(uint32_t group, float fadeOut, float hold, float fadeIn) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady() || group >= kSoundGroupCount) return;
  Fade& fade = fades[group];
  fade.group = group;
  fade.elapsed = 0.0f;
  fade.fadeOut = fadeOut;
  fade.hold = hold;
  fade.fadeIn = fadeIn;
  fade.total = fadeOut + hold + fadeIn;
  if (!fade.active) fade.savedVolume = groupVolumes[group];
  fade.active = true;
  updateGroupFade(fade, 0.0f);
}

void SoundManager::startFadeAllGroups(float fadeOut, float hold, float fadeIn) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  for (uint32_t group = 0; group < kSoundGroupCount; ++group) startGroupFade(group, fadeOut, hold, fadeIn);
}

void SoundManager::cancelGroupFades() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  // Fades start only on an open device: none runs while it opens.
  if (opening || !initialised) return;
  for (Fade& fade : fades) {
    if (!fade.active) continue;
    fade.active = false;
    setGroupVolume(fade.group, fade.savedVolume);
  }
}

void SoundManager::updateGroupFade(Fade& fade, float dt) {
  if (!fade.active) return;
  fade.elapsed += dt;
  if (fade.elapsed > fade.total) {
    fade.active = false;
    setGroupVolume(fade.group, fade.savedVolume);
    return;
  }
  float factor = 1.0f;
  const float e = fade.elapsed;
  if (e < fade.fadeOut) {
    factor = 1.0f - e / fade.fadeOut;
  } else if (e < fade.fadeOut + fade.hold) {
    factor = 0.0f;
  } else if (e < fade.total) {
    factor = (e - fade.fadeOut - fade.hold) / fade.fadeIn;
  }
  setGroupVolume(fade.group, fade.savedVolume * factor);
}

void SoundManager::updateFades(float dt) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  for (Fade& fade : fades) updateGroupFade(fade, dt);
}

// ---- Per frame ----

void SoundManager::update() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  applyListenerGain();
  updateChannels();
  TimerManager* timer = TimerManager::getInstancePtr();
  float dt = timer ? timer->getFrameTime() : 0.0f;
  updateFades(dt < 0.1f ? dt : 0.1f);
}

void SoundManager::updateChannels() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!deviceReady()) return;
  for (uint32_t handle = 0; handle < kChannelCount; ++handle) {
    Sound* sound = channels[handle];
    if (!sound) continue;
    if (sound->getAge() > kMinimumAge && !sound->isPlaying()) {
      freeChannel(handle);
      continue;
    }
    sound->update();
    if (sound->getAge() < 10) sound->setAge(sound->getAge() + 1);
  }
}

void SoundManager::applyListenerGain() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  // An opening device gets the gain when it is adopted.
  if (opening || !initialised) return;
  alListenerf(AL_GAIN, applicationActive ? 1.0f : 0.0f);
  KR_AL_OK();
}

void SoundManager::setApplicationActive(bool active) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (applicationActive == active) return;
  applicationActive = active;
  if (opening || !initialised) return;
  // Volumes set while inactive were silenced; give every channel its own back.
  reapplyVolumes();
  applyListenerGain();
}

// ---- Ranking of plain effects ----

bool SoundManager::canQueueEffect(uint32_t priority, float volume) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (rankedEffects.size() < kRankedEffects) return true;
  Sound* last = rankedEffects.back();
  float lastScore = static_cast<float>(last->getResource()->getPriority()) * last->getVolume();
  return static_cast<float>(priority) * volume > lastScore;
}

bool SoundManager::isRanked(const Sound* sound) const {
  return std::find(rankedEffects.begin(), rankedEffects.end(), sound) != rankedEffects.end();
}

void SoundManager::removeFromRanking(Sound* sound) {
  auto found = std::find(rankedEffects.begin(), rankedEffects.end(), sound);
  if (found != rankedEffects.end()) rankedEffects.erase(found);
}

void SoundManager::queueEffect(Sound* sound) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  if (!sound || !sound->getResource() || sound->getResource()->getGroup() != kSoundGroupSounds) return;
  removeFromRanking(sound);
  rankedEffects.push_back(sound);
  auto score = [](const Sound* s) { return static_cast<float>(s->getResource()->getPriority()) * s->getVolume(); };
  std::stable_sort(rankedEffects.begin(), rankedEffects.end(),
                   [&](const Sound* a, const Sound* b) { return score(a) > score(b); });
  while (rankedEffects.size() > kRankedEffects) {
    Sound* last = rankedEffects.back();
    rankedEffects.pop_back();
    // Silenced and stopped now; its channel is reclaimed by a later update.
    last->setVolume(0.0f);
    last->deleteSource();
  }
  rankEffectVolumes();
}

void SoundManager::rankEffectVolumes() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  for (size_t rank = 0; rank < rankedEffects.size(); ++rank) {
    rankedEffects[rank]->setVolume(static_cast<float>(5 - rank) / 5.0f);
  }
}

// ---- Access ----

SoundResource* SoundManager::getResource(uint32_t id) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  return id < kResourceCount ? resources[id] : nullptr;
}

Sound* SoundManager::getSound(uint32_t handle) {
  ScopedLock guard(ScopedLock::lock(&mutex));
  return handle < kChannelCount ? channels[handle] : nullptr;
}

std::vector<Sound*> SoundManager::getRankedEffects() {
  ScopedLock guard(ScopedLock::lock(&mutex));
  return rankedEffects;
}

}  // namespace KR
