// The one profile's options file (a round trip, a damaged file refused with
// its log line, the intro asked for only by a new file) and the event sounds
// read from their configuration (types out of range ignored, the later entry
// of a type winning).
#include <gtest/gtest.h>
#include <unistd.h>

#include "../showcase_test_support.h"
#include "core/game_state/event_sound_player.h"
#include "core/main_menu_state/profile_system.h"
#include "platform/safe_file.h"
#include "sound_system/sound_manager.h"

TEST(ProfileOptions, RoundTripDamageAndTheIntroOfANewProfile) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile") + "/";
  {
    HOG::ProfileSystem profiles(folder);
    HOG::PlayerProfile* profile = profiles.getCurrentProfile();
    EXPECT_EQ(profile->playIntro, 1);
    profile->playIntro = 0;
    profile->systemCursor = 1;
    profile->musicVolume = 0.25f;
    profile->notebookButton = 0;
    ASSERT_TRUE(profiles.saveProfileOptions(0));
    EXPECT_FALSE(KR::Platform::fileExists(profiles.getOptionsPath(0) + ".tmp"));
  }
  {
    HOG::ProfileSystem profiles(folder);
    const HOG::PlayerProfile* profile = profiles.getCurrentProfile();
    EXPECT_EQ(profile->playIntro, 0);
    EXPECT_EQ(profile->systemCursor, 1);
    EXPECT_FLOAT_EQ(profile->musicVolume, 0.25f);
    EXPECT_EQ(profile->notebookButton, 0u);
    EXPECT_EQ(profile->saveNumber, 0u);
  }
  // One flipped byte: refused, defaults kept, and no intro for an old player.
  std::string bytes;
  ASSERT_TRUE(KR::Platform::readWholeFile(folder + "options0.dat", &bytes));
  ASSERT_EQ(bytes.size(), HOG::ProfileSystem::kOptionsSize);
  bytes[23] ^= 1;
  KR::Test::writeFile(folder + "options0.dat", bytes);
  HOG::ProfileSystem damaged(folder);
  EXPECT_TRUE(log.contains("ERROR: Options file '" + folder + "options0.dat' is damaged"));
  EXPECT_EQ(damaged.getCurrentProfile()->systemCursor, 0);
  EXPECT_EQ(damaged.getCurrentProfile()->playIntro, 0);
  // A file longer than the format is refused before it is read.
  ASSERT_EQ(truncate((folder + "options0.dat").c_str(), off_t(1) << 20), 0);
  HOG::ProfileSystem huge(folder);
  EXPECT_TRUE(log.contains("ERROR: Options file '" + folder + "options0.dat' is damaged: it is larger than 48 bytes"));
  // A short file is refused as well.
  HOG::PlayerProfile read;
  EXPECT_FALSE(HOG::ProfileSystem::decodeOptions(bytes.substr(0, 20), &read));
}

namespace {

class EventSoundsTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    sounds = std::make_unique<KR::SoundManager>();
  }
  void TearDown() override {
    sounds.reset();
    ShowcaseTest::TearDown();
  }
  std::unique_ptr<KR::SoundManager> sounds;
};

}  // namespace

TEST_F(EventSoundsTest, ConfiguredTypesGetTheirSoundsAndOthersNone) {
  ASSERT_TRUE(sounds->isInitialised());
  HOG::EventSoundPlayer player;
  for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 10}) EXPECT_NE(player.getSoundId(type), 0u) << type;
  for (int type : {0, 9, 11, -1}) EXPECT_EQ(player.getSoundId(type), 0u) << type;

  // Out-of-range types are skipped; the later entry of a type wins.
  const std::string xml =
      "<root><EventSoundPlayer><Sounds>"
      "<v0><eventType v='11'/><filename v='event_found'/></v0>"
      "<v1><eventType v='-1'/><filename v='event_found'/></v1>"
      "<v2><eventType v='9'/><filename v='event_found'/></v2>"
      "<v3><eventType v='9'/><filename v='event_missed'/></v3>"
      "<v4><eventType v='0'/><filename v=''/></v4>"
      "</Sounds></EventSoundPlayer></root>";
  const std::string folder = KR::Test::scratchDir("event-sounds");
  KR::Test::writeFile(folder + "/sounds.xml", xml);
  KR::Test::writeFile(folder + "/list.lua",
                      "name = 'default'\nfilelist = { { name = 'test_sounds_xml', filename = '/sounds.xml' } }\n");
  // The loose reader reads from the content folder; the packed one keeps its archive.
  KR::FileSystem::setContentFolder(folder + "/");
  KR::Test::writeFile(folder + "/filelist.lua", "directories = { test = { { '/list.lua' } } }\n");
  files->loadDirectoryFileLists("test");
  player.load("default", "test_sounds_xml");
  EXPECT_EQ(player.getSoundId(9), sounds->acquireSoundId("event_missed"));
  sounds->releaseSound(player.getSoundId(9));
  EXPECT_EQ(player.getSoundId(0), 0u);
  player.playEvent(HOG::SoundEventType::Unused9);
  player.playEvent(HOG::SoundEventType::NotebookPageTurned);
}
