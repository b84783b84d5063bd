// The play state's configuration files: the first byte of the input picks a
// loader, the rest is the file it reads, put into a scratch content folder
// under the loader's resource name. The loader is made, reads its file the
// way the game does, and is destroyed; it may refuse the file (a damaged XML
// file is fatal by design: the message box throws here and the input ends)
// but never crash, hang or leak.
//
// The loaders run with the file system, the configuration and the allocators
// only: without the UI, sprite, sound and particle managers the names they
// read lead nowhere, and those files have fuzz targets of their own. The
// notebook's records are placed on its pages from a one-object scene that the
// harness lists as "record_xml".
//
// Built with KR_SEED_WRITER the same file writes the seeds: each loader's
// file from the demo media (`game_config_seeds <media folder> <seed folder>`)
// and a few files of its own for the paths the demo does not take.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// The loaders by their first byte; the seeds use the same order.
enum Route : uint8_t {
  kInventoryItems,
  kNotebook,
  kHosConfig,
  kHosQuest,
  kDialogue,
  kInventoryPanel,
  kHosPanel,
  kObjectsListPanel,
  kBriefPanel,
  kCursors,
  kEventSounds,
  kMusicPlayer,
  kHint,
  kAmuletsButton,
  kPauseMenu,
  kGeneralConfig,
  kViewStreamer,
  kTriggerVisualiser,
  kFoundItemEffect,
  kRouteCount
};

}  // namespace

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const KR::Fuzz::MediaSeed<Route> kMediaSeeds[] = {
    {kInventoryItems, "locations/inventory_items.xml"},
    {kNotebook, "notebook/notebook_config.xml"},
    {kHosConfig, "story/hos01_config.xml"},
    {kHosConfig, "story/hos_base_config.xml"},
    {kHosQuest, "story/desk_quest.xml"},
    {kDialogue, "story/talk01_config.xml"},
    {kInventoryPanel, "hud/inventory_panel_config.xml"},
    {kHosPanel, "hud/hos_behaviour.xml"},
    {kObjectsListPanel, "hud/objects_list_behaviour.xml"},
    {kBriefPanel, "hud/brief_behaviour.xml"},
    {kCursors, "game/custom_cursors.xml"},
    {kEventSounds, "game/event_sound_player.xml"},
    {kMusicPlayer, "locations/music_player_config.xml"},
    {kHint, "hud/hint_config.xml"},
    {kAmuletsButton, "hud/amulets_button_config.xml"},
    {kPauseMenu, "hud/ingame_menu_config.xml"},
    {kGeneralConfig, "game/general_config.xml"},
    {kViewStreamer, "locations/view_streamer_config.xml"},
    {kTriggerVisualiser, "story/trigger_visualizer_config.xml"},
    {kFoundItemEffect, "story/hos_item_disapperence_effect_manager.xml"},
};

