// UI description tables are content files: whatever table shapes and value
// kinds the global table "ui" holds, building a tree from it must end in a
// tree (or none) with the Lua stack balanced, and showing, routing input to,
// updating, drawing and destroying that tree must stay in bounds.
//
// The input is the Lua text of a UI file. It runs in a state without
// libraries, under an instruction and a memory budget, so that a generated
// program can neither touch the system nor run away. The same text is the
// file "fuzz" of the package "default", so that "instance" and "related"
// urls naming "fuzz" load its tables again (the engine's Lua states here open
// no libraries either and keep the instruction budget: the program behaves
// the same in every state), cycles through them included. Skipped are the
// inputs whose widgets reach the loader's fatal errors (a widget without "id"
// or "class", a bad url, a url naming another file or a missing table,
// covered by the death tests), those that read other files (sprite pictures,
// rectangles by reference, scene files), which have fuzz targets of their
// own, and particle widgets without a file name (fatal).
//
// Built with KR_SEED_WRITER the same file is the tool that writes the seed
// corpus: `ui_loader_seeds <folder>`.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const char* const kSeeds[] = {
    // A screen with every common key, states of every property and events.
    ("ui = { id = 'screen', class = 'UIWidget', position = {10, 20}, modal = 0, hideStateDuration = 0.5,\n"
     "  customClientRect = {0, 0, 100, 100}, enabled = 1, notSelecting = 0, tabOrder = 3, hotkey = 65,\n"
     "  defaultChildTabOrder = 1, tabNavigation = 2, processMessageReturnValue = 1,\n"
     "  enableCustomContentRect = 0, customContentRect = {1, 2, 3, 4}, initialState = 'onIdle',\n"
     "  childs = {\n"
     "    { id = 'title', class = 'UILabel', text = '#TITLE', size = {300, 40}, halign = 1, valign = 2,\n"
     "      wordWrap = 1, xcoeff = 0.5, ycoeff = 0.2, pixelPrecision = 0, color = {255, 200, 100, 255},\n"
     "      sizeof = 'screen', fontPreset = 'presets:title' },\n"
     "    { id = 'ok', class = 'UIButton', text = 'OK', captionOrder = 0,\n"
     "      childs = { { id = 'face', class = 'UILabel', size = {80, 30} } },\n"
     "      states = { { id = 'onSelect', propertyChanges = { { target = 'face', property = 'offset',\n"
     "                   value = {2, 2}, duration = 0.1 } } } } } },\n"
     "  states = {\n"
     "    { id = 'onIdle', propertyChanges = { { target = 'screen', property = 'transparency', value = 1,\n"
     "      duration = 0.25, transition = 'linear' }, { target = 'title', property = 'color',\n"
     "      value = {1, 2, 3, 4}, duration = 1 } } },\n"
     "    { id = 'onHide', propertyChanges = { { target = 'screen', property = 'transparency', value = 0 } } } },\n"
     "  events = { { element = 'ok', slot = 'clicked', command = 'hide: screen , x' },\n"
     "             { element = 'ok', slot = 'clicked', command = 'show:title' } } }\n"),
    // Unknown classes, bad targets and properties, a disabled widget.
    ("ui = { id = 'a', class = 'UIWidget', childs = {\n"
     "  { id = 'b', class = 'UIListView', childs = { { id = 'c', class = 'UIWidget' } } },\n"
     "  { id = 'd', class = 'UIButton', enabled = 0, caption = 'x' },\n"
     "  { id = 'e', class = 'UISprite', scale = {2, 3}, size = {4, 5}, color = {9, 9, 9, 9} } },\n"
     "  states = { { id = 's', propertyChanges = { { target = 'nobody', property = 'offset' },\n"
     "    { target = 'd', property = 'scale', value = {1, 1} }, { target = 'e', property = 'scale' },\n"
     "    { target = 'a', property = 'wobble' } } }, { propertyChanges = {} }, { id = 'empty' } } }\n"),
    // Wrong kinds everywhere; booleans for flags; numbers for names.
    ("ui = { id = 1, class = 'UIWidget', modal = true, position = 'left', childs = 'none',\n"
     "  states = { 5, { id = {}, propertyChanges = 7 } }, events = { { element = 1, slot = {}, command = 2 } },\n"
     "  initialState = 42, customClientRect = {'a', 'b'}, hotkey = -1 }\n"),
    // Deep and wide trees built by loops, a table that holds itself.
    ("local t = { id = 'r', class = 'UIWidget' } local n = t\n"
     "for i = 1, 150 do local c = { id = 'n' .. i, class = 'UIWidget', position = {i, i} } n.childs = { c } n = c end\n"
     "local w = { id = 'w', class = 'UIWidget', childs = {} }\n"
     "for i = 1, 300 do w.childs[i] = { id = 'l' .. i, class = i % 2 == 0 and 'UILabel' or 'UIButton', text = 't' } "
     "end\n"
     "t.childs[2] = w n.childs = { t } ui = t\n"),
    // The content widgets with their keys: an area with its bar, a check box,
    // a list, a text edit, scene widgets reaching into their ancestors'
    // scenes (which have none here) and a particle widget.
    ("ui = { id = 'screen', class = 'UIWidget', initialState = 'onIdle', childs = {\n"
     "  { id = 'area', class = 'UIScrollArea', progressBar = 'bar', size = {200, 100}, orientation = 'hor',\n"
     "    kinetic = 1, kineticSpeed = 40, dragScrolling = 1, pageSize = 50, fastApproach = 1, keepContent = 0,\n"
     "    clipping = 1, childs = { { id = 'row', class = 'UILabel', size = {900, 40} } } },\n"
     "  { id = 'bar', class = 'UIProgressBar', bar = 'fill', thumb = 'knob', lrOffsets = {4, 4}, orientation = 0,\n"
     "    kinetic = 1, kineticSpeed = 2, step = 0.3, locked = 0,\n"
     "    childs = { { id = 'fill', class = 'UISprite' }, { id = 'knob', class = 'UISprite' } } },\n"
     "  { id = 'box', class = 'UICheckBox', thumb = 'tick', text = 'Music', captionOrder = 0,\n"
     "    childs = { { id = 'tick', class = 'UILabel', size = {10, 10} } } },\n"
     "  { id = 'list', class = 'UIListView', fontPreset = 'presets:list', lineHeight = 24, size = {100, 60},\n"
     "    kinetic = 1 },\n"
     "  { id = 'edit', class = 'UITextEdit', maxLength = 3, filterSpecialCharacters = 1, text = 'ab' },\n"
     "  { id = 'node', class = 'UISceneNode', scene = '@parent/a/b', scale = {2, 2}, childs = {\n"
     "    { id = 'inner', class = 'UISceneNode', scene = '@parent' },\n"
     "    { id = 'slist', class = 'UISceneList', scene = '@parent/x', type = 'book', scrolling = 1, orient = 'hor',\n"
     "      items = { { scene = '/y', id = 'i' } } } } },\n"
     "  { id = 'fx', class = 'UIParticleFX', filename = 'sparkles_fx' } },\n"
     "  events = { { element = 'edit', slot = 'textEntered', command = 'hide:edit' },\n"
     "             { element = 'box', slot = 'clicked', command = 'show:box' } } }\n"),
    // A list view whose scroll area is given, and one whose name is taken.
    ("ui = { id = 'l', class = 'UIListView', childs = { { id = 'childScrollArea', class = 'UIScrollArea',\n"
     "  size = {50, 50} } } }\n"),
    "ui = { id = 'l', class = 'UIListView', childs = { { id = 'childScrollArea', class = 'UILabel' } } }\n",
    // Tables of this file pulled in again, and back to themselves.
    ("ui = { id = 'a', class = 'UIWidget', related = { { filename = 'fuzz', id = 'side' } },\n"
     "  childs = { { id = 'b', class = 'UIWidget', instance = '#fuzz:part', position = { 5, 5 } } } }\n"
     "part = { id = 'p', class = 'UILabel', text = 'x', childs = { { id = 'q', class = 'UIWidget',\n"
     "  instance = '#fuzz:ui' } } }\n"
     "side = { id = 's', class = 'UIWidget', related = { { filename = 'fuzz', id = 'side' },\n"
     "  { filename = 'fuzz', id = 'ui' } } }\n"),
    "ui = { id = 'a', class = 'UIWidget', instance = '#fuzz:ui' }\n",
    // A list view inside a list view: each keeps its own scroll area.
    "ui={id='',class='UIWidget',childs={{id='',class='UIListView',childs={{id='',class='UIListView'}}}}}\n",
    // The skipped roads: no class, an instance url, a related file, a sprite picture.
    "ui = { id = 'a' }\n",
    "ui = { id = 'a', class = 'UIWidget', instance = '#file:table' }\n",
    "ui = { id = 'a', class = 'UIWidget', instance = '#fuzz:nothing' }\n",
    "ui = { id = 'a', class = 'UIWidget', related = { { filename = 'f', id = 'x' } } }\n",
    "ui = { id = 'a', class = 'UISprite', imagename = 'pic', tablename = 'T' }\n",
    "ui = { id = 'a', class = 'UIWidget', customContentRect = { 'rects', 'button', 'default' } }\n",
    "ui = { id = 'a', class = 'UIParticleFX' }\n",
    "ui = { id = 'a', class = 'UISceneList', scene = 'list_xml', items = { { scene = 'item_xml', id = 'i' } } }\n",
    // Missing pieces and run-away programs.
    "ui = 5\n",
    "",
    "while 1 do end\n",
    "local s = 'x' for i = 1, 40 do s = s .. s end ui = { id = s, class = 'UIWidget' }\n",
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeSeedFiles(argc, argv, kSeeds, ".lua"); }

