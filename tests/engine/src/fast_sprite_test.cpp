#include "fast_sprite.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render_data.h"
#include "sprite_test_support.h"
#include "texture_dx8.h"

namespace {

// The texture layer refuses a missing picture before a sprite would see it.
const char* const kMissingPicture = "not found|Failed to load (texture|image)";

using KR::FastSprite;
using KR::Rect;
using KR::Vector2;
using KR::Test::near;
using KR::Test::Rgba;
using ::testing::ExitedWithCode;

const char* const kDescriptions =
    "Glyph = { Pos = {4, 6}, MirrorH = 1, Angle = 12, Color = {255, 0, 0, 128}, BlendMode = 'color',\n"
    "  ETC1PairedTextures = 3, Image0 = 'quads', SrcRect0 = {0, 0, 32, 16}, Image1 = 'quads',\n"
    "  rotCenter = {1, 2}, ClipRect = {1, 2, 3, 4}, Mesh = { sizeX = 0 } }\n"
    "Plain = { Image0 = 'quads' }\n"
    "Missing = { Image0 = 'nothing' }\n";

class FastSpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.addPicture("default", "quads", KR::Test::blockPicture(64, 32, [](uint32_t x, uint32_t y) {
                       if (y < 16) return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
                       return x < 32 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
                     }));
    world.addPicture("default", "wide", KR::Test::blockPicture(256, 8, [](uint32_t, uint32_t) {
                       return Rgba{255, 255, 255, 255};
                     }));
    world.add("default", "fast", kDescriptions);
    world.start();
    world.startRendering();
  }

  FastSprite* described(const char* table) { return world.fastSprites->createSprite("fast", table, "default"); }

  KR::Test::SpriteWorld world;
};

TEST_F(FastSpriteTest, DescriptionWithColourAndWithoutMesh) {
  FastSprite* glyph = described("Glyph");
  EXPECT_EQ(Vector2<float>(4, 6), glyph->mPosition);
  EXPECT_TRUE(glyph->mMirrorH);
  EXPECT_FALSE(glyph->mMirrorV);
  EXPECT_FLOAT_EQ(12.0f, glyph->mAngle);
  EXPECT_EQ(0x80FF0000u, glyph->getColor().value);
  EXPECT_EQ(uint32_t(KR::BM_COLOR), glyph->getBlendMode());
  EXPECT_EQ(3u, glyph->mQuad->mUser);
  ASSERT_EQ(2u, glyph->getFrameCount());
  EXPECT_EQ(Rect(0, 0, 32, 16), glyph->getFrameRect());
  EXPECT_EQ(Rect(), glyph->mFrames[1]);
  EXPECT_EQ(Vector2<float>(32, 16), glyph->mSize);
  EXPECT_EQ(Vector2<float>(1, 2), glyph->mRotationCenter);
  EXPECT_EQ(Rect(1, 2, 3, 4), glyph->mClipRect);
  EXPECT_FLOAT_EQ(1.0f / 64, glyph->mInvTextureSize.x);
  // Texture coordinates of frame 0, slots top-left, top-right, bottom-right, bottom-left.
  EXPECT_EQ(Vector2<float>(0, 0), glyph->getCornerTexCoord(0));
  EXPECT_EQ(Vector2<float>(0.5f, 0), glyph->getCornerTexCoord(1));
  EXPECT_EQ(Vector2<float>(0.5f, 0.5f), glyph->getCornerTexCoord(2));
  EXPECT_EQ(Vector2<float>(0, 0.5f), glyph->getCornerTexCoord(3));
}

