// Subtitles and the video player over a small content folder: a bitmap font
// (every printable character 10 x 20, the space 5 wide), presets, strings,
// movie descriptions and clips made by the Theora writer.
#include "video_player.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "image_maker.h"
#include "input_manager_win_mac.h"
#include "mouse_device_win.h"
#include "sound_system/sound_manager.h"
#include "subtitles.h"
#include "support/test_support.h"
#include "theora_writer.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "video_surface.h"
#include "video_surface_streamer.h"
#include "video_test_support.h"
#include "xml_data_reader.h"

namespace {

using KR::MovieSlot;
using KR::Subtitles;
using KR::VideoPlayer;
using KR::VideoSurface;
using KR::VideoSurfaceStreamer;

const char* const kFont =
    "Image = 'font_img'\n"
    "CharList = {}\n"
    "for c = 32, 126 do CharList[#CharList + 1] = { c, (c - 32) * 10, 0, c == 32 and 5 or 10, 20 } end\n";

const char* const kPresets =
    "subs = { font = 'system_font_fnt', color = { 255, 255, 0, 255 }, halign = 1, valign = 2, wordWrap = 0 }\n"
    "skip = { font = 'system_font_fnt', color = { 255, 255, 255, 255 }, halign = 2, valign = 1 }\n"
    "other = { font = 'second_fnt', color = { 0, 255, 0, 255 } }\n";

const char* const kStrings =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>\n"
    "<s><text>SKIP</text><translate>Skip</translate></s>\n"
    "<s><text>LINE_1</text><translate>Hello there</translate></s>\n"
    "<s><text>LINE_2</text><translate>General Kenobi</translate></s>\n"
    "<s><text>LONG</text><translate>"
    "Pneumonoultramicroscopicsilicovolcanoconiosisandthensomemoreletterstomakeitreallyverywide"
    "</translate></s>\n"
    "</root>\n";

std::string movie(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<root><Movie>" + body + "</Movie></root>\n";
}

std::string subtitlesXml(const std::string& preset, const std::string& items) {
  std::string xml = "<?xml version=\"1.0\"?>\n<root><Cut>";
  if (!preset.empty())
    xml += "<FontProperties><FontPresetFile v=\"video_presets_lua\"/><FontPresetTable v=\"" + preset +
           "\"/></FontProperties>";
  xml += "<Subtitles>" + items + "</Subtitles></Cut></root>\n";
  return xml;
}

std::string item(int index, const char* begin, const char* end, const char* text) {
  std::string v = "v" + std::to_string(index);
  std::string xml = "<" + v + ">";
  if (begin) xml += std::string("<beg v=\"") + begin + "\"/>";
  if (end) xml += std::string("<end v=\"") + end + "\"/>";
  if (text) xml += std::string("<text v=\"") + text + "\"/>";
  return xml + "</" + v + ">";
}

class VideoPlayerTest : public ::testing::Test {
 protected:
  VideoPlayerTest() : world(1024, 768) {}

  void SetUp() override {
    KR::Tools::RgbaPicture white;
    white.width = 1024;
    white.height = 32;
    white.pixels.assign(size_t(white.width) * white.height * 4, 255);
    std::vector<uint8_t> png;
    std::string error;
    ASSERT_TRUE(KR::Tools::encodePngRgba(white, png, error)) << error;
    world.add("default", "font_img", std::string(png.begin(), png.end()));
    world.add("default", "system_font_fnt", kFont);
    world.add("default", "second_fnt", kFont);
    world.add("default", "video_presets_lua", kPresets);
    world.add("en", "strings_xml", kStrings);

    world.add("default", "short_ogv", KR::Test::clip(64, 48, 25, 1, 3));
    world.add("default", "wide_ogv", KR::Test::clip(64, 48, 25, 1, 5));
    world.add("default", "text_ogv", std::string("not a video"));
    const std::string label = "<fontPresetFile v=\"video_presets_lua\"/><fontPresetTable v=\"skip\"/>";
    world.add("default", "short_xml",
              movie("<VideoFilename v=\"short_ogv\"/>" + label + "<Subtitles>" + item(0, "0", "1", "LINE_1") +
                    "</Subtitles>"));
    world.add("default", "wide_xml", movie("<VideoFilename v=\"wide_ogv\"/>" + label));
    world.add("default", "broken_xml", movie("<VideoFilename v=\"text_ogv\"/>" + label));
    world.add("default", "missing_video_xml", movie("<VideoFilename v=\"nowhere_ogv\"/>" + label));
    world.add("default", "empty_video_xml", movie("<VideoFilename v=\"\"/>" + label));
    world.add("default", "no_movie_xml", "<?xml version=\"1.0\"?>\n<root><Film/></root>\n");
    world.add("default", "long_name_xml", movie("<VideoFilename v=\"" + std::string(70, 'n') + "\"/>" + label));
    world.add("default", "with_sound_xml",
              movie("<VideoFilename v=\"short_ogv\"/><SoundTrackFilename v=\"missing_sound\"/>" + label));
  }