#else

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <utility>

#include "file_system.h"
#include "fuzz_lua.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "lua_sandbox.h"
#include "lua_script_2.h"
#include "ui/text_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

// The engine's Lua states (the loads of "instance" and "related") open no
// libraries here, as the state the input first runs in, and keep the
// instruction budget: a program runs the same in both.
static void openNoLibraries(lua_State* state) {
  lua_sethook(state, KR::Fuzz::stopRunaway, LUA_MASKCOUNT, KR::Fuzz::kInstructionBudget);
}

namespace {

constexpr const char* kFile = "fuzz";
// Mirrors the loader's limit on nested loads.
constexpr size_t kMaxNestedLoads = 128;
// Tables looked at and files loaded again per input, all loads together; more
// is skipped as too slow (each load runs the whole program again).
constexpr int kMaxTablesLooked = 4000;
constexpr int kMaxFileLoads = 64;

bool isText(lua_State* state, int index) {
  const int type = lua_type(state, index);
  return type == LUA_TSTRING || type == LUA_TNUMBER;
}

std::string fieldText(lua_State* state, const char* name) {
  lua_getfield(state, -1, name);
  std::string text = isText(state, -1) ? std::string(lua_tostring(state, -1)) : std::string();
  lua_pop(state, 1);
  return text;
}

// A rectangle given as {file, key, package}, read from another file.
bool rectByReference(lua_State* state, const char* name) {
  lua_getfield(state, -1, name);
  bool numbers = lua_istable(state, -1), text = numbers;
  for (int i = 1; i <= 4 && lua_istable(state, -1); ++i) {
    lua_rawgeti(state, -1, i);
    if (!lua_isnumber(state, -1)) numbers = false;
    if (i <= 3 && !isText(state, -1)) text = false;
    lua_pop(state, 1);
  }
  lua_pop(state, 1);
  return !numbers && text;
}

// Calls body on each element 1, 2, ... of the list on top of the stack (the
// element on top) until the first nil or until body returns false.
template <typename Body>
bool eachElement(lua_State* state, Body body) {
  if (!lua_istable(state, -1)) return true;
  for (int i = 1;; ++i) {
    lua_rawgeti(state, -1, i);
    if (lua_isnil(state, -1)) {
      lua_pop(state, 1);
      return true;
    }
    const bool go = body();
    lua_pop(state, 1);
    if (!go) return false;
  }
}

// The tables being built, as the loader keeps them: (file, table) of each
// nested load, and the work done so far.
struct Loads {
  std::vector<std::pair<std::string, std::string> > names;
  int looked = 0;
  int fileLoads = 0;
};

bool buildable(lua_State* state, std::vector<const void*>& path, Loads& loads);

// False when loading the table of the file (an "instance" or "related"
// target) would stop on a fatal error or read another file.
bool loadable(lua_State* state, const std::string& file, const std::string& table, Loads& loads) {
  if (file != kFile || table.empty()) return false;
  const std::pair<std::string, std::string> key(file, table);
  for (const auto& open : loads.names)
    if (open == key) return true;  // the loader refuses the cycle itself
  if (loads.names.size() >= kMaxNestedLoads) return true;
  if (!lua_checkstack(state, 8) || ++loads.fileLoads > kMaxFileLoads) return false;
  lua_getglobal(state, table.c_str());
  bool safe = lua_istable(state, -1);
  if (safe) {
    loads.names.push_back(key);
    std::vector<const void*> path;
    safe = buildable(state, path, loads);
    loads.names.pop_back();
  }
  lua_pop(state, 1);
  return safe;
}

// False when building the widget table on top of the stack (or one below it)
// would stop on a fatal error or read another file.
bool buildable(lua_State* state, std::vector<const void*>& path, Loads& loads) {
  const void* self = lua_topointer(state, -1);
  for (const void* seen : path)
    if (seen == self) return true;  // the loader refuses the loop itself
  if (path.size() > 200 || !lua_checkstack(state, 8) || ++loads.looked > kMaxTablesLooked) return false;
  lua_getfield(state, -1, "related");
  bool safe = eachElement(state, [state, &loads] {
    if (!lua_istable(state, -1)) return true;
    const std::string file = fieldText(state, "filename"), id = fieldText(state, "id");
    return file.empty() || id.empty() || loadable(state, file, id, loads);
  });
  lua_pop(state, 1);
  if (!safe) return false;
  lua_getfield(state, -1, "id");
  lua_getfield(state, -2, "class");
  safe = isText(state, -2) && isText(state, -1);
  lua_pop(state, 2);
  if (!safe) return false;
  const std::string instance = fieldText(state, "instance");
  if (!instance.empty() && instance[0] == '#') {
    // The whole tree comes from the url; this table's own childs are not read.
    const std::string url = instance.substr(1);
    const size_t colon = url.find(':');
    if (colon == std::string::npos) return false;
    return loadable(state, url.substr(0, colon), url.substr(colon + 1), loads);
  }
  const std::string className = fieldText(state, "class");
  if (className == "UISprite" && !fieldText(state, "imagename").empty()) return false;
  // A particle widget without its effect's file name is fatal.
  if (className == "UIParticleFX" && fieldText(state, "filename").empty()) {
    lua_getfield(state, -1, "filename");
    const bool given = isText(state, -1);
    lua_pop(state, 1);
    if (!given) return false;
  }
  // Scene files are the scene loader's and the scene lists' fuzz targets'.
  if (className == "UISceneNode" || className == "UISceneList") {
    const std::string scene = fieldText(state, "scene");
    if (!scene.empty() && scene.find("@parent") == std::string::npos) return false;
  }
  if (rectByReference(state, "customClientRect") || rectByReference(state, "customContentRect")) return false;

  path.push_back(self);
  lua_getfield(state, -1, "childs");
  safe =
      eachElement(state, [state, &path, &loads] { return !lua_istable(state, -1) || buildable(state, path, loads); });
  lua_pop(state, 1);
  path.pop_back();
  return safe;
}

// The input's file, found by the file system as "fuzz" in the package "default".
class InputFile {
 public:
  InputFile() : folder("/tmp/kr_fuzz_ui_loader_" + std::to_string(getpid()) + "/") {
    ::mkdir(folder.c_str(), 0700);
    write("list_default.lua", "name = 'default'\nfilelist = { { name = 'fuzz', filename = '/fuzz.lua' } }\n");
    write("filelist.lua", "directories = { test = { { '/list_default.lua' } } }\n");
    KR::FileSystem::setContentFolder(folder);
    fileSystem = new KR::FileSystem();
    fileSystem->loadDirectoryFileLists("test");
  }
  void write(const std::string& name, const std::string& bytes) const {
    std::FILE* out = std::fopen((folder + name).c_str(), "wb");
    if (!out) return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }

