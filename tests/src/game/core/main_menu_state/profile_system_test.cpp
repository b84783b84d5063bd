// The profile store: the bytes of both files (odd and even name lengths, a
// name beyond 0xFFFF, bytes above 0x7F in the checksums, ids after
// deletions), the first real profile replacing "Player", the ten-profile
// limit, ids that never take another's files (files of unknown owners, the
// top of the range), damaged files and things that are no files (a folder, a
// pipe, a device link) refused whole and set aside, a folder at a temporary
// file's name, names cut where they are read, the options laid over the
// defaults, the volume mapping, and a saving child killed at random moments
// leaving a list that loads. Then the event sounds read from their
// configuration (types out of range ignored, the later entry of a type
// winning).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "../showcase_test_support.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/main_menu_state/profile_system.h"
#include "platform/safe_file.h"
#include "sound_system/sound_manager.h"

namespace {

std::string bytes(std::initializer_list<uint8_t> list) { return std::string(list.begin(), list.end()); }

std::string readFile(const std::string& path) {
  std::string data;
  KR::Platform::readWholeFile(path, &data);
  return data;
}

}  // namespace

TEST(ProfileStore, ListAndOptionsFilesHoldTheirExactBytes) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile-bytes") + "/";
  HOG::ProfileSystem profiles(folder);
  // "Player" alone is never written: nor its options, which would be nobody's.
  EXPECT_FALSE(profiles.saveProfileList());
  EXPECT_FALSE(profiles.saveProfileOptions(0));
  EXPECT_FALSE(KR::Platform::fileExists(folder + "profilelist.dat"));
  EXPECT_FALSE(KR::Platform::fileExists(folder + "profile0.opt"));

  ASSERT_TRUE(profiles.createProfile(L"Ann"));
  ASSERT_EQ(profiles.getProfileCount(), 1u);
  EXPECT_EQ(profiles.getCurrentProfile()->id, 0);
  EXPECT_TRUE(profiles.getCurrentProfile()->persistent);
  ASSERT_TRUE(profiles.createProfile(L"Bo"));
  ASSERT_TRUE(profiles.createProfile(L"Cy"));
  EXPECT_FALSE(profiles.createProfile(L"Bo"));  // a persistent name is taken
  profiles.deleteProfile(1);
  // Ids are not reused below the highest: 0 and 2 are left, the next is 3.
  ASSERT_TRUE(profiles.createProfile(std::wstring(L"\u00E9") + wchar_t(0x1F600)));
  EXPECT_EQ(profiles.getCurrentProfile()->id, 3);
  profiles.getProfiles()[0]->gameBegin = 0;
  profiles.getProfiles()[0]->reserved = 0;
  ASSERT_TRUE(profiles.saveProfileList());
  EXPECT_EQ(readFile(folder + "profilelist.dat"),
            bytes({0x53, 0x00, 0x00, 0x00, 0xDF, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03,
                   0x00, 0x00, 0x00, 0x41, 0x00, 0x6E, 0x00, 0x6E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x43, 0x00, 0x79, 0x00, 0x02, 0x00, 0x00,
                   0x00, 0x01, 0x00, 0x00, 0x00, 0xAD, 0xDE, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xE9, 0x00, 0x3D, 0xD8,
                   0x00, 0xDE, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xAD, 0xDE, 0x00, 0x00}));

  HOG::PlayerOptions& options = profiles.getCurrentProfile()->options;
  options.fullScreen = 0;
  options.musicVolume = 0.25f;
  options.difficulty = 1;
  options.systemCursor = 1;
  options.amuletsButtonEnabled = 1;
  options.locationsMapButtonEnabled = 0;
  options.notebookButtonEnabled = 0;
  options.firstHintPending = 0;
  options.gameCompleted = 1;
  ASSERT_TRUE(profiles.saveProfileOptions(2));
  EXPECT_EQ(readFile(folder + "profile3.opt"),
            bytes({0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0x80,
                   0x3F, 0x00, 0x00, 0x40, 0x3F, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));

  // A new profile's HUD buttons start available: the amulets, map and notebook words are 1.
  EXPECT_EQ(HOG::PlayerOptions().encode().substr(20, 12), bytes({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));

  // Read back: names (surrogates joined, padding dropped), ids, flags, the current profile and its options.
  HOG::ProfileSystem again(folder);
  ASSERT_TRUE(again.loadProfileList());
  ASSERT_EQ(again.getProfileCount(), 3u);
  EXPECT_EQ(again.getProfiles()[0]->name, L"Ann");
  EXPECT_EQ(again.getProfiles()[2]->name, profiles.getProfiles()[2]->name);
  EXPECT_EQ(again.getProfiles()[1]->id, 2);
  EXPECT_EQ(again.getProfiles()[0]->gameBegin, 0u);
  EXPECT_EQ(again.getCurrentIndex(), 2);
  again.readOptionsOf(2);
  EXPECT_EQ(again.getCurrentProfile()->options.encode(), options.encode());
  EXPECT_FALSE(again.loadFailed);

  // Choosing a line beyond the list keeps the current profile.
  again.selectProfile(3);
  EXPECT_EQ(again.getCurrentIndex(), 2);
  // Deleting the current last profile moves the index up and takes its files.
  again.deleteProfile(2);
  EXPECT_EQ(again.getCurrentIndex(), 1);
  EXPECT_FALSE(KR::Platform::fileExists(folder + "profile3.opt"));
  // Deleting a line before the current one keeps the same player current, not the one after it.
  ASSERT_TRUE(again.createProfile(L"Di"));
  again.setCurrentIndex(1);
  again.deleteProfile(0);
  EXPECT_EQ(again.getCurrentProfile()->name, L"Cy");
  again.deleteProfile(1);
  again.deleteProfile(0);  // the last persistent profile stays
  EXPECT_EQ(again.getProfileCount(), 1u);
  EXPECT_EQ(again.getCurrentIndex(), 0);
}

TEST(ProfileStore, DamagedListsAndOptionsAreRefusedWholeAndSetAside) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile-damage") + "/";
  HOG::ProfileSystem writer(folder);
  writer.createProfile(L"Ann");
  writer.createProfile(L"Bo");
  writer.setCurrentIndex(0);
  ASSERT_TRUE(writer.saveProfileList());
  const std::string good = readFile(folder + "profilelist.dat");

  auto loadsWith = [&](const std::string& list) {
    KR::Test::writeFile(folder + "profilelist.dat", list);
    HOG::ProfileSystem reader(folder);
    const bool loaded = reader.loadProfileList();
    EXPECT_EQ(loaded, !reader.loadFailed);
    if (loaded) {
      EXPECT_EQ(readFile(folder + "profilelist.dat"), list);  // never rewritten by a read
    } else {
      EXPECT_EQ(reader.getProfiles()[0]->name, L"Player");
      EXPECT_EQ(reader.loadFailure, "profile_list_damaged");
      // Set aside whole: never read again, never replaced by the next write.
      EXPECT_FALSE(KR::Platform::fileExists(folder + "profilelist.dat"));
      EXPECT_EQ(readFile(folder + "profilelist.dat.damaged"), list);
    }
    return loaded;
  };
  auto withHeader = [](std::string list, uint32_t count, int32_t current) {
    uint32_t sum = count + uint32_t(current);
    for (size_t i = 16; i < list.size(); ++i) sum += uint32_t(int32_t(int8_t(list[i])));
    for (int i = 0; i < 4; ++i) {
      list[4 + i] = char(sum >> (8 * i));
      list[8 + i] = char(count >> (8 * i));
      list[12 + i] = char(uint32_t(current) >> (8 * i));
    }
    return list;
  };
  EXPECT_TRUE(loadsWith(good));
  std::string off = good;
  off[4] = char(off[4] + 1);
  EXPECT_FALSE(loadsWith(off));
  EXPECT_TRUE(log.contains("ERROR: Profile list '" + folder + "profilelist.dat' is damaged"));
  EXPECT_FALSE(loadsWith(""));
  std::string foreign = good;
  foreign[0] = 'P';
  EXPECT_FALSE(loadsWith(foreign));
  EXPECT_FALSE(loadsWith(withHeader(good, 3, 0)));  // a record more than the data holds
  EXPECT_FALSE(loadsWith(withHeader(good.substr(0, good.size() - 2), 2, 0)));
  EXPECT_FALSE(loadsWith(withHeader(good.substr(0, 16), 0, 0)));
  std::string twins = good;  // Bo takes Ann's id
  twins[48] = 0;
  EXPECT_FALSE(loadsWith(withHeader(twins, 2, 0)));
  // A current index outside the list, also just past its end, makes the first profile current.
  KR::Test::writeFile(folder + "profilelist.dat", withHeader(good, 2, 2));
  HOG::ProfileSystem pastEnd(folder);
  ASSERT_TRUE(pastEnd.loadProfileList());
  EXPECT_EQ(pastEnd.getCurrentIndex(), 0);
  KR::Test::writeFile(folder + "profilelist.dat", withHeader(good, 2, 7));
  HOG::ProfileSystem outside(folder);
  ASSERT_TRUE(outside.loadProfileList());
  EXPECT_EQ(outside.getCurrentIndex(), 0);

  // Options: only the checksum, a wrong checksum, and a long file whose extra bytes are dropped.
  KR::Test::writeFile(folder + "profile0.opt", bytes({0, 0, 0, 0}));
  size_t size = 0;
  EXPECT_EQ(outside.loadOptions(0, &size), nullptr);
  EXPECT_TRUE(outside.loadFailed);
  EXPECT_TRUE(log.contains("ERROR: Options file '" + folder + "profile0.opt' is damaged"));
  outside.loadFailed = false;
  std::string block = HOG::PlayerOptions().encode();
  block[16] = 1;
  std::string file = HOG::ProfileSystem::encodeOptionsFile(reinterpret_cast<const uint8_t*>(block.data()), 40);
  file[20] ^= 1;
  KR::Test::writeFile(folder + "profile0.opt", file);
  EXPECT_EQ(outside.loadOptions(0, &size), nullptr);
  EXPECT_TRUE(outside.loadFailed);
  outside.loadFailed = false;
  // A longer file is refused before it is read; a longer block is laid over the options for 40 bytes only.
  const std::string intact = block;
  block += std::string(60, char(0x7F));
  KR::Test::writeFile(folder + "profile0.opt",
                      HOG::ProfileSystem::encodeOptionsFile(reinterpret_cast<const uint8_t*>(block.data()), 100));
  outside.readOptionsOf(0);
  EXPECT_TRUE(outside.loadFailed);
  EXPECT_TRUE(log.contains("ERROR: Options file '" + folder + "profile0.opt' is damaged: it is larger than 44 bytes"));
  EXPECT_EQ(outside.getCurrentProfile()->options.difficulty, 0);
  outside.setDefaultOptions(0, reinterpret_cast<const uint8_t*>(block.data()), block.size());
  EXPECT_EQ(outside.getCurrentProfile()->options.encode(), intact);
}

