// The demo's story on the headless game driver: the hall's greeting and lamp,
// the desk's drawer before its key, the shed's nine hidden things (four asked
// at once, the blue gems as one group), its finish with the green gem, the map
// button and the cut scene, SKIP; then quit mid cut scene, start again,
// continue: the same views, inventory, found items, drawer and lamp, and the
// cut scene running again; a second cut scene and a restore over a running
// one; out of the shed without a fade, the restored drawer open from its first
// frame, and a save with a close-up open restored without it; quit once it
// has played out and continue: the searched shed gives nothing twice and its
// cut scene does not come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/script/cut_scene.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_effect.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "design_coords.h"
#include "play_through_support.h"
#include "support/game_driver.h"
#include "support/test_support.h"

namespace {

using KR::Test::clickAt;
using KR::Test::holds;
using KR::Test::play;
using KR::Test::shown;
using KR::Test::trigger;
using KR::Test::window;

HOG::HOSViewExtension* shed() {
  return static_cast<HOG::HOSViewExtension*>(play().getRegistry().findViewByName("hos01")->extension);
}

bool lampLit() {
  const HOG::SceneNodeStateList& states = play().getNodeStates();
  for (int32_t i = 0; i < states.getCount(); ++i) {
    const HOG::SceneNodeStateRecord& r = states.getRecords()[i];
    if (r.viewId == 1 && r.kind == HOG::SceneNodeStateRecord::Enable && std::string(r.nodeName) == "lamp_light")
      return r.value == 1;
  }
  return false;
}

// A scene standing in for one a cut scene loaded from its own file: it tells
// when it is deleted.
class OwnScene : public AE::ISceneNode {
 public:
  explicit OwnScene(bool* gone_) : gone(gone_) {}
  ~OwnScene() override { *gone = true; }

 private:
  bool* gone;
};

// From the main menu into play (a fresh game when asked).
void enterPlay(KR::Test::GameDriver& game, bool fresh) {
  ASSERT_TRUE(game.startToMenu(fresh));
  if (!fresh) {
    EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 0);  // the menu may continue
  }
  ASSERT_TRUE(game.enterPlay());
  game.click(300, 200);  // skips the intro when it plays
  ASSERT_TRUE(game.stepUntil([&] { return !game.videoPlaying(); }, 900));
}

}  // namespace