TEST_F(FastSpriteTest, TextureObjectsFramesAndCopies) {
  FastSprite blank;
  EXPECT_EQ(Rect(), blank.getFrameRect());
  blank.setTexture(nullptr);
  EXPECT_EQ(Vector2<float>(32, 32), blank.mSize);
  EXPECT_EQ(Vector2<float>(16, 16), blank.mRotationCenter);
  EXPECT_EQ(0xFFFFFFFFu, blank.getColor().value);
  EXPECT_EQ(Rect(0, 0, 1024, 768), blank.mClipRect);

  FastSprite* image = world.fastSprites->createSpriteFromImage("quads", "default");
  KR::Texture* quads = image->getTexture();
  ASSERT_NE(nullptr, quads);
  EXPECT_EQ(Rect(0, 0, 64, 32), image->getFrameRect());
  image->setFrameRect(3, Rect(1, 1, 2, 2));
  ASSERT_EQ(2u, image->getFrameCount()) << "an index past the end appends one frame";
  EXPECT_EQ(Rect(1, 1, 2, 2), image->mFrames[1]);
  image->setFrameRect(0, Rect(32, 16, 64, 32));
  EXPECT_EQ(Vector2<float>(0.5f, 0.5f), image->getCornerTexCoord(0));
  image->setColor(KR::Color::fromChannels(1, 2, 3, 4));
  image->mAngle = 45;

  FastSprite copy;
  copy.copyConstruct(*image);
  EXPECT_EQ(2, quads->getReferenceCount());
  EXPECT_FLOAT_EQ(45.0f, copy.mAngle);
  EXPECT_EQ(0xFFFFFFFFu, copy.getColor().value) << "a copy starts opaque white";
  EXPECT_EQ(Vector2<float>(0.5f, 0.5f), copy.getCornerTexCoord(0));
  EXPECT_NE(image->mQuad->getVertexBytes(), copy.mQuad->getVertexBytes());
}

TEST_F(FastSpriteTest, SmallAnglesAreDrawnUnrotated) {
  FastSprite* sprite = world.fastSprites->createSpriteFromImage("quads", "default");
  sprite->mPosition = Vector2<float>(10, 20);
  world.beginFrame();
  sprite->mAngle = 0.5f;
  sprite->draw();
  EXPECT_EQ(Vector2<float>(10, 20), sprite->getCorner(0));
  EXPECT_EQ(Vector2<float>(74, 20), sprite->getCorner(1));
  EXPECT_EQ(Vector2<float>(74, 52), sprite->getCorner(2));
  EXPECT_EQ(Vector2<float>(10, 52), sprite->getCorner(3));
  sprite->mAngle = -1.0f;
  sprite->draw();
  EXPECT_EQ(Vector2<float>(10, 20), sprite->getCorner(0));
  sprite->mAngle = 1.5f;
  sprite->draw();
  EXPECT_NE(Vector2<float>(10, 20), sprite->getCorner(0));
  // 90 degrees clockwise about the centre (42, 36).
  sprite->mAngle = 90.0f;
  sprite->mScale = Vector2<float>(1, 1);
  sprite->draw();
  EXPECT_NEAR(58.0f, sprite->getCorner(0).x, 1e-4);
  EXPECT_NEAR(4.0f, sprite->getCorner(0).y, 1e-4);
  world.endFrame();
}

TEST_F(FastSpriteTest, MirrorsApplyOnlyWhileClipping) {
  FastSprite* sprite = world.fastSprites->createSpriteFromImage("quads", "default");
  sprite->mMirrorH = true;
  world.beginFrame();
  sprite->draw();
  EXPECT_EQ(Vector2<float>(0, 0), sprite->getCornerTexCoord(0));
  sprite->mClipEnabled = true;
  sprite->draw();
  EXPECT_EQ(Vector2<float>(1, 0), sprite->getCornerTexCoord(0));
  EXPECT_EQ(Vector2<float>(0, 0), sprite->getCornerTexCoord(1));
  world.endFrame();
}

TEST_F(FastSpriteTest, ClipShiftCountsTexelsPerDesignPixel) {
  // 256 texels drawn over 128 design pixels: 2 texels a pixel.
  FastSprite* sprite = world.fastSprites->createSpriteFromImage("wide", "default");
  sprite->mSize = Vector2<float>(128, 8);
  sprite->mPosition = Vector2<float>(-10, 0);
  sprite->mClipRect = Rect(0, 0, 100, 768);
  sprite->mClipEnabled = true;
  world.beginFrame();
  sprite->draw();
  EXPECT_EQ(Vector2<float>(0, 0), sprite->getCorner(0));
  EXPECT_NEAR(10.0f * 2.0f / 256.0f, sprite->getCornerTexCoord(0).x, 1e-6);
  EXPECT_NEAR(10.0f * 2.0f / 256.0f, sprite->getCornerTexCoord(3).x, 1e-6);
  // The right edge at 118 is clamped to 100: 18 pixels, 36 texels.
  EXPECT_EQ(100.0f, sprite->getCorner(1).x);
  EXPECT_NEAR(1.0f - 36.0f / 256.0f, sprite->getCornerTexCoord(1).x, 1e-6);

  // Drawn through a matrix the shift is one texel a pixel.
  sprite->mPosition = Vector2<float>(0, 0);
  KR::Matrix3 matrix = KR::Matrix3::translation(-10, 0);
  sprite->drawTransformed(matrix);
  EXPECT_EQ(Vector2<float>(0, 0), sprite->getCorner(0));
  EXPECT_NEAR(10.0f / 256.0f, sprite->getCornerTexCoord(0).x, 1e-6);

  // No frames: nothing is shifted.
  sprite->mFrames.clear();
  sprite->mPosition = Vector2<float>(-10, 0);
  const Vector2<float> before = sprite->getCornerTexCoord(0);
  sprite->draw();
  EXPECT_EQ(before, sprite->getCornerTexCoord(0));
  world.endFrame();
}

