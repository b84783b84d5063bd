#pragma once
// The background music of play: tracks from "music_player_config_xml" played
// one after another in random order (never the same one twice in a row when
// there are two or more), each loaded on the view streamer's thread on first
// use and kept while it plays.
//
// Each background load has its own request record. The streamer's thread only
// loads the sound and marks the record done; the main thread's update plays it
// under the player's lock, so the player's and the streamer's locks are never
// held in opposite orders. A load cancelled by stop gives its sound reference
// back when it completes. Every field is guarded by the player's recursive
// lock; the sound manager's lock comes after it.
#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "core/game_state/game_components.h"

namespace HOG {

class ViewStreamer;

class MusicPlayer : public IGameComponent {
 public:
  static constexpr uint32_t kMaxTracks = 16;

  struct Track {
    char fileName[64] = {};
    uint32_t playing = 0;
    uint32_t soundId = 0;
    uint32_t channel = 0;
  };
  struct LoadRequest {
    uint32_t track = 0;
    char fileName[64] = {};
    std::atomic<uint32_t> soundId{0};
    std::atomic<bool> done{false};
    bool cancelled = false;  // player's lock
  };

  MusicPlayer();
  ~MusicPlayer() override;

  void setStreamer(ViewStreamer* s) { streamer = s; }
  // 0 read, 1 not (already read, missing file or element).
  int32_t loadConfig();
  // Reads the configuration under the reader's cursor (the fuzz target and tests).
  void start() override;
  void stop() override;
  // Completes finished loads, then the periodic end-of-track check.
  void update(float dt) override;
  void playTrack(uint32_t index);

  bool isStarted() const { return started; }
  int32_t getActiveTrack() const { return activeTrack; }
  int32_t getCurrentTrack() const { return currentTrack; }
  uint32_t getTrackCount() const { return trackCount; }
  bool isLoading() const { return pending != nullptr; }
  const Track& getTrack(uint32_t i) const { return tracks[i]; }
  float checkPeriod = 2.0f;

 private:
  void chooseTrack();
  void startLoad(uint32_t index);
  void completeLoad();
  void releaseTrack(Track& track);
  static void loadSoundResource(void* request);
  static void loadCompleted(void*) {}

  bool loaded = false;
  ViewStreamer* streamer = nullptr;
  Track tracks[kMaxTracks];
  uint32_t trackCount = 0;
  int32_t currentTrack = -1;
  int32_t activeTrack = -1;
  float checkTimer = 0.0f;
  LoadRequest* pending = nullptr;
  int32_t loadId = -1;
  bool started = false;
  pthread_mutex_t lock;
};

}  // namespace HOG
