// The sprite node's readers take content and saved bytes: a sprite sheet
// (XML) with its descriptions' frame lists, a sprite script's table
// animation (Lua), and a node's binary form. Whatever they hold, reading must
// end in a result with the Lua stack balanced, and a node read back must play
// and answer without leaving its keys out of step with its key frames.
//
// The first byte chooses: 'X' a sprite sheet, 'L' a Lua script whose table
// "T" is read as a table animation, anything else the binary form of a node
// (the byte's value modulo 4 picks plain, sprite, text or camera).
//
// Built with KR_SEED_WRITER the same file is the tool that writes the seed
// corpus: `sprite_scene_node_seeds <folder>`.
#include <cstdint>
#include <cstdio>
#include <string>

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const char* const kSeeds[] = {
    ("X<root><SceneHand><Image0 v='demo_sprite_sheet'/><Animation><Frames>"
     "<v0><SrcRect0 v0='0' v1='0' v2='32' v3='32'/></v0><v1><SrcRect0 v0='0' v1='32' v2='32' v3='64'/></v1>"
     "</Frames></Animation></SceneHand><Other><Animation/></Other></root>"),
    "X<root><A><Animation><Frames><v0/><v2><SrcRect0 v0='x'/></v2></Frames></Animation></A></root>",
    "X<root><A><Animation><Frames><v0><SrcRect0 v0='1e40' v1='-1e40' v2='nan' v3='7'/></v0></Frames>",
    "X<?xml version='1.0'?><!-- nothing -->",
    ("LT = { Image0 = 'x', Animation = { Frames = {\n"
     "  { duration = 0.25, SrcRect0 = {0, 0, 32, 32} }, { SrcRect0 = {32, 0, 64, 32} },\n"
     "  { SrcRect0 = {'a.lua', 'key', 'default'} }, 5, { SrcRect0 = 3 } } } }\n"),
    "LT = { Animation = { Frames = { n = { SrcRect0 = {1, 2, 3, 4} } } } }\n",
    "LT = { Animation = 5 }\n",
    "Lwhile 1 do end\n",
    "\x01"
    "garbage bytes of a plain node",
    "\x02"
    "sprite",
    "\x03"
    "text",
    "\x04"
    "camera",
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeSeedFiles(argc, argv, kSeeds, ".bin"); }

#else

#include <memory>
#include <vector>

#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/sprite_sheet_cache.h"
#include "animationeditor/text_scene_node.h"
#include "fuzz_lua.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace {

// Every track of an animation must hold one key per key frame (or be off).
void checkInStep(const AE::SceneNodeAnimation& a) {
  for (const AE::SceneNodeAnimation::IContainer* track : a.mTracks) {
    if (track->enabled && track->getKeyCount() != a.mKeyFrames.size()) __builtin_trap();
  }
}

void readSheet(const uint8_t* data, size_t size) {
  pugi::xml_document sheet;
  if (!AE::parseSpriteSheet(sheet, data, size, "fuzz_sxml")) return;
  KR::XmlDataReader reader;
  for (pugi::xml_node element : sheet.child("root").children()) {
    reader.setCursor(element);
    std::vector<KR::Rect> frames;
    AE::SpriteSceneNode::readSheetFrames(reader, &frames);
    if (reader.getCursor() != element) __builtin_trap();
  }
}

void readScript(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 27) return;
  KR::Fuzz::MemoryBudget budget;
  bool ran = false;
  lua_State* state = KR::Fuzz::runBudgetedChunk(data, size, &budget, &ran);
  if (!state) return;
  if (!ran) {
    lua_close(state);
    return;
  }
  // Rectangles by reference read another file through the file system: fuzzed on their own.
  const std::string text(reinterpret_cast<const char*>(data), size);
  KR::LuaScript script(state, true);
  if (text.find('\'') != std::string::npos || text.find('"') != std::string::npos) return;
  if (script.openTable("T")) {
    std::vector<KR::Rect> frames;
    AE::SpriteSceneNode::readScriptFrames(script, &frames);
    script.closeTable();
  }
  if (script.getDepth() != 0 || lua_gettop(state) != 0) __builtin_trap();
}

void readNode(uint8_t kind, const uint8_t* data, size_t size) {
  std::unique_ptr<AE::ISceneNode> node;
  switch (kind % 4) {
    case 0: node = std::make_unique<AE::ISceneNode>(); break;
    case 1: node = std::make_unique<AE::SpriteSceneNode>(); break;
    case 2: node = std::make_unique<AE::TextSceneNode>("", L""); break;
    default: node = std::make_unique<AE::MovieCamera>(); break;
  }
  AE::MemoryNodeStream stream(std::vector<uint8_t>(data, data + size));
  node->readBinary(stream);
  checkInStep(*node->mAnimation);
  if (node->mAnimation->mLerpAnimation) checkInStep(*node->mAnimation->mLerpAnimation);
  // Play it every way; nothing may crash or hang.
  node->update(0.0f);
  node->play(true);
  node->update(0.1f);
  node->playRange(3, 1, true, true);
  node->update(0.2f);
  node->setFrame(2);
  node->rewindToEnd();
  node->hitTest(1, 1, true);
  node->getBoundsSize();
  AE::MemoryNodeStream again;
  node->writeBinary(again, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  (void)logSystem;
  if (size == 0) return 0;
  if (data[0] == 'X')
    readSheet(data + 1, size - 1);
  else if (data[0] == 'L')
    readScript(data + 1, size - 1);
  else
    readNode(data[0], data + 1, size - 1);
  return 0;
}

#endif
