// The front end's configuration files: the first byte of the input picks the
// file, the rest is its text, put into a scratch content folder under the
// file's resource name.
// - "logo.xml": the logo state loads it and runs its logos to the end, with
//   updates and draws; every logo must pass within the longest time a logo
//   may take, whatever its duration says;
// - the main menu's configuration ("main_menu_config_xml"): the menu loads
//   it, binds the handlers it names and loads the UI files it names, then
//   shows, updates, draws and unloads.
// Either may refuse its file (a malformed document or a UI file that does
// not exist is fatal by design: the message box throws here and the input
// ends) but never crash, hang or leak.
//
// The loaders run with the file system, the configuration, the allocators,
// the command binder, the localised text and the UI manager. The logos'
// pictures of the demo and of the seeds are small pictures here. The UI files
// the menu names are stand-ins of the demo's files: plain widgets under the
// demo's names, which the menu's windows look their controls up in; without
// sprite, texture and sound managers the pictures named lead nowhere, and
// those loaders have fuzz targets of their own.
//
// Built with KR_SEED_WRITER the same file writes the seeds: the demo's two
// files (`front_end_config_seeds <media folder> <seed folder>`) and a few of
// its own for the paths the demo does not take.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

enum Route : uint8_t { kLogos, kMainMenu, kRouteCount };

}  // namespace

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const KR::Fuzz::MediaSeed<Route> kMediaSeeds[] = {
    {kLogos, "front_end/logo.xml"},
    {kMainMenu, "front_end/main_menu_config.xml"},
};

const KR::Fuzz::OwnSeed<Route> kOwnSeeds[] = {
    // Times that never end or are gone at once, flags out of range, no name.
    {kLogos,
     "<root><logo name=\"a.png\" duration=\"nan\" esc=\"1\"/><logo name=\"b.png\" duration=\"-3\" esc=\"99999999999\"/>"
     "<logo name=\"b.png\" duration=\"1e39\" localized=\"1\"/><other name=\"a.png\" duration=\"inf\"/>text<!-- c -->"
     "</root>"},
    // Names that are folders or lie outside the pictures' folder.
    {kLogos, "<root><logo name=\"\" duration=\"1\"/><logo name=\"../../pc_logo\" duration=\"0.1\"/></root>"},
    {kLogos, "<root/>"},
    {kLogos, "<root><logo duration=\"1\"></root>"},
    // Handlers named alike, empty or not at all, and UI files that do not exist.
    {kMainMenu,
     "<root><MainMenuConfig><UIMainMenuFile v=\"main_menu_ui\"/><UIMainMenuTable v=\"MainMenu\"/>"
     "<UIPlayBtnAction v=\"same\"/><UIOptionsBtnAction v=\"same\"/><UIExitBtnAction v=\"\"/>"
     "<UIOptionsWidnowFile v=\"mm_options_ui\"/><UIOptionsWidnowTable v=\"OptionsWindow\"/>"
     "<UIEnterProfileNameFILE v=\"name_window_ui\"/><UIEnterProfileNameTable v=\"EnterProfileName\"/>"
     "<UIFirstEnterProfileNameFILE v=\"name_window_ui\"/><UIFirstEnterProfileNameTable "
     "v=\"FirstEnterProfileName\"/></MainMenuConfig></root>"},
    {kMainMenu, "<root><MainMenuConfig><UIMainMenuFile v=\"nowhere_ui\"/></MainMenuConfig></root>"},
    {kMainMenu, "<root><Other/></root>"},
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeRoutedSeedFiles(argc, argv, kMediaSeeds, kOwnSeeds); }

#else

#include "config_manager.h"
#include "core/logo_state/logo_game_state.h"
#include "core/main_menu_state/main_menu.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "fuzz_listing.h"
#include "image_maker.h"
#include "lex_binded_function_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

// The menu's UI files, each with the tables the menu and its windows load,
// holding the controls they look up.
struct StandIn {
  const char* entry;
  const char* text;
};

