// The play screen's overlays: the view fades and the fade-out's zoom, the lock
// countdown, the on-screen message's alpha, and the cursor with the
// profile's system-cursor option (cursor scenes from the demo content).
#include <gtest/gtest.h>

#include <memory>

#include "../../showcase_test_support.h"
#include "animationeditor/scene_node.h"
#include "core/game_cursor_manager.h"
#include "core/game_state/countdown_timer.h"
#include "core/game_state/ui_message_manager.h"
#include "core/game_state/views/view_effect.h"
#include "core/main_menu_state/profile_system.h"
#include "input_manager_win_mac.h"

namespace {

class ScreenEffectsTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
  }
};

int gCalls = 0;
void countCall() { ++gCalls; }

}  // namespace

TEST_F(ScreenEffectsTest, FadesRunTheirCourseAndTheFadeOutZoomOnlyMovesUp) {
  HOG::ViewFadeInEffect fadeIn;
  fadeIn.setDuration(1.0f);
  fadeIn.start();
  fadeIn.update(0.5f);
  EXPECT_FLOAT_EQ(fadeIn.overlayAlpha(), 0.25f);

  // The fade-out stops itself after one second whatever its duration.
  HOG::ViewFadeOutEffect fadeOut;
  fadeOut.setDuration(2.0f);
  fadeOut.start();
  fadeOut.update(0.5f);
  fadeOut.update(0.5f);
  EXPECT_TRUE(fadeOut.isRunning());
  EXPECT_FLOAT_EQ(fadeOut.overlayAlpha(), 0.5f);

  // A zoom point below the centre: no vertical movement; without zoom the
  // camera keeps zoom 1 but still moves sideways.
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  fadeOut.setZoomAmount(0.5f);
  fadeOut.setZoomTarget(KR::Vector2<float>(w, h), false);
  fadeOut.beginZoom();
  EXPECT_FLOAT_EQ(renderSystem->mCamera[KR::CAM_Y], 0.0f);
  EXPECT_FLOAT_EQ(renderSystem->mCamera[KR::CAM_ZOOM_X], 1.0f);
  const float z = 1.0f + 0.5f * 0.5f;
  const float vx = (w / 2) / std::hypot(w / 2, h / 2);
  EXPECT_NEAR(renderSystem->mCamera[KR::CAM_X], -vx * (z - 1.0f) * w * 0.125f, 1e-3f);
  fadeOut.endZoom();
  EXPECT_FLOAT_EQ(renderSystem->mCamera[KR::CAM_X], 0.0f);
  // Above the centre with zoom: the camera zooms and moves.
  fadeOut.setZoomTarget(KR::Vector2<float>(w / 2, 0.0f), true);
  fadeOut.beginZoom();
  EXPECT_FLOAT_EQ(renderSystem->mCamera[KR::CAM_ZOOM_Y], z);
  EXPECT_GT(renderSystem->mCamera[KR::CAM_Y], 0.0f);
  fadeOut.endZoom();

  fadeOut.update(0.01f);
  EXPECT_FALSE(fadeOut.isRunning());

  // The lock countdown calls back once, at the step that runs it out.
  KR::Function<KR::Dummy> callback(&countCall);
  HOG::CountdownTimer countdown;
  countdown.callback = &callback;
  countdown.remaining = 0.25f;
  countdown.update(0.125f);
  EXPECT_EQ(gCalls, 0);
  countdown.update(0.125f);
  countdown.update(0.125f);
  EXPECT_EQ(gCalls, 1);
  countdown.remaining = 0.25f;
  countdown.held = true;
  for (int i = 0; i < 10; ++i) countdown.update(0.125f);
  EXPECT_EQ(gCalls, 1);
  EXPECT_FLOAT_EQ(countdown.remaining, 0.25f);
}

