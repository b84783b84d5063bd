// The showcase's images and animation pages over the built demo media, drawn
// off screen and read back: every picture format lands in its quad the right
// way round, the walker follows its frame description forwards and back, and
// its trail stays behind it. Set KR_PAGES_DUMP to a folder to keep the frames
// as PNG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/showcase/showcase_animation_page.h"
#include "core/showcase/showcase_image_page.h"
#include "font_maker.h"
#include "showcase_test_support.h"

namespace {

struct Average {
  float r = 0.0f, g = 0.0f, b = 0.0f;
  float channel(int c) const { return c == 0 ? r : (c == 1 ? g : b); }
};

class ShowcasePagesTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
  }

  template <typename Page>
  void drawFrame(Page& page, const char* dumpName) {
    ASSERT_TRUE(drawTwiceAndRead([&] { page.draw(); }));
    if (const char* dump = std::getenv("KR_PAGES_DUMP")) {
      std::string error;
      KR::Tools::writePng(std::string(dump) + "/" + dumpName + ".png", width, height, frame, &error);
    }
  }
  const uint8_t* at(int x, int y) const { return &frame[(size_t(y) * width + size_t(x)) * 4]; }
  Average average(float left, float top, float right, float bottom) const {
    Average a;
    int count = 0;
    for (int y = int(top); y < int(bottom); ++y)
      for (int x = int(left); x < int(right); ++x) {
        const uint8_t* p = at(x, y);
        a.r += p[0];
        a.g += p[1];
        a.b += p[2];
        ++count;
      }
    if (count > 0) {
      a.r /= float(count);
      a.g /= float(count);
      a.b /= float(count);
    }
    return a;
  }
  // Pixels near a point whose colour is the walker's warm yellow.
  int warmAround(const KR::Vector2<float>& point, int radius) const {
    int count = 0;
    for (int y = int(point.y) - radius; y <= int(point.y) + radius; ++y)
      for (int x = int(point.x) - radius; x <= int(point.x) + radius; ++x) {
        if (x < 0 || y < 0 || x >= int(width) || y >= int(height)) continue;
        const uint8_t* p = at(x, y);
        if (p[0] > 180 && p[1] > 120 && p[2] < 140 && p[0] > p[2] + 80) ++count;
      }
    return count;
  }
  int litAround(const KR::Vector2<float>& point, int radius) const {
    int count = 0;
    for (int y = int(point.y) - radius; y <= int(point.y) + radius; ++y)
      for (int x = int(point.x) - radius; x <= int(point.x) + radius; ++x) {
        if (x < 0 || y < 0 || x >= int(width) || y >= int(height)) continue;
        const uint8_t* p = at(x, y);
        if (p[0] + p[1] + p[2] > 90) ++count;
      }
    return count;
  }
};

