#include "krp_reader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "krp_packer.h"
#include "support/test_support.h"

namespace {

using KR::KRPPackEntry;
using KR::KRPReader;

std::string packTo(const std::string& path, const std::vector<KRPPackEntry>& entries) {
  std::string archive;
  std::string error;
  EXPECT_TRUE(KR::buildKRPArchive(entries, archive, error)) << error;
  KR::Test::writeFile(path, archive);
  return archive;
}

// Names "/n<i>" whose home slot in a table of n entries is the given slot.
std::vector<std::string> namesWithHomeSlot(uint32_t slot, uint32_t n, size_t count) {
  std::vector<std::string> names;
  for (int i = 0; names.size() < count; ++i) {
    std::string name = "/n" + std::to_string(i);
    if (KR::krpHash(name.c_str()) % n == slot) names.push_back(name);
  }
  return names;
}

std::string readAll(KR::File* file, int chunk) {
  std::string out;
  std::vector<char> buffer(chunk);
  int got;
  while ((got = file->read(buffer.data(), chunk)) > 0) out.append(buffer.data(), got);
  return out;
}

void putWord(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

TEST(KRPHash, SignedBytesAndWrapping) {
  EXPECT_EQ(KR::krpHash("abc"), 96354u);
  EXPECT_EQ(KR::krpHash(""), 0u);
  // Bytes from 0x80 up count as negative values.
  EXPECT_EQ(KR::krpHash("a\x80"), 97u * 31u - 128u);
  EXPECT_EQ(KR::krpHash("\xE9"), 0xFFFFFFE9u);
  // Unsigned 32-bit arithmetic wraps silently (worked out by hand, modulo 2^32).
  EXPECT_EQ(KR::krpHash("/data/a/rather/long/path/to/a/file.png"), 955322599u);
}

TEST(KRPPacker, PlacesCollidingNamesInTheNextFreeSlotAndWraps) {
  KR::Test::LogCapture log;
  const uint32_t n = 4;
  // Three names at home slot 3 fill slot 3, then wrap to 0 and 1; the fourth
  // name, homed at 0, ends in slot 2.
  std::vector<std::string> atThree = namesWithHomeSlot(3, n, 3);
  std::vector<std::string> atZero = namesWithHomeSlot(0, n, 1);
  std::vector<KRPPackEntry> entries = {
      {atThree[0], "first"}, {atThree[1], "second"}, {atThree[2], "third"}, {atZero[0], "fourth"}};
  std::string path = KR::Test::scratchDir("krp") + "/data.krp";
  packTo(path, entries);

  KRPReader reader(path);
  ASSERT_TRUE(reader.hasDirectory());
  ASSERT_EQ(reader.entryCount(), n);
  EXPECT_STREQ(reader.entryAt(3).name, atThree[0].c_str());
  EXPECT_STREQ(reader.entryAt(0).name, atThree[1].c_str());
  EXPECT_STREQ(reader.entryAt(1).name, atThree[2].c_str());
  EXPECT_STREQ(reader.entryAt(2).name, atZero[0].c_str());

  // Each is found, the wrapped one after probing past slot N - 1.
  for (const KRPPackEntry& entry : entries) {
    std::unique_ptr<KR::File> file(reader.open(entry.name));
    ASSERT_TRUE(file) << entry.name;
    EXPECT_EQ(readAll(file.get(), 3), entry.bytes);
  }
  uint64_t before = reader.comparisonCount();
  EXPECT_NE(reader.findEntry(atThree[0].c_str()), nullptr);
  EXPECT_EQ(reader.comparisonCount() - before, 1u);
  before = reader.comparisonCount();
  EXPECT_NE(reader.findEntry(atThree[2].c_str()), nullptr);
  EXPECT_EQ(reader.comparisonCount() - before, 3u);

  // A missing name costs N + 1 comparisons and gives null.
  before = reader.comparisonCount();
  EXPECT_EQ(reader.findEntry("/missing"), nullptr);
  EXPECT_EQ(reader.comparisonCount() - before, n + 1);
  EXPECT_EQ(reader.open("/missing"), nullptr);
  // Names compare byte for byte.
  EXPECT_EQ(reader.findEntry(atThree[0].substr(1).c_str()), nullptr);
}

TEST(KRPPacker, RefusesWhatTheFormatCannotHold) {
  std::string archive;
  std::string error;
  EXPECT_FALSE(KR::buildKRPArchive({}, archive, error));
  EXPECT_FALSE(KR::buildKRPArchive({{"/a", "1"}, {"/a", "2"}}, archive, error));
  EXPECT_NE(error.find("duplicate"), std::string::npos);
  EXPECT_FALSE(KR::buildKRPArchive({{"/" + std::string(127, 'x'), "1"}}, archive, error));
  EXPECT_TRUE(KR::buildKRPArchive({{std::string(127, 'x'), "1"}}, archive, error));
}

TEST(KRPPacker, PacksAFolderUnderSlashNames) {
  KR::Test::LogCapture log;
  std::string folder = KR::Test::scratchDir("krp-folder");
  ASSERT_EQ(system(("mkdir -p '" + folder + "/src/data/sub'").c_str()), 0);
  KR::Test::writeFile(folder + "/src/config.lua", "config = {}");
  KR::Test::writeFile(folder + "/src/data/sub/x.bin", std::string("\0\1\2", 3));
  std::vector<KRPPackEntry> entries;
  std::string error;
  ASSERT_TRUE(KR::collectKRPFolder(folder + "/src", entries, error)) << error;
  ASSERT_TRUE(KR::writeKRPArchive(entries, folder + "/out.krp", error)) << error;
  KRPReader reader(folder + "/out.krp");
  std::unique_ptr<KR::File> config(reader.open("/config.lua"));
  std::unique_ptr<KR::File> binary(reader.open("/data/sub/x.bin"));
  ASSERT_TRUE(config && binary);
  EXPECT_EQ(readAll(config.get(), 100), "config = {}");
  EXPECT_EQ(readAll(binary.get(), 100), std::string("\0\1\2", 3));
}

TEST(KRPFile, ReadsClampAtTheEntryEndAndSeekClamps) {
  KR::Test::LogCapture log;
  std::string path = KR::Test::scratchDir("krp") + "/data.krp";
  packTo(path, {{"/a", "0123456789"}, {"/b", "neighbour bytes"}, {"/empty", ""}});
  KRPReader reader(path);
  std::unique_ptr<KR::File> file(reader.open("/a"));
  ASSERT_TRUE(file);
  auto* krp = static_cast<KR::KRPFile*>(file.get());
  EXPECT_EQ(file->getSize(), 10);
  char buffer[64];
  EXPECT_EQ(file->read(buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file->tell(), 4);
  // More than remains: only the rest, never the neighbour's bytes.
  EXPECT_EQ(file->read(buffer, 64), 6);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(file->read(buffer, 64), 0);
  krp->seek(-5);
  EXPECT_EQ(file->tell(), 0);
  krp->seek(1000);
  EXPECT_EQ(file->tell(), 10);
  EXPECT_EQ(file->read(buffer, 64), 0);
  krp->seek(8);
  EXPECT_EQ(file->read(buffer, 64), 2);
  EXPECT_EQ(file->read(buffer, -1), 0);
  EXPECT_EQ(file->close(), 0);
  EXPECT_EQ(file->close(), 0);

  std::unique_ptr<KR::File> empty(reader.open("/empty"));
  ASSERT_TRUE(empty);
  static_cast<KR::KRPFile*>(empty.get())->seek(3);
  EXPECT_EQ(empty->tell(), 0);
  EXPECT_EQ(empty->read(buffer, 8), 0);
}

// Every read seeks the one shared archive file: threads reading their own
// entries at once, in small parts, each get exactly their own bytes.
TEST(KRPFile, ThreadsReadTheirOwnBytes) {
  KR::Test::LogCapture log;
  const int kThreads = 4;
  std::vector<std::string> contents(kThreads, std::string(100000, '\0'));
  std::vector<KRPPackEntry> entries;
  for (int t = 0; t < kThreads; ++t) {
    for (size_t i = 0; i < contents[t].size(); ++i) contents[t][i] = static_cast<char>(i * (7 + 6 * t) + t);
    entries.push_back({"/entry" + std::to_string(t), contents[t]});
  }
  std::string path = KR::Test::scratchDir("krp") + "/data.krp";
  packTo(path, entries);
  KRPReader reader(path);
  std::atomic<int> ready{0};
  std::vector<int> wrong(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ++ready;
      while (ready.load() < kThreads) std::this_thread::yield();
      for (int round = 0; round < 4; ++round) {
        std::unique_ptr<KR::File> file(reader.open("/entry" + std::to_string(t)));
        if (!file || readAll(file.get(), 61 + t) != contents[t]) ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(kThreads, 0));
}

TEST(KRPReader, MissingArchiveIsLoggedAndSuppliesNothing) {
  KR::Test::LogCapture log;
  const std::string path = KR::Test::scratchDir("krp") + "/data.krp";
  KRPReader reader(path);
  EXPECT_TRUE(log.contains("ERROR: Failed to open KRP archive. " + path));
  EXPECT_FALSE(reader.hasDirectory());
  EXPECT_EQ(reader.open("/config.lua"), nullptr);
}

TEST(KRPReader, LogsTheDirectoryFigures) {
  KR::Test::LogCapture log;
  std::string path = KR::Test::scratchDir("krp") + "/data.krp";
  packTo(path, {{"/a", "x"}, {"/b", "y"}});
  KRPReader reader(path);
  EXPECT_TRUE(log.contains("sizeof(TableEntry) = 136"));
  EXPECT_TRUE(log.contains("KRP Archive total files: 2"));
  EXPECT_TRUE(log.contains("KRP Hash table size: 280"));
  EXPECT_TRUE(log.contains("initHashTable done"));
}

// Damage of every kind is found by the directory check, with a description.
TEST(KRPReader, DamagedDirectoriesAreDescribed) {
  KR::Test::LogCapture log;
  std::string folder = KR::Test::scratchDir("krp-damaged");
  std::string good;
  std::string error;
  ASSERT_TRUE(KR::buildKRPArchive({{"/a", "alpha"}, {"/b", "beta"}}, good, error));

  struct Case {
    const char* what;
    std::string bytes;
    const char* expected;
  };
  std::vector<Case> cases;
  cases.push_back({"truncated header", good.substr(0, 10), "header is truncated"});
  std::string zero = good;
  putWord(zero, 8, 0);
  cases.push_back({"no entries", zero, "KRP must contain at least one file"});
  std::string huge = good;
  putWord(huge, 8, 0xFFFFFFFF);
  cases.push_back({"count beyond the file", huge, "does not fit"});
  cases.push_back({"directory cut short", good.substr(0, 12 + 136 + 50), "does not fit"});
  std::string unterminated = good;
  for (size_t i = 0; i < 128; ++i) unterminated[12 + i] = 'x';
  cases.push_back({"unterminated name", unterminated, "not terminated"});
  std::string outside = good;
  putWord(outside, 12 + 132, 1000);
  cases.push_back({"size beyond the file", outside, "lies outside the archive"});
  std::string wrapping = good;
  putWord(wrapping, 12 + 128, 0xFFFFFFF0u);
  cases.push_back({"offset that wraps", wrapping, "lies outside the archive"});

  int index = 0;
  for (const Case& c : cases) {
    std::string path = folder + "/" + std::to_string(index++) + ".krp";
    KR::Test::writeFile(path, c.bytes);
    KR::LocalFile file;
    ASSERT_EQ(file.open(path), 1);
    uint32_t header[3];
    std::vector<KR::TableEntry> entries;
    std::string description;
    EXPECT_FALSE(KRPReader::loadDirectory(file, header, entries, description)) << c.what;
    EXPECT_NE(description.find(c.expected), std::string::npos) << c.what << ": " << description;
    EXPECT_TRUE(entries.empty());
  }
}

TEST(KRPReaderDeathTest, DamagedArchiveIsFatal) {
  std::string folder = KR::Test::scratchDir("krp-death");
  std::string good;
  std::string error;
  ASSERT_TRUE(KR::buildKRPArchive({{"/a", "alpha"}}, good, error));
  std::string zero = good;
  putWord(zero, 8, 0);
  KR::Test::writeFile(folder + "/zero.krp", zero);
  std::string outside = good;
  putWord(outside, 12 + 132, 1 << 20);
  KR::Test::writeFile(folder + "/outside.krp", outside);

  EXPECT_EXIT(
      {
        KR::Test::LogCapture log;
        KRPReader reader(folder + "/zero.krp");
      },
      ::testing::ExitedWithCode(255), "KRP must contain at least one file: [^\n]*/zero.krp");
  EXPECT_EXIT(
      {
        KR::Test::LogCapture log;
        KRPReader reader(folder + "/outside.krp");
      },
      ::testing::ExitedWithCode(255), "KRP entry '/a' lies outside the archive");
}