TEST(ProfileStore, NewProfilesTakeIdsWithoutFilesAndTheListHoldsTen) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile-ids") + "/";
  // A damaged list was set aside: profile 0's saved game and profile 1's options have no known owner now.
  KR::Test::writeFile(folder + "savegame0.sav", "Ann's game");
  KR::Test::writeFile(folder + "profile1.opt", "Bo's options");
  HOG::ProfileSystem profiles(folder);
  EXPECT_EQ(profiles.getCurrentProfile()->id, 2);  // "Player" must not write over them either
  ASSERT_TRUE(profiles.createProfile(L"Player"));
  EXPECT_EQ(profiles.getCurrentProfile()->id, 2);
  EXPECT_EQ(readFile(folder + "savegame0.sav"), "Ann's game");
  EXPECT_EQ(readFile(folder + "profile1.opt"), "Bo's options");
  // Nine more fill the list; the eleventh is refused.
  for (int i = 1; i < 10; ++i) ASSERT_TRUE(profiles.createProfile(L"P" + std::to_wstring(i))) << i;
  EXPECT_FALSE(profiles.createProfile(L"Eleventh"));
  EXPECT_EQ(profiles.getProfileCount(), 10u);
  // A name is cut to what the name window takes.
  profiles.deleteProfile(9);
  ASSERT_TRUE(profiles.createProfile(std::wstring(40, L'x')));
  EXPECT_EQ(profiles.getCurrentProfile()->name, std::wstring(HOG::ProfileSystem::kMaxNameLength, L'x'));

  // At the top of the range the next id wraps to the lowest free one, never one in use or with files.
  HOG::PlayerProfile top, zero;
  top.name = L"Top";
  top.id = 2147483647;
  top.persistent = true;
  zero.name = L"Zero";
  zero.persistent = true;
  KR::Test::writeFile(folder + "profilelist.dat", HOG::ProfileSystem::encodeList({&top, &zero}, 0));
  HOG::ProfileSystem high(folder);
  ASSERT_TRUE(high.loadProfileList());
  ASSERT_TRUE(high.createProfile(L"A"));
  ASSERT_TRUE(high.createProfile(L"B"));
  std::vector<int32_t> ids;
  for (const auto& profile : high.getProfiles()) ids.push_back(profile->id);
  EXPECT_EQ(ids, (std::vector<int32_t>{2147483647, 0, 2, 3}));  // 1 has files

  // A lone high surrogate before a character above the surrogates stays two characters.
  HOG::PlayerProfile lone;
  lone.name = {wchar_t(0xD83D), wchar_t(0xE001)};
  lone.persistent = true;
  std::vector<HOG::PlayerProfile> decoded;
  int32_t current = -1;
  ASSERT_TRUE(HOG::ProfileSystem::decodeList(HOG::ProfileSystem::encodeList({&lone}, 0), &decoded, &current));
  EXPECT_EQ(decoded[0].name, lone.name);
  // The cut counts characters, not UTF-16 units: a 16th character beyond 0xFFFF (units 16 and 17) stays
  // whole, and a 17th goes whole, never leaving half a pair.
  HOG::PlayerProfile wide;
  wide.name = std::wstring(15, L'a') + wchar_t(0x1F600);
  wide.persistent = true;
  ASSERT_TRUE(HOG::ProfileSystem::decodeList(HOG::ProfileSystem::encodeList({&wide}, 0), &decoded, &current));
  EXPECT_EQ(decoded[0].name, wide.name);
  wide.name = std::wstring(16, L'a') + wchar_t(0x1F600);
  ASSERT_TRUE(HOG::ProfileSystem::decodeList(HOG::ProfileSystem::encodeList({&wide}, 0), &decoded, &current));
  EXPECT_EQ(decoded[0].name, std::wstring(16, L'a'));
  // A pair at the very start of a name is joined too.
  wide.name = std::wstring(1, wchar_t(0x1F600)) + L"b";
  ASSERT_TRUE(HOG::ProfileSystem::decodeList(HOG::ProfileSystem::encodeList({&wide}, 0), &decoded, &current));
  EXPECT_EQ(decoded[0].name, wide.name);

  // A name of 30,000 characters from a hand-edited list is cut where it is read.
  HOG::PlayerProfile giant;
  giant.name = std::wstring(30000, L'W');
  giant.persistent = true;
  KR::Test::writeFile(folder + "profilelist.dat", HOG::ProfileSystem::encodeList({&giant}, 0));
  HOG::ProfileSystem cut(folder);
  ASSERT_TRUE(cut.loadProfileList());
  EXPECT_EQ(cut.getCurrentProfile()->name.size(), HOG::ProfileSystem::kMaxNameLength);
  EXPECT_TRUE(log.contains("WARNING: Profile list '" + folder + "profilelist.dat': 1 names are longer than 16"));
}

