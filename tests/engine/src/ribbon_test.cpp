#include "ribbon.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animation.h"
#include "keyframe_container.h"

namespace {

using KR::Rect;
using KR::Ribbon;
using Vec2 = KR::Vector2<float>;

// Records what the ribbon asks of its picture.
class RecordingSprite : public KR::IRibbonSprite {
 public:
  struct Segment {
    Rect frame;
    Vec2 corners[2][2];  // [column][row]
    bool texCoordsUpdated = false;
    bool verticesUpdated = false;
  };

  float getHeight() const override { return height; }
  float getScaleY() const override { return scaleY; }
  bool getFirstFrameRect(Rect* out) const override {
    if (frames.empty()) return false;
    *out = frames[0];
    return true;
  }
  void setFrameRect(uint32_t index, const Rect& rect) override {
    if (index >= frames.size()) {
      frames.push_back(rect);
    } else {
      frames[index] = rect;
    }
    pending = Segment();
    pending.frame = frames[0];
  }
  void updateMeshTexCoords() override { pending.texCoordsUpdated = true; }
  void setMeshVertexPosition(const Vec2& position, uint32_t column, uint32_t row) override {
    ASSERT_LE(column, 1u);
    ASSERT_LE(row, 1u);
    pending.corners[column][row] = position;
  }
  void updateVertices() override { pending.verticesUpdated = true; }
  void render() override { drawn.push_back(pending); }

