// The blurred hall behind the desk close-up, kept from frame to frame: each
// kept frame must show what a fresh blur of the same moment shows, after the
// blur's ramp, after the hall's lamp goes out behind the close-up, after a
// caption on the hall's wall gets a new string or is typed out, and after a
// device reset, while a settled close-up draws fewer calls than one that
// blurs anew. A puzzle's opaque close-up over the whole screen hides the
// gallery: nothing beneath it is drawn.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_post_processing_renderer.h"
#include "core/game_state/game.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "play_through_support.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "support/game_driver.h"
#include "texture_dx8.h"

namespace {

using KR::Test::clickAt;
using KR::Test::play;
using KR::Test::shown;

// Design rows top to bottom of the frame, whole width.
std::vector<uint8_t> band(const KR::Test::GameDriver& game, float top, float bottom) {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  if (!game.readFrame(rgba, width, height)) return {};
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  KR::Test::GameDriver::designToWindow(0.0f, top, &x0, &y0);
  KR::Test::GameDriver::designToWindow(1679.0f, bottom, &x1, &y1);
  std::vector<uint8_t> rows;
  for (int32_t y = y0; y <= y1 && y < int32_t(height); ++y)
    rows.insert(rows.end(), rgba.begin() + (size_t(y) * width + size_t(x0)) * 4,
                rgba.begin() + (size_t(y) * width + size_t(x1) + 1) * 4);
  return rows;
}

// One frame drawn with whatever picture is kept, then the same moment blurred
// anew: both bands, and the draw calls of each frame.
struct Frames {
  std::vector<uint8_t> kept, fresh;
  uint32_t keptCalls = 0, freshCalls = 0;
};

// The hall above the desk close-up's top edge: the lamp's light lies across
// it, the close-up and the HUD do not.
constexpr float kHallBand[2] = {0.0f, 200.0f};

Frames keptAndFresh(KR::Test::GameDriver& game, const float (&rows)[2] = kHallBand) {
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  Frames frames;
  uint32_t before = render->getDrawCallCount();
  game.step();
  frames.keptCalls = render->getDrawCallCount() - before;
  frames.kept = band(game, rows[0], rows[1]);
  HOG::GamePostProcessingRenderer::getInstance()->dropKeptPicture();
  before = render->getDrawCallCount();
  game.step();
  frames.freshCalls = render->getDrawCallCount() - before;
  frames.fresh = band(game, rows[0], rows[1]);
  return frames;
}

// A line of text hung in the view's scene at a design point, twice its
// font's size; the scene owns it.
AE::TextSceneNode* hangCaption(HOG::View* view, float x, float y) {
  auto* caption = new AE::TextSceneNode("font2_fnt", L"PUZZLE GALLERY");
  caption->mName = "caption";
  caption->setPosition(KR::Vector2<float>(x, y));
  caption->mScaleX = caption->mScaleY = 2.0f;
  caption->setSize(KR::Vector2<float>(700.0f, 40.0f));
  view->scene->addChild(caption, true);
  return caption;
}

}  // namespace

TEST(CloseUpBlurPlayThrough, TheKeptHallShowsWhatAFreshBlurShows) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  HOG::View* hall = play().getRegistry().findViewByName("location01");
  ASSERT_TRUE(hall && hall->scene);
  AE::TextSceneNode* caption = hangCaption(hall, 500.0f, 60.0f);
  ASSERT_NE(caption->getFont(), nullptr);
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

  // Across the close-up's upper part (the quest's message comes and goes
  // below it): the kept hall beside the desk meets its edges without a seam,
  // where it is left out beneath the opaque desk; a see-through desk lets it
  // through again.
  constexpr float kAcross[2] = {200.0f, 640.0f};
  const Frames across = keptAndFresh(game, kAcross);
  ASSERT_FALSE(across.fresh.empty());
  EXPECT_TRUE(across.kept == across.fresh) << "the kept hall around the desk is not the full-strength blur";
  HOG::View* closeUp = play().getRegistry().findViewByName("closeup01");
  ASSERT_TRUE(closeUp && closeUp->scene);
  AE::ISceneNode* desk = AE::ISceneNode::findChild("backdrop", closeUp->scene);
  ASSERT_NE(desk, nullptr);
  desk->setColor(1.0f, 1.0f, 1.0f, 0.5f);
  game.step();
  const Frames through = keptAndFresh(game, kAcross);
  EXPECT_FALSE(through.fresh == across.fresh);
  EXPECT_TRUE(through.kept == through.fresh) << "the kept hall does not show through a see-through desk";
  // Beneath the opaque desk the kept hall was drawn as strips around it, one
  // call each; beneath the see-through desk as one picture.
  EXPECT_GT(across.keptCalls, through.keptCalls) << "the kept hall is drawn whole beneath the opaque desk";
  desk->setColor(1.0f, 1.0f, 1.0f, 1.0f);
  game.step();

  // The lamp's light, lit at the first visit, moves down a little behind the
  // open close-up, then goes out.
  AE::ISceneNode* light = AE::ISceneNode::findChild("lamp_light", hall->scene);
  ASSERT_NE(light, nullptr);
  ASSERT_TRUE(light->mEnabled);
  light->mPosY += 12.0f;
  const Frames lowered = keptAndFresh(game);
  EXPECT_FALSE(lowered.fresh == settled.fresh) << "the lamp's light does not reach the band";
  EXPECT_TRUE(lowered.kept == lowered.fresh) << "the lamp's light still shows where it was";
  light->mPosY -= 12.0f;
  game.step();
  light->setEnabled(false);
  const Frames dark = keptAndFresh(game);
  EXPECT_FALSE(dark.fresh == settled.fresh) << "the lamp's light does not reach the band";
  EXPECT_TRUE(dark.kept == dark.fresh) << "the lamp put out behind the close-up still shows";

  // The caption gets another string of the same length, then it is typed
  // out, behind the close-up.
  game.step();
  caption->setText(L"GALLERY OF ART");
  const Frames renamed = keptAndFresh(game);
  EXPECT_FALSE(renamed.fresh == dark.fresh) << "the caption does not reach the band";
  EXPECT_TRUE(renamed.kept == renamed.fresh) << "the caption's old string still shows behind the close-up";
  game.step();
  caption->mMaxChar = 3;
  const Frames typed = keptAndFresh(game);
  EXPECT_FALSE(typed.fresh == renamed.fresh) << "the typed caption does not reach the band";
  EXPECT_TRUE(typed.kept == typed.fresh) << "the whole caption still shows while it is typed out";

  // A reset device has lost the kept picture's pixels.
  game.step();
  KR::RenderSystem::getInstance()->reset();
  const Frames reset = keptAndFresh(game);
  EXPECT_TRUE(reset.kept == reset.fresh) << "the picture kept before the device reset is drawn";

  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

