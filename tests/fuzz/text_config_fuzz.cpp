// The files that style text on screen: the first byte of the input picks a
// loader, the rest is the file it reads, put into a scratch content folder
// under the loader's resource name:
//   0 a movie description with its skip label and subtitles,
//   1 a cut scene description (duration, stages, label and subtitles),
//   2 the font settings "font_settings_xml" that name the font package,
//   3 a file of UI font presets, read for the demo's preset names,
//   4 the text node's presets "font_presets_lua".
// Each loader reads its file the way the game does and its objects are
// destroyed; it may refuse the file (a damaged XML file or a missing font is
// fatal by design: the message box throws here and the input ends) but never
// crash, hang or leak.
//
// The fonts the demo's presets name are all the harness's one small font
// description (its picture is not there: fonts measure, nothing is drawn);
// "video_presets_lua" holds the two presets the movie and cut scene seeds
// name. Lua runs without os, io and loading functions, under an instruction
// budget (fuzz_content.h).
//
// Built with KR_SEED_WRITER the same file writes the seeds: each loader's
// file from the demo media (`text_config_seeds <media folder> <seed folder>`)
// and a few of its own.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

enum Route : uint8_t { kMovie, kCutScene, kFontSettings, kFontPresets, kTextNodePresets, kRouteCount };

}  // namespace

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const KR::Fuzz::MediaSeed<Route> kMediaSeeds[] = {
    {kMovie, "movies/movie_intro.xml"},       {kCutScene, "story/cutscene_shed.xml"},
    {kCutScene, "story/finale.xml"},          {kFontSettings, "fonts/font_settings.xml"},
    {kFontPresets, "fonts/font_presets.lua"}, {kFontPresets, "movies/video_presets.lua"},
    {kFontPresets, "ui/ui_demo_presets.lua"}, {kTextNodePresets, "fonts/font_presets.lua"},
};

const KR::Fuzz::OwnSeed<Route> kOwnSeeds[] = {
    // Subtitles without a preset, with times out of order and a missing key.
    {kMovie,
     "<root><Movie><VideoFilename v=\"m\"/><Subtitles><v0><beg v=\"5\"/><end v=\"1\"/><text v=\"NO_SUCH\"/></v0>"
     "<v1/><v2><beg v=\"nan\"/></v2></Subtitles></Movie></root>"},
    // A movie without a picture is not queued; a preset file that is missing.
    {kMovie, "<root><Movie><fontPresetFile v=\"missing_lua\"/><fontPresetTable v=\"skip\"/></Movie></root>"},
    {kCutScene,
     "<root><CutScene><duration v=\"-1\"/><animationFile v=\"missing_xml\"/><Stages><v0><duration v=\"2\"/></v0>"
     "<v1/></Stages><FontProperties><FontPresetFile v=\"video_presets_lua\"/><FontPresetTable v=\"none\"/>"
     "</FontProperties></CutScene></root>"},
    // A package that holds none of the fonts.
    {kFontSettings, "<root><package value=\"elsewhere\"/></root>"},
    {kFontSettings, "<root><package/></root>"},
    // Wrong kinds for every key, a font that is not there, a run-away file.
    {kFontPresets,
     "title = { font = 5, color = { 'a', 2 }, halign = -1, valign = 1e30, wordWrap = 'yes', xcoeff = {} }\n"
     "body = 'body' skip = { } subtitle = { color = { 1, 2, 3, 4, 5 } }\n"},
    {kFontPresets, "title = { font = 'no_such_fnt' }\n"},
    {kTextNodePresets, "title = setmetatable({}, { __index = function(t, k) while true do end end })\n"},
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeRoutedSeedFiles(argc, argv, kMediaSeeds, kOwnSeeds); }

#else

#include "animationeditor/text_scene_node.h"
#include "config_manager.h"
#include "core/game_state/script/cut_scene.h"
#include "engine_allocators.h"
#include "fast_sprite.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "fuzz_listing.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "video_player.h"

namespace {

void load(Route route, const std::string& entry, KR::UIFontManager& fonts);

const char* const kEntries[kRouteCount] = {"movie_xml", "cutscene_xml", "font_settings_xml", "presets_lua",
                                           "font_presets_lua"};

// One level of three glyphs; its picture is never there.
const char kFont[] = "Image = 'font_img'\nCharList = { { 32, 16, 0, 4, 8 }, { 65, 0, 0, 8, 8 }, { 66, 8, 0, 8, 8 } }\n";
const char kVideoPresets[] =
    "skip = { font = 'system_font_fnt', color = { 255, 255, 255, 255 }, halign = 2, valign = 2 }\n"
    "subtitle = { font = 'font2_fnt', wordWrap = 1, halign = 1 }\n";

// Each loader's file has a path of its own; only the chosen one is there.
std::string inputFile(Route route) { return "/input" + std::to_string(int(route)) + ".bin"; }

struct Services {
  Services() : content(KR::Fuzz::startupContent("text_config")) {
    allocators.init();
    content.write("font.lua", kFont);
    content.write("video_presets.lua", kVideoPresets);
    KR::Fuzz::Listing listing;
    for (const char* font : {"system_font_fnt", "font2_fnt", "font_title_fnt"})
      listing["default"].push_back({font, "/font.lua"});
    listing["default"].push_back({"video_presets_lua", "/video_presets.lua"});
    for (int route = 0; route < kRouteCount; ++route)
      listing[route == kFontSettings ? "en" : "default"].push_back({kEntries[route], inputFile(Route(route))});
    KR::Fuzz::writeListing(content, listing);
    KR::FileSystem::setContentFolder(content.folder());
    fileSystem = new KR::FileSystem();
    config = new KR::ConfigManager();
    fileSystem->loadFilesLocationInfo();
    new KR::TextManager();
    new KR::TextureManager();
    new KR::SpriteManager<KR::FastSprite>();
  }
  const KR::Fuzz::ScratchContent& content;
  KR::EngineAllocators allocators;
  KR::FileSystem* fileSystem = nullptr;
  KR::ConfigManager* config = nullptr;
};

void run(Route route, const std::string& entry) {
  // A new manager each time: the font package is settled on first use.
  KR::UIFontManager fonts;
  load(route, entry, fonts);
  // Every reference a loader took went back with its objects.
  if (fonts.getFontCount() != 0) __builtin_trap();
}

void load(Route route, const std::string& entry, KR::UIFontManager& fonts) {
  switch (route) {
    case kMovie: {
      KR::VideoPlayer player;
      player.playMovie(entry);
      break;
    }
    case kCutScene: {
      HOG::CutScene cutScene;
      cutScene.init(entry, 1);
      break;
    }
    case kFontSettings:
      fonts.getFontPackage();
      fonts.releaseFont(fonts.getFont("system_font_fnt"));
      break;
    case kFontPresets:
      for (const char* table : {"title", "body", "skip", "subtitle", "button"}) {
        KR::FontPreset preset;
        if (fonts.loadFontPreset(entry, table, &preset) == 0) fonts.releaseFont(preset.font);
      }
      break;
    case kTextNodePresets: {
      AE::TextSceneNode node("system_font_fnt", L"AB A");
      node.mPresetName = "title";
      node.setupStyle(true);
      node.getSize();
      break;
    }
    case kRouteCount: break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  if (size < 1) return 0;
  const Route route = Route(data[0] % kRouteCount);
  const std::string entry = kEntries[route];
  services.content.write(inputFile(route).substr(1), data + 1, size - 1);
  try {
    run(route, entry);
  } catch (const KR::Fuzz::FatalError&) {
  }
  services.content.remove(inputFile(route).substr(1));
  return 0;
}

#endif
