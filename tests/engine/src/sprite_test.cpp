#include "sprite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render_data.h"
#include "ribbon.h"
#include "sprite_description.h"
#include "sprite_test_support.h"
#include "texture_dx8.h"
#include "xml_data_reader.h"

namespace {

// The texture layer refuses a missing picture before a sprite would see it.
const char* const kMissingPicture = "not found|Failed to load (texture|image)";

using KR::Rect;
using KR::Sprite;
using KR::Vector2;
using KR::Test::near;
using KR::Test::Rgba;
using ::testing::ExitedWithCode;

// Four 32 x 16 quadrants: red, green / blue, white.
KR::Tools::RgbaPicture quadrants() {
  return KR::Test::blockPicture(64, 32, [](uint32_t x, uint32_t y) {
    if (y < 16) return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
    return x < 32 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255};
  });
}

// 8 x 8 blocks of 8 x 8 texels; block (bx, by) is (bx * 32 + 16, by * 32 + 16, 128).
KR::Tools::RgbaPicture blocks() {
  return KR::Test::blockPicture(64, 64, [](uint32_t x, uint32_t y) {
    return Rgba{uint8_t(x / 8 * 32 + 16), uint8_t(y / 8 * 32 + 16), 128, 255};
  });
}

KR::Tools::RgbaPicture white() {
  return KR::Test::blockPicture(8, 8, [](uint32_t, uint32_t) { return Rgba{255, 255, 255, 255}; });
}

const char* const kDescriptions =
    "Walker = { Pos = {8, 8}, Image0 = 'quads', SrcRect0 = {32, 0, 64, 16},\n"
    "  Image1 = 'quads', SrcRect1 = {0, 16, 32, 32}, Image2 = 'blocks', Package2 = 'extra' }\n"
    "NoImage = { Color = {1, 2, 3, 4} }\n"
    "TwoImages = { Image0 = 'quads', Image1 = 'blocks', Angle = 30, BlendMode = 'add', ETC1PairedTextures = 1 }\n"
    "Sized = { Image0 = 'quads', Size = {100, 40} }\n"
    "Mesh21 = { Image0 = 'quads', Mesh = { sizeX = 2, sizeY = 1 } }\n"
    "Mesh32 = { Image0 = 'quads', Mesh = { sizeX = 3, sizeY = 2 } }\n"
    "OddMesh = { Image0 = 'odd', Mesh = { sizeX = 7, sizeY = 11 } }\n"
    "Deformed = { Image0 = 'white', Size = {40, 20}, Color = {255, 0, 0, 255},\n"
    "  Mesh = { sizeX = 2, sizeY = 2, Vertecies = { { x = 2, y = 2, Pos = {60, 30}, Color = {0, 255, 0, 255} } } } }\n"
    "Indirect = { Image0 = 'quads', SrcRect0 = {'rects', 'button', 'default'} }\n"
    "BadMeshSize = { Mesh = { sizeX = 0, sizeY = 1 } }\n"
    "HugeMesh = { Mesh = { sizeX = -1, sizeY = -1 } }\n"
    "BadIndex = { Mesh = { sizeX = 1, sizeY = 1, Vertecies = { { x = 0, y = 2 } } } }\n"
    "MissingTexture = { Image0 = 'nothing' }\n"
    "NotATable = 5\n";

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.addPicture("default", "quads", quadrants());
    world.addPicture("default", "blocks", blocks());
    world.addPicture("extra", "blocks", blocks());
    world.addPicture("default", "white", white());
    world.addPicture("default", "odd", KR::Test::blockPicture(31, 13, [](uint32_t, uint32_t) {
                       return Rgba{255, 255, 255, 255};
                     }));
    world.add("default", "sprites", kDescriptions);
    world.add("default", "rects", "button = {32, 16, 64, 32}\n");
    world.add("default", "broken", "Sprite = {");
    world.start();
  }

  Sprite* described(const char* table) { return world.sprites->createSprite("sprites", table, "default"); }

  KR::Test::SpriteWorld world;
};