// A clip rectangle given right to left and bottom to top clips like its
// normal form: each corner lands between the two edges.
TEST_F(FastSpriteTest, ReversedClipRectangleClipsBetweenItsEdges) {
  FastSprite* sprite = world.fastSprites->createSpriteFromImage("wide", "default");
  sprite->mSize = Vector2<float>(128, 8);
  sprite->mPosition = Vector2<float>(-10, 2);
  sprite->mClipRect = Rect(100, 6, 0, 0);
  sprite->mClipEnabled = true;
  world.beginFrame();
  sprite->draw();
  EXPECT_EQ(Vector2<float>(0, 2), sprite->getCorner(0));
  EXPECT_EQ(Vector2<float>(100, 2), sprite->getCorner(1));
  EXPECT_EQ(Vector2<float>(100, 6), sprite->getCorner(2));
  EXPECT_NEAR(10.0f * 2.0f / 256.0f, sprite->getCornerTexCoord(0).x, 1e-6);
  EXPECT_NEAR(1.0f - 36.0f / 256.0f, sprite->getCornerTexCoord(1).x, 1e-6);
  world.endFrame();
}

TEST_F(FastSpriteTest, DrawsQuadsAndReusesOneSpritePerFrame) {
  FastSprite* sprite = world.fastSprites->createSpriteFromImage("quads", "default");
  world.beginFrame();
  // One fast sprite drawn three times with other frames, places and colours,
  // the way text draws its glyphs.
  sprite->setFrameRect(0, Rect(0, 0, 32, 16));
  sprite->mSize = Vector2<float>(16, 16);
  sprite->mPosition = Vector2<float>(8, 8);
  sprite->draw();
  sprite->setFrameRect(0, Rect(32, 16, 64, 32));
  sprite->mPosition = Vector2<float>(40, 8);
  sprite->setColor(KR::Color::fromChannels(0, 255, 255, 255));
  sprite->draw();
  KR::Matrix3 matrix = KR::Matrix3::translation(80, 0);
  sprite->mPosition = Vector2<float>(0, 8);
  sprite->setFrameRect(0, Rect(0, 16, 32, 32));
  sprite->setColor(KR::Color::fromChannels(255, 255, 255, 255));
  sprite->drawTransformed(matrix);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(16, 16), 255, 0, 0)) << world.pixel(16, 16);
  EXPECT_TRUE(near(world.pixel(48, 16), 0, 255, 255)) << world.pixel(48, 16);
  EXPECT_TRUE(near(world.pixel(88, 16), 0, 0, 255)) << world.pixel(88, 16);
  EXPECT_TRUE(near(world.pixel(70, 16), 0, 0, 0)) << world.pixel(70, 16);
}

using FastSpriteDeathTest = FastSpriteTest;

TEST_F(FastSpriteDeathTest, MissingContentIsFatal) {
  EXPECT_EXIT(described("Missing"), ExitedWithCode(255), kMissingPicture);
  EXPECT_EXIT(described("Nope"), ExitedWithCode(255),
              "Failed to open table 'Nope' in script 'fast' from package 'default' ");
  EXPECT_EXIT(world.fastSprites->createSprite("absent", "Plain", "default"), ExitedWithCode(255),
              "Failed to load script 'absent' from package 'default' ");
  EXPECT_EXIT(world.fastSprites->createSpriteFromImage("nothing", "default"), ExitedWithCode(255), kMissingPicture);
}

}  // namespace
