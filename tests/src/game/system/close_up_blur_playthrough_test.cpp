// The blurred hall behind the desk close-up, kept from frame to frame: each
// kept frame must show what a fresh blur of the same moment shows, after the
// blur's ramp, after the hall's lamp goes out behind the close-up and
// after a device reset, while a settled close-up draws fewer calls than one
// that blurs anew.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "animationeditor/scene_node.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/game.h"
#include "core/game_state/view.h"
#include "core/game_state/view_registry.h"
#include "play_through_support.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"

namespace {

using KR::Test::clickAt;
using KR::Test::play;
using KR::Test::shown;

// The hall above the close-up's top edge (design rows 0 to 200): the lamp's
// light lies across it, the close-up and the HUD do not.
std::vector<uint8_t> hallBand(const KR::Test::GameDriver& game) {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  if (!game.readFrame(rgba, width, height)) return {};
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  KR::Test::GameDriver::designToWindow(0.0f, 0.0f, &x0, &y0);
  KR::Test::GameDriver::designToWindow(1679.0f, 200.0f, &x1, &y1);
  std::vector<uint8_t> band;
  for (int32_t y = y0; y <= y1 && y < int32_t(height); ++y)
    band.insert(band.end(), rgba.begin() + (size_t(y) * width + size_t(x0)) * 4,
                rgba.begin() + (size_t(y) * width + size_t(x1) + 1) * 4);
  return band;
}

// One frame drawn with whatever picture is kept, then the same moment blurred
// anew: both bands, and the draw calls of each frame.
struct Frames {
  std::vector<uint8_t> kept, fresh;
  uint32_t keptCalls = 0, freshCalls = 0;
};

Frames keptAndFresh(KR::Test::GameDriver& game) {
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  Frames frames;
  uint32_t before = render->getDrawCallCount();
  game.step();
  frames.keptCalls = render->getDrawCallCount() - before;
  frames.kept = hallBand(game);
  HOG::GamePostProcessingRenderer::getInstance()->dropKeptPicture();
  before = render->getDrawCallCount();
  game.step();
  frames.freshCalls = render->getDrawCallCount() - before;
  frames.fresh = hallBand(game);
  return frames;
}

}  // namespace

TEST(CloseUpBlurPlayThrough, TheKeptHallShowsWhatAFreshBlurShows) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  clickAt(game, 428, 664);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
  // The blur has ramped up to its full strength.
  game.steps(30);

  const Frames settled = keptAndFresh(game);
  ASSERT_FALSE(settled.fresh.empty());
  EXPECT_TRUE(settled.kept == settled.fresh) << "the kept picture is not the full-strength blur";
  EXPECT_LT(settled.keptCalls, settled.freshCalls) << "the settled close-up blurs the hall every frame";
  game.step();
  EXPECT_TRUE(HOG::GamePostProcessingRenderer::getInstance()->hasKeptPicture());

  // The lamp, lit at the first visit, goes out behind the open close-up.
  HOG::View* hall = play().getRegistry().findViewByName("location01");
  ASSERT_TRUE(hall && hall->scene);
  AE::ISceneNode* light = AE::ISceneNode::findChild("lamp_light", hall->scene);
  ASSERT_NE(light, nullptr);
  ASSERT_TRUE(light->mEnabled);
  light->setEnabled(false);
  const Frames dark = keptAndFresh(game);
  EXPECT_FALSE(dark.fresh == settled.fresh) << "the lamp's light does not reach the band";
  EXPECT_TRUE(dark.kept == dark.fresh) << "the lamp put out behind the close-up still shows";

  // A reset device has lost the kept picture's pixels.
  game.step();
  KR::RenderSystem::getInstance()->reset();
  const Frames reset = keptAndFresh(game);
  EXPECT_TRUE(reset.kept == reset.fresh) << "the picture kept before the device reset is drawn";

  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