// ---------------------------------------------------------------------------
// Filling from descriptions and textures

TEST_F(SpriteTest, DescribedFramesTexturesAndDefaults) {
  Sprite* sprite = described("Walker");
  ASSERT_EQ(3u, sprite->getFrameCount());
  EXPECT_EQ(Rect(32, 0, 64, 16), sprite->mFrames[0]);
  EXPECT_EQ(Rect(0, 16, 32, 32), sprite->mFrames[1]);
  // A later frame without its rectangle is empty.
  EXPECT_EQ(Rect(), sprite->mFrames[2]);
  EXPECT_EQ(Vector2<float>(8, 8), sprite->mPosition);
  EXPECT_EQ(Vector2<float>(32, 16), sprite->mSize);
  EXPECT_EQ(Vector2<float>(16, 8), sprite->mRotationCenter);
  EXPECT_EQ(Rect(0, 0, 1024, 768), sprite->mClipRect);
  EXPECT_FALSE(sprite->mHasMesh);
  EXPECT_EQ(1u, sprite->mMeshSizeX);
  EXPECT_EQ(1u, sprite->mMeshSizeY);
  EXPECT_FLOAT_EQ(1.0f / 64, sprite->mInvTextureSize.x);
  EXPECT_FLOAT_EQ(1.0f / 32, sprite->mInvTextureSize.y);
  // Frame 0 is spread over the grid, in texels.
  EXPECT_EQ(Vector2<float>(32, 0), sprite->getMeshVertexTexCoord(0, 0));
  EXPECT_EQ(Vector2<float>(64, 16), sprite->getMeshVertexTexCoord(1, 1));
  // Three textures, each referenced once by each render item.
  ASSERT_EQ(3u, sprite->mQuad->mTextures.size());
  ASSERT_EQ(3u, sprite->mMesh->mTextures.size());
  KR::Texture* quads = world.textures->findTexture("quads", "default");
  KR::Texture* extra = world.textures->findTexture("blocks", "extra");
  ASSERT_TRUE(quads && extra);
  EXPECT_EQ(extra, sprite->mQuad->mTextures[2]);
  EXPECT_EQ(4, quads->getReferenceCount());
  EXPECT_EQ(2, extra->getReferenceCount());
  world.sprites->destroySprite(sprite);
  EXPECT_EQ(nullptr, world.textures->findTexture("quads", "default")) << "the last reference gives it back";
}

TEST_F(SpriteTest, DescriptionsWithoutFramesAndWithWholeTextureFrames) {
  Sprite* none = described("NoImage");
  EXPECT_EQ(0u, none->getFrameCount());
  EXPECT_EQ(nullptr, none->getTexture());
  EXPECT_EQ(Vector2<float>(), none->mSize);
  EXPECT_EQ(Vector2<float>(), none->mInvTextureSize);
  EXPECT_EQ(0x04010203u, none->getMeshVertexColor(1, 1).value);

  Sprite* two = described("TwoImages");
  ASSERT_EQ(2u, two->getFrameCount());
  EXPECT_EQ(Rect(0, 0, 64, 32), two->mFrames[0]);
  EXPECT_EQ(Rect(), two->mFrames[1]);
  EXPECT_FLOAT_EQ(30.0f, two->mAngle);
  EXPECT_EQ(uint32_t(KR::BM_ADD), two->mQuad->mBlendMode);
  EXPECT_EQ(uint32_t(KR::BM_ADD), two->mMesh->mBlendMode) << "the mesh takes the quad's settings";
  EXPECT_EQ(1u, two->mQuad->mUser);
  EXPECT_EQ(1u, two->mMesh->mUser);

  Sprite* sized = described("Sized");
  EXPECT_EQ(Vector2<float>(100, 40), sized->mSize);
  EXPECT_EQ(Vector2<float>(50, 20), sized->mRotationCenter);

  Sprite* indirect = described("Indirect");
  EXPECT_EQ(Rect(32, 16, 64, 32), indirect->mFrames[0]);
}