TEST(ProfileStore, WhatIsNoFileInAProfileFilesPlaceIsSetAsideAndWritesGoOn) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile-places") + "/";
  const std::string list = folder + "profilelist.dat";
  HOG::PlayerProfile ann;
  ann.name = L"Ann";
  ann.persistent = true;
  // Each of these took the list's place; reading must neither hang (a pipe) nor run on (a device).
  const struct {
    const char* what;
    std::function<void()> make;
  } places[] = {
      {"a folder", [&] { ASSERT_EQ(mkdir(list.c_str(), 0755), 0); }},
      {"a named pipe", [&] { ASSERT_EQ(mkfifo(list.c_str(), 0644), 0); }},
      {"a device", [&] { ASSERT_EQ(symlink("/dev/zero", list.c_str()), 0); }},
  };
  for (const auto& place : places) {
    std::remove((list + ".damaged").c_str());
    place.make();
    HOG::ProfileSystem profiles(folder);
    EXPECT_FALSE(profiles.loadProfileList()) << place.what;
    EXPECT_TRUE(profiles.loadFailed);
    EXPECT_EQ(profiles.loadFailureDetail, std::string("profilelist.dat: it is ") + place.what);
    EXPECT_TRUE(log.contains("ERROR: Profile list '" + list + "' is not a file but " + place.what));
    EXPECT_NE(KR::Platform::pathKind(list + ".damaged"), KR::Platform::PathKind::Missing);
    // The next write takes the place.
    ASSERT_TRUE(profiles.createProfile(L"Ann"));
    EXPECT_TRUE(profiles.saveProfileList()) << place.what;
    EXPECT_TRUE(KR::Platform::fileExists(list));
    std::remove(list.c_str());
    std::system(("rm -rf '" + list + ".damaged'").c_str());
  }

  // A folder at the options file's place: refused and set aside; the options are written again.
  KR::Test::writeFile(list, HOG::ProfileSystem::encodeList({&ann}, 0));
  ASSERT_EQ(mkdir((folder + "profile0.opt").c_str(), 0755), 0);
  HOG::ProfileSystem profiles(folder);
  ASSERT_TRUE(profiles.loadProfileList());
  profiles.readOptionsOf(0);
  EXPECT_EQ(profiles.loadFailure, "options_damaged");
  EXPECT_EQ(profiles.loadFailureDetail, "profile0.opt: it is a folder");
  EXPECT_TRUE(log.contains("ERROR: Options file '" + folder + "profile0.opt' is not a file but a folder"));
  EXPECT_TRUE(profiles.saveProfileOptions(0));
  EXPECT_TRUE(KR::Platform::fileExists(folder + "profile0.opt"));

  // Folders named like the temporary files block no write; a write that fails says which file and why.
  ASSERT_EQ(mkdir((list + ".tmp").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((folder + "profile0.opt.tmp").c_str(), 0755), 0);
  EXPECT_TRUE(profiles.saveProfileList());
  EXPECT_TRUE(profiles.saveProfileOptions(0));
  EXPECT_FALSE(profiles.writeFailed);
  ASSERT_EQ(std::remove(list.c_str()), 0);
  ASSERT_EQ(mkdir(list.c_str(), 0755), 0);
  EXPECT_FALSE(profiles.saveProfileList());
  EXPECT_TRUE(profiles.writeFailed);
  EXPECT_EQ(profiles.writeFailure, "profilelist.dat: cannot replace the file: Is a directory");
}

