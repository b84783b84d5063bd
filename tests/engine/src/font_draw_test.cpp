// Text drawn off screen and read back: the UI font (alignment, clipping,
// glyph limit, level switching with the window scale), the simple font, and
// the demo fonts of the built media folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "application.h"
#include "fast_sprite.h"
#include "font.h"
#include "render_data.h"
#include "sprite.h"
#include "sprite_test_support.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "vertex_format.h"

namespace KR {
namespace Test {
namespace {

// Glyphs A and B are solid 8 x 8 blocks (level 0); the space is an empty
// 4 x 8 cell. Level 1 holds the same glyphs at twice the size.
const char* const kTwoLevelFont =
    "Image = 'glyphs'\nMIP1 = 'glyphs2'\nMIP1Scale = 2\n"
    "CharList = { { 32, 16, 0, 4, 8 }, { 65, 0, 0, 8, 8 }, { 66, 8, 0, 8, 8 } }\n"
    "CharList1 = { { 32, 32, 0, 8, 16 }, { 65, 0, 0, 16, 16 }, { 66, 16, 0, 16, 16 } }\n";

Tools::RgbaPicture glyphPicture(uint32_t cell) {
  return blockPicture(4 * cell, 2 * cell, [cell](uint32_t x, uint32_t y) {
    Rgba c{255, 255, 255, 0};
    if (x < 2 * cell && y < cell) c.a = 255;
    return c;
  });
}

// Glyph C's ink is 2 x 2 texels inside its 8 x 8 cell at (3, 3); D's sits in
// its cell's top right corner; the space's cell has none.
Tools::RgbaPicture dotPicture() {
  return blockPicture(24, 8, [](uint32_t x, uint32_t y) {
    Rgba c{255, 255, 255, 0};
    if ((x >= 3 && x <= 4 && y >= 3 && y <= 4) || (x >= 14 && x <= 15 && y <= 1)) c.a = 255;
    return c;
  });
}

class FontDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.config->currentLanguage = "en";
    world.addPicture("default", "glyphs", glyphPicture(8));
    world.addPicture("default", "glyphs2", glyphPicture(16));
    world.addPicture("default", "font2_image", glyphPicture(8));
    world.add("default", "test_fnt", kTwoLevelFont);
    world.addPicture("default", "dots", dotPicture());
    world.add("default", "dot_fnt",
              "Image = 'dots'\nCharList = { { 32, 16, 0, 8, 8 }, { 67, 0, 0, 8, 8 }, { 68, 8, 0, 8, 8 } }\n");
    world.add("default", "simple_fnt",
              "Image = 'ignored'\nCharList = { { 65, 0, 0, 8, 8 }, { 66, 8, 0, 8, 8 }, { 68, 0, 0, 8, 8 } }\n");
    world.add("default", "tight_fnt",
              "Image = 'x'\nCharList = { { 1, 0, 0, 1, 1 }, { 1, 0, 0, 1, 1 }, { 2, 0, 0, 1, 1 } }\n");
    world.add("default", "reversed_fnt", "Image = 'x'\nCharList = { { 9, 0, 0, 1, 1 }, { 1, 0, 0, 1, 1 } }\n");
    world.add("default", "no_image_fnt", "CharList = {}\n");
    world.start();
    world.startRendering();
    manager = std::make_unique<UIFontManager>();
    font = manager->getFont("test_fnt");
    font->color = Color::fromARGB(0xFFFF0000u);
  }
  void TearDown() override { manager.reset(); }

  bool red(int x, int y) { return near(world.pixel(x, y), 255, 0, 0); }
  bool green(int x, int y) { return near(world.pixel(x, y), 0, 255, 0); }
  bool blank(int x, int y) {
    const Rgba c = world.pixel(x, y);
    return c.r < 40 && c.g < 40;
  }