TEST_F(ShowcasePagesTest, ImagesPageShowsEveryFormatTheRightWayRound) {
  {
    HOG::ImageShowcasePage page;
    ASSERT_TRUE(page.load());
    EXPECT_EQ(sprites->getCount(), 12u);  // six pictures, six panels
    drawFrame(page, "images");

    // The demo pictures run a ramp from left to right in one channel: red in
    // the RGB one, blue in the RGBA one, green in the DDS and KRT ones and
    // the luminance in the grey one.
    const int rampChannel[HOG::ImageShowcasePage::kPictureCount] = {0, 2, 1, -1, 1, 1};
    for (int i = 0; i < HOG::ImageShowcasePage::kPictureCount; ++i) {
      const KR::Rect q = page.getQuadRect(i);
      SCOPED_TRACE(HOG::ImageShowcasePage::kPictures[i].name);
      EXPECT_GT(q.width(), 150.0f);
      EXPECT_GT(q.height(), 90.0f);
      // Strips either side of the middle, inside the opaque part of the
      // pictures' round alpha masks.
      const float cx = (q.left + q.right) * 0.5f, cy = (q.top + q.bottom) * 0.5f;
      const float r = std::min(q.width(), q.height()) * 0.5f;
      const Average left = average(cx - 0.55f * r, cy - 0.3f * r, cx - 0.15f * r, cy + 0.3f * r);
      const Average right = average(cx + 0.15f * r, cy - 0.3f * r, cx + 0.55f * r, cy + 0.3f * r);
      const int c = rampChannel[i];
      if (c >= 0) {
        EXPECT_GT(right.channel(c), left.channel(c) + 20.0f);
      } else if (i == 2) {
        EXPECT_GT(right.r + right.g + right.b, left.r + left.g + left.b + 45.0f);
        EXPECT_NEAR(left.r, left.g, 3.0f);
        EXPECT_NEAR(left.g, left.b, 3.0f);
      }
    }
    // The palette picture: diagonal stripes of a red-to-green ramp.
    const KR::Rect palette = page.getQuadRect(3);
    const Average middle = average(palette.left + 60, palette.top + 60, palette.right - 60, palette.bottom - 60);
    EXPECT_GT(middle.r, 60.0f);
    EXPECT_GT(middle.g, 60.0f);
    EXPECT_GT(middle.b, middle.r);

    // Where the RGBA and DDS pictures are transparent (their corners) the
    // panel shows through as it does just outside the quad.
    for (int i : {1, 4}) {
      const KR::Rect q = page.getQuadRect(i);
      const uint8_t* inside = at(int(q.left) + 3, int(q.top) + 3);
      const uint8_t* outside = at(int(q.left) - 3, int(q.top) - 3);
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(inside[k], outside[k], 12) << "picture " << i << " channel " << k;
    }
    // The RGB picture has no alpha: its corner is its own (blue checker, no red).
    const KR::Rect rgb = page.getQuadRect(0);
    const uint8_t* corner = at(int(rgb.left) + 2, int(rgb.top) + 2);
    EXPECT_GT(int(corner[2]), int(corner[0]) + 30);

    // Labels under each picture, the frame along the design area's edge.
    for (int i = 0; i < HOG::ImageShowcasePage::kPictureCount; ++i) {
      const KR::Rect q = page.getQuadRect(i);
      int lit = 0;
      for (int y = 280 * (i / 3) + 290; y < 280 * (i / 3) + 340; ++y)
        for (int x = int(q.left) - 40; x < int(q.right) + 40; ++x) lit += at(x, y)[0] > 120 ? 1 : 0;
      EXPECT_GT(lit, 40) << "label " << i;
    }
    EXPECT_GT(at(0, 300)[0], 200);
    EXPECT_GT(at(1679, 300)[0], 200);
    EXPECT_GT(at(500, 1049)[0], 200);
  }
  EXPECT_EQ(sprites->getCount(), 0u);
  EXPECT_EQ(fonts->getFontCount(), 0u);
}

TEST_F(ShowcasePagesTest, ImagesPageDescribesTheFit) {
  // The demo configuration letterboxes: a wide window gets bars at the sides.
  renderSystem->getWindowInfo().mWndWidth = 3360;
  renderSystem->getWindowInfo().mWndHeight = 1050;
  EXPECT_EQ(
      HOG::ImageShowcasePage::describeFit(),
      "Window 3360 x 1050, fit type 0 (letterbox): design area 1680 x 1050 drawn 1680 x 1050 at 840, 0, with bars");
  renderSystem->getWindowInfo().mWndWidth = 840;
  renderSystem->getWindowInfo().mWndHeight = 525;
  EXPECT_EQ(HOG::ImageShowcasePage::describeFit(),
            "Window 840 x 525, fit type 0 (letterbox): design area 1680 x 1050 drawn 840 x 525 at 0, 0");
  // A filling fit crops the design area where the window is narrower.
  config->currentPlatform->fullscreenFitType = 1;
  renderSystem->getWindowInfo().mWndWidth = 768;
  renderSystem->getWindowInfo().mWndHeight = 768;
  const std::string fill = HOG::ImageShowcasePage::describeFit();
  EXPECT_NE(fill.find("fit type 1 (fill)"), std::string::npos) << fill;
  EXPECT_NE(fill.find(", cropped"), std::string::npos) << fill;
}

