#include "user_data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "support/test_support.h"

namespace {

bool isFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name(name) {
    const char* old = std::getenv(name);
    if (old) previous = old, hadPrevious = true;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (hadPrevious)
      setenv(name, previous.c_str(), 1);
    else
      unsetenv(name);
  }

 private:
  const char* name;
  std::string previous;
  bool hadPrevious = false;
};

}  // namespace

TEST(UserDataFolder, CreatedUnderTheDataHomeAndStable) {
  std::string home = KR::Test::scratchDir("xdg");
  ScopedEnv data("XDG_DATA_HOME", (home + "/deeper/share").c_str());
  std::string folder = KR::getUserDataFolder("Quellmoor", "Marlowick");
  EXPECT_EQ(folder, home + "/deeper/share/Marlowick/Quellmoor/");
  EXPECT_TRUE(isFolder(folder));
  // A second call creates nothing new and gives the same path.
  EXPECT_EQ(KR::getUserDataFolder("Quellmoor", "Marlowick"), folder);
  KR::Test::writeFile(folder + "profilelist.dat", "x");
  EXPECT_EQ(KR::Test::readFile(folder + "profilelist.dat"), "x");
}

TEST(UserDataFolder, CompanyFolderLevelsAndSeparators) {
  std::string home = KR::Test::scratchDir("xdg");
  ScopedEnv data("XDG_DATA_HOME", home.c_str());
  EXPECT_EQ(KR::getUserDataFolder("Game", "Maker/Studio"), home + "/Maker/Studio/Game/");
  EXPECT_TRUE(isFolder(home + "/Maker/Studio/Game"));
  EXPECT_EQ(KR::getUserDataFolder("Game", "\\Other\\Level\\"), home + "/Other/Level/Game/");
  EXPECT_TRUE(isFolder(home + "/Other/Level/Game"));
  EXPECT_EQ(KR::getUserDataFolder("Game", "/Third/"), home + "/Third/Game/");
}

TEST(UserDataFolder, LongPathsAreNotCut) {
  std::string home = KR::Test::scratchDir("xdg") + "/" + std::string(200, 'a') + "/" + std::string(200, 'b');
  ScopedEnv data("XDG_DATA_HOME", home.c_str());
  std::string folder = KR::getUserDataFolder("Quellmoor", "Marlowick");
  EXPECT_EQ(folder, home + "/Marlowick/Quellmoor/");
  EXPECT_GT(folder.size(), 400u);
  EXPECT_TRUE(isFolder(folder));
}

TEST(UserDataFolder, FallsBackToHomeAndReportsNoFolder) {
  std::string home = KR::Test::scratchDir("home");
  {
    ScopedEnv data("XDG_DATA_HOME", "relative/is/ignored");
    ScopedEnv user("HOME", home.c_str());
    EXPECT_EQ(KR::getUserDataFolder("Quellmoor", "Marlowick"), home + "/.local/share/Marlowick/Quellmoor/");
    EXPECT_TRUE(isFolder(home + "/.local/share/Marlowick/Quellmoor"));
  }
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv user("HOME", nullptr);
  EXPECT_EQ(KR::getUserDataFolder("Quellmoor", "Marlowick"), "");
}