TEST_F(SpriteTest, MeshGridAndListedVertices) {
  Sprite* mesh = described("Mesh21");
  EXPECT_TRUE(mesh->mHasMesh);
  ASSERT_EQ(6u, mesh->getMeshVertexCount());
  EXPECT_EQ(6u, mesh->mMesh->getVertexCount());
  const float expected[6][2] = {{0, 0}, {32, 0}, {64, 0}, {0, 32}, {32, 32}, {64, 32}};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Vector2<float>(expected[i][0], expected[i][1]), mesh->mMeshPositions[i]);
  // Vertex (2, 1) is index 5, the bottom-right corner.
  mesh->setMeshVertexPosition(Vector2<float>(70, 40), 2, 1);
  EXPECT_EQ(Vector2<float>(70, 40), mesh->mMeshPositions[5]);
  mesh->setMeshVertexTexCoord(Vector2<float>(1, 2), 1, 0);
  EXPECT_EQ(Vector2<float>(1, 2), mesh->mMeshTexCoords[1]);

  Sprite* deformed = described("Deformed");
  EXPECT_EQ(Vector2<float>(60, 30), deformed->getMeshVertexPosition(2, 2));
  EXPECT_EQ(Vector2<float>(20, 10), deformed->getMeshVertexPosition(1, 1));
  EXPECT_EQ(0xFF00FF00u, deformed->getMeshVertexColor(2, 2).value);
  EXPECT_EQ(0xFFFF0000u, deformed->getMeshVertexColor(0, 0).value);
}

// Cell counts that do not divide the size evenly: the far grid lines still
// land exactly on the size, the frame's far edges and the texture's.
TEST_F(SpriteTest, GridSpreadEndsExactlyOnTheFarEdges) {
  Sprite* mesh = described("OddMesh");
  ASSERT_EQ(7u, mesh->getMeshSizeX());
  ASSERT_EQ(11u, mesh->getMeshSizeY());
  EXPECT_EQ(Vector2<float>(31, 13), mesh->mSize);
  EXPECT_EQ(Vector2<float>(31, 13), mesh->getMeshVertexPosition(7, 11));
  EXPECT_EQ(Vector2<float>(3.0f * 31.0f / 7.0f, 5.0f * 13.0f / 11.0f), mesh->getMeshVertexPosition(3, 5));
  EXPECT_EQ(Vector2<float>(31, 13), mesh->getMeshVertexTexCoord(7, 11));

  mesh->setSize(Vector2<float>(13, 31));
  EXPECT_EQ(Vector2<float>(13, 31), mesh->getMeshVertexPosition(7, 11));

  mesh->setFrameRect(0, Rect(2, 4, 33, 17), true);
  EXPECT_EQ(Vector2<float>(33, 17), mesh->getMeshVertexTexCoord(7, 11));
  EXPECT_EQ(Vector2<float>(2, 4), mesh->getMeshVertexTexCoord(0, 0));

  mesh->resetMeshTexCoordsToTexture();
  EXPECT_EQ(Vector2<float>(31, 13), mesh->getMeshVertexTexCoord(7, 11));
}

TEST_F(SpriteTest, FromTextureObject) {
  KR::Texture* texture = world.textures->loadTexture("quads", "default");
  Sprite* sprite = world.sprites->createSpriteFromTextureObject(texture);
  EXPECT_EQ(Vector2<float>(64, 32), sprite->mSize);
  EXPECT_EQ(Vector2<float>(32, 16), sprite->mRotationCenter);
  EXPECT_EQ(Rect(0, 0, 64, 32), sprite->mFrames[0]);
  EXPECT_EQ(Vector2<float>(0, 0), sprite->getMeshVertexTexCoord(0, 0));
  EXPECT_EQ(Vector2<float>(64, 0), sprite->getMeshVertexTexCoord(1, 0));
  EXPECT_EQ(Vector2<float>(0, 32), sprite->getMeshVertexTexCoord(0, 1));
  EXPECT_EQ(Vector2<float>(64, 32), sprite->getMeshVertexTexCoord(1, 1));
  EXPECT_EQ(2, texture->getReferenceCount());

  Sprite* blank = world.sprites->createSpriteFromTextureObject(nullptr);
  EXPECT_EQ(Vector2<float>(32, 32), blank->mSize);
  EXPECT_EQ(Rect(0, 0, 32, 32), blank->mFrames[0]);
  EXPECT_EQ(nullptr, blank->getTexture());
}