// A node that counts how often it is drawn.
class CountingNode : public AE::ISceneNode {
 public:
  void renderDerived() override { ++draws; }
  int draws = 0;
};

// A puzzle's close-up over the gallery: its opaque backdrop covers the whole
// screen, so nothing beneath it is drawn, neither the gallery nor its blur
// (kept or fresh). Once the backdrop is see-through, the blurred gallery is
// drawn behind it again.
TEST(CloseUpBlurPlayThrough, AnOpaquePuzzleCloseUpDrawsNothingBeneathIt) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  clickAt(game, 164, 346);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "gallery"); }, 600));
  HOG::View* gallery = play().getRegistry().findViewByName("gallery");
  ASSERT_TRUE(gallery && gallery->scene);
  auto* counter = new CountingNode();
  gallery->scene->addChild(counter, true);
  game.step();
  EXPECT_GT(counter->draws, 0);
  clickAt(game, 300, 200);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "puzzle_bqueue"); }, 600));
  game.steps(30);

  const int hidden = counter->draws;
  game.steps(5);
  EXPECT_EQ(counter->draws, hidden) << "the gallery beneath the puzzle is drawn";
  EXPECT_FALSE(HOG::GamePostProcessingRenderer::getInstance()->hasKeptPicture());
  EXPECT_TRUE(KR::RenderSystem::getInstance()->isFrameDirect()) << "the frame went through the scene texture";

  HOG::View* puzzle = play().getRegistry().findViewByName("puzzle_bqueue");
  ASSERT_TRUE(puzzle && puzzle->scene);
  AE::ISceneNode* backdrop = AE::ISceneNode::findChild("backdrop", puzzle->scene);
  ASSERT_NE(backdrop, nullptr);
  // Each way the backdrop stops hiding the gallery brings it back: a colour
  // that lets it through, a blend that adds it to what lies beneath, a clip
  // or a place that leaves a strip of the screen, a picture with translucent
  // texels.
  const auto drawnBeneath = [&](const char* how, const std::function<void()>& change,
                                const std::function<void()>& undo) {
    change();
    const int before = counter->draws;
    game.steps(5);
    EXPECT_GT(counter->draws, before) << "the gallery is not drawn behind a backdrop " << how;
    undo();
    game.steps(2);
    const int after = counter->draws;
    game.steps(3);
    EXPECT_EQ(counter->draws, after) << "the gallery is drawn again after the backdrop " << how;
  };
  drawnBeneath(
      "see-through", [&] { backdrop->setColor(1.0f, 1.0f, 1.0f, 0.5f); },
      [&] { backdrop->setColor(1.0f, 1.0f, 1.0f, 1.0f); });
  auto* sprite = static_cast<AE::SpriteSceneNode*>(backdrop);
  drawnBeneath(
      "added to what lies beneath", [&] { sprite->mBlendMode = KR::BM_ADD; },
      [&] { sprite->mBlendMode = KR::BM_ALPHA; });
  KR::Sprite* quad = sprite->mSprite;
  drawnBeneath(
      "clipped to the top of the screen",
      [&] {
        quad->mClipEnabled = true;
        quad->mClipRect = KR::Rect(0.0f, 0.0f, 1680.0f, 500.0f);
      },
      [&] { quad->mClipEnabled = false; });
  const float x = backdrop->mPosX;
  drawnBeneath(
      "moved right by a pixel", [&] { backdrop->mPosX = x + 1.0f; }, [&] { backdrop->mPosX = x; });
  auto* picture = sprite->mSprite->getTexture();
  ASSERT_NE(picture, nullptr);
  drawnBeneath(
      "of a translucent picture", [&] { picture->mOpaque = false; }, [&] { picture->mOpaque = true; });

  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