  float height = 8.0f;
  float scaleY = 0.5f;
  std::vector<Rect> frames;
  std::vector<Segment> drawn;
  Segment pending;
};

void expectNear(const Vec2& actual, const Vec2& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

// Emits the given heads one after the other (one emission per update).
void emit(Ribbon& ribbon, std::initializer_list<Vec2> heads) {
  for (const Vec2& head : heads) {
    ribbon.head = head;
    ribbon.update(ribbon.getDuration() + 1.0f);  // always more than one interval
  }
}

TEST(RibbonSetup, InitTakesThePictureAndCollapsesTheTrail) {
  RecordingSprite picture;
  picture.frames = {Rect(4, 2, 68, 18)};
  Ribbon ribbon;
  ribbon.textureOffset = 5.0f;
  ribbon.scrolling = true;
  ribbon.init(&picture, 1.0f, 10, Vec2(3, 4));
  EXPECT_EQ(ribbon.getPointCount(), 10);
  EXPECT_EQ(ribbon.getPoints(), std::vector<Vec2>(10, Vec2(3, 4)));
  EXPECT_EQ(ribbon.getSides().size(), 10u);
  EXPECT_EQ(ribbon.getHeadings(), std::vector<float>(10, 0.0f));
  EXPECT_EQ(ribbon.getTextureRect(), Rect(4, 2, 68, 18));
  EXPECT_FALSE(ribbon.scrolling);
  EXPECT_FLOAT_EQ(ribbon.textureOffset, 0.0f);

  RecordingSprite bare;
  ribbon.init(&bare, 1.0f, 2, Vec2());
  EXPECT_EQ(ribbon.getTextureRect(), Rect());

  ribbon.init(nullptr, 1.0f, -3, Vec2());
  EXPECT_EQ(ribbon.getPointCount(), 0);
  EXPECT_TRUE(ribbon.getPoints().empty());
  ribbon.update(5.0f);
  ribbon.draw();
  EXPECT_FLOAT_EQ(ribbon.getInterval(), 0.0f);
  EXPECT_FLOAT_EQ(ribbon.getLength(), 0.0f);
}

TEST(RibbonSetup, ResetMovesHeadAndTrailToOnePoint) {
  Ribbon ribbon;
  ribbon.init(nullptr, 1.0f, 3, Vec2());
  emit(ribbon, {Vec2(5, 5)});
  ribbon.textureOffset = 2.0f;
  ribbon.scrolling = true;
  ribbon.reset(Vec2(7, 8));
  EXPECT_EQ(ribbon.head, Vec2(7, 8));
  EXPECT_EQ(ribbon.getPoints(), std::vector<Vec2>(3, Vec2(7, 8)));
  EXPECT_FLOAT_EQ(ribbon.getTimer(), 0.0f);
  EXPECT_FLOAT_EQ(ribbon.textureOffset, 0.0f);
  EXPECT_FALSE(ribbon.scrolling);
}

TEST(RibbonEmission, PointLeavesOnlyAfterMoreThanOneIntervalAndHeadCrossSectionIsUpright) {
  RecordingSprite picture;  // width 8 x 0.5 = 4
  Ribbon ribbon;
  ribbon.init(&picture, 1.0f, 10, Vec2());
  ribbon.reset(Vec2());
  ribbon.head = Vec2(50, 0);
  ribbon.update(0.05f);
  EXPECT_FLOAT_EQ(ribbon.getInterval(), 0.1f);
  EXPECT_EQ(ribbon.getPoints().back(), Vec2());  // nothing moves between emissions
  ribbon.update(0.05f);                          // exactly one interval: not yet
  EXPECT_EQ(ribbon.getPoints().back(), Vec2());
  ribbon.update(0.01f);
  EXPECT_FLOAT_EQ(ribbon.getTimer(), 0.0f);
  const std::vector<Vec2>& points = ribbon.getPoints();
  ASSERT_EQ(points.size(), 10u);
  EXPECT_EQ(points[9], Vec2(50, 0));
  EXPECT_EQ(points[8], Vec2(50, 0));  // the old head slot takes the head too
  EXPECT_EQ(points[7], Vec2());
  // The head's cross-section stands at 90 degrees whatever the direction.
  expectNear(ribbon.getSides().back().first, Vec2(50, 4));
  expectNear(ribbon.getSides().back().second, Vec2(50, -4));
}

TEST(RibbonGeometry, StraightTrailHasNoTurns) {
  RecordingSprite picture;
  Ribbon ribbon;
  ribbon.init(&picture, 1.0f, 4, Vec2());
  ribbon.reset(Vec2());
  emit(ribbon, {Vec2(10, 0), Vec2(20, 0), Vec2(30, 0)});
  EXPECT_EQ(ribbon.getPoints(), (std::vector<Vec2>{Vec2(10, 0), Vec2(20, 0), Vec2(30, 0), Vec2(30, 0)}));
  for (float heading : ribbon.getHeadings()) EXPECT_NEAR(heading, 0.0f, 1e-3f);
  for (size_t i = 0; i < 4; ++i) {
    const Vec2& p = ribbon.getPoints()[i];
    expectNear(ribbon.getSides()[i].first, Vec2(p.x, p.y + 4));
    expectNear(ribbon.getSides()[i].second, Vec2(p.x, p.y - 4));
  }
  EXPECT_FLOAT_EQ(ribbon.getLength(), 20.0f);
}

TEST(RibbonGeometry, CornerTurnsTheCrossSectionHalfWay) {
  RecordingSprite picture;
  Ribbon ribbon;
  ribbon.init(&picture, 1.0f, 4, Vec2());
  ribbon.reset(Vec2());
  // Right, then down the screen.
  emit(ribbon, {Vec2(10, 0), Vec2(10, 10)});
  ASSERT_EQ(ribbon.getPoints(), (std::vector<Vec2>{Vec2(), Vec2(10, 0), Vec2(10, 10), Vec2(10, 10)}));
  const std::vector<float>& headings = ribbon.getHeadings();
  EXPECT_NEAR(headings[0], 0.0f, 1e-3f);
  EXPECT_NEAR(headings[1], -90.0f, 1e-3f);
  // The repeated head point borrows the trail's overall direction (45 degrees).
  EXPECT_NEAR(headings[2], -45.0f, 1e-3f);
  EXPECT_NEAR(headings[3], -45.0f, 0.05f);  // acos next to 1 is coarse in single precision
  // At the corner the cross-section lies on the diagonal (rotated by 135 degrees).
  const float d = 4.0f * 0.70710678f;
  expectNear(ribbon.getSides()[1].first, Vec2(10 - d, d));
  expectNear(ribbon.getSides()[1].second, Vec2(10 + d, -d));
  EXPECT_FLOAT_EQ(ribbon.getLength(), 20.0f);
}

TEST(RibbonGeometry, TurnTheOtherWayHasTheOtherSign) {
  Ribbon ribbon;
  ribbon.init(nullptr, 1.0f, 4, Vec2());
  ribbon.reset(Vec2());
  emit(ribbon, {Vec2(10, 0), Vec2(10, -10)});
  EXPECT_NEAR(ribbon.getHeadings()[1], 90.0f, 1e-3f);
}

TEST(RibbonGeometry, SinglePointTrailStaysInBounds) {
  Ribbon ribbon;
  ribbon.init(nullptr, 1.0f, 1, Vec2());
  ribbon.reset(Vec2(1, 1));
  emit(ribbon, {Vec2(2, 2), Vec2(3, 3)});
  EXPECT_EQ(ribbon.getPoints(), std::vector<Vec2>{Vec2(3, 3)});
  EXPECT_EQ(ribbon.getSides().size(), 1u);
  EXPECT_FLOAT_EQ(ribbon.getLength(), 0.0f);
}

TEST(RibbonDraw, OneQuadPerSegmentWithTextureSpreadByLength) {
  RecordingSprite picture;
  picture.frames = {Rect(0, 2, 100, 18)};
  Ribbon ribbon;
  ribbon.init(&picture, 1.0f, 4, Vec2());
  ribbon.reset(Vec2());
  emit(ribbon, {Vec2(30, 0), Vec2(40, 0)});
  ASSERT_EQ(ribbon.getPoints(), (std::vector<Vec2>{Vec2(), Vec2(30, 0), Vec2(40, 0), Vec2(40, 0)}));
  ribbon.draw();
  ASSERT_EQ(picture.drawn.size(), 3u);
  const float u[] = {0.0f, 75.0f, 100.0f, 100.0f};
  for (size_t k = 0; k < 3; ++k) {
    const RecordingSprite::Segment& s = picture.drawn[k];
    EXPECT_NEAR(s.frame.left, u[k], 1e-4f) << k;
    EXPECT_NEAR(s.frame.right, u[k + 1], 1e-4f) << k;
    EXPECT_FLOAT_EQ(s.frame.top, 2.0f);
    EXPECT_FLOAT_EQ(s.frame.bottom, 18.0f);
    EXPECT_TRUE(s.texCoordsUpdated);
    EXPECT_TRUE(s.verticesUpdated);
    EXPECT_EQ(s.corners[0][0], ribbon.getSides()[k].first);
    EXPECT_EQ(s.corners[0][1], ribbon.getSides()[k].second);
    EXPECT_EQ(s.corners[1][0], ribbon.getSides()[k + 1].first);
    EXPECT_EQ(s.corners[1][1], ribbon.getSides()[k + 1].second);
  }

  // The texture offset narrows the span; an offset past the width leaves none.
  picture.drawn.clear();
  ribbon.textureOffset = 20.0f;
  ribbon.draw();
  ASSERT_EQ(picture.drawn.size(), 3u);
  EXPECT_NEAR(picture.drawn[0].frame.right, 60.0f, 1e-4f);
  EXPECT_NEAR(picture.drawn[2].frame.right, 80.0f, 1e-4f);
  picture.drawn.clear();
  ribbon.textureOffset = 150.0f;
  ribbon.draw();
  for (const auto& s : picture.drawn) EXPECT_FLOAT_EQ(s.frame.right, 0.0f);
}

TEST(RibbonDraw, PictureWithoutFrameGetsOneAndShortTrailsDrawNothing) {
  RecordingSprite picture;
  Ribbon ribbon;
  ribbon.init(&picture, 1.0f, 2, Vec2());
  ribbon.reset(Vec2());
  ribbon.draw();  // zero length: every u is the rectangle's left
  ASSERT_EQ(picture.drawn.size(), 1u);
  EXPECT_EQ(picture.frames.size(), 1u);
  EXPECT_EQ(picture.drawn[0].frame, Rect());

  picture.drawn.clear();
  ribbon.init(&picture, 1.0f, 1, Vec2());
  ribbon.draw();
  ribbon.init(&picture, 1.0f, 0, Vec2());
  ribbon.draw();
  ribbon.init(nullptr, 1.0f, 5, Vec2());
  ribbon.draw();
  EXPECT_TRUE(picture.drawn.empty());
}

TEST(RibbonAnimation, PosAndUTracksDriveHeadAndTextureOffset) {
  KR::Animation anim;
  Ribbon ribbon;
  ribbon.init(nullptr, 0.4f, 4, Vec2());
  KR::bindPosAndU(anim, ribbon);
  anim.addFrame(1.0f);
  anim.addFrame(1.0f);
  *anim.getVector2Value("pos", 1) = Vec2(100, 0);
  *anim.getFloatValue("u", 1) = 10.0f;
  anim.update(0.5f);
  EXPECT_EQ(ribbon.head, Vec2(50, 0));
  EXPECT_FLOAT_EQ(ribbon.textureOffset, 5.0f);

  ribbon.scrolling = true;
  ribbon.update(0.2f);  // interval 0.1: emits and scrolls by dt x 20
  EXPECT_EQ(ribbon.getPoints().back(), Vec2(50, 0));
  EXPECT_FLOAT_EQ(ribbon.textureOffset, 9.0f);
}

}  // namespace
