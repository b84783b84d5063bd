#pragma once
// Full-screen movies, one after the other from a queue of up to eight, each
// with an optional sound track, subtitles and a "SKIP" label in the top-right
// corner; a click anywhere or a release of Escape ends the movie. While a movie is queued the
// engine's tick updates the player and its frame renders the player instead
// of the application.
//
//   KR::VideoPlayer::getInstance()->playMovie("movie_intro_xml");  // 0 queued, 1 refused
//
// The movie description (XML data file, package "default"):
//   <root><Movie>
//     <VideoFilename v="movie_intro_ogv"/>
//     <SoundTrackFilename v="movie_intro_sound"/>
//     <fontPresetFile v="video_presets_lua"/><fontPresetTable v="skip"/>
//     <FontProperties>...</FontProperties><Subtitles>...</Subtitles>   (see subtitles.h)
//   </Movie></root>
#include <pthread.h>

#include <cstdint>
#include <string>

#include "color.h"
#include "font_preset.h"
#include "singleton.h"
#include "subtitles.h"
#include "vector2.h"

namespace KR {

class VideoSurface;

struct MovieSlot {
  char videoFileName[64] = {};
  char soundTrackFileName[64] = {};
  Subtitles subtitles;
  VideoSurface* surface = nullptr;
  uint32_t soundId = 0;
  uint32_t channel = 0;
  FontPreset labelPreset;
  const std::wstring* labelText = nullptr;
  Vector2<float> labelPosition;
  float labelWidth = 0.0f;
  float labelHeight = 0.0f;
  Vector2<float> videoSize;
};

class VideoPlayer : public Singleton<VideoPlayer> {
 public:
  static constexpr uint32_t kMaxMovies = 8;
  static constexpr float kLabelMargin = 64.0f;

  VideoPlayer();
  // Stops every queued movie and empties the queue.
  ~VideoPlayer() override;

  // Reads the description (package "default") and queues the movie.
  // 0 queued; 1 when the queue is full, the description is missing, has no
  // "Movie" element or names no video.
  int playMovie(const std::string& descriptionName);
  // Once a tick, first thing: the skip label, starting the next movie,
  // layout, and removing a movie that finished or never opened.
  void update();
  // The frame while a movie is queued: surface, subtitles, skip label.
  void render();
  // Ends the playing movie.
  void skipCurrent();

  uint32_t getQueuedCount();
  int32_t getPlayingIndex() const { return playingIndex; }
  // The queue (tests, diagnostics); slot 0 plays first.
  MovieSlot& getSlot(uint32_t index) { return slots[index]; }
  Color getLabelColor() const { return labelColor; }
  bool isCursorOverLabel() const { return cursorOverLabel != 0; }

  // Drawing steps of render, without the frame around them (tests).
  void drawPlaying();

 private:
  void startSlot(MovieSlot& slot);
  void stopSlot(MovieSlot& slot);
  void removePlaying();
  void layoutSlot(MovieSlot& slot);
  void placeLabel(MovieSlot& slot);
  void updateSkipLabel(MovieSlot& slot);
  void drawLabel(MovieSlot& slot);

  MovieSlot slots[kMaxMovies];
  uint32_t queuedCount = 0;
  int32_t playingIndex = -1;
  pthread_mutex_t lock;
  Color labelColor;
  uint8_t cursorOverLabel = 0;
};

}  // namespace KR