TEST_F(SpriteTest, FromXml) {
  const std::string xml =
      "<root><Sprite><Pos v0='4' v1='5'/><Image0 v='quads'/><SrcRect0 v0='0' v1='32' v2='16' v3='64'/>"
      "<Mesh><sizeX v='1'/><sizeY v='1'/><Vertecies><v0><x v='1'/><y v='1'/><Pos v0='40' v1='20'/></v0>"
      "</Vertecies></Mesh></Sprite></root>";
  KR::XmlDataReader reader;
  ASSERT_EQ(pugi::status_ok, reader.parse(xml.data(), xml.size()));
  ASSERT_TRUE(reader.enterChild("Sprite"));
  Sprite sprite;
  sprite.loadFromXml(reader);
  EXPECT_EQ(Vector2<float>(4, 5), sprite.mPosition);
  EXPECT_EQ(Rect(32, 0, 64, 16), sprite.mFrames[0]);
  EXPECT_EQ(Vector2<float>(40, 20), sprite.getMeshVertexPosition(1, 1));
  EXPECT_EQ(0xFFFFFFFFu, sprite.getMeshVertexColor(1, 1).value);

  // A sprite that showed two frames before keeps none of them.
  Sprite* reused = described("TwoImages");
  ASSERT_STREQ("Sprite", reader.getCursor().name()) << "the reader is still on the description";
  reused->loadFromXml(reader);
  EXPECT_EQ(1u, reused->getFrameCount());
  EXPECT_EQ(Rect(32, 0, 64, 16), reused->mFrames[0]);
  EXPECT_EQ(1u, reused->mQuad->mTextures.size());
}

TEST_F(SpriteTest, ForgivingLoadLogsAndKeepsNothing) {
  KR::Test::LogCapture log;
  const size_t before = world.sprites->getCount();
  EXPECT_EQ(nullptr, world.sprites->loadSprite("sprites", "Missing", "default"));
  EXPECT_TRUE(log.contains("ERROR: Failed to load sprite sprites Missing"));
  EXPECT_EQ(nullptr, world.sprites->loadSprite("sprites", "NotATable", "default"));
  EXPECT_EQ(nullptr, world.sprites->loadSprite("broken", "Sprite", "default"));
  EXPECT_TRUE(log.contains("ERROR: Failed to load sprite broken Sprite"));
  EXPECT_EQ(before, world.sprites->getCount());
  Sprite* loaded = world.sprites->loadSprite("sprites", "Walker", "default");
  ASSERT_NE(nullptr, loaded);
  EXPECT_TRUE(world.sprites->contains(loaded));
}

using SpriteDeathTest = SpriteTest;

TEST_F(SpriteDeathTest, BadDescriptionsAreFatal) {
  EXPECT_EXIT(described("BadMeshSize"), ExitedWithCode(255), "Bad mesh size specified");
  EXPECT_EXIT(described("HugeMesh"), ExitedWithCode(255), "Bad mesh size specified");
  EXPECT_EXIT(described("BadIndex"), ExitedWithCode(255), "Bad index specified");
  EXPECT_EXIT(described("MissingTexture"), ExitedWithCode(255), kMissingPicture);
  EXPECT_EXIT(world.sprites->createSprite("nofile", "Walker", "default"), ExitedWithCode(255),
              "Failed to load script 'nofile' from package 'default' ");
  EXPECT_EXIT(described("Missing"), ExitedWithCode(255),
              "Failed to open table 'Missing' in script 'sprites' from package 'default' ");
  EXPECT_EXIT(world.sprites->createSpriteFromTexture("nothing", "default"), ExitedWithCode(255), kMissingPicture);
}

