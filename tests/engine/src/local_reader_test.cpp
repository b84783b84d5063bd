#include "local_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "support/test_support.h"

TEST(LocalReader, ContentFolderFirstThenThePathAsItStands) {
  std::string content = KR::Test::scratchDir("local-content") + "/";
  std::string elsewhere = KR::Test::scratchDir("local-elsewhere");
  KR::Test::writeFile(content + "/a.txt", "content copy");
  KR::Test::writeFile(elsewhere + "/a.txt", "elsewhere copy");
  KR::Test::writeFile(elsewhere + "/b.txt", "only elsewhere");
  std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(content);
  KR::LocalReader reader;
  std::unique_ptr<KR::File> inContent(reader.open("/a.txt"));
  std::unique_ptr<KR::File> absolute(reader.open(elsewhere + "/a.txt"));
  // Relative to the working folder.
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  ASSERT_EQ(chdir(elsewhere.c_str()), 0);
  std::unique_ptr<KR::File> relative(reader.open("b.txt"));
  ASSERT_EQ(chdir(cwd), 0);
  std::unique_ptr<KR::File> missing(reader.open("/missing.txt"));
  // Folders are not files.
  std::unique_ptr<KR::File> folder(reader.open(""));
  KR::FileSystem::setContentFolder(previous);

  ASSERT_TRUE(inContent && absolute && relative);
  char buffer[32];
  EXPECT_EQ(std::string(buffer, inContent->read(buffer, 32)), "content copy");
  EXPECT_EQ(std::string(buffer, absolute->read(buffer, 32)), "elsewhere copy");
  EXPECT_EQ(std::string(buffer, relative->read(buffer, 32)), "only elsewhere");
  EXPECT_FALSE(missing);
  EXPECT_FALSE(folder);
}

TEST(LocalFile, ReadNearTheEndSeekAndTell) {
  std::string path = KR::Test::scratchDir("local") + "/f.bin";
  KR::Test::writeFile(path, "abcdefghij");
  KR::LocalFile file;
  ASSERT_EQ(file.open(path), 1);
  EXPECT_EQ(file.getSize(), 10);
  char buffer[32];
  EXPECT_EQ(file.seek(7), 0);
  EXPECT_EQ(file.tell(), 7);
  EXPECT_EQ(file.read(buffer, 32), 3);
  EXPECT_EQ(std::string(buffer, 3), "hij");
  // The position stays known at the end.
  EXPECT_EQ(file.tell(), 10);
  EXPECT_EQ(file.read(buffer, 32), 0);
  file.seek(-4);
  EXPECT_EQ(file.tell(), 0);
  file.seek(99);
  EXPECT_EQ(file.tell(), 10);
  file.seek(2);
  EXPECT_EQ(file.read(buffer, 2), 2);
  EXPECT_EQ(std::string(buffer, 2), "cd");
  EXPECT_EQ(file.close(), 0);
  EXPECT_EQ(file.close(), 0);
  EXPECT_EQ(file.tell(), -1);
  EXPECT_LT(file.read(buffer, 2), 0);
  EXPECT_EQ(file.open(path + ".missing"), 0);
}
