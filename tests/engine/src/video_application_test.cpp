// The video player inside the engine's own frame: start-up makes the streamer
// (with its thread) and the player, a queued movie takes over the tick and the
// frame while the streamer's thread decodes it on its clock, the clock stops
// while the application is inactive, and the application gets its frame back
// when the movie ends.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "application.h"
#include "file_system.h"
#include "support/test_support.h"
#include "theora_writer.h"
#include "video_player.h"
#include "video_surface.h"
#include "video_surface_streamer.h"

namespace {

void useVideoContent() {
  const std::string folder = KR::Test::scratchDir("video-app");
  KR::Test::writeFile(folder + "/config.lua",
                      "config = { platforms = { { name = 'pc', directories = { 'data' }, resolution = { 640, 480 } } },"
                      " currentPlatform = 'pc', currentLanguage = 'en' }\n");
  KR::Test::writeStartupContent(folder);
  // A second package list beside the start-up one.
  KR::Test::writeFile(folder + "/filelist.lua",
                      "directories = { data = { { '/startup_files.lua' }, { '/video_files.lua' } } }\n");
  KR::Test::writeFile(folder + "/video_files.lua",
                      "name = 'default'\nfilelist = {\n"
                      "  { name = 'clip_ogv', filename = '/clip.ogv' },\n"
                      "  { name = 'movie_xml', filename = '/movie.xml' },\n}\n");
  KR::Tools::TheoraClipSpec spec;
  spec.frames = 10;  // 0.4 s at 25 frames a second
  KR::Test::writeFile(folder + "/clip.ogv", KR::Tools::encodeTheora(spec));
  KR::Test::writeFile(folder + "/movie.xml",
                      "<?xml version=\"1.0\"?>\n<root><Movie><VideoFilename v=\"clip_ogv\"/></Movie></root>\n");
  KR::FileSystem::setContentFolder(folder + "/");
}

class CountingApplication : public Application {
 public:
  void update() override { ++updates; }
  void render() override { ++renders; }
  int updates = 0;
  int renders = 0;
};

// Waits for the decoding thread; the limit only ends a hang, so a busy
// machine never fails it.
template <typename Condition>
bool waitFor(Condition condition, int milliseconds = 120000) {
  for (int waited = 0; waited < milliseconds; waited += 5) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

TEST(VideoInTheApplication, AMovieTakesTheFrameUntilItEnds) {
  useVideoContent();
  KR::Test::LogCapture logs;
  CountingApplication app;
  ASSERT_NE(app.videoSurfaceStreamer, nullptr);
  ASSERT_NE(app.videoPlayer, nullptr);
  EXPECT_TRUE(app.videoSurfaceStreamer->isThreadStarted());
  EXPECT_TRUE(logs.contains("Init VideoSurfaceStreame..."));
  EXPECT_TRUE(logs.contains("Init VideoPlayer..."));

  app.tick();
  app.paint();
  EXPECT_EQ(app.updates, 1);
  EXPECT_EQ(app.renders, 1);

  ASSERT_EQ(app.videoPlayer->playMovie("movie_xml"), 0);
  app.tick();  // the player starts the movie; the application is not updated
  app.paint();
  EXPECT_EQ(app.updates, 1);
  EXPECT_EQ(app.renders, 1);
  KR::VideoSurface* surface = app.videoPlayer->getSlot(0).surface;
  ASSERT_NE(surface, nullptr);

  // The thread decodes on the surface's clock; the frame uploads.
  ASSERT_TRUE(waitFor([&] {
    app.tick();
    app.paint();
    return surface->getFramesDecoded() >= 3;
  }));

  // Inactive: the thread stops the clock, and time stands still.
  app.deactivate();
  ASSERT_TRUE(waitFor([&] { return !surface->isClockRunning(); }));
  const float stoppedAt = surface->getPlayingTime();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(surface->getPlayingTime(), stoppedAt);
  app.tick();
  EXPECT_EQ(app.videoPlayer->getQueuedCount(), 1u);

  // Active again: the movie plays on to its end and gives the frame back.
  app.activate();
  ASSERT_TRUE(waitFor([&] {
    app.tick();
    app.paint();
    return app.videoPlayer->getQueuedCount() == 0;
  }));
  EXPECT_EQ(app.videoSurfaceStreamer->getSurfaceCount(), 0u);
  app.tick();
  app.paint();
  EXPECT_GE(app.updates, 2);
  EXPECT_GE(app.renders, 2);
  app.shutdownEngine();
  EXPECT_FALSE(KR::VideoPlayer::exists());
  EXPECT_FALSE(KR::VideoSurfaceStreamer::exists());
}

}  // namespace