  // Content and managers; with `device` an off-screen frame of the design size.
  void start(bool device = false) {
    world.start(device);
    if (!device) {
      // The window record the design-coordinate mapping reads.
      windowOnly = std::make_unique<KR::RenderSystem>(nullptr);
      windowOnly->getWindowInfo().mWndWidth = 1024;
      windowOnly->getWindowInfo().mWndHeight = 768;
    }
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
    fonts = std::make_unique<KR::UIFontManager>();
    input = std::make_unique<KR::InputManager>(nullptr);
    streamer = std::make_unique<VideoSurfaceStreamer>(false);
    streamer->setUseShaders(false);
    player = std::make_unique<VideoPlayer>();
  }

  void TearDown() override {
    player.reset();
    streamer.reset();
    input.reset();
    fonts.reset();
    fastSprites.reset();
    texts.reset();
    windowOnly.reset();
  }

  // Runs the playing movie's surface to its end.
  void finishPlaying() {
    MovieSlot& slot = player->getSlot(uint32_t(player->getPlayingIndex()));
    ASSERT_NE(slot.surface, nullptr);
    for (int i = 0; i < 100 && !slot.surface->isFinished(); ++i) {
      slot.surface->decodeStep(100.0f);
      slot.surface->uploadFrame();
    }
    ASSERT_TRUE(slot.surface->isFinished());
  }

  // The cursor at a design position (the window is the design area here),
  // with the buttons' previous and current states.
  void cursor(int x, int y, bool leftWentDown = false, bool rightWentDown = false) {
    KR::MouseDevice* mouse = input->getMouseDevice();
    mouse->cursorX = x;
    mouse->cursorY = y;
    mouse->previousButtons[0] = mouse->previousButtons[1] = 0;
    mouse->buttons[0] = leftWentDown ? 1 : 0;
    mouse->buttons[1] = rightWentDown ? 1 : 0;
  }