TEST_F(ShowcasePagesTest, AnimationPageWalksForwardsThenBackwardsWithItsTrail) {
  {
    HOG::AnimationShowcasePage page;
    ASSERT_TRUE(page.load());
    EXPECT_EQ(page.getAnimation().getFrameCount(), 7u);
    EXPECT_EQ(page.getMode(), HOG::AnimationShowcasePage::Mode::WholeWalk);
    EXPECT_EQ(page.getPosition(), KR::Vector2<float>(64, 384));

    // Forwards: the walker moves right and its trail follows it.
    for (int i = 0; i < 30; ++i) page.advance(1.0f / 30.0f);
    const KR::Vector2<float> early = page.getPosition();
    EXPECT_GT(early.x, 150.0f);
    EXPECT_GT(page.getRibbon().getLength(), 40.0f);
    EXPECT_EQ(page.getRibbon().getPoints().back(), early);
    drawFrame(page, "animation_forwards");
    EXPECT_GT(warmAround(early, 6), 60) << "walker at " << early.x << ", " << early.y;
    // The oldest trail point is well behind the walker, yet drawn.
    const KR::Vector2<float> tail = page.getRibbon().getPoints().front();
    EXPECT_GT(std::hypot(tail.x - early.x, tail.y - early.y), 60.0f);
    EXPECT_GT(litAround(tail, 4), 10) << "trail at " << tail.x << ", " << tail.y;
    EXPECT_EQ(warmAround(tail, 4), 0);

    // Through the end of the walk: then backwards between the markers.
    for (int i = 0; i < 100 && page.getMode() == HOG::AnimationShowcasePage::Mode::WholeWalk; ++i)
      page.advance(1.0f / 30.0f);
    ASSERT_EQ(page.getMode(), HOG::AnimationShowcasePage::Mode::Backwards);
    EXPECT_FLOAT_EQ(page.getTime(), 3.0f);
    const KR::Vector2<float> far = page.getPosition();
    for (int i = 0; i < 15; ++i) page.advance(1.0f / 30.0f);
    EXPECT_NEAR(page.getTime(), 2.5f, 1e-3f);
    const KR::Vector2<float> back = page.getPosition();
    EXPECT_LT(back.x, far.x - 50.0f);
    drawFrame(page, "animation_backwards");
    EXPECT_GT(warmAround(back, 6), 60);
    EXPECT_EQ(warmAround(far, 6), 0);

    // Past the end marker it starts over at the start marker.
    for (int i = 0; i < 50; ++i) page.advance(1.0f / 30.0f);
    EXPECT_GE(page.getTime(), 1.0f);
    EXPECT_LE(page.getTime(), 3.0f);

    // Enter: forwards over the same stretch, from where it stands.
    const float before = page.getTime();
    const KR::Vector2<float> here = page.getPosition();
    page.switchDirection();
    EXPECT_EQ(page.getMode(), HOG::AnimationShowcasePage::Mode::Forwards);
    page.advance(0.2f);
    EXPECT_NEAR(page.getTime(), before + 0.2f > 3.0f ? 1.0f : before + 0.2f, 1e-3f);
    EXPECT_NE(page.getPosition(), here);
    page.switchDirection();
    EXPECT_EQ(page.getMode(), HOG::AnimationShowcasePage::Mode::Backwards);
  }
  EXPECT_EQ(sprites->getCount(), 0u);
  EXPECT_EQ(fastSprites->getCount(), 0u);
  EXPECT_EQ(fonts->getFontCount(), 0u);
}

}  // namespace
