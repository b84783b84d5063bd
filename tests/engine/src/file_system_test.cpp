#include "file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config_manager.h"
#include "krp_packer.h"
#include "support/test_support.h"
#include "zip_test_archive.h"

namespace {

std::string readAll(KR::File* file) {
  std::string out(file->getSize(), '\0');
  int done = 0;
  while (done < file->getSize()) {
    int got = file->read(&out[done], file->getSize() - done);
    if (got <= 0) break;
    done += got;
  }
  out.resize(done);
  return out;
}

const char* kConfig =
    "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 1024, 768 } } },\n"
    "           currentPlatform = 'pc', currentLanguage = 'en' }\n";

// A content folder served by all three readers:
//   data.krp: the "default" package list, /order.txt, /text/title_default.txt
//   data.zip: the "en" package list, /order.txt, /zip_order.txt, /text/title_en.txt
//   loose:    config.lua, filelist.lua, /order.txt, /zip_order.txt, /text/greeting.txt, /text/empty.txt
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousFolder = KR::FileSystem::getContentFolder();
    folder = KR::Test::scratchDir("fs") + "/";
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "text'").c_str()), 0);
    KR::Test::writeFile(folder + "config.lua", kConfig);
    writeFilelist("directories = { common = { { '/packages/default.lua' }, { '/packages/en.lua' } } }\n");
    std::string archive, error;
    ASSERT_TRUE(KR::buildKRPArchive({{"/packages/default.lua",
                                      "name = 'default'\n"
                                      "filelist = { { name = 'greeting', filename = '/text/greeting.txt' },\n"
                                      "             { name = 'title', filename = '/text/title_default.txt' },\n"
                                      "             { name = 'order', filename = '/order.txt' },\n"
                                      "             { name = 'zip_order', filename = '/zip_order.txt' },\n"
                                      "             { name = 'twice', filename = '/text/greeting.txt' },\n"
                                      "             { name = 'twice', filename = '/text/title_default.txt' },\n"
                                      "             { name = 'ghost', filename = '/text/nowhere.txt' },\n"
                                      "             { name = 'empty', filename = '/text/empty.txt' } }\n"},
                                     {"/order.txt", "from krp"},
                                     {"/text/title_default.txt", "Default title"}},
                                    archive, error))
        << error;
    KR::Test::writeFile(folder + "data.krp", archive);
    ASSERT_TRUE(KR::Test::writeZip(folder + "data.zip",
                                   {{"packages/en.lua",
                                     "name = 'en'\n"
                                     "filelist = { { name = 'title', filename = '/text/title_en.txt' } }\n"},
                                    {"order.txt", "from zip"},
                                    {"zip_order.txt", "from zip"},
                                    {"text/title_en.txt", "Quellmoor"}}));
    KR::Test::writeFile(folder + "order.txt", "loose");
    KR::Test::writeFile(folder + "zip_order.txt", "loose");
    KR::Test::writeFile(folder + "text/greeting.txt", "hello");
    KR::Test::writeFile(folder + "text/empty.txt", "");
    KR::FileSystem::setContentFolder(folder);
  }
  void TearDown() override { KR::FileSystem::setContentFolder(previousFolder); }

  void writeFilelist(const std::string& text) { KR::Test::writeFile(folder + "filelist.lua", text); }

  std::string open(KR::FileSystem& fs, const std::string& package, const std::string& name) {
    std::unique_ptr<KR::File> file(fs.openFile(package, name));
    return file ? readAll(file.get()) : std::string("<null>");
  }

  KR::Test::LogCapture log;
  std::string folder;
  std::string previousFolder;
};

}  // namespace

TEST_F(FileSystemTest, ConfigIsReachableBeforeAnyPackageList) {
  KR::FileSystem fs;
  EXPECT_EQ(open(fs, "default", "config"), kConfig);
  EXPECT_TRUE(fs.fileExists("default", "config"));
  EXPECT_TRUE(fs.fileExists("default", "filelist.lua"));
  EXPECT_FALSE(fs.fileExists("default", "greeting"));
}

TEST_F(FileSystemTest, IndexedLookupsReaderOrderAndFallBacks) {
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  EXPECT_TRUE(log.contains("Filesystem:: load files location info in"));

  // The packed archive answers first, then the zip archive, then loose files.
  EXPECT_EQ(open(fs, "default", "order"), "from krp");
  EXPECT_EQ(open(fs, "default", "zip_order"), "from zip");
  EXPECT_EQ(open(fs, "default", "greeting"), "hello");

  // "localization" is the current language, falling back to "default".
  EXPECT_EQ(open(fs, "localization", "title"), "Quellmoor");
  EXPECT_EQ(open(fs, "localization", "greeting"), "hello");
  EXPECT_EQ(open(fs, "en", "greeting"), "hello");
  EXPECT_EQ(open(fs, "default", "title"), "Default title");
  EXPECT_EQ(open(fs, "no such package", "title"), "Default title");

  // The definition loaded last wins; names are case-sensitive.
  EXPECT_EQ(open(fs, "default", "twice"), "Default title");
  EXPECT_EQ(open(fs, "default", "Greeting"), "<null>");

  // Package lists are reachable by their own path.
  EXPECT_TRUE(fs.fileExists("default", "/packages/en.lua"));
  EXPECT_TRUE(fs.fileExists("en", "title"));
  EXPECT_FALSE(fs.fileExists("localization", "title"));
  EXPECT_FALSE(fs.fileExists("en", "greeting"));
  EXPECT_EQ(fs.getPackageIndex().at("en").size(), 1u);
}