TEST_F(SpriteDeathTest, VertexAccessOutsideTheGridIsFatal) {
  Sprite* mesh = described("Mesh21");
  EXPECT_EXIT(mesh->setMeshVertexPosition(Vector2<float>(), 0, 2), ExitedWithCode(255), "Bad coordinates specified");
  EXPECT_EXIT(mesh->getMeshVertexTexCoord(3, 1), ExitedWithCode(255), "Bad coordinates specified");
  EXPECT_EXIT(mesh->setMeshVertexTexCoord(Vector2<float>(), 0xFFFFFFFFu, 0xFFFFFFFFu), ExitedWithCode(255),
              "Bad coordinates specified");
}

// ---------------------------------------------------------------------------
// Transform, frames, copies

TEST_F(SpriteTest, SettersMarkDirtyOnlyForVisibleChanges) {
  Sprite* sprite = described("Walker");
  sprite->updateVertices();
  sprite->setPosition(10, 10);
  EXPECT_TRUE(sprite->mDirty);
  sprite->updateVertices();
  sprite->setPosition(10.0005f, 10);
  EXPECT_FALSE(sprite->mDirty);
  EXPECT_FLOAT_EQ(10.0005f, sprite->mPosition.x);
  sprite->setScale(Vector2<float>(1.0002f, 1));
  EXPECT_FALSE(sprite->mDirty);
  sprite->setScale(Vector2<float>(2, 1));
  EXPECT_TRUE(sprite->mDirty);
  sprite->updateVertices();
  sprite->setSize(Vector2<float>(64, 16));
  EXPECT_TRUE(sprite->mDirty);
  EXPECT_EQ(Vector2<float>(64, 16), sprite->getMeshVertexPosition(1, 1));
}

TEST_F(SpriteTest, RotationAboutTheCentreAndMatrixPlacement) {
  Sprite* sprite = world.sprites->createSpriteFromTexture("quads", "default");
  sprite->mAngle = 90.0f;
  sprite->mRotationCenter = Vector2<float>();
  sprite->mDirty = true;
  sprite->updateVertices();
  // Clockwise on screen: the corner (w, 0) goes to (0, w).
  const Vector2<float> corner = sprite->getTransformedVertex(1, 0);
  EXPECT_NEAR(0.0f, corner.x, 1e-4);
  EXPECT_NEAR(64.0f, corner.y, 1e-4);

  // About the default centre (half the size), 180 degrees keeps the box.
  sprite->mAngle = 180.0f;
  sprite->mRotationCenter = Vector2<float>(32, 16);
  sprite->setPosition(10, 20);
  sprite->setScale(Vector2<float>(1, 1));
  sprite->updateVertices();
  EXPECT_NEAR(74.0f, sprite->getTransformedVertex(0, 0).x, 1e-4);
  EXPECT_NEAR(52.0f, sprite->getTransformedVertex(0, 0).y, 1e-4);
  EXPECT_NEAR(10.0f, sprite->getTransformedVertex(1, 1).x, 1e-4);
  EXPECT_NEAR(20.0f, sprite->getTransformedVertex(1, 1).y, 1e-4);

  // The centre is not scaled: scale 2 about centre (32, 16) at angle 0.
  sprite->mAngle = 0.0f;
  sprite->setScale(Vector2<float>(2, 2));
  sprite->updateVertices();
  EXPECT_NEAR(138.0f, sprite->getTransformedVertex(1, 1).x, 1e-4);

  // A matrix places the unscaled grid; the next updateVertices restores.
  sprite->updateVerticesByMatrix(KR::Matrix3::identity());
  EXPECT_EQ(Vector2<float>(64, 32), sprite->getTransformedVertex(1, 1));
  EXPECT_TRUE(sprite->mDirty);
  sprite->updateVertices();
  EXPECT_NEAR(138.0f, sprite->getTransformedVertex(1, 1).x, 1e-4);
}

