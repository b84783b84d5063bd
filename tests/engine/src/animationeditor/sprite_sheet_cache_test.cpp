// The sprite-sheet cache shared by loading threads and the main thread: each
// sheet serves one user at a time, a busy sheet is copied rather than shared,
// and every use is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "animationeditor/sprite_sheet_cache.h"
#include "src/game/core/showcase_test_support.h"
#include "xml_data_reader.h"

namespace {

const char* const kScript = "demo_scene_sprites";

class SpriteSheetCacheTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    AE::SpriteSheetCache::instance().clear();
  }
  void TearDown() override {
    AE::SpriteSheetCache::instance().clear();
    ShowcaseTest::TearDown();
  }
};

TEST_F(SpriteSheetCacheTest, OneUserPerSheetAndEveryUseCounted) {
  AE::SpriteSheetCache& cache = AE::SpriteSheetCache::instance();
  KR::XmlDataReader* first = cache.acquire(kScript);
  ASSERT_TRUE(first->getCursor());
  EXPECT_TRUE(log.contains(">>> XML Cache default: demo_scene_sprites (1)"));
  KR::XmlDataReader* second = cache.acquire(kScript);
  EXPECT_NE(first, second) << "a busy sheet is not shared";
  cache.release(first);
  EXPECT_EQ(first, cache.acquire(kScript)) << "a released sheet serves again";
  cache.release(first);
  cache.release(second);
  EXPECT_EQ(2u, cache.getRecordCount());
  EXPECT_EQ(3u, cache.getUseCount(kScript));
  // No sheet at all: an empty document, and the callers take the Lua script.
  KR::XmlDataReader* none = cache.acquire("no_such_sprites");
  EXPECT_FALSE(none->getCursor());
  cache.release(none);
}

TEST_F(SpriteSheetCacheTest, ThreadsNeverHoldTheSameSheetAtOnce) {
  AE::SpriteSheetCache& cache = AE::SpriteSheetCache::instance();
  constexpr int kThreads = 6;
  constexpr int kRounds = 200;
  std::mutex holdersLock;
  std::map<KR::XmlDataReader*, int> holders;
  std::atomic<int> clashes{0};
  std::atomic<int> missingRoots{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        KR::XmlDataReader* sheet = cache.acquire(kScript);
        {
          std::lock_guard<std::mutex> guard(holdersLock);
          if (++holders[sheet] > 1) ++clashes;
        }
        if (!sheet->getCursor().child("SceneHand")) ++missingRoots;
        {
          std::lock_guard<std::mutex> guard(holdersLock);
          --holders[sheet];
        }
        cache.release(sheet);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(0, clashes.load());
  EXPECT_EQ(0, missingRoots.load());
  EXPECT_EQ(uint32_t(kThreads * kRounds), cache.getUseCount(kScript));
  EXPECT_LE(cache.getRecordCount(), size_t(kThreads));
}

}  // namespace