  KR::Test::LogCapture logs;
  KR::Test::VideoWorld world;
  std::unique_ptr<KR::RenderSystem> windowOnly;
  std::unique_ptr<KR::TextManager> texts;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
  std::unique_ptr<KR::UIFontManager> fonts;
  std::unique_ptr<KR::InputManager> input;
  std::unique_ptr<VideoSurfaceStreamer> streamer;
  std::unique_ptr<VideoPlayer> player;
};

// ---------------------------------------------------------------------------
// Subtitles

class SubtitlesTest : public VideoPlayerTest {
 protected:
  void load(Subtitles& subtitles, const std::string& xml) {
    static int counter = 0;
    (void)counter;
    KR::XmlDataReader reader;
    ASSERT_EQ(reader.parse(xml.data(), xml.size()), pugi::status_ok);
    ASSERT_TRUE(reader.enterChild("Cut"));
    EXPECT_EQ(subtitles.load(reader), 0);
  }
};

TEST_F(SubtitlesTest, AreaAndTiming) {
  start();
  Subtitles subtitles;
  load(subtitles, subtitlesXml("", item(0, "2", "5", "LINE_1") + item(1, "4", "8", "LINE_2") +
                                       item(2, nullptr, nullptr, "LINE_2") + item(3, "9", "10", "UNKNOWN")));
  EXPECT_NEAR(subtitles.areaLeft, 170.67f, 0.01f);
  EXPECT_FLOAT_EQ(subtitles.areaTop, 672.0f);
  EXPECT_NEAR(subtitles.areaWidth, 682.67f, 0.01f);
  EXPECT_FLOAT_EQ(subtitles.areaHeight, 96.0f);
  ASSERT_EQ(subtitles.entries.size(), 4u);

  EXPECT_EQ(subtitles.find(1.99f), nullptr);
  EXPECT_EQ(subtitles.find(2.0f), &subtitles.entries[0]);
  EXPECT_EQ(subtitles.find(4.99f), &subtitles.entries[0]);  // the earlier of two overlapping
  EXPECT_EQ(subtitles.find(5.0f), &subtitles.entries[1]);
  EXPECT_EQ(subtitles.find(8.0f), nullptr);
  // Missing times read as 0: an empty interval never shows.
  EXPECT_EQ(subtitles.entries[2].begin, 0.0f);
  EXPECT_EQ(subtitles.find(0.0f), nullptr);
  EXPECT_EQ(*subtitles.entries[0].text, L"Hello there");
  EXPECT_EQ(*subtitles.entries[3].text, L"!ERROR!");
}

TEST_F(SubtitlesTest, StyleFromThePresetOrThePlainFallback) {
  start();
  Subtitles plain;
  load(plain, subtitlesXml("", item(0, "0", "1", "LINE_1")));
  EXPECT_FALSE(plain.presetLoaded);
  ASSERT_NE(plain.font, nullptr);
  EXPECT_EQ(plain.font, fonts->getFont("system_font_fnt"));
  fonts->releaseFont(plain.font);

  Subtitles styled;
  load(styled, subtitlesXml("subs", item(0, "0", "1", "LINE_1")));
  EXPECT_TRUE(styled.presetLoaded);
  EXPECT_EQ(styled.font, styled.preset.font);
  EXPECT_TRUE(styled.preset.wordWrap);  // forced on whatever the preset says
  EXPECT_EQ(styled.preset.valign, 2u);
  EXPECT_EQ(styled.preset.color, KR::Color::fromChannels(255, 255, 0, 255));
}

// A preset that cannot be read falls back to the plain style on
// "system_font_fnt", never to the font an earlier load gave back.
TEST_F(SubtitlesTest, AMissingPresetFallsBackToTheSystemFont) {
  start();
  Subtitles subtitles;
  load(subtitles, subtitlesXml("other", item(0, "0", "1", "LINE_1")));
  ASSERT_TRUE(subtitles.presetLoaded);
  EXPECT_EQ(fonts->getFontCount(), 1u);  // second_fnt

  load(subtitles, subtitlesXml("nonexistent", item(0, "0", "1", "LINE_1")));
  EXPECT_FALSE(subtitles.presetLoaded);
  ASSERT_NE(subtitles.font, nullptr);
  EXPECT_EQ(subtitles.preset.font, nullptr);
  KR::UIFont* system = fonts->getFont("system_font_fnt");
  EXPECT_EQ(subtitles.font, system);
  fonts->releaseFont(system);
  // second_fnt was released by the reload and is gone.
  EXPECT_EQ(fonts->getFontCount(), 1u);
  EXPECT_TRUE(logs.contains("Subtitles: font preset nonexistent"));

  subtitles.destroy();
  EXPECT_EQ(fonts->getFontCount(), 0u);
  EXPECT_TRUE(subtitles.entries.empty());
}

// Text that fits keeps the area as its box; a word wider than the area
// widens the box to the left, keeping the area's right and bottom edges.
TEST_F(SubtitlesTest, LayoutKeepsOrGrowsTheBox) {
  start();
  Subtitles subtitles;
  load(subtitles, subtitlesXml("", item(0, "0", "1", "LINE_1") + item(1, "1", "2", "LONG")));
  KR::SubtitleEntry& fits = subtitles.entries[0];
  subtitles.layoutEntry(fits);
  EXPECT_FLOAT_EQ(fits.boxSize.x, subtitles.areaWidth);
  EXPECT_FLOAT_EQ(fits.boxSize.y, subtitles.areaHeight);
  EXPECT_FLOAT_EQ(fits.boxPosition.x, subtitles.areaLeft);
  EXPECT_FLOAT_EQ(fits.boxPosition.y, subtitles.areaTop);

  KR::SubtitleEntry& wide = subtitles.entries[1];
  subtitles.layoutEntry(wide);
  const float measured = wide.bounds.right - wide.bounds.left;
  EXPECT_GT(measured, subtitles.areaWidth);
  EXPECT_FLOAT_EQ(wide.boxSize.x, measured);
  EXPECT_NEAR(wide.boxPosition.x + wide.boxSize.x, subtitles.areaLeft + subtitles.areaWidth, 0.01f);
  EXPECT_NEAR(wide.boxPosition.y + wide.boxSize.y, subtitles.areaTop + subtitles.areaHeight, 0.01f);

  // Drawing lays an entry out once; a new load drops every box.
  subtitles.time = 0.5f;
  wide.laidOut = false;
  subtitles.entries[0].laidOut = false;
  load(subtitles, subtitlesXml("", item(0, "0", "1", "LINE_1")));
  EXPECT_FALSE(subtitles.entries[0].laidOut);
  EXPECT_EQ(subtitles.entries.size(), 1u);
}

// ---------------------------------------------------------------------------
// The player

TEST_F(VideoPlayerTest, QueueHoldsEightMoviesAndRefusesBadDescriptions) {
  start();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(player->playMovie("short_xml"), 0) << i;
  EXPECT_EQ(player->playMovie("short_xml"), 1);
  EXPECT_EQ(player->getQueuedCount(), 8u);
  EXPECT_EQ(player->getPlayingIndex(), -1);
  player.reset();
  // Every queued slot gave its fonts back.
  EXPECT_EQ(fonts->getFontCount(), 0u);

  player = std::make_unique<VideoPlayer>();
  EXPECT_EQ(player->playMovie("nowhere_xml"), 1);
  EXPECT_EQ(player->playMovie("no_movie_xml"), 1);
  EXPECT_EQ(player->playMovie("empty_video_xml"), 1);
  EXPECT_EQ(player->getQueuedCount(), 0u);
  EXPECT_EQ(fonts->getFontCount(), 0u);

  EXPECT_EQ(player->playMovie("long_name_xml"), 0);
  EXPECT_EQ(std::string(player->getSlot(0).videoFileName), std::string(63, 'n'));
  MovieSlot& slot = player->getSlot(0);
  EXPECT_EQ(*slot.labelText, L"Skip");
  EXPECT_FLOAT_EQ(slot.labelWidth, 40.0f);
  EXPECT_FLOAT_EQ(slot.labelHeight, 20.0f);
  EXPECT_EQ(slot.labelPreset.halign, 0u);
  EXPECT_EQ(slot.labelPreset.valign, 0u);
}

// Movies play in the order queued; a finished one leaves the queue and the
// next starts on the following update with its own layout.
TEST_F(VideoPlayerTest, MoviesPlayInOrder) {
  start();
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  ASSERT_EQ(player->playMovie("wide_xml"), 0);
  player->update();
  EXPECT_EQ(player->getPlayingIndex(), 0);
  ASSERT_NE(player->getSlot(0).surface, nullptr);
  EXPECT_EQ(std::string(player->getSlot(0).videoFileName), "short_ogv");
  EXPECT_EQ(player->getSlot(0).subtitles.entries.size(), 1u);
  EXPECT_EQ(streamer->getSurfaceCount(), 1u);

  // A 64 x 48 picture fills 1024 x 768, overlapping one unit on every side.
  const KR::VideoPlane& plane = player->getSlot(0).surface->getPlane(VideoSurface::kPlaneRgba);
  EXPECT_FLOAT_EQ(plane.sprites[0]->getPosition().x, -1.0f);
  EXPECT_FLOAT_EQ(plane.sprites[0]->getPosition().y, -1.0f);
  EXPECT_FLOAT_EQ(plane.sprites[0]->getSize().x, 1026.0f);
  EXPECT_FLOAT_EQ(plane.sprites[0]->getSize().y, 770.0f);

  finishPlaying();
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 1u);
  EXPECT_EQ(player->getPlayingIndex(), -1);
  EXPECT_EQ(streamer->getSurfaceCount(), 0u);
  player->update();
  EXPECT_EQ(player->getPlayingIndex(), 0);
  EXPECT_EQ(std::string(player->getSlot(0).videoFileName), "wide_ogv");
  ASSERT_NE(player->getSlot(0).surface, nullptr);
  EXPECT_TRUE(player->getSlot(0).subtitles.entries.empty());
  finishPlaying();
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 0u);
  EXPECT_EQ(fonts->getFontCount(), 0u);
}

