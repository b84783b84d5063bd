// Picture descriptions are content: whatever a Lua table or an XML element
// holds, reading it must end with every key at a value or its default, the
// Lua stack balanced and the XML cursor back on the description.
//
// An input that starts with '<' is an XML data file whose root holds the
// description element "Sprite"; any other input is Lua text that sets the
// global table Sprite. Lua runs without libraries under an instruction and a
// memory budget. Rectangles given by reference to another file are looked up
// in an empty content folder.
//
// Built with KR_SEED_WRITER the same file writes the seed corpus:
// `sprite_description_seeds <folder>`.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const char* const kSeeds[] = {
    ("Sprite = { Pos = {10, 20}, MirrorH = 1, MirrorV = '0', Angle = 45, Color = {255, 128, 0, 64},\n"
     "  BlendMode = 'add', ETC1PairedTextures = 2, Image0 = 'a', Package0 = 'p', SrcRect0 = {1, 2, 3, 4},\n"
     "  Image1 = 'b', SrcRect1 = {'rects', 'key', 'default'}, Size = {100, 40}, rotCenter = {5, 6},\n"
     "  ClipRect = {0, 10, 500, 300}, Mesh = { sizeX = 2, sizeY = 3, Vertecies = {\n"
     "    { x = 1, y = 2, Color = {1, 2, 3, 4}, uv = {7, 8}, Pos = {9, 10} }, { x = 2, y = 3 } } } }\n"),
    "Sprite = {}\n",
    "Sprite = 5\n",
    ("Sprite = { Pos = 5, MirrorH = true, Angle = {}, Color = {1, 2, 3}, BlendMode = 7, Image0 = {},\n"
     "  Size = {1}, ClipRect = {1, 2}, Mesh = { sizeX = -1, sizeY = 'x', Vertecies = { 1, { x = {} } } } }\n"),
    "local t = {} for i = 0, 300 do t['Image' .. i] = 'img' .. i end Sprite = t\n",
    "while 1 do end\n",
    ("<root><Sprite><Pos v0='10' v1='20'/><MirrorH v='1'/><Angle v='45'/><Color r='1' g='2' b='3' a='4'/>"
     "<BlendMode v='color'/><Image0 v='a'/><SrcRect0 v0='2' v1='1' v2='18' v3='33'/><Size v0='1' v1='2'/>"
     "<Mesh><sizeX v='2'/><sizeY v='-3'/><Vertecies><v0><x v='1'/><y v='2'/><uv v0='7' v1='8'/></v0>"
     "<v1/></Vertecies></Mesh></Sprite></root>"),
    "<root><Sprite/></root>",
    "<root><Other/></root>",
    "<root><Sprite><Image0/><Image1 v='x'/><Mesh><Vertecies><v0><v0/></v0></Vertecies></Mesh></Sprite>",
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeSeedFiles(argc, argv, kSeeds, ".txt"); }

#else

#include <memory>

#include "engine_allocators.h"
#include "file_system.h"
#include "fuzz_lua.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "sprite_description.h"
#include "xml_data_reader.h"

namespace {

// The services the readers reach: a log, the XML buffers' allocator and a
// file system over an empty folder.
struct Services {
  Services() {
    allocators.init();
    char folder[] = "/tmp/kr_sprite_fuzz_XXXXXX";
    if (mkdtemp(folder)) KR::FileSystem::setContentFolder(std::string(folder) + "/");
    fileSystem = std::make_unique<KR::FileSystem>();
  }
  KR::LogSystem logSystem;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> fileSystem;
};

void checkDescription(const KR::SpriteDescription& description) {
  // Every frame has its package; defaults are in place.
  for (const KR::SpriteFrameDescription& frame : description.frames)
    if (frame.package.empty() && frame.image.empty()) std::abort();
  if (description.blendMode > 2) std::abort();
}

void fuzzXml(const uint8_t* data, size_t size) {
  KR::XmlDataReader reader;
  if (reader.parse(data, size) != pugi::status_ok) return;
  if (!reader.enterChild("Sprite")) return;
  const pugi::xml_node element = reader.getCursor();
  KR::SpriteDescription description;
  KR::readSpriteDescription(reader, &description);
  if (reader.getCursor() != element) std::abort();
  checkDescription(description);
}

void fuzzLua(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 27) return;  // precompiled chunks are Lua's own loader's business
  KR::Fuzz::MemoryBudget budget;
  bool ran = false;
  lua_State* state = KR::Fuzz::runBudgetedChunk(data, size, &budget, &ran);
  if (!state) return;
  if (ran) {
    KR::LuaScript script(state, false);
    if (script.openTable("Sprite")) {
      const int top = lua_gettop(state);
      KR::SpriteDescription description;
      KR::readSpriteDescription(script, &description);
      if (lua_gettop(state) != top) std::abort();
      script.closeTable();
      checkDescription(description);
    }
  }
  lua_close(state);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  if (size > 0 && data[0] == '<')
    fuzzXml(data, size);
  else
    fuzzLua(data, size);
  return 0;
}

#endif