TEST(ProfileStore, VolumesAreClampedOrDefaultedAndMappedOntoTheSoundGroups) {
  KR::Test::LogCapture log;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  HOG::PlayerOptions strange;
  strange.musicVolume = nan;
  strange.soundVolume = 1.5f;
  strange.ambientVolume = -2.0f;
  const std::string block = strange.encode();
  const HOG::PlayerOptions read = HOG::PlayerOptions::overlay(reinterpret_cast<const uint8_t*>(block.data()), 40);
  EXPECT_EQ(read.musicVolume, 0.5f);
  EXPECT_EQ(read.soundVolume, 1.0f);
  EXPECT_EQ(read.ambientVolume, 0.0f);
  // A short block keeps the defaults beyond its end.
  const HOG::PlayerOptions shortRead = HOG::PlayerOptions::overlay(reinterpret_cast<const uint8_t*>("\0"), 1);
  EXPECT_EQ(shortRead.fullScreen, 0);
  EXPECT_EQ(shortRead.ambientVolume, 0.75f);
  EXPECT_EQ(shortRead.firstHintPending, 1);

  KR::SoundManager sounds;
  ASSERT_TRUE(sounds.isInitialised());
  HOG::PlayerProfile profile;
  profile.options.musicVolume = 0.55f;
  profile.options.soundVolume = 0.1f;
  profile.options.ambientVolume = 0.82f;
  sounds.startFadeAllGroups(0.0f, 1.0f, 3.0f);
  HOG::PlayerProfile::applyVolumes(&profile);
  EXPECT_NEAR(sounds.getGroupVolume(KR::kSoundGroupMusic), 0.5f, 1e-6f);
  EXPECT_EQ(sounds.getGroupVolume(KR::kSoundGroupSounds), 0.0f);
  EXPECT_NEAR(sounds.getGroupVolume(KR::kSoundGroupAmbient), 0.8f, 1e-6f);
  HOG::PlayerProfile::applyVolumes(nullptr);
}

TEST(ProfileStore, AChildKilledWhileSavingAlwaysLeavesAListThatLoads) {
  KR::Test::LogCapture log;
  const std::string folder = KR::Test::scratchDir("profile-kill") + "/";
  std::mt19937 random(7);
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      HOG::ProfileSystem profiles(folder);
      profiles.createProfile(L"Old");
      profiles.createProfile(L"New name that is longer");
      for (uint32_t i = 0;; ++i) {
        profiles.setCurrentIndex(int32_t(i % 2));
        profiles.getProfiles()[i % 2]->gameBegin = i;
        profiles.saveProfileList();
      }
    }
    usleep(std::uniform_int_distribution<useconds_t>(200, 20000)(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (!KR::Platform::fileExists(folder + "profilelist.dat")) continue;  // killed before the first save
    HOG::ProfileSystem reader(folder);
    EXPECT_TRUE(reader.loadProfileList()) << "round " << round;
    EXPECT_FALSE(reader.loadFailed);
    EXPECT_EQ(reader.getProfileCount(), 2u);
  }
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