TEST_F(VideoPlayerTest, UnplayableVideosLeaveAtTheirFirstUpdate) {
  start();
  ASSERT_EQ(player->playMovie("missing_video_xml"), 0);
  ASSERT_EQ(player->playMovie("broken_xml"), 0);
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 2u);
  EXPECT_TRUE(logs.contains("VideoPlayer: nowhere_ogv cannot be played, the movie is skipped"));
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 1u);
  EXPECT_TRUE(logs.contains("VideoPlayer: text_ogv cannot be played, the movie is skipped"));
  player->update();
  EXPECT_EQ(player->getPlayingIndex(), 0);
  EXPECT_NE(player->getSlot(0).surface, nullptr);
}

// The label sits 64 units from the design area's top-right corner, also in a
// window of another shape (beside the area nothing is drawn); the cursor over
// it is told; a click anywhere, or a release of Escape, skips the movie.
TEST_F(VideoPlayerTest, TheLabelStaysInSightAndAnyClickOrEscapeSkips) {
  start();
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  ASSERT_EQ(player->playMovie("wide_xml"), 0);
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  cursor(0, 0);
  player->update();
  player->update();
  const MovieSlot& slot = player->getSlot(0);
  EXPECT_FLOAT_EQ(slot.labelPosition.x, 1024.0f - 64.0f - 40.0f);
  EXPECT_FLOAT_EQ(slot.labelPosition.y, 64.0f);
  EXPECT_FALSE(player->isCursorOverLabel());
  windowOnly->getWindowInfo().mWndWidth = 1366;
  player->update();
  EXPECT_FLOAT_EQ(slot.labelPosition.x, 1024.0f - 64.0f - 40.0f);
  windowOnly->getWindowInfo().mWndWidth = 1024;

  cursor(940, 70);
  player->update();
  EXPECT_TRUE(player->isCursorOverLabel());
  EXPECT_EQ(input->getMouseDevice()->designX, 940);
  EXPECT_EQ(player->getQueuedCount(), 3u);

  cursor(10, 700, true);
  player->update();  // skipped, and the next one starts at once
  EXPECT_EQ(player->getQueuedCount(), 2u);
  EXPECT_EQ(std::string(player->getSlot(0).videoFileName), "wide_ogv");
  EXPECT_EQ(player->getPlayingIndex(), 0);
  cursor(10, 700);
  KR::KeyboardDevice* keys = input->getKeyboardDevice();
  keys->strokes = {KR::Platform::KeyStroke{KR::Platform::kVkEscape, true, 0}};
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 2u);  // held: not yet
  keys->strokes = {KR::Platform::KeyStroke{KR::Platform::kVkEscape, false, 0}};
  player->update();
  EXPECT_EQ(player->getQueuedCount(), 1u);
}

