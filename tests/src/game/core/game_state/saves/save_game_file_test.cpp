#include "core/game_state/saves/save_game_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "platform/safe_file.h"
#include "savetool.h"
#include "support/test_support.h"

namespace KR {
namespace Test {
namespace {

using namespace HOG::SaveGame;
using HOG::SaveTool::corrupt;
using HOG::SaveTool::expectedFor;
using HOG::SaveTool::makeSample;

class SaveGameFileTest : public ::testing::Test {
 protected:
  Data sample = makeSample();
  Expected expected = expectedFor(sample);
  std::string file = encode(sample);

  // Refused with and without the descriptions, the output left as it was.
  void expectRefused(const std::string& bytes, const Expected* with, const char* why) {
    Data out;
    out.arena = {9, 9};
    std::string reason;
    EXPECT_FALSE(decode(bytes, with, &out, &reason)) << why;
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(out.arena, (std::vector<uint8_t>{9, 9})) << why;
    EXPECT_TRUE(out.nodeStates.empty()) << why;
  }
  size_t sectionStart(int section) const {
    size_t at = kHeaderSize;
    if (section > 1) at += 4 + size_t(kTriggerSlots) * kTriggerSlotSize;
    if (section > 2) at += 8 + kNodeRecordSize * sample.nodeCapacity;
    if (section > 3) at += 4 + size_t(kItemSlots) * kItemSlotSize;
    if (section > 4) at += sample.arena.size();
    return at;
  }
};

TEST_F(SaveGameFileTest, EverySectionComesBackFieldForField) {
  ASSERT_EQ(file.size(), encodedSize(sample));
  uint32_t magic;
  std::memcpy(&magic, file.data(), 4);
  EXPECT_EQ(magic, 83u);
  // A pointer field is stored as zero whatever the pool held.
  const std::vector<bool> live = sample.items.liveSlots(kItemSlots, kItemSlotSize);
  ASSERT_FALSE(live.empty());
  EXPECT_EQ(std::memcmp(file.data() + sectionStart(3) + 4 + ItemSlot::kSprite, "\0\0\0\0", 4), 0);

  for (const Expected* with : {static_cast<const Expected*>(nullptr), static_cast<const Expected*>(&expected)}) {
    Data back;
    std::string reason;
    ASSERT_TRUE(decode(file, with, &back, &reason)) << reason;
    EXPECT_EQ(back.triggers.freeHead, sample.triggers.freeHead);
    EXPECT_EQ(back.triggers.slots, sample.triggers.slots);
    EXPECT_EQ(back.nodeCapacity, 1024u);
    ASSERT_EQ(back.nodeStates.size(), sample.nodeStates.size());
    EXPECT_STREQ(back.nodeStates[7].nodeName, "node_7");
    EXPECT_EQ(back.nodeStates[7].kind, sample.nodeStates[7].kind);
    EXPECT_EQ(back.items.slots, sample.items.slots);
    EXPECT_EQ(back.arena, sample.arena);
    EXPECT_EQ(back.viewStack, sample.viewStack);
    ASSERT_EQ(back.notebook.size(), sample.notebook.size());
    EXPECT_EQ(back.notebook[3].recordKeys, sample.notebook[3].recordKeys);
    EXPECT_EQ(back.notebook[3].word, 9u);
    ASSERT_EQ(back.extensions.size(), sample.extensions.size());
    EXPECT_EQ(back.extensions[1].suspended, sample.extensions[1].suspended);
    EXPECT_EQ(back.extensions[1].finishReported, sample.extensions[1].finishReported);
    EXPECT_EQ(back.cutScene.name, "cutscene_shed_xml");
    EXPECT_EQ(back.cutScene.value, 7u);
    EXPECT_EQ(encode(back), file);
  }
  // The cut scene's value sits at offset 259 of its section, the name at 4.
  EXPECT_EQ(file.compare(file.size() - kCutSceneSectionSize + 4, 17, "cutscene_shed_xml"), 0);
  EXPECT_EQ(uint8_t(file[file.size() - 4]), 7);

  std::string zeros(100, '\0');
  EXPECT_EQ(checksum(reinterpret_cast<const uint8_t*>(zeros.data()), zeros.size()), 0u);
  EXPECT_EQ(nodeNameHash(""), 0u);
  EXPECT_EQ(nodeNameHash("a"), 97u);
}

TEST_F(SaveGameFileTest, DamagedForeignAndChangedFilesAreRefusedBeforeAnythingIsHandedOut) {
  std::string bytes = file;
  corrupt(&bytes, 5000, 0x10, false);
  expectRefused(bytes, &expected, "a changed byte breaks the checksum");
  EXPECT_EQ(checkBytes(bytes), 1);
  expectRefused(file.substr(0, file.size() - 1), &expected, "truncated");
  expectRefused(file.substr(0, 3), nullptr, "shorter than the header");
  expectRefused(file + std::string(1, '\0'), &expected, "left over");
  bytes = file;
  corrupt(&bytes, 0, 0x01, false);
  expectRefused(bytes, nullptr, "foreign magic");

  // Damage that keeps the checksum right: only the structure tells.
  struct Case {
    size_t offset;
    uint8_t mask;
    const char* why;
  } cases[] = {
      {kHeaderSize + 3, 0x40, "free head out of range"},
      {kHeaderSize + 4 + 3, 0x80, "class index negative"},
      {sectionStart(2) + 1, 0xff, "node count beyond capacity"},
      {sectionStart(2) + 8 + 4, 0x07, "node kind unknown"},
      {sectionStart(5), 0x40, "too many open views"},
      {file.size() - kCutSceneSectionSize, 0x02, "cut-scene mode"},
  };
  for (const Case& c : cases) {
    bytes = file;
    corrupt(&bytes, c.offset, c.mask, true);
    expectRefused(bytes, &expected, c.why);
    // Past the arena, whose length only the descriptions know, the menu's
    // check may find another reading that fits.
    if (c.offset < sectionStart(4)) {
      EXPECT_EQ(checkBytes(bytes), 1) << c.why;
    }
  }
  // Texts that fill their whole field.
  const std::pair<size_t, size_t> texts[] = {{sectionStart(2) + 8 + 8, kNodeNameSize},
                                             {file.size() - kCutSceneSectionSize + 4, kCutSceneNameSize}};
  for (const auto& text : texts) {
    bytes = file;
    std::memset(&bytes[text.first], 'x', text.second);
    corrupt(&bytes, 0, 0, true);
    expectRefused(bytes, &expected, "unterminated text");
  }
  // A free chain that loops back on itself.
  Data looped = sample;
  const int32_t head = looped.triggers.freeHead;
  std::memcpy(looped.triggers.slot(head, kTriggerSlotSize), &head, 4);
  expectRefused(encode(looped), nullptr, "looping free chain");
  // A class index of 6 in a live slot.
  Data foreignClass = sample;
  foreignClass.triggers.slot(0, kTriggerSlotSize)[0] = 6;
  expectRefused(encode(foreignClass), nullptr, "class 6");

  // Sound on its own but not what the descriptions built.
  Expected other = expected;
  other.triggers.slot(3, kTriggerSlotSize)[TriggerSlot::kTriggerId] ^= 1;
  expectRefused(file, &other, "a trigger with another id");
  other = expected;
  other.triggers.take(kTriggerSlots, kTriggerSlotSize);
  expectRefused(file, &other, "one trigger more");
  other = expected;
  other.extensionViewIds.pop_back();
  expectRefused(file, &other, "one extension less");
  other = expected;
  other.viewIds.erase(other.viewIds.begin());
  expectRefused(file, &other, "an open view the descriptions lack");
  other = expected;
  other.arenaSize += 1;
  expectRefused(file, &other, "another arena size");
  EXPECT_TRUE(decode(file, &expected, nullptr, nullptr));
}

TEST_F(SaveGameFileTest, CheckingAFileTellsMissingFromDamaged) {
  const std::string dir = scratchDir("save_check");
  EXPECT_EQ(checkFile(dir + "/savegame0.sav"), 2);
  std::string reason;
  ASSERT_TRUE(writeFile(dir + "/savegame0.sav", sample, &reason)) << reason;
  EXPECT_EQ(checkFile(dir + "/savegame0.sav"), 0);
  std::string bytes = readFile(dir + "/savegame0.sav");
  corrupt(&bytes, bytes.size() / 2, 0x04, false);
  writeFile(dir + "/savegame0.sav", bytes);
  EXPECT_EQ(checkFile(dir + "/savegame0.sav", &reason), 1);
  EXPECT_EQ(reason, "its checksum is wrong");
  // A file larger than the format allows is refused unread; one at the limit is read and judged.
  ASSERT_EQ(truncate((dir + "/savegame0.sav").c_str(), off_t(kMaxFileSize) + 1), 0);
  EXPECT_EQ(checkFile(dir + "/savegame0.sav", &reason), 1);
  EXPECT_EQ(reason, "it is larger than " + std::to_string(kMaxFileSize) + " bytes");
  ASSERT_EQ(truncate((dir + "/savegame0.sav").c_str(), off_t(kMaxFileSize)), 0);
  EXPECT_EQ(checkFile(dir + "/savegame0.sav", &reason), 1);
  EXPECT_EQ(reason, "its checksum is wrong");

  // Cut short inside the cut-scene name's zero padding: the checksum still
  // agrees, the size the sections make with the known arena does not.
  Data quiet = sample;
  quiet.cutScene.value = 0;
  const std::string padded = encode(quiet);
  const size_t padding = padded.size() - padded.find_last_not_of(char(0)) - 1;
  ASSERT_GE(padding, 101u);
  for (size_t cut : {size_t(1), size_t(100), padding - 1}) {
    writeFile(dir + "/savegame0.sav", padded.substr(0, padded.size() - cut));
    EXPECT_EQ(checkFile(dir + "/savegame0.sav", &reason, quiet.arena.size()), 1) << cut;
  }
  writeFile(dir + "/savegame0.sav", padded);
  EXPECT_EQ(checkFile(dir + "/savegame0.sav", &reason, quiet.arena.size()), 0);

  // A folder in the file's place is refused as damaged (set aside, it can no longer fail every save), not
  // taken for a missing file; so is a pipe, which would block the read.
  ASSERT_EQ(mkdir((dir + "/savegame1.sav").c_str(), 0755), 0);
  EXPECT_EQ(checkFile(dir + "/savegame1.sav", &reason), 1);
  EXPECT_EQ(reason, "it is a folder, not a file");
  ASSERT_EQ(mkfifo((dir + "/savegame2.sav").c_str(), 0644), 0);
  EXPECT_EQ(checkFile(dir + "/savegame2.sav", &reason), 1);
  EXPECT_EQ(reason, "it is a named pipe, not a file");
  // A folder named like the temporary file of a save blocks no save.
  ASSERT_EQ(mkdir((dir + "/savegame3.sav.tmp").c_str(), 0755), 0);
  EXPECT_TRUE(writeFile(dir + "/savegame3.sav", sample, &reason)) << reason;
}

// A save interrupted at any moment leaves the old file or the new one.
TEST_F(SaveGameFileTest, AKilledSaverLeavesTheOldOrTheNewSave) {
  const std::string dir = scratchDir("save_kill");
  const std::string path = dir + "/savegame0.sav";
  HOG::SaveTool::SampleShape otherShape;
  otherShape.cutSceneRunning = true;
  const Data second = makeSample(otherShape);
  const std::string first = file, next = encode(second);
  ASSERT_TRUE(writeFile(path, sample, nullptr));
  std::mt19937 random(23);
  for (int run = 0; run < 100; ++run) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) writeFile(path, i % 2 ? sample : second, nullptr, i % 3 != 0);
    }
    usleep(useconds_t(random() % 20000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = readFile(path);
    ASSERT_TRUE(now == first || now == next) << "run " << run << ": " << now.size() << " bytes";
    ASSERT_EQ(checkFile(path), 0);
  }
}

TEST_F(SaveGameFileTest, AFileSizeLimitMidSaveKeepsTheOldSave) {
  const std::string dir = scratchDir("save_limit");
  const std::string path = dir + "/savegame0.sav";
  Data small = makeSample(HOG::SaveTool::SampleShape{2, 2, 2, 1, 2, 8, 1, 1, false});
  ASSERT_TRUE(writeFile(path, small, nullptr));
  const std::string before = readFile(path);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{1 << 20, 1 << 20};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::string reason;
    _exit(writeFile(path, sample, &reason) ? 1 : (reason.find("cannot write") == 0 ? 0 : 2));
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(Platform::removeStaleTemporaries(dir), 0);  // the failed write's temporary file went with it
}

}  // namespace
}  // namespace Test
}  // namespace KR