TEST_F(SpriteTest, FrameRects) {
  Sprite* sprite = described("TwoImages");
  sprite->setFrameRect(5, Rect(1, 2, 3, 4), false);
  ASSERT_EQ(3u, sprite->getFrameCount()) << "an index past the end appends one frame";
  EXPECT_EQ(Rect(1, 2, 3, 4), sprite->mFrames[2]);
  sprite->setFrameRect(0, Rect(0, 0, 32, 16), false);
  EXPECT_EQ(Vector2<float>(64, 32), sprite->getMeshVertexTexCoord(1, 1)) << "no rebuild asked";
  sprite->setFrameRect(0, Rect(0, 0, 32, 16), true);
  EXPECT_EQ(Vector2<float>(32, 16), sprite->getMeshVertexTexCoord(1, 1));
  sprite->setFrameRectNormalized(Rect(0.5f, 0.5f, 1, 1));
  EXPECT_EQ(Rect(32, 16, 64, 32), sprite->mFrames[0]);
  EXPECT_EQ(Vector2<float>(32, 16), sprite->getMeshVertexTexCoord(0, 0));
}

TEST_F(SpriteTest, CopiesShareTexturesAndAssignAdaptsTheGrid) {
  Sprite* original = described("Mesh32");
  original->setPosition(5, 6);
  original->updateVertices();
  KR::Texture* quads = world.textures->findTexture("quads", "default");
  const int32_t references = quads->getReferenceCount();
  Sprite* copy = world.sprites->createSpriteCopy(original);
  EXPECT_EQ(references + 2, quads->getReferenceCount());
  EXPECT_EQ(12u, copy->mMesh->getVertexCount());
  EXPECT_EQ(original->getTransformedVertex(3, 2), copy->getTransformedVertex(3, 2));
  EXPECT_NE(original->mMesh->getVertexBytes(), copy->mMesh->getVertexBytes());

  // A 1 x 1 sprite takes a 3 x 2 one and back again.
  Sprite* small = world.sprites->createSpriteFromTexture("blocks", "default");
  small->assign(*original);
  EXPECT_EQ(3u, small->mMeshSizeX);
  EXPECT_EQ(2u, small->mMeshSizeY);
  EXPECT_EQ(12u, small->mMesh->getVertexCount());
  EXPECT_EQ(12u, small->mVertexPositionRefs.size());
  EXPECT_EQ(quads, small->getTexture());
  EXPECT_EQ(quads, small->mMesh->getTexture());
  small->mDirty = true;
  small->updateVertices();
  EXPECT_EQ(original->getTransformedVertex(3, 2), small->getTransformedVertex(3, 2));
  EXPECT_EQ(nullptr, world.textures->findTexture("blocks", "default")) << "the old texture was given back";

  Sprite* plain = world.sprites->createSpriteFromTexture("white", "default");
  original->assign(*plain);
  EXPECT_EQ(4u, original->mMesh->getVertexCount());
  EXPECT_EQ(4u, original->mMeshPositions.size());
  original->mDirty = true;
  original->updateVertices();
  EXPECT_EQ(Vector2<float>(8, 8), original->getTransformedVertex(1, 1));
}

// ---------------------------------------------------------------------------
// Drawing (pixels read back from an off-screen frame)

class SpriteDrawTest : public SpriteTest {
 protected:
  void SetUp() override {
    SpriteTest::SetUp();
    world.startRendering();
  }
  void draw(Sprite* sprite) {
    sprite->updateVertices();
    sprite->render();
  }
};