TEST(StoryPlayThrough, DrawerKeyShedCutSceneThenSaveQuitContinue) {
  {
    KR::Test::GameDriver game;
    enterPlay(game, true);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));
    // The hall greets once and lights its lamp.
    ASSERT_TRUE(game.stepUntil([&] { return lampLit(); }, 60));
    EXPECT_EQ(game.message(), "Welcome to Quellmoor. Look around.");
    EXPECT_EQ(*play().getRegistry().findViewByName("location01")->state.get(0), 1);

    // The desk: the drawer first, then the key.
    clickAt(game, 428, 664);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
    clickAt(game, 440 + 400, 225 + 470);
    ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 120));
    clickAt(game, 440 + 332, 225 + 282);
    ASSERT_TRUE(game.stepUntil([&] { return holds(game, "key"); }, 120));
    clickAt(game, 100, 100);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 60));

    // Through the garden into the shed.
    clickAt(game, 1364, 528);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    clickAt(game, 1564, 396);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "hos01"); }, 300));
    HOG::HOSViewExtension* scene = shed();
    // Four entries asked: three single things and the blue gems' group of three.
    EXPECT_EQ(scene->activeCount, 6u);
    EXPECT_EQ(scene->remainingCount, 9u);

    int found = 0;
    while (scene->activeCount > 0 && found < 12) {
      const HOG::HOSItemTrigger* item = scene->activeItems[0];
      clickAt(game, item->center.x, item->center.y);
      game.steps(12);
      ++found;
    }
    EXPECT_EQ(found, 9);
    for (uint32_t id = 1; id <= 9; ++id) EXPECT_EQ(trigger("hos01", id)->dead, 1) << id;

    // The finish: the green gem, the map button and the cut scene.
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 1; }, 120));
    EXPECT_TRUE(holds(game, "gem_green"));
    EXPECT_EQ(HOG::ProfileSystem::getInstance()->getCurrentProfile()->options.locationsMapButtonEnabled, 1u);
    HOG::CutScene* cut = play().getCutScene();
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->stageDurations.size(), 3u);
    EXPECT_EQ(cut->targetNodes.size(), 1u);
    game.steps(30);
    // SKIP jumps to the end of the first stage.
    clickAt(game, cut->skipPosition.x + cut->skipWidth / 2, cut->skipPosition.y + cut->skipHeight / 2);
    game.steps(1);
    EXPECT_GE(cut->elapsed, 2.0f);
    EXPECT_LT(cut->elapsed, 2.5f);

    // Quit in the middle of the cut scene.
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  KR::Test::LogCapture log;
  {
    KR::Test::GameDriver game;
    enterPlay(game, false);
    ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "hos01"; }, 300));
    // The cut scene starts again once the shed has activated.
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 1; }, 300));
    EXPECT_TRUE(holds(game, "key"));
    EXPECT_TRUE(holds(game, "gem_green"));
    for (uint32_t id = 1; id <= 9; ++id) EXPECT_EQ(trigger("hos01", id)->dead, 1) << id;
    EXPECT_EQ(trigger("closeup01", 2)->dead, 1);
    EXPECT_EQ(trigger("closeup01", 1)->dead, 1);
    EXPECT_TRUE(lampLit());
    EXPECT_EQ(*play().getRegistry().findViewByName("location01")->state.get(0), 1);

    // A second cut scene over one that loaded its own scene: that scene goes.
    HOG::CutScene* cut = play().getCutScene();
    bool gone = false;
    cut->scene = new OwnScene(&gone);
    cut->ownsScene = true;
    play().startCutScene(play().savedCutSceneName, play().savedCutSceneValue);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(cut->active);
    EXPECT_EQ(play().getMode(), 1);
    game.steps(5);
    // A restore in the middle ends the running cut scene before the views'
    // scenes it plays on are freed; the saved one then starts again.
    ASSERT_TRUE(HOG::SaveLoadGameProgressSystem::load(play()));
    EXPECT_FALSE(cut->active);
    EXPECT_EQ(cut->scene, nullptr);
    game.steps(5);
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 1 && cut->active; }, 300));
    // Played out, the cut scene gives play back.
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 0; }, 900));
    EXPECT_EQ(shed()->activeCount, 0u);

    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  {
    // Seen to its end, the cut scene stays seen.
    KR::Test::GameDriver game;
    enterPlay(game, false);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "hos01"); }, 300));
    game.steps(30);
    EXPECT_EQ(play().getMode(), 0);
    const std::vector<std::string> items = game.inventory();
    EXPECT_EQ(std::count(items.begin(), items.end(), "gem_green"), 1);

    // Out of the shed, a location with an extension: no fade to black.
    clickAt(game, 80, 525);
    bool faded = false;
    ASSERT_TRUE(game.stepUntil(
        [&] {
          faded = faded || play().getFadeOut().isRunning();
          return shown(game, "location02");
        },
        300));
    EXPECT_FALSE(faded);
    // In the hall's desk the drawer opened before the save stands open.
    clickAt(game, 100, 527);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));
    // Seen from its first frame: it does not slide open again.
    HOG::View* desk = play().getRegistry().findViewByName("closeup01");
    clickAt(game, 428, 664);
    ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "closeup01" && desk->activated; }, 300));
    AE::ISceneNode* drawer = AE::ISceneNode::findChild("drawer", desk->scene);
    ASSERT_NE(drawer, nullptr);
    EXPECT_FLOAT_EQ(drawer->mPosY, 440.0f);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
    // Saved with the close-up open, the game comes back in the hall beneath it.
    ASSERT_TRUE(HOG::SaveLoadGameProgressSystem::save(play(), false));
    ASSERT_TRUE(HOG::SaveLoadGameProgressSystem::load(play()));
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));
    EXPECT_EQ(game.activeView(), "location01");
    EXPECT_FALSE(play().getViewStack().hasVisibleCloseup());
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  EXPECT_FALSE(log.contains("already exists")) << "a continued game gave the searched shed's gem again";
}