const KR::Fuzz::OwnSeed<Route> kOwnSeeds[] = {
    // Records on the harness's scene: single and double pages in a short book.
    {kNotebook,
     "<root><NotebookConfig><pageSize v0=\"400\" v1=\"30\"/><Sections><section1><name v=\"main\"/>"
     "<recordsDistance v=\"5\"/><records><v0><id v=\"a\"/><SceneFile v=\"record_xml\"/></v0>"
     "<v1><id v=\"b\"/><SceneFile v=\"record_xml\"/><doublePage v=\"1\"/></v1>"
     "<v2><id v=\"c\"/><SceneFile v=\"record_xml\"/></v2>"
     "<v3><id v=\"d\"/><SceneFile v=\"record_xml\"/><doublePage v=\"1\"/></v3>"
     "<v4><id v=\"a\"/><SceneFile v=\"missing_xml\"/></v4></records></section1></Sections>"
     "</NotebookConfig></root>"},
    // Counts and kinds out of range.
    {kEventSounds,
     "<root><EventSoundPlayer><Sounds><v0><eventType v=\"-1\"/><filename v=\"a\"/></v0>"
     "<v1><eventType v=\"99999\"/><filename v=\"b\"/></v1><v2><eventType v=\"1\"/></v2></Sounds>"
     "</EventSoundPlayer></root>"},
    {kViewStreamer,
     "<root><config><maxLoadedViewCount v=\"-5\"/><maxStreamingDepth v=\"4294967296\"/></config></root>"},
    {kGeneralConfig,
     "<root><config><closeupSystemScale v=\"nan\"/><hosItemDissapearenceEffectQuality v=\"-7\"/></config></root>"},
    // Names longer than the loaders' fixed fields.
    {kInventoryItems,
     "<root><items><v0><name v=\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"/>"
     "<multiUseCounter v=\"-3\"/><isGroup v=\"1\"/><maxItemsInGroupNum v=\"-1\"/></v0></items></root>"},
    {kMusicPlayer,
     "<root><MusicPlayerConfig><CheckPeriod v=\"-1\"/><TrackList><v0><filename v=\"t\"/></v0><v1/><v2/><v3/>"
     "<v4/><v5/><v6/><v7/><v8/><v9/><v10/><v11/><v12/><v13/><v14/><v15/><v16/><v17/><v18/><v19/><v20/>"
     "</TrackList></MusicPlayerConfig></root>"},
    {kAmuletsButton, "<root><location v=\"x\"/><getAmuletsScenes><v0 v=\"a\"/><v1/></getAmuletsScenes></root>"},
    // Scene names that are folders on disk.
    {kTriggerVisualiser,
     "<root><config><TriggerAnimations><v0><sceneFile v=\"//\"/></v0></TriggerAnimations>"
     "<ItemApplingAnimation v=\".\"/></config></root>"},
    {kCursors, "<root><cursors><v0><sceneFile v=\"/tmp\"/></v0></cursors></root>"},
    // A damaged file for every loader is made by the fuzzer; one is kept here.
    {kHint, "<root><disableTime v=\"1\"/><FlashEffect><ribbonsCount v=\"9"},
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeRoutedSeedFiles(argc, argv, kMediaSeeds, kOwnSeeds); }

#else

#include <pthread.h>

#include "config_manager.h"
#include "core/game_cursor_manager.h"
#include "core/game_state/extensions/dialog_view_extension.h"
#include "core/game_state/extensions/hos_item_disapperence_effect_manager.h"
#include "core/game_state/extensions/hos_quest_view_extension.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_menu.h"
#include "core/game_state/hud/notebook_records.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/brief_panel_behaviour.h"
#include "core/game_state/inventory_panel/hos_panel_behaviour.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/sound/music_player.h"
#include "core/game_state/triggers/trigger_visualizer.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_streamer.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "fuzz_listing.h"
#include "scoped_lock.h"