TEST_F(SpriteDrawTest, FramesMirrorsAndMeshCorners) {
  Sprite* walker = described("Walker");
  Sprite* mesh = described("Mesh21");
  mesh->setPosition(0, 40);
  Sprite* mirrored = world.sprites->createSpriteFromTexture("quads", "default");
  mirrored->setPosition(64, 40);
  mirrored->mMirrorH = true;
  mirrored->mMirrorV = true;

  world.beginFrame();
  draw(walker);
  draw(mesh);
  draw(mirrored);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(24, 16), 0, 255, 0)) << world.pixel(24, 16) << " frame 0 is drawn";
  // The 2 x 1 mesh shows the picture the right way round in each cell.
  EXPECT_TRUE(near(world.pixel(8, 44), 255, 0, 0)) << world.pixel(8, 44);
  EXPECT_TRUE(near(world.pixel(56, 44), 0, 255, 0)) << world.pixel(56, 44);
  EXPECT_TRUE(near(world.pixel(8, 68), 0, 0, 255)) << world.pixel(8, 68);
  EXPECT_TRUE(near(world.pixel(56, 68), 255, 255, 255)) << world.pixel(56, 68);
  // Both mirrors: the top-left shows the bottom-right quadrant.
  EXPECT_TRUE(near(world.pixel(72, 44), 255, 255, 255)) << world.pixel(72, 44);
  EXPECT_TRUE(near(world.pixel(120, 44), 0, 0, 255)) << world.pixel(120, 44);
  EXPECT_TRUE(near(world.pixel(72, 68), 0, 255, 0)) << world.pixel(72, 68);

  // Another frame chosen through the frame rectangle.
  walker->setFrameRect(0, walker->mFrames[1], true);
  mirrored->mMirrorV = false;
  world.beginFrame();
  draw(walker);
  draw(mirrored);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(24, 16), 0, 0, 255)) << world.pixel(24, 16);
  EXPECT_TRUE(near(world.pixel(72, 44), 0, 255, 0)) << world.pixel(72, 44) << " mirrored left-right only";
}

TEST_F(SpriteDrawTest, RotationAboutRotCenter) {
  Sprite* half = world.sprites->createSpriteFromTexture("quads", "default");
  half->setPosition(32, 8);
  half->mAngle = 180.0f;
  half->mDirty = true;
  Sprite* quarter = world.sprites->createSpriteFromTexture("quads", "default");
  quarter->setPosition(64, 48);
  quarter->mRotationCenter = Vector2<float>();
  quarter->mAngle = 90.0f;
  quarter->mDirty = true;
  world.beginFrame();
  draw(half);
  draw(quarter);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(48, 16), 255, 255, 255)) << world.pixel(48, 16);
  EXPECT_TRUE(near(world.pixel(80, 16), 0, 0, 255)) << world.pixel(80, 16);
  EXPECT_TRUE(near(world.pixel(80, 32), 255, 0, 0)) << world.pixel(80, 32);
  // 90 degrees clockwise about the top-left corner at (64, 48).
  EXPECT_TRUE(near(world.pixel(56, 56), 255, 0, 0)) << world.pixel(56, 56);
  EXPECT_TRUE(near(world.pixel(56, 88), 0, 255, 0)) << world.pixel(56, 88);
  EXPECT_TRUE(near(world.pixel(40, 56), 0, 0, 255)) << world.pixel(40, 56);
}

// Clipping keeps every visible texel where it was, whatever the scale; a clip
// rectangle given right to left and bottom to top clips like its normal form.
TEST_F(SpriteDrawTest, ClippingAtSeveralScales) {
  for (float scale : {0.5f, 1.0f, 1.5f}) {
    for (int mirror = 0; mirror < 4; ++mirror) {
      SCOPED_TRACE("scale " + std::to_string(scale) + " mirror " + std::to_string(mirror));
      Sprite* sprite = world.sprites->createSpriteFromTexture("blocks", "default");
      sprite->setScale(Vector2<float>(scale, scale));
      sprite->mMirrorH = mirror == 1;
      sprite->mMirrorV = mirror == 2;
      const float block = 8.0f * scale;
      sprite->mClipRect = Rect(2.5f * block, 1.5f * block, 6.5f * block, 5.5f * block);
      if (mirror == 3) sprite->mClipRect = Rect(6.5f * block, 5.5f * block, 2.5f * block, 1.5f * block);
      sprite->mClipEnabled = true;
      world.beginFrame();
      draw(sprite);
      world.endFrame();
      for (int by = 0; by < 8; ++by) {
        for (int bx = 0; bx < 8; ++bx) {
          const int x = int((bx + 0.5f) * block);
          const int y = int((by + 0.5f) * block);
          if (y >= KR::Test::kFrameHeight) continue;
          const Rgba c = world.pixel(x, y);
          if (bx < 2 || bx > 6 || by < 1 || by > 5) {
            EXPECT_TRUE(near(c, 0, 0, 0)) << "outside at block " << bx << ", " << by << ": " << c;
          } else if (bx >= 3 && bx <= 5 && by >= 2 && by <= 4) {
            const int tx = mirror == 1 ? 7 - bx : bx;
            const int ty = mirror == 2 ? 7 - by : by;
            EXPECT_TRUE(near(c, uint8_t(tx * 32 + 16), uint8_t(ty * 32 + 16), 128, 12))
                << "block " << bx << ", " << by << ": " << c;
          }
        }
      }
      world.sprites->destroySprite(sprite);
    }
  }
}