TEST_F(VideoPlayerTest, SoundTrackPlaysAndStopsWithTheMovie) {
  start();
  KR::SoundManager sound;
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  player->update();
  EXPECT_EQ(player->getSlot(0).soundId, 0u);
  EXPECT_EQ(player->getSlot(0).channel, 0u);
  player->skipCurrent();

  ASSERT_EQ(player->playMovie("with_sound_xml"), 0);
  player->update();
  // A missing file still takes an id; it plays nothing.
  EXPECT_NE(player->getSlot(0).soundId, 0u);
  player->skipCurrent();
  EXPECT_EQ(player->getQueuedCount(), 0u);
  EXPECT_EQ(sound.acquireSoundId("missing_sound"), 0u);  // given back with the movie
  player.reset();
}

// Drawn frames: the picture, the subtitle line and the label, whose colour
// is the preset's, or 216 in every channel while the cursor is over it.
TEST_F(VideoPlayerTest, DrawsPictureSubtitlesAndLabel) {
  start(true);
  ASSERT_EQ(player->playMovie("short_xml"), 0);
  cursor(0, 0);
  player->update();
  MovieSlot& slot = player->getSlot(0);
  ASSERT_NE(slot.surface, nullptr);
  KR::RenderSystem* rs = world.renderSystem.get();
  slot.surface->decodeStep(0.05f);
  rs->checkDeviceLost();
  rs->renderFrame();
  streamer->uploadFrames();

  rs->checkDeviceLost();
  player->drawPlaying();
  EXPECT_EQ(player->getLabelColor(), KR::Color::fromARGB(0xFFFFFFFFu));
  std::vector<uint32_t> pixels = world.frame();
  rs->renderFrame();
  // Somewhere in the label's box a white glyph pixel.
  bool label = false;
  for (int y = 65; y < 84 && !label; ++y)
    for (int x = 921; x < 960 && !label; ++x) label = pixels[size_t(y) * 1024 + x] == 0xFFFFFFFFu;
  EXPECT_TRUE(label);
  // The subtitle line, centred at the bottom, over the picture.
  EXPECT_EQ(slot.subtitles.time, slot.surface->getPlayingTime());
  bool line = false;
  for (int y = 672; y < 768 && !line; ++y)
    for (int x = 400; x < 620 && !line; ++x) line = pixels[size_t(y) * 1024 + x] == 0xFFFFFFFFu;
  EXPECT_TRUE(line);

  cursor(940, 70);
  player->update();
  rs->checkDeviceLost();
  player->drawPlaying();
  EXPECT_EQ(player->getLabelColor(), KR::Color::fromChannels(216, 216, 216, 216));
  rs->renderFrame();
}

}  // namespace