namespace {

// The resource name each loader reads.
const char* const kEntries[kRouteCount] = {
    "inventory_items_xml",
    "notebook_config_xml",
    "hos_config_xml",
    "quest_config_xml",
    "dialog_config_xml",
    "inventory_panel_config_xml",
    "hos_behaviour_xml",
    "objects_list_behaviour_xml",
    "brief_behaviour_xml",
    "custom_cursors_xml",
    "event_sound_player_xml",
    "music_player_config_xml",
    "hint_config_xml",
    "amulets_button_config_xml",
    "ingame_menu_config",
    "general_config_xml",
    "view_streamer_config_xml",
    "trigger_visualizer_config_xml",
    "hos_item_disapperence_effect_manager_xml",
};

// Each loader's file has a path of its own; only the chosen one is there.
std::string inputFile(Route route) { return "/input" + std::to_string(int(route)) + ".xml"; }

struct Services {
  Services() : content(KR::Fuzz::startupContent("game_config")) {
    allocators.init();
    content.write("record.xml", "<Scene><Object name='record'/></Scene>");
    KR::Fuzz::Listing listing;
    listing["default"].push_back({"record_xml", "/record.xml"});
    for (int route = 0; route < kRouteCount; ++route)
      listing["default"].push_back({kEntries[route], inputFile(Route(route))});
    KR::Fuzz::writeListing(content, listing);
    KR::FileSystem::setContentFolder(content.folder());
    fileSystem = new KR::FileSystem();
    config = new KR::ConfigManager();
    fileSystem->loadFilesLocationInfo();
  }
  const KR::Fuzz::ScratchContent& content;
  KR::EngineAllocators allocators;
  KR::FileSystem* fileSystem = nullptr;
  KR::ConfigManager* config = nullptr;
};

void placeRecords(HOG::NotebookUI& notebook) {
  HOG::NotebookSection* section = notebook.getSection();
  if (!section) return;
  std::vector<std::string> ids;
  for (const auto& record : section->records) ids.push_back(record->id);
  for (const std::string& id : ids) notebook.pushRecordImmediately(section->name, id);
  notebook.showRecord(section->name, ids.empty() ? std::string() : ids.front());
  notebook.capture();
}

void run(Route route, const std::string& entry) {
  switch (route) {
    case kInventoryItems: {
      HOG::InventoryItemFactory items;
      items.loadItems();
      items.find("key");
      items.releaseAll();
      break;
    }
    case kNotebook: {
      HOG::NotebookUI notebook;
      placeRecords(notebook);
      break;
    }
    case kHosConfig: {
      HOG::HOSViewExtension extension;
      extension.loadConfig(entry);
      break;
    }
    case kHosQuest: {
      HOG::HosQuestViewExtension extension;
      extension.loadConfig(entry);
      break;
    }
    case kDialogue: {
      HOG::DialogViewExtension extension;
      extension.loadConfig(entry);
      break;
    }
    case kInventoryPanel: {
      HOG::InventoryPanelUI panel;
      panel.loadConfig();
      break;
    }
    case kHosPanel: {
      HOG::InventoryPanelUI panel;
      HOG::HOSPanelBehaviour behaviour(&panel);
      behaviour.loadConfig(entry);
      break;
    }
    case kObjectsListPanel: {
      HOG::InventoryPanelUI panel;
      HOG::ObjectsListPanelBehaviour behaviour(&panel);
      behaviour.loadConfig(entry);
      break;
    }
    case kBriefPanel: {
      HOG::InventoryPanelUI panel;
      HOG::BriefPanelBehaviour behaviour(&panel);
      behaviour.loadConfig(entry);
      break;
    }
    case kCursors: {
      HOG::GameCursorManager cursors;
      cursors.load(entry);
      break;
    }
    case kEventSounds: {
      HOG::EventSoundPlayer sounds;
      break;
    }
    case kMusicPlayer: {
      HOG::MusicPlayer music;
      music.loadConfig();
      break;
    }
    case kHint: {
      HOG::HintPanel hint;
      hint.load();
      break;
    }
    case kAmuletsButton: {
      HOG::AmuletsButton button(nullptr);
      break;
    }
    case kPauseMenu: {
      HOG::InGameMenu menu;
      menu.loadConfig();
      break;
    }
    case kGeneralConfig: HOG::Game::readGeneralConfig(); break;
    case kViewStreamer: {
      HOG::ViewRegistry registry;
      pthread_mutex_t stackLock;
      KR::initRecursiveMutex(&stackLock);
      { HOG::ViewStreamer streamer(registry, nullptr, nullptr, &stackLock); }
      pthread_mutex_destroy(&stackLock);
      break;
    }
    case kTriggerVisualiser: {
      HOG::TriggerVisualizer visualiser;
      visualiser.load();
      visualiser.release();
      break;
    }
    case kFoundItemEffect: {
      HOG::HOSItemDisapperenceEffectManager effect;
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
