// Pictures made while the engine's vertex layout (stride 24) is current and
// drawn after the game's application switched to the layout with normals
// (stride 36): their vertices are made again in the new layout, keeping what
// they showed, and vertices of an old layout never reach the batch.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fast_sprite.h"
#include "render_data.h"
#include "sprite.h"
#include "sprite_test_support.h"
#include "vertex_format.h"

namespace KR {
namespace Test {
namespace {

// Four 32 x 16 quadrants: red, green / blue, white.
Tools::RgbaPicture quadrants() {
  return blockPicture(64, 32, [](uint32_t x, uint32_t y) {
    if (y < 16) return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
    return x < 32 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
  });
}

constexpr uint32_t kEngineStride = 24;
constexpr uint32_t kGameStride = 36;

class VertexLayoutSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.addPicture("default", "quads", quadrants());
    world.addPicture("default", "white", blockPicture(8, 8, [](uint32_t, uint32_t) {
                       return Rgba{255, 255, 255, 255};
                     }));
    world.add("default", "sprites", "Grid = { Image0 = 'white', Size = {32, 16}, Mesh = { sizeX = 2, sizeY = 1 } }\n");
    world.start();
    // Start-up makes its pictures in the engine's layout.
    ASSERT_EQ(computeVertexLayout(kVertexFormatEngine), kEngineStride);
  }
  // Later tests start from the engine's layout again.
  void TearDown() override { computeVertexLayout(kVertexFormatEngine); }

  // The game's application asks for normals before the device is made.
  void switchToGameLayout() {
    world.config->vertexFormatFlags = kVertexFormatGame;
    world.startRendering();
    ASSERT_EQ(gVertexStride, kGameStride);
  }

  bool is(int x, int y, uint8_t r, uint8_t g, uint8_t b) { return near(world.pixel(x, y), r, g, b); }
  // Green pixels of a horizontal line drawn at y (it may land a row off).
  int greenAround(int y) {
    int count = 0;
    for (int row = y - 1; row <= y + 1; ++row)
      for (int x = 0; x < kFrameWidth; ++x) count += is(x, row, 0, 255, 0);
    return count;
  }

  SpriteWorld world;
};

TEST_F(VertexLayoutSwitchTest, SpritesKeepPositionsColoursAndMeshAcrossTheSwitch) {
  Sprite* plain = world.sprites->createSpriteFromTexture("quads", "default");
  plain->setPosition(8, 8);
  plain->updateVertices();  // positions written in the old layout, not dirty any more
  Sprite* grid = world.sprites->createSprite("sprites", "Grid", "default");
  grid->setPosition(8, 60);
  grid->setMeshColor(Color::fromARGB(0xFFFF0000u));
  *grid->mVertexColorRefs[5] = 0xFF00FF00u;  // column 2, row 1, written the way video surfaces do
  ASSERT_EQ(plain->mMesh->getVertexStride(), kEngineStride);
  ASSERT_EQ(plain->mQuad->getVertexStride(), kEngineStride);

  switchToGameLayout();
  // A copy made now reads the original's vertices in the original's layout.
  Sprite copy;
  copy.copyConstruct(*plain);
  copy.setPosition(64, 56);

  world.beginFrame();
  plain->render();
  grid->updateVertices();
  grid->render();
  copy.updateVertices();
  copy.render();
  world.endFrame();

  EXPECT_EQ(plain->mMesh->getVertexStride(), kGameStride);
  EXPECT_EQ(plain->mQuad->getVertexStride(), kGameStride);
  EXPECT_EQ(copy.mMesh->getVertexStride(), kGameStride);
  EXPECT_EQ(grid->mMesh->getVertexStride(), kGameStride);
  // The positions computed before the switch are still where the sprite is.
  EXPECT_EQ(plain->getTransformedVertex(1, 1), Vector2<float>(72, 40));
  EXPECT_TRUE(is(16, 12, 255, 0, 0)) << world.pixel(16, 12);
  EXPECT_TRUE(is(56, 12, 0, 255, 0)) << world.pixel(56, 12);
  EXPECT_TRUE(is(16, 32, 0, 0, 255)) << world.pixel(16, 32);
  EXPECT_TRUE(is(60, 36, 255, 255, 255)) << world.pixel(60, 36);
  // The mesh keeps its vertex colours; its left cell is all red.
  EXPECT_EQ(grid->getMeshVertexColor(2, 1).value, 0xFF00FF00u);
  EXPECT_EQ(grid->getMeshVertexColor(0, 0).value, 0xFFFF0000u);
  EXPECT_TRUE(is(14, 68, 255, 0, 0)) << world.pixel(14, 68);
  EXPECT_TRUE(is(72, 60, 255, 0, 0)) << world.pixel(72, 60);
  EXPECT_TRUE(is(120, 84, 255, 255, 255)) << world.pixel(120, 84);
  EXPECT_FALSE(world.log.contains("vertex stride"));
}

TEST_F(VertexLayoutSwitchTest, FastSpritesKeepFrameAndColourAcrossTheSwitch) {
  FastSprite* glyph = world.fastSprites->createSpriteFromImage("quads", "default");
  glyph->setFrameRect(0, Rect(32, 16, 64, 32));
  glyph->setColor(Color::fromChannels(0, 255, 255, 255));
  glyph->mSize = Vector2<float>(16, 16);
  glyph->mPosition = Vector2<float>(8, 8);
  ASSERT_EQ(glyph->mQuad->getVertexStride(), kEngineStride);

  switchToGameLayout();
  FastSprite copy;
  copy.copyConstruct(*glyph);
  copy.mPosition = Vector2<float>(40, 8);
  EXPECT_EQ(copy.getCornerTexCoord(2), Vector2<float>(1, 1));

  world.beginFrame();
  glyph->draw();
  copy.draw();
  glyph->mPosition = Vector2<float>(0, 40);
  glyph->drawTransformed(Matrix3::translation(80, 0));
  world.endFrame();

  EXPECT_EQ(glyph->mQuad->getVertexStride(), kGameStride);
  EXPECT_EQ(glyph->getColor().value, Color::fromChannels(0, 255, 255, 255).value);
  EXPECT_EQ(glyph->getCornerTexCoord(0), Vector2<float>(0.5f, 0.5f));
  EXPECT_TRUE(is(16, 16, 0, 255, 255)) << world.pixel(16, 16);
  EXPECT_TRUE(is(48, 16, 255, 255, 255)) << world.pixel(48, 16);
  EXPECT_TRUE(is(88, 48, 0, 255, 255)) << world.pixel(88, 48);
  EXPECT_TRUE(is(30, 16, 0, 0, 0)) << world.pixel(30, 16);
}

TEST_F(VertexLayoutSwitchTest, RenderDataOfAnOldLayoutIsSkippedWithOneLine) {
  // An opaque white untextured quad in the engine's layout, whose owner
  // does not know about layouts.
  RenderData old;
  old.mTextures.assign(1, nullptr);
  old.allocateVertices(4);
  const float xy[4][2] = {{0, 0}, {64, 0}, {64, 48}, {0, 48}};
  for (int i = 0; i < 4; ++i) {
    uint8_t* v = old.getVertexBytes() + i * kEngineStride;
    std::memcpy(v + getVertexComponentOffset(VC_POSITION), xy[i], sizeof xy[i]);
    const uint32_t white = 0xFFFFFFFFu;
    std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &white, 4);
  }