TEST_F(FileSystemTest, MissingNamesAndUnreadablePaths) {
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  size_t before = log.lines().size();
  EXPECT_EQ(fs.openFile("default", "never indexed"), nullptr);
  EXPECT_EQ(log.lines().size(), before);

  // Indexed but supplied by no reader: one warning naming the package searched.
  EXPECT_EQ(fs.openFile("localization", "ghost"), nullptr);
  EXPECT_TRUE(log.contains("WARNING: Failed to find 'ghost' in package 'default'. Content directory: " + folder));
  EXPECT_EQ(log.lines().size(), before + 1);
}

TEST_F(FileSystemTest, RebuildingTheIndexStartsAfresh) {
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  writeFilelist("directories = { common = { { '/packages/en.lua' } } }\n");
  fs.loadFilesLocationInfo();
  EXPECT_FALSE(fs.fileExists("default", "greeting"));
  EXPECT_TRUE(fs.fileExists("default", "config"));
  EXPECT_TRUE(fs.fileExists("en", "title"));

  // An unloadable package list is skipped; numbers are accepted as paths.
  KR::Test::writeFile(folder + "broken.lua", "name = 'broken' filelist = {");
  KR::Test::writeFile(folder + "7", "name = 'seven' filelist = { { name = 'x', filename = '/order.txt' } }");
  writeFilelist("directories = { common = { { '/broken.lua' }, { 7 } } }\n");
  fs.loadFilesLocationInfo();
  EXPECT_EQ(fs.getPackageIndex().count("broken"), 0u);
  EXPECT_EQ(open(fs, "seven", "x"), "from krp");
}

TEST_F(FileSystemTest, ThreadsOpenAndReadAtOnce) {
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        // Zipped files are closed out of order so that handles cross threads.
        std::unique_ptr<KR::File> zipped(fs.openFile("localization", "title"));
        std::unique_ptr<KR::File> packed(fs.openFile("default", "order"));
        std::unique_ptr<KR::File> otherZipped(fs.openFile("default", "zip_order"));
        if (!zipped || readAll(zipped.get()) != "Quellmoor") ++wrong[t];
        zipped.reset();
        if (!packed || readAll(packed.get()) != "from krp") ++wrong[t];
        if (!otherZipped || readAll(otherZipped.get()) != "from zip") ++wrong[t];
        if (open(fs, "default", "greeting") != "hello") ++wrong[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST_F(FileSystemTest, ReadFileToBuffer) {
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  char* buffer = static_cast<char*>(std::malloc(16));
  EXPECT_EQ(KR::readFileToBuffer("greeting", &buffer), 0);
  ASSERT_NE(buffer, nullptr);
  EXPECT_STREQ(buffer, "hello");
  // An empty file and a missing one give 1 and leave no block.
  EXPECT_EQ(KR::readFileToBuffer("empty", &buffer), 1);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(KR::readFileToBuffer("missing", &buffer), 1);
  EXPECT_EQ(buffer, nullptr);
}

// Damaged zipped content is never handed on as good content.
TEST_F(FileSystemTest, DamagedZippedEntriesFailForEveryReader) {
  std::string bytes = KR::Test::readFile(folder + "data.zip");
  size_t at = bytes.find("zip_order.txt") + 13;
  bytes[at + 2] ^= 0x10;
  KR::Test::writeFile(folder + "data.zip", bytes);
  KR::Test::writeFile(folder + "zip_order.txt", "loose");
  KR::FileSystem fs;
  KR::ConfigManager config;
  fs.loadFilesLocationInfo();
  EXPECT_EQ(open(fs, "default", "zip_order").find("from zip"), std::string::npos);
  char* buffer = nullptr;
  EXPECT_EQ(KR::readFileToBuffer("zip_order", &buffer), 1);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_TRUE(log.contains("damaged entry zip_order.txt in " + folder + "data.zip"));
  EXPECT_EQ(open(fs, "default", "order"), "from krp");
}

TEST_F(FileSystemTest, MalformedListsAreFatal) {
  struct Case {
    const char* filelist;
    const char* packageList;
    const char* message;
  };
  const Case cases[] = {
      // Lua's own message follows, with the line it stopped at.
      {"directories = {", "", "Failed to load filelist.lua: .*:1: "},
      {"something = {}", "", "filelist.lua: no \"directories\" table"},
      {"directories = { other = {} }", "", "filelist.lua: \"directories\" has no table \"common\""},
      {"directories = { common = { 'not a table' } }", "", "directory \"common\": a list element is not a table"},
      {"directories = { common = { {} } }", "", "directory \"common\": an element without a path"},
      {"directories = { common = { { '/p.lua' } } }", "filelist = {}", "/p.lua: no package \"name\""},
      {"directories = { common = { { '/p.lua' } } }", "name = 'p'", "/p.lua: no \"filelist\" table"},
      {"directories = { common = { { '/p.lua' } } }", "name = 'p' filelist = { { name = 'a' } }",
       "/p.lua: a \"filelist\" entry without \"name\" or \"filename\""},
      {"directories = { common = { { '/p.lua' } } }", "name = 'p' filelist = { 3 }",
       "/p.lua: a list element is not a table"},
  };
  for (const Case& c : cases) {
    writeFilelist(c.filelist);
    KR::Test::writeFile(folder + "p.lua", c.packageList);
    EXPECT_EXIT(
        {
          KR::FileSystem fs;
          KR::ConfigManager config;
          fs.loadFilesLocationInfo();
        },
        ::testing::ExitedWithCode(255), c.message)
        << c.filelist << " / " << c.packageList;
  }
}
