// Where the design area lands in the window, and back.
#include "design_coords.h"

#include <gtest/gtest.h>

#include "application.h"
#include "config_manager.h"

namespace KR {
namespace {

class DesignCoordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config.platforms.resize(1);
    config.currentPlatform = &config.platforms[0];
  }
  void design(int w, int h, uint32_t fit = 0, float minimalAspect = 1.33f, float zoom = 1.f) {
    PlatformConfig& p = config.platforms[0];
    p.resolutionWidth = w;
    p.resolutionHeight = h;
    p.fullscreenFitType = fit;
    p.fullscreenMinimalAspect = minimalAspect;
    p.workspaceZoom = zoom;
  }
  Viewport2D viewport(int ww, int wh) {
    WindowInfo window;
    window.mWndWidth = ww;
    window.mWndHeight = wh;
    return calcViewport(window);
  }
  ConfigManager config{ConfigManager::NoLoad{}};
};

void expectViewport(const Viewport2D& v, float ox, float oy, float sx, float sy, float scale, float tol = 0.01f) {
  EXPECT_NEAR(ox, v.offset.x, tol);
  EXPECT_NEAR(oy, v.offset.y, tol);
  EXPECT_NEAR(sx, v.size.x, tol);
  EXPECT_NEAR(sy, v.size.y, tol);
  EXPECT_NEAR(scale, v.scale, tol / 10);
}

TEST_F(DesignCoordsTest, LetterboxPutsBarsOnTheLongerSide) {
  design(1024, 768);
  expectViewport(viewport(1280, 720), 160, 0, 960, 720, 0.9375f);
  expectViewport(viewport(1024, 1024), 0, 128, 1024, 768, 1.f);
  // Any fit type other than 1 and 2 letterboxes.
  design(1024, 768, 7);
  expectViewport(viewport(1280, 720), 160, 0, 960, 720, 0.9375f);
}

TEST_F(DesignCoordsTest, FillWithMinimalAspectCropsOrWidens) {
  design(1024, 768, 1);
  expectViewport(viewport(1280, 720), 160, 0, 960, 720, 0.9375f);
  design(1366, 768, 1);
  expectViewport(viewport(1024, 768), -171, 0, 1366, 768, 1.f);
  expectViewport(viewport(1280, 1024), -211.2f, 33.43f, 1702.4f, 957.13f, 1.2463f);
  design(1366, 768, 2, 1.33f, 1.1f);
  expectViewport(viewport(1280, 1024), -296.32f, -14.42f, 1872.64f, 1052.85f, 1.3709f);
}

TEST_F(DesignCoordsTest, PortraitDesignSwapsTheAxes) {
  design(768, 1024);
  expectViewport(viewport(1280, 720), 370, 0, 540, 720, 0.703125f);
  // computeFit follows the configured orientation whatever content it is given.
  const Viewport2D v = computeFit(Vector2<float>(768, 1024), Vector2<float>(1280, 720), 0, 1.f, 1.33f);
  expectViewport(v, 370, 0, 540, 720, 0.703125f);
}

// A square design counts as portrait: with fit type 1 the window's aspect is
// taken height over width (0.5625 < 1.33), so the picture grows to 1.33 x 720.
TEST_F(DesignCoordsTest, SquareDesignIsFittedAsPortrait) {
  design(800, 800, 1);
  expectViewport(viewport(1280, 720), 161.2f, -118.8f, 957.6f, 957.6f, 1.197f);
  design(800, 800);
  expectViewport(viewport(1280, 720), 280, 0, 720, 720, 0.9f);
}

TEST_F(DesignCoordsTest, WindowToDesignIsTheInverseWithoutClamping) {
  design(1024, 768);
  WindowInfo window;
  window.mWndWidth = 1280;
  window.mWndHeight = 720;
  Vector2<int> p = windowToDesignCoords(window, 160, 0);
  EXPECT_EQ(0, p.x);
  EXPECT_EQ(0, p.y);
  p = windowToDesignCoords(window, 160 + 480, 360);
  EXPECT_EQ(512, p.x);
  EXPECT_EQ(384, p.y);
  p = windowToDesignCoords(window, 100, 10);  // in the left bar
  EXPECT_EQ(-64, p.x);
  EXPECT_EQ(10, p.y);
  // A negative window offset truncates toward zero first.
  design(1366, 768, 1);
  window.mWndWidth = 1280;
  window.mWndHeight = 1024;
  p = windowToDesignCoords(window, 0, 33);
  EXPECT_EQ(int(float(0 + 211) * (1366.f / 1702.4f)), p.x);
  EXPECT_EQ(0, p.y);
  // A minimised window has no client area.
  window.mWndWidth = 0;
  window.mWndHeight = 0;
  p = windowToDesignCoords(window, 5, 5);
  EXPECT_EQ(0, p.x);
  EXPECT_EQ(0, p.y);
}

}  // namespace
}  // namespace KR
