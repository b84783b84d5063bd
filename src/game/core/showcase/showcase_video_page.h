#pragma once
// Showcase page of the video player: the intro movie "movie_intro_xml" with
// its sound track, subtitles and SKIP label (click it to end the movie). The
// movie starts when the page is first shown; Enter queues it again, and each
// further Enter while on the page adds one more (up to the player's eight).
// The movie's clock stops while the window is inactive.
#include <string>

#include "core/showcase/showcase.h"
#include "font_preset.h"

namespace HOG {

class VideoShowcasePage : public ShowcasePage {
 public:
  static constexpr const char* kMovie = "movie_intro_xml";

  ~VideoShowcasePage() override;
  std::string title() const override { return "video: intro movie, sound track, subtitles, SKIP; Enter plays it"; }
  void update(float dt) override;
  void render(GameApplication& application) override;

  // Queues the movie; the player's result (0 queued, 1 refused).
  int play();
  int getPlayCount() const { return plays; }

 private:
  KR::FontPreset text;
  bool textLoaded = false;
  bool started = false;
  int plays = 0;
  int lastResult = -1;
};

}  // namespace HOG
