// The font manager over scratch content: shared fonts with their counts, the
// font package from the font settings, presets, and the fatal paths.
#include "ui/ui_font_manager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sprite_test_support.h"
#include "ui/ui_font.h"

namespace KR {
namespace Test {
namespace {

const char* const kFontText =
    "Image = 'font_img'\nCharList = { { 32, 16, 0, 4, 8 }, { 65, 0, 0, 8, 8 }, { 66, 8, 0, 8, 8 } }\n";

Tools::RgbaPicture fontPicture() {
  return blockPicture(32, 16, [](uint32_t x, uint32_t y) {
    Rgba c{255, 255, 255, 0};
    if (x < 16 && y < 8) c.a = 255;
    return c;
  });
}

class FontManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.config->currentLanguage = "en";
    world.addPicture("default", "font_img", fontPicture());
    world.add("default", "test_fnt", kFontText);
    world.add("default", "system_font_fnt", kFontText);
    world.add("default", "presets_lua",
              "full = { font = 'test_fnt', color = { 10, 20, 30, 40 }, halign = 2, valign = 1,\n"
              "         wordWrap = 1, xcoeff = 0.5, ycoeff = 2 }\n"
              "only_font = { font = 'test_fnt' }\n"
              "empty = {}\n"
              "boolean_wrap = { wordWrap = true, halign = 'x', color = { 1, 2 } }\n");
  }
  void start() {
    world.start();
    manager = std::make_unique<UIFontManager>();
  }
  void TearDown() override { manager.reset(); }

  LogCapture log;
  SpriteWorld world;
  std::unique_ptr<UIFontManager> manager;
};

TEST_F(FontManagerTest, FontsAreSharedByNameWithACount) {
  start();
  EXPECT_EQ(manager->getFont(""), nullptr);
  EXPECT_EQ(manager->getFontCount(), 0u);

  UIFont* first = manager->getFont("test_fnt");
  UIFont* second = manager->getFont("test_fnt");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->refCount, 2u);
  EXPECT_EQ(first->glyphCount, 3u);
  EXPECT_EQ(first->levels[0].package, "default");
  // Loading chose level 0 and made its sprite.
  EXPECT_NE(first->levels[0].sprite, nullptr);
  EXPECT_EQ(world.fastSprites->getCount(), 1u);
  EXPECT_EQ(first->color.value, 0u);

  manager->releaseFont(first);
  EXPECT_EQ(manager->getFontCount(), 1u);
  EXPECT_EQ(first->refCount, 1u);
  UIFont stranger;
  manager->releaseFont(&stranger);  // not held here: ignored
  manager->releaseFont(nullptr);
  manager->releaseFont(second);
  EXPECT_EQ(manager->getFontCount(), 0u);
  // The font gave its sprite back.
  EXPECT_EQ(world.fastSprites->getCount(), 0u);
}

TEST_F(FontManagerTest, DestructorDeletesFontsStillHeld) {
  start();
  manager->getFont("test_fnt");
  manager->getFont("system_font_fnt");
  EXPECT_EQ(world.fastSprites->getCount(), 2u);
  manager.reset();
  EXPECT_EQ(world.fastSprites->getCount(), 0u);
}

TEST_F(FontManagerTest, FontPackageComesFromTheLanguagesSettings) {
  world.add("en", "font_settings_xml", "<root><package value='fonts_en'/></root>");
  world.add("fonts_en", "test_fnt", kFontText);
  world.addPicture("fonts_en", "font_img", fontPicture());
  start();
  EXPECT_EQ(manager->getFontPackage(), "fonts_en");
  UIFont* font = manager->getFont("test_fnt");
  EXPECT_EQ(font->levels[0].package, "fonts_en");
  manager->releaseFont(font);
}

TEST_F(FontManagerTest, FontPackageWithoutSettingsIsDefault) {
  start();
  EXPECT_EQ(manager->getFontPackage(), "default");
}

TEST_F(FontManagerTest, SettingsWithoutPackageGiveAnEmptyName) {
  world.add("en", "font_settings_xml", "<root><other value='x'/></root>");
  start();
  EXPECT_EQ(manager->getFontPackage(), "");
}