const StandIn kStandIns[] = {
    {"main_menu_ui",
     "MainMenu = { id = 'MainMenu', class = 'UIWidget', childs = {\n"
     "  { id = 'play_btn', class = 'UIButton' }, { id = 'MoreGamesButton', class = 'UIButton' } } }\n"},
    {"mm_options_ui",
     "OptionsWindow = { id = 'OptionsWindow', class = 'UIWidget', childs = {\n"
     "  { id = 'blackQuad', class = 'UIWidget' }, { id = 'musicProgressBar', class = 'UIProgressBar' } } }\n"},
    {"name_window_ui",
     "EnterProfileName = { id = 'EnterProfileName', class = 'UIWidget', childs = {\n"
     "  { id = 'textedit', class = 'UITextEdit' } } }\n"
     "FirstEnterProfileName = { id = 'FirstEnterProfileName', class = 'UIWidget' }\n"},
    {"selectdiff_ui", "selectdif_window = { id = 'selectdif_window', class = 'UIWidget' }\n"},
    {"options_diff_ui", "selectdif_window = { id = 'selectdif_window', class = 'UIWidget' }\n"},
    {"confirm_exit_ui", "ConfirmExitDialog = { id = 'ConfirmExitDialog', class = 'UIWidget' }\n"},
    {"confirm_restart_ui", "ConfirmRestartDialog = { id = 'ConfirmRestartDialog', class = 'UIWidget' }\n"},
    {"user_dialog_ui",
     "UserDialog = { id = 'UserDialog', class = 'UIWidget', childs = {\n"
     "  { id = 'userList', class = 'UIListView' }, { id = 'progressbar', class = 'UIProgressBar' } } }\n"},
    {"confirm_delete_ui", "ConfirmDeleteDialog = { id = 'ConfirmDeleteDialog', class = 'UIWidget' }\n"},
    {"info_message_ui", "InfoMessageBox = { id = 'InfoMessageBox', class = 'UIWidget' }\n"},
};

// The pictures the seeds name, plain and localised (the language is "en").
const char* const kPictures[] = {"logo_studio.png", "logo_engine.png", "logo_title.png", "a.png", "b.png"};

const char* const kMenuConfigFile = "main_menu_config.xml";
const char* const kLogoFile = "pc_logo/logo.xml";

struct Services {
  Services() : content(KR::Fuzz::startupContent("front_end_config")) {
    allocators.init();
    content.makeFolder("pc_logo");
    content.makeFolder("pc_localization");
    content.makeFolder("pc_localization/en");
    KR::Tools::RgbaPicture picture;
    picture.width = 4;
    picture.height = 2;
    picture.pixels.assign(4 * 2 * 4, 0x99);
    std::vector<uint8_t> png;
    std::string error;
    KR::Tools::encodePngRgba(picture, png, error);
    for (const char* name : kPictures)
      for (const std::string folder : {"pc_logo/", "pc_localization/en/"})
        content.write(folder + name, png.data(), png.size());
    KR::Fuzz::Listing listing;
    listing["default"].push_back({"main_menu_config_xml", std::string("/") + kMenuConfigFile});
    for (const StandIn& file : kStandIns) {
      const std::string path = std::string("/") + file.entry + ".lua";
      content.write(path.substr(1), file.text);
      listing["default"].push_back({file.entry, path});
    }
    KR::Fuzz::writeListing(content, listing);
    KR::FileSystem::setContentFolder(content.folder());
    fileSystem = new KR::FileSystem();
    config = new KR::ConfigManager();
    fileSystem->loadFilesLocationInfo();
    new KR::LexBindedFunctionManager();
    new KR::TextManager();
    new KR::UIManager();
  }
  const KR::Fuzz::ScratchContent& content;
  KR::EngineAllocators allocators;
  KR::FileSystem* fileSystem = nullptr;
  KR::ConfigManager* config = nullptr;
};

void runLogos() {
  HOG::LogoGameState logos;
  logos.load();
  for (int frame = 0; frame < 64; ++frame) {
    logos.update(0.25f);
    logos.draw();
  }
  // Whatever the file says, no logo stays longer than the longest time: one
  // update of more than that passes each.
  for (size_t logo = 0; logo <= logos.getLogos().size(); ++logo) logos.update(HOG::LogoGameState::kMaxDuration + 1.0f);
  if (logos.getCurrentLogo() < logos.getLogos().size()) __builtin_trap();
  logos.onDeactivate();
}

void runMainMenu() {
  HOG::MainMenu menu;
  menu.load();
  menu.onActivate();
  for (int frame = 0; frame < 4; ++frame) {
    menu.update(0.25f);
    menu.draw();
  }
  menu.unload();
}

void destroyLeftTrees() {
  KR::UIManager* ui = KR::UIManager::getInstance();
  while (!ui->getRoots().empty()) ui->destroyUI(ui->getRoots().front());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  if (size < 1) return 0;
  const Route route = Route(data[0] % kRouteCount);
  const char* file = route == kLogos ? kLogoFile : kMenuConfigFile;
  services.content.write(file, data + 1, size - 1);
  try {
    if (route == kLogos)
      runLogos();
    else
      runMainMenu();
  } catch (const KR::Fuzz::FatalError&) {
  }
  destroyLeftTrees();
  services.content.remove(file);
  return 0;
}

#endif