 private:
  std::string folder;
  KR::FileSystem* fileSystem = nullptr;
};

struct Managers {
  Managers() {
    KR::setLuaLibraryOpener(openNoLibraries);
    new KR::LogSystem();
    new KR::LexBindedFunctionManager();
    new KR::TextManager();
    new KR::UIManager();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Managers managers;
  static InputFile input;
  // Precompiled chunks are Lua's own loader's business.
  if (size > 0 && data[0] == 27) return 0;
  // The engine runs a script's text up to its first zero byte.
  size = data ? strnlen(reinterpret_cast<const char*>(data), size) : 0;
  input.write("fuzz.lua", std::string(reinterpret_cast<const char*>(data), size));

  KR::Fuzz::MemoryBudget budget;
  bool ran = false;
  lua_State* state = KR::Fuzz::runBudgetedChunk(data, size, &budget, &ran);
  if (!state) return 0;
  lua_getglobal(state, "ui");
  std::vector<const void*> path;
  Loads loads;
  loads.names.emplace_back(kFile, "ui");
  const bool safe = ran && lua_istable(state, -1) && buildable(state, path, loads);
  lua_settop(state, 0);
  if (!safe) {
    lua_close(state);
    return 0;
  }

  KR::UIManager* manager = KR::UIManager::getInstance();
  KR::UIWidget* root = nullptr;
  {
    KR::LuaScript script(state, true);
    root = manager->buildFromScript(script, "ui", nullptr, kFile);
    if (script.getDepth() != 0 || lua_gettop(state) != 0) __builtin_trap();
  }
  if (!root) return 0;

  // Show it, offer it a press, a drag, a release, a key and the wheel at a
  // point the input picks, and let the states run.
  root->show();
  auto* controller = static_cast<KR::UIPCController*>(manager->getController());
  const float x = float(data[size / 2] * 4), y = float(data[size - 1] * 3);
  controller->position = KR::Vector2<float>(x, y);
  controller->pressPosition = controller->position;
  const uint32_t events[] = {KR::kUIEventLeftPressed,
                             KR::kUIEventLeftHeld,
                             KR::kUIEventLeftHeld,
                             KR::kUIEventLeftReleased,
                             KR::makeKeyEvent(KR::kUIEventKeyPressed, 'A'),
                             KR::kUIEventWheelForward,
                             KR::kUIEventNone};
  for (uint32_t event : events) {
    controller->route(event);
    manager->update(0.05f);
    manager->render();
  }
  root->hide();
  manager->update(0.3f);
  manager->destroyUI(root);
  for (KR::UIWidget* other : manager->getRoots()) manager->destroyUI(other);
  if (!manager->getShownStack().empty() || manager->getCapturedWidget()) __builtin_trap();
  return 0;
}

#endif