TEST_F(FontManagerTest, PresetsReadEveryKeyOrItsDefault) {
  start();
  FontPreset full;
  ASSERT_EQ(manager->loadFontPreset("presets_lua", "full", &full), 0);
  EXPECT_EQ(full.halign, 2u);
  EXPECT_EQ(full.valign, 1u);
  EXPECT_TRUE(full.wordWrap);
  EXPECT_FLOAT_EQ(full.xcoeff, 0.5f);
  EXPECT_FLOAT_EQ(full.ycoeff, 2.0f);
  EXPECT_EQ(full.color, Color::fromChannels(10, 20, 30, 40));
  ASSERT_NE(full.font, nullptr);
  EXPECT_EQ(full.font->refCount, 1u);

  FontPreset onlyFont;
  onlyFont.halign = 9;
  ASSERT_EQ(manager->loadFontPreset("presets_lua", "only_font", &onlyFont), 0);
  EXPECT_EQ(onlyFont.halign, 0u);
  EXPECT_EQ(onlyFont.valign, 0u);
  EXPECT_FALSE(onlyFont.wordWrap);
  EXPECT_FLOAT_EQ(onlyFont.xcoeff, 0.0f);
  EXPECT_EQ(onlyFont.color, Color::fromARGB(0xFFFFFFFFu));
  EXPECT_EQ(onlyFont.font, full.font);
  EXPECT_EQ(full.font->refCount, 2u);

  // No font named: the system font; a Lua boolean and unreadable values
  // keep their defaults.
  FontPreset defaults;
  ASSERT_EQ(manager->loadFontPreset("presets_lua", "boolean_wrap", &defaults), 0);
  EXPECT_FALSE(defaults.wordWrap);
  EXPECT_EQ(defaults.halign, 0u);
  EXPECT_EQ(defaults.color, Color::fromARGB(0xFFFFFFFFu));
  ASSERT_NE(defaults.font, nullptr);
  EXPECT_NE(defaults.font, full.font);

  manager->releaseFont(full.font);
  manager->releaseFont(onlyFont.font);
  manager->releaseFont(defaults.font);
  EXPECT_EQ(manager->getFontCount(), 0u);
}

TEST_F(FontManagerTest, MissingPresetsLeaveThePresetUntouched) {
  start();
  FontPreset preset;
  preset.halign = 7;
  EXPECT_EQ(manager->loadFontPreset("no_such_file", "full", &preset), 1);
  EXPECT_EQ(manager->loadFontPreset("presets_lua", "no_such_table", &preset), 1);
  EXPECT_EQ(manager->loadFontPreset("presets_lua", "full", nullptr), 1);
  EXPECT_EQ(preset.halign, 7u);
  EXPECT_EQ(preset.font, nullptr);
  EXPECT_EQ(manager->getFontCount(), 0u);
}

using FontManagerDeathTest = FontManagerTest;

TEST_F(FontManagerDeathTest, BrokenContentIsFatal) {
  world.add("default", "no_charlist_fnt", "Image = 'font_img'\n");
  world.add("default", "no_level_list_fnt", "Image = 'font_img'\nMIP1 = 'font_img'\nCharList = {}\n");
  world.add("default", "broken_fnt", "Image = ");
  start();
  EXPECT_EXIT(manager->getFont("absent_fnt"), ::testing::ExitedWithCode(255),
              "Failed to load absent_fnt in default package");
  EXPECT_EXIT(manager->getFont("broken_fnt"), ::testing::ExitedWithCode(255), "Failed to load broken_fnt");
  EXPECT_EXIT(manager->getFont("no_charlist_fnt"), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(manager->getFont("no_level_list_fnt"), ::testing::ExitedWithCode(255),
              "Failed to open font CharList table!");
}

TEST_F(FontManagerDeathTest, UnparsableSettingsAreFatal) {
  world.add("en", "font_settings_xml", "<root><package value='x'></root>");
  start();
  EXPECT_EXIT(manager->getFontPackage(), ::testing::ExitedWithCode(255), "Failed to parse XML");
}

}  // namespace
}  // namespace Test
}  // namespace KR
