// The demo's intro movie over the built media: the showcase page queues it,
// the player opens its 640 x 480 picture on the card's colour path, loads its
// sound track, subtitles and label, draws a frame of it, and takes it out of
// the queue when the picture ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/showcase/showcase_video_page.h"
#include "input_manager_win_mac.h"
#include "showcase_test_support.h"
#include "sound_system/sound_manager.h"
#include "vertex_format.h"
#include "video_player.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

class VideoPageTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    // The game draws in its own vertex format, which the video programs expect.
    config->vertexFormatFlags = KR::kVertexFormatGame;
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    openDevice();
    openSpritesAndFonts();
    sound = std::make_unique<KR::SoundManager>();
    input = std::make_unique<KR::InputManager>(nullptr);
    streamer = std::make_unique<KR::VideoSurfaceStreamer>(false);
    player = std::make_unique<KR::VideoPlayer>();
  }
  void TearDown() override {
    player.reset();
    streamer.reset();
    input.reset();
    sound.reset();
    ShowcaseTest::TearDown();
  }

  std::unique_ptr<KR::SoundManager> sound;
  std::unique_ptr<KR::InputManager> input;
  std::unique_ptr<KR::VideoSurfaceStreamer> streamer;
  std::unique_ptr<KR::VideoPlayer> player;
};

TEST_F(VideoPageTest, TheIntroMoviePlaysToItsEnd) {
  {
    HOG::VideoShowcasePage page;
    page.update(0.1f);  // the first visit queues the movie
    EXPECT_EQ(page.getPlayCount(), 1);
  }
  ASSERT_EQ(player->getQueuedCount(), 1u);
  player->update();
  KR::MovieSlot& slot = player->getSlot(0);
  ASSERT_NE(slot.surface, nullptr);
  EXPECT_TRUE(slot.surface->usesShaderPath());
  EXPECT_EQ(slot.videoSize.x, 640.0f);
  EXPECT_EQ(slot.videoSize.y, 480.0f);
  EXPECT_NE(slot.soundId, 0u);
  EXPECT_NE(slot.channel, 0u);
  EXPECT_TRUE(sound->isSoundPlaying(slot.channel));
  ASSERT_EQ(slot.subtitles.entries.size(), 2u);
  EXPECT_TRUE(slot.subtitles.presetLoaded);
  EXPECT_EQ(*slot.subtitles.entries[0].text, L"Far in the north, the fog never lifts from Quellmoor.");
  EXPECT_EQ(*slot.labelText, L"Skip");
  EXPECT_GT(slot.labelWidth, 0.0f);
  EXPECT_GT(slot.labelHeight, 0.0f);

  // One frame at 1 s: picture, first subtitle line and label are drawn.
  slot.surface->decodeStep(1.0f);
  renderSystem->checkDeviceLost();
  renderSystem->renderFrame();
  streamer->uploadFrames();
  renderSystem->checkDeviceLost();
  player->drawPlaying();
  EXPECT_FLOAT_EQ(slot.subtitles.time, 1.0f);
  EXPECT_TRUE(slot.subtitles.entries[0].laidOut);
  EXPECT_FALSE(slot.subtitles.entries[1].laidOut);
  renderSystem->renderFrame();

  // Six seconds of picture, then the end of the file.
  for (int i = 0; i < 400 && !slot.surface->isFinished(); ++i) {
    slot.surface->decodeStep(10.0f);
    streamer->uploadFrames();
  }
  EXPECT_EQ(slot.surface->getFramesDecoded(), 144u);
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 0u);
  EXPECT_EQ(streamer->getSurfaceCount(), 0u);
  EXPECT_EQ(fonts->getFontCount(), 0u);
}

}  // namespace
