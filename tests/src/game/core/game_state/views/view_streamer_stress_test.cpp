// The two threads together: 1,000 walks between the hall and the garden,
// close-ups of the desk and carries of the stone while the streamer's thread
// loads and releases the views around them, the frames updating and drawing
// on this thread; AddressSanitizer and ThreadSanitizer find nothing, and no
// visible view is ever released.
#include <gtest/gtest.h>

#include <memory>

#include "../../showcase_test_support.h"
#include "core/game_state/game.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/game_state/views/view_streamer.h"
#include "core/main_menu_state/profile_system.h"
#include "support/test_support.h"
#include "texture_manager.h"

namespace {

class StreamerStressTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    profiles = std::make_unique<HOG::ProfileSystem>(KR::Test::scratchDir("streamer-stress") + "/");
    game = std::make_unique<HOG::Game>();
    game->load();
  }
  void TearDown() override {
    game->unload();
    game.reset();
    profiles.reset();
    ShowcaseTest::TearDown();
  }
  void frame() {
    game->update(1.0f / 30.0f);
    game->draw();
    textures->createPendingTextures();
  }

  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<HOG::Game> game;
};

TEST_F(StreamerStressTest, WalksCloseupsAndCarriesWhileTheStreamerLoadsAndReleases) {
  game->resetForNewGame();
  HOG::ViewStack& stack = game->getViewStack();
  HOG::ViewRegistry& registry = game->getRegistry();
  game->getStreamer().start();
  int released = 0;
  for (int i = 0; i < 1000; ++i) {
    game->lockFor(0.0f);
    switch (i % 4) {
      case 0: stack.openView("location01"); break;
      case 1: stack.openView("closeup01"); break;
      case 2:
        stack.closeActiveView();
        stack.openView("location02");
        break;
      default:
        stack.takeTriggerObject(1);
        frame();
        stack.dropTakedObject(i % 8 == 3);
        break;
    }
    frame();
    // A visible view that had loaded stays loaded.
    HOG::View* visible[HOG::ViewStack::kMaxVisibleViews];
    const int count = stack.getVisibleViews(visible);
    for (int v = 0; v < count; ++v) released += visible[v]->activated && !visible[v]->loaded;
  }
  EXPECT_EQ(released, 0);
  // The hall's neighbours are in by now; a far view (the shed of the garden's
  // neighbours, past the depth) may come and go.
  stack.openView("location01");
  // The bound only ends a hang: a busy machine may take its time loading.
  for (int i = 0;
       i < 20000 && !(registry.findViewByName("location02")->loaded && registry.findViewByName("closeup01")->loaded);
       ++i) {
    frame();
    KR::Thread::sleep(5);
  }
  EXPECT_TRUE(registry.findViewByName("location02")->loaded);
  EXPECT_TRUE(registry.findViewByName("closeup01")->loaded);
  game->getStreamer().stop();
}

}  // namespace
