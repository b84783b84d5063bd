// The sound manager inside the application: made at start-up after the
// configuration, updated by the tick, muted while the application is
// inactive and deleted at shutdown.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <string>

#include "application.h"
#include "file_system.h"
#include "sound_system/sound_manager.h"
#include "support/test_support.h"

namespace {

size_t indexOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return lines.size();
}

TEST(ApplicationSound, TheSoundManagerLivesWithTheEngineAndFollowsActivation) {
  std::string folder = KR::Test::scratchDir("app-sound");
  KR::Test::writeFile(folder + "/config.lua",
                      "config = { platforms = { { name = \"pc\", directories = { \"data\" }, "
                      "resolution = { 800, 600 } } }, currentPlatform = \"pc\" }\n");
  KR::Test::writeStartupContent(folder);
  const std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(folder + "/");
  KR::Test::LogCapture log;
  {
    Application app;
    ASSERT_TRUE(KR::SoundManager::exists());
    KR::SoundManager* sound = app.soundManager;
    EXPECT_EQ(sound, KR::SoundManager::getInstance());
    ASSERT_TRUE(sound->isInitialised());
    std::vector<std::string> lines = log.lines();
    size_t config = indexOf(lines, "Init ConfigManager...");
    size_t made = indexOf(lines, "Init SoundManager...");
    size_t particles = indexOf(lines, "Init ParticleSystem...");
    EXPECT_LT(config, made);
    EXPECT_LT(made, indexOf(lines, "Creating AL Device..."));
    EXPECT_LT(made, particles);
    EXPECT_LT(particles, lines.size());

    // Muted, not paused, while inactive; the gain comes back on activation.
    ALfloat gain = -1.0f;
    app.deactivate();
    EXPECT_FALSE(sound->isApplicationActive());
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.0f);
    app.activate();
    EXPECT_TRUE(sound->isApplicationActive());
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 1.0f);

    // The tick runs the sound update: a stopped channel is reclaimed.
    uint32_t handle = sound->playSoundByName("no_such_sound");
    ASSERT_NE(handle, 0u);
    sound->stopSound(handle);
    for (int i = 0; i < 8; ++i) app.tick();
    EXPECT_EQ(sound->getSound(handle), nullptr);

    app.shutdownEngine();
    EXPECT_FALSE(KR::SoundManager::exists());
    EXPECT_EQ(app.soundManager, nullptr);
  }
  KR::FileSystem::setContentFolder(previous);
}

}  // namespace