TEST_F(SpriteDrawTest, DeformedMeshAndClampedOutsideSprites) {
  Sprite* deformed = described("Deformed");
  world.beginFrame();
  draw(deformed);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(5, 5), 255, 0, 0)) << world.pixel(5, 5);
  // The moved corner stretches the last cell out to (60, 30), green at its tip.
  const Rgba tip = world.pixel(55, 27);
  EXPECT_GT(tip.g, 128) << tip;
  EXPECT_TRUE(near(world.pixel(55, 5), 0, 0, 0)) << world.pixel(55, 5);

  // Wholly outside the clip rectangle: degenerate quads on its edge, nothing visible.
  deformed->mClipRect = Rect(100, 60, 120, 90);
  deformed->mClipEnabled = true;
  world.beginFrame();
  draw(deformed);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(5, 5), 0, 0, 0)) << world.pixel(5, 5);
  EXPECT_TRUE(near(world.pixel(110, 75), 0, 0, 0)) << world.pixel(110, 75);
}

TEST_F(SpriteDrawTest, BlendModes) {
  Sprite* background = world.sprites->createSpriteFromTexture("white", "default");
  background->setScale(Vector2<float>(16, 12));
  background->setMeshColor(KR::Color::fromChannels(100, 100, 100, 255));
  Sprite* overlays[3];
  for (uint32_t mode = 0; mode < 3; ++mode) {
    overlays[mode] = world.sprites->createSpriteFromTexture("white", "default");
    overlays[mode]->setPosition(8.0f + 32.0f * float(mode), 40);
    overlays[mode]->setScale(Vector2<float>(2, 2));
    overlays[mode]->setMeshColor(KR::Color::fromChannels(255, 0, 0, 128));
    overlays[mode]->mQuad->mBlendMode = mode;
  }
  world.beginFrame();
  draw(background);
  for (Sprite* overlay : overlays) draw(overlay);
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(16, 48), 178, 50, 50)) << "alpha " << world.pixel(16, 48);
  EXPECT_TRUE(near(world.pixel(48, 48), 128, 100, 100)) << "color " << world.pixel(48, 48);
  EXPECT_TRUE(near(world.pixel(80, 48), 228, 100, 100)) << "add " << world.pixel(80, 48);
  EXPECT_TRUE(near(world.pixel(110, 48), 100, 100, 100)) << world.pixel(110, 48);
}

TEST_F(SpriteDrawTest, RibbonTrailDrawsThroughTheSprite) {
  Sprite* picture = world.sprites->createSpriteFromTexture("white", "default");
  KR::Ribbon ribbon;
  ribbon.init(picture, 1.0f, 4, Vector2<float>(10, 48));
  ribbon.reset(Vector2<float>(10, 48));
  for (int i = 1; i <= 6; ++i) {
    ribbon.head = Vector2<float>(10.0f + 20.0f * float(i), 48);
    ribbon.update(0.3f);
  }
  world.beginFrame();
  ribbon.draw();
  world.endFrame();
  int lit = 0;
  for (int x = 0; x < KR::Test::kFrameWidth; x += 4) lit += world.pixel(x, 48).r > 200 ? 1 : 0;
  EXPECT_GT(lit, 8) << "the band runs along the trail";
  EXPECT_TRUE(near(world.pixel(64, 10), 0, 0, 0));
}

}  // namespace