TEST_F(ScreenEffectsTest, MessagesFadeInAndOutAndAreReplaced) {
  HOG::UIMessageManager messages;
  messages.showNonLocalizedMessage("The door is locked.", 2.0f);
  messages.update(0.125f);
  EXPECT_FLOAT_EQ(messages.currentAlpha(), 0.5f);
  EXPECT_FLOAT_EQ(messages.bandAlpha(), 0.5f);
  messages.update(0.875f);
  EXPECT_FLOAT_EQ(messages.currentAlpha(), 1.0f);
  EXPECT_FLOAT_EQ(messages.bandAlpha(), 0.5f);
  messages.update(0.875f);
  EXPECT_FLOAT_EQ(messages.currentAlpha(), 0.5f);
  messages.update(0.125f);  // elapsed equals the duration: still shown, at 0
  EXPECT_TRUE(messages.hasMessage());
  EXPECT_FLOAT_EQ(messages.currentAlpha(), 0.0f);
  messages.update(0.001f);
  EXPECT_FALSE(messages.hasMessage());
  EXPECT_EQ(messages.getFreeCount(), HOG::UIMessageManager::kPoolSize);

  // A short message never reaches full alpha; a new one replaces it at once.
  messages.showNonLocalizedMessage("short", 0.3f);
  messages.update(0.15f);
  EXPECT_NEAR(messages.currentAlpha(), 0.36f, 1e-5f);
  messages.showNonLocalizedMessage("next", 2.0f);
  EXPECT_FLOAT_EQ(messages.currentAlpha(), 0.0f);
  EXPECT_EQ(messages.currentText(), L"next");
  EXPECT_EQ(messages.getFreeCount(), HOG::UIMessageManager::kPoolSize - 1);
  // The text box keeps its margin from the window's edges.
  EXPECT_FLOAT_EQ(messages.getTextBox().x, 64.0f);
  EXPECT_FLOAT_EQ(messages.getTextBox().width, float(KR::RenderSystem::getDesignWidth()) - 128.0f);
  messages.render();
}

TEST_F(ScreenEffectsTest, CursorsLoadFromTheContentAndTheSystemArrowFollowsTheProfile) {
  KR::InputManager input(nullptr);
  HOG::ProfileSystem profiles(KR::Test::scratchDir("cursor-profile") + "/");
  HOG::GameCursorManager cursors;
  cursors.load();
  ASSERT_EQ(cursors.getCursorCount(), 5u);
  cursors.setCursor(2);
  cursors.update(0.5f);
  input.getMouseDevice()->cursorX = 300;
  input.getMouseDevice()->cursorY = 200;
  cursors.draw(1.0f);
  EXPECT_FALSE(cursors.isSystemArrowShown());
  EXPECT_TRUE(cursors.wasSceneDrawn());
  // The scene stands at the mouse (the passage arrow sits 16 pixels left of it).
  const KR::Vector2<float> at = AE::ISceneNode::findChild("pointer", cursors.getCurrentScene())->getWorldOrigin();
  EXPECT_NEAR(at.x, 284.0f, 1.0f);
  EXPECT_NEAR(at.y, 200.0f, 5.0f);

  // The option shows the arrow; alone on the default cursor, under any other.
  profiles.getCurrentProfile()->options.systemCursor = 1;
  cursors.setCursor(0);
  cursors.draw(1.0f);
  EXPECT_TRUE(cursors.isSystemArrowShown());
  EXPECT_FALSE(cursors.wasSceneDrawn());
  cursors.setCursor(2);
  cursors.draw(1.0f);
  EXPECT_TRUE(cursors.wasSceneDrawn());
  EXPECT_EQ(cursors.getPrevious(), 0);
  // Out of range: nothing.
  cursors.setCursor(7);
  cursors.draw(1.0f);
  EXPECT_FALSE(cursors.wasSceneDrawn());

  HOG::GameCursorManager broken;
  broken.load("no_such_cursors_xml");
  EXPECT_TRUE(log.contains("Failed to load 'no_such_cursors_xml'"));
  EXPECT_EQ(broken.getCursorCount(), 0u);
}