  LogCapture log;
  SpriteWorld world;
  std::unique_ptr<UIFontManager> manager;
  UIFont* font = nullptr;
};

TEST_F(FontDrawTest, LineOfTextLandsGlyphByGlyph) {
  world.beginFrame();
  // A 10..18, B 18..26, space 26..30, A 30..38 (no letter spacing).
  font->drawWString(Rect(), Vector2<float>(10, 10), L"AB A", false, 0, 0, 0, 0, false, true, 100, 50);
  world.endFrame();
  EXPECT_TRUE(red(11, 11)) << world.pixel(11, 11);
  EXPECT_TRUE(red(17, 17));
  EXPECT_TRUE(red(22, 14));
  EXPECT_TRUE(blank(28, 14)) << world.pixel(28, 14);
  EXPECT_TRUE(red(34, 14));
  EXPECT_TRUE(blank(39, 14));
  EXPECT_TRUE(blank(14, 19));
  EXPECT_TRUE(blank(9, 14));
}

TEST_F(FontDrawTest, AlignmentWrapAndSpacing) {
  world.beginFrame();
  // Box 30 x 40 at (20, 20): "AB AB" (36) wraps after the space; each line
  // is right-aligned and the block sits at the bottom. Line height 8 + 5 * 0.
  font->drawWString(Rect(), Vector2<float>(20, 20), L"AB AB", true, 2, 2, 0, 0, false, true, 30, 40);
  world.endFrame();
  // Line 0 "AB " is 20 wide: starts at 30; line 1 "AB" 16 wide: starts at 34.
  // Block height 16: lines at y 44 and 52.
  EXPECT_TRUE(red(31, 45)) << world.pixel(31, 45);
  EXPECT_TRUE(blank(29, 45));
  EXPECT_TRUE(red(35, 53));
  EXPECT_TRUE(blank(33, 53));
  EXPECT_TRUE(blank(35, 43));

  world.beginFrame();
  // Letter spacing 5 times 1: A at 0, B at 13.
  font->drawWString(Rect(), Vector2<float>(0, 0), L"AB", false, 0, 0, 1, 0, false, true, 100, 50);
  world.endFrame();
  EXPECT_TRUE(red(4, 4));
  EXPECT_TRUE(blank(10, 4));
  EXPECT_TRUE(red(15, 4));
}

TEST_F(FontDrawTest, ClippingCutsGlyphs) {
  world.beginFrame();
  font->drawWString(Rect(0, 0, 20, 96), Vector2<float>(10, 10), L"AB", false, 0, 0, 0, 0, true, true, 100, 50);
  world.endFrame();
  EXPECT_TRUE(red(14, 14));
  EXPECT_TRUE(red(19, 14));
  EXPECT_TRUE(blank(22, 14)) << world.pixel(22, 14);
}

TEST_F(FontDrawTest, NarrowTextSnapsAndCentres) {
  world.beginFrame();
  // Centred in 21: "AB" is 16 wide, x0 = 2.5 snaps to 2.
  font->drawString(Rect(), Vector2<float>(10, 10), "AB\xFF", false, 1, 2, 0, 0, false, 21, 50);
  world.endFrame();
  EXPECT_TRUE(red(12, 12));
  EXPECT_TRUE(blank(11, 12));
  EXPECT_TRUE(red(27, 12));
  EXPECT_TRUE(blank(28, 12));
}

TEST_F(FontDrawTest, TransformedTextStopsAtTheGlyphLimit) {
  world.beginFrame();
  const Matrix3 at = Matrix3::translation(10, 50);
  font->drawWStringTransformed(at, Vector2<float>(200, 40), L"AZB ABAB", false, 0, 0, 0, 0, false, Rect(), true, 4);
  world.endFrame();
  // Glyphs: A 10, B 18, space 26, A 30; 'Z' has no glyph and does not count.
  EXPECT_TRUE(red(12, 52));
  EXPECT_TRUE(red(20, 52));
  EXPECT_TRUE(blank(28, 52));
  EXPECT_TRUE(red(32, 52));
  EXPECT_TRUE(blank(40, 52)) << world.pixel(40, 52);

  world.beginFrame();
  font->drawWStringTransformed(Matrix3::multiply(Matrix3::translation(10, 50), Matrix3::scaling(2, 2)),
                               Vector2<float>(200, 40), L"AB", false, 0, 0, 0, 0, false, Rect(), true, 0);
  world.endFrame();
  // Under a scale of 2 the glyphs are 16 wide: B covers 26..42.
  EXPECT_TRUE(red(40, 64)) << world.pixel(40, 64);
  EXPECT_TRUE(blank(44, 52));
}

TEST_F(FontDrawTest, QuadsCoverTheInkOnlyAndSpacesGetNone) {
  UIFont* dots = manager->getFont("dot_fnt");
  dots->color = Color::fromARGB(0xFFFF0000u);
  world.beginFrame();
  dots->drawWString(Rect(), Vector2<float>(10, 10), L"   ", false, 0, 0, 0, 0, false, true, 100, 50);
  EXPECT_EQ(world.renderSystem->mBatchVertices, 0u);
  // C at 10..18, the space, D at 26..34; below them the same through the transform.
  dots->drawWString(Rect(), Vector2<float>(10, 10), L"C D", false, 0, 0, 0, 0, false, true, 100, 50);
  EXPECT_EQ(world.renderSystem->mBatchVertices, 8u);
  Matrix3 placed;
  placed.m[6] = 10.0f;
  placed.m[7] = 30.0f;
  dots->drawWStringTransformed(placed, Vector2<float>(100, 50), L"C D", false, 0, 0, 0, 0, false, Rect(), true, 0);
  EXPECT_EQ(world.renderSystem->mBatchVertices, 16u);
  world.endFrame();
  // The ink lands where the whole cells put it.
  for (int y0 : {10, 30}) {
    EXPECT_TRUE(red(13, y0 + 3)) << y0;
    EXPECT_TRUE(red(14, y0 + 4)) << y0;
    EXPECT_TRUE(blank(12, y0 + 3)) << y0;
    EXPECT_TRUE(blank(15, y0 + 5)) << y0;
    EXPECT_TRUE(red(32, y0)) << y0;
    EXPECT_TRUE(red(33, y0 + 1)) << y0;
    EXPECT_TRUE(blank(31, y0 + 2)) << y0;
    EXPECT_TRUE(blank(34, y0)) << y0;
  }
  manager->releaseFont(dots);
}

TEST_F(FontDrawTest, WindowScaleSwitchesTheResolutionLevel) {
  EXPECT_NE(font->levels[0].sprite, nullptr);
  EXPECT_EQ(font->levels[1].sprite, nullptr);
  world.renderSystem->getWindowInfo().mWndWidth = kFrameWidth * 2;
  world.renderSystem->getWindowInfo().mWndHeight = kFrameHeight * 2;
  EXPECT_FLOAT_EQ(UIFont::getScreenScale(), 2.0f);
  UIFontMipLevel* level = font->selectMipLevel();
  EXPECT_EQ(level, &font->levels[1]);
  EXPECT_EQ(font->levels[0].sprite, nullptr);
  ASSERT_NE(font->levels[1].sprite, nullptr);
  EXPECT_EQ(world.fastSprites->getCount(), 1u);
  // Snapping follows the scale: half design pixels are whole screen pixels.
  EXPECT_EQ(UIFont::snapToPixel(Vector2<float>(10.3f, 10.8f)), Vector2<float>(10.5f, 11.0f));
  world.renderSystem->getWindowInfo().mWndWidth = kFrameWidth;
  world.renderSystem->getWindowInfo().mWndHeight = kFrameHeight;
  EXPECT_EQ(font->selectMipLevel(), &font->levels[0]);
  EXPECT_EQ(font->levels[1].sprite, nullptr);
}

TEST_F(FontDrawTest, SimpleFontDrawsFromTheSharedTexture) {
  Font* simple = new Font();
  simple->load("simple_fnt");
  EXPECT_EQ(simple->getFirstCode(), 65u);
  EXPECT_EQ(simple->getCount(), 4u);
  ASSERT_NE(simple->getSprite(), nullptr);
  // Factor 2 widens the gaps, not the glyphs; 'C' has no glyph and no room.
  std::string pens;
  simple->forEachGlyph("ACBD", 2.0f, [&](const FontGlyph& glyph, float pen) {
    pens += std::to_string(int(pen)) + ":" + std::to_string(int(glyph.width)) + " ";
  });
  EXPECT_EQ(pens, "0:8 16:8 32:8 ");
  EXPECT_EQ(simple->glyphForByte('@'), nullptr);  // index 255

  world.beginFrame();
  simple->drawText(Vector2<float>(40, 40), "AB", 1.0f, Color::fromARGB(0xFF00FF00u));
  simple->drawText(Vector2<float>(40, 60), "", 1.0f, Color::fromARGB(0xFF00FF00u));
  simple->drawText(Vector2<float>(40, 60), "xyz", 1.0f, Color::fromARGB(0xFF00FF00u));
  world.endFrame();
  EXPECT_TRUE(green(41, 41)) << world.pixel(41, 41);
  EXPECT_TRUE(green(54, 47));
  EXPECT_TRUE(blank(57, 44));
  EXPECT_TRUE(blank(44, 62));
  simple->release();
}

// The engine's application makes its system font in the engine's vertex
// layout; the game's then switches to the layout with normals.
TEST_F(FontDrawTest, SimpleFontMadeBeforeALayoutSwitchDrawsAfterIt) {
  ASSERT_EQ(computeVertexLayout(kVertexFormatEngine), 24u);
  Font* simple = new Font();
  simple->load("simple_fnt");
  world.config->vertexFormatFlags = kVertexFormatGame;
  world.renderSystem->reset();
  ASSERT_EQ(gVertexStride, 36u);
  world.beginFrame();
  simple->drawText(Vector2<float>(40, 40), "AB", 1.0f, Color::fromARGB(0xFF00FF00u));
  world.endFrame();
  EXPECT_EQ(simple->getSprite()->mQuad->getVertexStride(), 36u);
  EXPECT_EQ(simple->getSprite()->mMesh->getVertexStride(), 36u);
  EXPECT_TRUE(green(41, 41)) << world.pixel(41, 41);
  EXPECT_TRUE(green(54, 47)) << world.pixel(54, 47);
  EXPECT_TRUE(blank(57, 44)) << world.pixel(57, 44);
  EXPECT_FALSE(log.contains("vertex stride"));
  simple->release();
  computeVertexLayout(kVertexFormatEngine);
}

using FontDrawDeathTest = FontDrawTest;

TEST_F(FontDrawDeathTest, BrokenSimpleFontsAreFatal) {
  EXPECT_EXIT((new Font())->load("absent_fnt"), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT((new Font())->load("tight_fnt"), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT((new Font())->load("reversed_fnt"), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT((new Font())->load("no_image_fnt"), ::testing::ExitedWithCode(255), "");
}

// The demo fonts as the build made them.
TEST(DemoFonts, LoadFromTheMediaFolder) {
  LogCapture log;
  SpriteWorld world;
  world.start();
  world.fileSystem.reset();
  const std::string previous = FileSystem::getContentFolder();
  FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  {
    FileSystem files;
    world.config->currentLanguage = "en";
    files.loadDirectoryFileLists("common");
    UIFontManager manager;
    EXPECT_EQ(manager.getFontPackage(), "default");
    UIFont* font = manager.getFont("font2_fnt");
    EXPECT_EQ(font->levelCount, 4u);
    EXPECT_GT(fontLineHeight(font), 10.0f);
    EXPECT_NE(font->glyphIndex(0xE9), kNoGlyph);  // é
    EXPECT_GT(font->maxGlyphHeight, 0.0f);
    FontPreset preset;
    EXPECT_EQ(manager.loadFontPreset("font_presets_lua", "body", &preset), 0);
    EXPECT_EQ(preset.font, font);
    FontPreset title;
    EXPECT_EQ(manager.loadFontPreset("font_presets_lua", "title", &title), 0);
    EXPECT_NE(title.font, nullptr);

    Font* simple = new Font();
    simple->load("system_font_fnt");
    EXPECT_EQ(simple->getFirstCode(), 32u);
    EXPECT_EQ(simple->getCount(), 95u);
    // The simple font's cells are level 0's cells of the shared texture.
    const FontGlyph* a = simple->glyphForByte('A');
    ASSERT_NE(a, nullptr);
    const UIFontGlyph& g = font->levels[0].glyphs[font->glyphIndex('A')];
    EXPECT_FLOAT_EQ(a->x, g.x);
    EXPECT_FLOAT_EQ(a->width, g.width);
    simple->release();
  }
  FileSystem::setContentFolder(previous);
}

// The engine's loading frame writes the frame rate and "Loading..." in the
// system font of the demo media, also after the game's application switched
// to its own vertex layout (the font was made in the engine's).
void checkLoadingFrame(uint32_t vertexFormat) {
  LogCapture log;
  const std::string previous = FileSystem::getContentFolder();
  FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  // The layout a fresh process starts with.
  computeVertexLayout(kVertexFormatEngine);
  {
    Application app;
    ASSERT_NE(app.systemFont, nullptr);
    EXPECT_TRUE(UIFontManager::exists());
    EXPECT_TRUE(log.contains("Init UIFontManager..."));
    app.configManager->vertexFormatFlags = vertexFormat;
    app.windowInfo->mWndWidth = RenderSystem::getDesignWidth();
    app.windowInfo->mWndHeight = RenderSystem::getDesignHeight();
    app.renderSystem->initDevice();
    // The first frame makes the font texture; the second shows it.
    app.renderWhileLoading();
    app.renderWhileLoading();
    std::vector<uint8_t> frame;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(app.renderSystem->readScene(frame, width, height));
    auto litIn = [&](uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
      int count = 0;
      for (uint32_t y = top; y < bottom; ++y)
        for (uint32_t x = left; x < right; ++x) {
          const size_t i = (size_t(y) * width + x) * 4;
          if (frame[i] > 128 && frame[i + 1] > 128 && frame[i + 2] > 128) ++count;
        }
      return count;
    };
    EXPECT_GT(litIn(0, 0, 120, 20), 40);   // "FPS ..."
    EXPECT_GT(litIn(0, 20, 100, 44), 40);  // "Loading..."
    EXPECT_EQ(litIn(300, 100, 1000, 700), 0);
    EXPECT_FALSE(log.contains("vertex stride"));
    app.shutdownEngine();
    EXPECT_FALSE(UIFontManager::exists());
    EXPECT_EQ(app.systemFont, nullptr);
  }
  FileSystem::setContentFolder(previous);
  computeVertexLayout(kVertexFormatEngine);
}

TEST(LoadingFrame, ShowsTheFrameRateAndLoadingInTheSystemFont) { checkLoadingFrame(kVertexFormatEngine); }

TEST(LoadingFrame, ShowsTheSystemFontInTheGameVertexLayout) { checkLoadingFrame(kVertexFormatGame); }

}  // namespace
}  // namespace Test
}  // namespace KR