  switchToGameLayout();
  // Copies keep the bytes and the stride they were made with.
  RenderData copy(old);
  EXPECT_EQ(copy.getVertexStride(), kEngineStride);
  EXPECT_EQ(0, std::memcmp(copy.getVertexBytes(), old.getVertexBytes(), 4 * kEngineStride));
  EXPECT_FALSE(copy.hasCurrentVertexStride());

  world.beginFrame();
  world.renderSystem->render(&old);
  world.endFrame();
  EXPECT_TRUE(is(32, 24, 0, 0, 0)) << world.pixel(32, 24);
  int lines = 0;
  for (const std::string& line : world.log.lines())
    if (line.find("ERROR: Render data with vertex stride 24 skipped, the layout's stride is 36") != std::string::npos)
      ++lines;
  EXPECT_EQ(lines, 1);
}

TEST_F(VertexLayoutSwitchTest, RenderSystemQuadsFollowADeviceResetIntoTheNewLayout) {
  world.startRendering();
  world.beginFrame();
  world.renderSystem->drawLine(Vector2<float>(0, 20), Vector2<float>(127, 20));
  world.endFrame();
  EXPECT_GT(greenAround(20), 100);

  world.config->vertexFormatFlags = kVertexFormatGame;
  world.renderSystem->reset();
  ASSERT_EQ(gVertexStride, kGameStride);
  world.beginFrame();
  world.renderSystem->drawLine(Vector2<float>(0, 30), Vector2<float>(127, 30));
  world.endFrame();
  EXPECT_GT(greenAround(30), 100);
  EXPECT_EQ(greenAround(20), 0);
  EXPECT_FALSE(world.log.contains("vertex stride"));
}

TEST_F(VertexLayoutSwitchTest, ALayoutWiderThanTheDeviceBufferIsRefusedUntilTheReset) {
  world.startRendering();
  // The layout grows while the device's buffer still holds stride-24 vertices.
  ASSERT_EQ(computeVertexLayout(kVertexFormatGame), kGameStride);
  RenderData quad;
  quad.mTextures.assign(1, nullptr);
  quad.allocateVertices(kBatchMaxVertices);
  const uint32_t white = 0xFFFFFFFFu;
  for (uint32_t i = 0; i < kBatchMaxVertices; ++i)
    std::memcpy(quad.getVertexBytes() + size_t(i) * kGameStride + getVertexComponentOffset(VC_DIFFUSE), &white, 4);
  world.beginFrame();
  world.renderSystem->render(&quad);
  world.endFrame();
  EXPECT_TRUE(world.log.contains(
      "ERROR: Render data skipped, the vertex buffer was made for stride 24, the layout's stride is 36"));

  // A reset sizes the buffer for the new layout and drawing resumes.
  world.config->vertexFormatFlags = kVertexFormatGame;
  world.renderSystem->reset();
  world.beginFrame();
  world.renderSystem->drawLine(Vector2<float>(0, 30), Vector2<float>(127, 30));
  world.endFrame();
  EXPECT_GT(greenAround(30), 100);
}

}  // namespace
}  // namespace Test
}  // namespace KR
