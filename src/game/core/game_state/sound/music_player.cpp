#include "core/game_state/sound/music_player.h"

#include "core/game_state/views/view_description.h"
#include "core/game_state/views/view_streamer.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "scoped_lock.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/sound_manager.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
KR::SoundManager* sounds() { return KR::SoundManager::exists() ? KR::SoundManager::getInstance() : nullptr; }
}  // namespace

MusicPlayer::MusicPlayer() { KR::initRecursiveMutex(&lock); }

MusicPlayer::~MusicPlayer() {
  {
    KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
    for (uint32_t i = 0; i < trackCount; ++i) releaseTrack(tracks[i]);
    // The streamer's thread has ended before the player goes (the play
    // state's teardown), so a pending record is no longer read.
    if (pending) {
      if (pending->done && pending->soundId && sounds()) sounds()->releaseSound(pending->soundId);
      delete pending;
      pending = nullptr;
    }
  }
  pthread_mutex_destroy(&lock);
}

int32_t MusicPlayer::loadConfig() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (loaded) return 1;
  KR::XmlDataReader reader;
  if (!reader.open("default", "music_player_config_xml") || !reader.enterChild("MusicPlayerConfig")) return 1;
  if (!reader.readFloat("CheckPeriod", &checkPeriod)) checkPeriod = 1.0f;
  if (!reader.enterChild("TrackList")) return 1;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd() && trackCount < kMaxTracks; it.next()) {
    std::string name;
    reader.readString("filename", &name);
    copyName(tracks[trackCount++].fileName, name);
  }
  loaded = true;
  return 0;
}

void MusicPlayer::releaseTrack(Track& track) {
  if (KR::SoundManager* manager = sounds()) {
    if (track.channel) manager->stopSound(track.channel);
    if (track.soundId) manager->releaseSound(track.soundId);
  }
  track.channel = 0;
  track.soundId = 0;
  track.playing = 0;
}

void MusicPlayer::chooseTrack() {
  if (trackCount == 0) return;
  int32_t c = currentTrack;
  while (c < 0 || (c == currentTrack && trackCount >= 2)) c = KR::sharedRandom() % int32_t(trackCount);
  if (tracks[c].soundId == 0)
    startLoad(uint32_t(c));
  else
    playTrack(uint32_t(c));
}

void MusicPlayer::playTrack(uint32_t index) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (index >= trackCount) return;
  Track& track = tracks[index];
  if (KR::SoundManager* manager = sounds()) track.channel = manager->playSound(track.soundId);
  track.playing = 1;
  KR::log("MusicPlayer::playTrack(...), play track: %s", track.fileName);
  currentTrack = activeTrack = int32_t(index);
}

void MusicPlayer::startLoad(uint32_t index) {
  if (pending || !streamer || index >= trackCount) return;
  pending = new LoadRequest();
  pending->track = index;
  copyName(pending->fileName, tracks[index].fileName);
  StreamerRequest job;
  job.load = &MusicPlayer::loadSoundResource;
  job.complete = &MusicPlayer::loadCompleted;
  job.data = pending;
  // The streamer's request lock comes after the player's; the streamer
  // never takes the player's lock.
  loadId = streamer->addRequest(job);
}

void MusicPlayer::loadSoundResource(void* data) {
  LoadRequest* request = static_cast<LoadRequest*>(data);
  uint32_t id = 0;
  if (KR::SoundManager* manager = sounds()) {
    id = manager->acquireSoundId(request->fileName);
    if (!id) {
      KR::SoundDescriptor descriptor;
      descriptor.name = request->fileName;
      descriptor.group = 1;
      descriptor.volume = 1.0f;
      id = manager->loadSound(descriptor);
      KR::log("MusicPlayer::loadSoundResource(void* data), %s", request->fileName);
    }
  }
  request->soundId = id;
  request->done = true;
}

void MusicPlayer::completeLoad() {
  LoadRequest* request = pending;
  pending = nullptr;
  if (request->cancelled) {
    // Stopped while loading: the reference the load took goes back.
    if (request->soundId && sounds()) sounds()->releaseSound(request->soundId);
  } else if (request->track < trackCount) {
    tracks[request->track].soundId = request->soundId;
    playTrack(request->track);
  }
  delete request;
  if (started && activeTrack < 0 && !pending) chooseTrack();
}

void MusicPlayer::start() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  started = true;
  if (!pending && activeTrack < 0) chooseTrack();
}

void MusicPlayer::stop() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  started = false;
  if (pending) {
    pending->cancelled = true;
    activeTrack = -1;
  } else if (activeTrack >= 0) {
    releaseTrack(tracks[activeTrack]);
    activeTrack = -1;
  }
}

void MusicPlayer::update(float dt) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (pending && pending->done) completeLoad();
  if (pending) return;
  checkTimer += dt;
  if (checkTimer < checkPeriod) return;
  checkTimer = 0.0f;
  if (activeTrack >= 0 && uint32_t(activeTrack) < trackCount) {
    Track& track = tracks[activeTrack];
    if (!sounds() || !sounds()->isSoundPlaying(track.channel)) {
      releaseTrack(track);
      activeTrack = -1;
      chooseTrack();
    }
  }
}

}  // namespace HOG
