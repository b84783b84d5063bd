// The list of loaded scenes while loading threads add to it and the main
// thread deletes scenes (label threads).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "support/test_support.h"

namespace {

TEST(LoadedSceneListTest, LoadingThreadsAndDeletionsKeepTheListWhole) {
  const std::string path = KR::Test::scratchDir("loaded-scene-list") + "/scene.xml";
  KR::Test::writeFile(path, "<Scene><Object name='a'><Childs><Object name='b'/></Childs></Object></Scene>");
  const size_t before = AE::getLoadedSceneCount();
  constexpr int kPerThread = 200;
  std::vector<std::vector<AE::ISceneNode*>> loaded(2);
  std::atomic<int> done{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) loaded[size_t(t)].push_back(AE::loadScene(path));
      ++done;
    });
  }
  // Meanwhile the main thread loads and deletes scenes of its own.
  int deleted = 0;
  while (done < 2) {
    delete AE::loadScene(path);
    ++deleted;
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_GT(deleted, 0);
  EXPECT_EQ(before + 2 * kPerThread, AE::getLoadedSceneCount());
  for (auto& list : loaded) {
    for (AE::ISceneNode* scene : list) {
      ASSERT_NE(nullptr, scene);
      EXPECT_TRUE(AE::isLoadedScene(scene));
      delete scene;
    }
  }
  EXPECT_EQ(before, AE::getLoadedSceneCount());
}

}  // namespace
