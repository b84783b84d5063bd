// The demo's intro movie over the built media: the showcase page queues it,
// the player opens its 640 x 480 picture on the card's colour path, loads its
// sound track, subtitles and label, draws a frame of it, and takes it out of
// the queue when the picture ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "core/showcase_video_page.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "input_manager_win_mac.h"
#include "render_system_dx8.h"
#include "sound_system/sound_manager.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "vertex_format.h"
#include "video_player.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

class VideoPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = KR::FileSystem::getContentFolder();
    KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
    allocators.init();
    files = std::make_unique<KR::FileSystem>();
    config = std::make_unique<KR::ConfigManager>();
    files->loadFilesLocationInfo();
    // The game draws in its own vertex format, which the video programs expect.
    config->vertexFormatFlags = KR::kVertexFormatGame;
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    textures = std::make_unique<KR::TextureManager>();
    renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = KR::RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = KR::RenderSystem::getDesignHeight();
    renderSystem->initDevice();
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
    fonts = std::make_unique<KR::UIFontManager>();
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
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    textures->destroyDiscardedTextures();
    textures.reset();
    renderSystem.reset();
    texts.reset();
    config.reset();
    files.reset();
    KR::FileSystem::setContentFolder(previous);
  }

  KR::Test::LogCapture log;
  std::string previous;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::TextManager> texts;
  std::unique_ptr<KR::TextureManager> textures;
  std::unique_ptr<KR::RenderSystem> renderSystem;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
  std::unique_ptr<KR::UIFontManager> fonts;
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
