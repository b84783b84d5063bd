// Any bytes as the configuration of a puzzle class, activated on the class's
// demo scene and clicked at random for a few hundred frames; midway the scene
// is released and loaded anew (no node pointer may outlive it) and the view
// activated again. The input is: one byte choosing the class, the
// configuration up to the first zero byte, then bytes that place the clicks.
//
// The demo scene is the class's gallery scene read as plain nodes (names,
// positions, 64-point sizes by scale, children): the puzzles' rules need
// nothing of sprites or sounds.
//
// Built with KR_SEED_WRITER the same file writes the seed corpus: each class's
// demo configuration with a few clicks.
#include <pugixml.hpp>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/gallery_puzzles.h"

namespace {

using PuzzleKind = KR::Test::GalleryPuzzle;
constexpr const auto& kKinds = KR::Test::kGalleryPuzzles;
constexpr size_t kKindCount = sizeof kKinds / sizeof kKinds[0];

std::string readMedia(const char* name) {
  std::ifstream in(std::string(KR_SOURCE_DIR) + "/media/puzzles/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

#ifdef KR_SEED_WRITER

namespace {

// Demo configurations with numbers that once reached undefined behaviour:
// a frame number far beyond an int, or not a number, turned into one, and
// positions times steps beyond 32 bits.
struct SeedEdit {
  const char* config;
  const char* from;
  const char* to;
  // Click bytes where the board needs aimed clicks: frame f's pointer is
  // bytes 2f and 2f + 1 after the configuration (x and y times 1680 or 1050
  // over 255; byte 0 is the configuration's closing zero), released on
  // frames 2, 5, 8 ...; these are bytes 1 on.
  const char* clicks = nullptr;
};
constexpr SeedEdit kEdits[] = {
    {"puzzle_key.xml", "<v0 v=\"0\"/><v1 v=\"8\"/>", "<v0 v=\"1e10\"/><v1 v=\"8\"/>"},
    {"puzzle_key.xml", "<v0 v=\"0\"/><v1 v=\"8\"/>", "<v0 v=\"nan\"/><v1 v=\"8\"/>"},
    {"puzzle_r_paires.xml", "<startFrameID v=\"0\"/><maxFrameID v=\"3\"/><frameStep v=\"8\"/>",
     "<startFrameID v=\"2147483647\"/><maxFrameID v=\"3\"/><frameStep v=\"2\"/>"},
    {"puzzle_comb_slider.xml", "<startID v=\"0\"/><maxID v=\"4\"/><frameStep v=\"6\"/>",
     "<startID v=\"2000000000\"/><maxID v=\"4\"/><frameStep v=\"10\"/>"},
    {"puzzle_slider.xml", "<startSliderID v=\"0\"/>", "<startSliderID v=\"2147483647\"/>"},
    // A main button, then a place: the place shows the main's frame plus the offset.
    {"puzzle_color.xml", "<frame v=\"1\"/>", "<frame v=\"2147483647\"/>",
     "\xc0\x60\xc0\x60\xc0\x60\x5f\x60\x5f\x60\x5f"},
};

bool writeSeed(const std::string& folder, const std::string& name, size_t kind, const std::string& config,
               const char* clicks = nullptr) {
  std::string seed(1, char(kind));
  seed += config;
  seed += '\0';
  // Clicks spread over the board.
  if (clicks) seed += clicks;
  for (int c = 0; c < 64; ++c) seed += char((c * 37 + int(kind) * 11) & 0xFF);
  std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
  if (!out) return false;
  std::fwrite(seed.data(), 1, seed.size(), out);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  for (size_t i = 0; i < kKindCount; ++i)
    if (!writeSeed(argv[1], "seed" + std::to_string(i) + ".bin", i, readMedia(kKinds[i].config))) return 1;
  for (size_t e = 0; e < sizeof kEdits / sizeof kEdits[0]; ++e) {
    size_t kind = 0;
    while (kind < kKindCount && std::strcmp(kKinds[kind].config, kEdits[e].config) != 0) ++kind;
    std::string config = readMedia(kEdits[e].config);
    const size_t at = config.find(kEdits[e].from);
    if (kind == kKindCount || at == std::string::npos) return 1;
    config.replace(at, std::strlen(kEdits[e].from), kEdits[e].to);
    if (!writeSeed(argv[1], "edited" + std::to_string(e) + ".bin", kind, config, kEdits[e].clicks)) return 1;
  }
  return 0;
}

#else

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/minigame_factory.h"
#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_factory.h"
#include "engine_allocators.h"
#include "log_system.h"

namespace {

AE::ISceneNode* plainNode(const pugi::xml_node& object, AE::ISceneNode* parent) {
  auto* node = new AE::ISceneNode();
  node->mName = object.attribute("name").value();
  const pugi::xml_node p = object.child("Parameters");
  node->setScaleX(p.attribute("scaleX").as_float(1.0f));
  node->setScaleY(p.attribute("scaleY").as_float(1.0f));
  // As the scene loader does: placed before it has its parent, so a child's
  // place is its parent's plus its own.
  node->setWorldX(p.attribute("X").as_float());
  node->setWorldY(p.attribute("Y").as_float());
  node->setEnabled(p.attribute("Enable").as_int(1) != 0);
  if (parent) parent->addChild(node, true);
  for (pugi::xml_node child = object.child("Childs").child("Object"); child; child = child.next_sibling("Object"))
    plainNode(child, node);
  return node;
}

AE::ISceneNode* buildScene(const std::string& text) {
  pugi::xml_document document;
  document.load_buffer(text.data(), text.size());
  auto* root = new AE::ISceneNode();
  root->mName = "puzzle_scene";
  for (pugi::xml_node object : document.child("Scene").children("Object")) plainNode(object, root);
  root->update(0.0f);
  return root;
}

struct Services {
  KR::LogSystem log;
  KR::EngineAllocators allocators;
  HOG::ViewFactory factory;
  std::string scenes[kKindCount];
  Services() {
    allocators.init();
    for (size_t i = 0; i < kKindCount; ++i) scenes[i] = readMedia(kKinds[i].scene);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services* services = new Services();
  if (!data || size < 1) return 0;
  const PuzzleKind& kind = kKinds[data[0] % kKindCount];
  const char* config = reinterpret_cast<const char*>(data + 1);
  const size_t configSize = strnlen(config, size - 1);
  const uint8_t* clicks = data + 1 + configSize;
  const size_t clickCount = size - 1 - configSize;

  auto* puzzle = static_cast<HOG::MinigameViewExtension*>(HOG::createMinigameByName(services->factory, kind.className));
  if (!puzzle) std::abort();
  HOG::View view;
  view.id = 99;
  view.extension = puzzle;
  puzzle->view = &view;
  puzzle->loadConfigFromMemory(config, configSize);
  const std::string& sceneText = services->scenes[&kind - kKinds];
  view.scene = buildScene(sceneText);
  view.loaded = true;
  puzzle->setSuspended(false);
  puzzle->onActivate();

  // A small generator seeded by the input, for clicks past its own bytes.
  uint32_t state = uint32_t(size) * 2654435761u + 1u;
  auto next = [&](size_t i) -> uint32_t {
    if (i < clickCount) return clicks[i];
    state = state * 1103515245u + 12345u;
    return (state >> 16) & 0xFF;
  };
  constexpr int kFrames = 300;
  for (int frame = 0; frame < kFrames; ++frame) {
    if (frame == kFrames / 2) {
      // The streamer releases the scene and loads it again; the view comes back.
      puzzle->onDeactivate();
      view.release();
      view.scene = buildScene(sceneText);
      view.loaded = true;
      puzzle->onActivate();
    }
    HOG::InputState input;
    input.valid = 1;
    input.x = int32_t(next(size_t(frame) * 2) * 1680 / 255);
    input.y = int32_t(next(size_t(frame) * 2 + 1) * 1050 / 255);
    input.leftPressed = frame % 3 == 0;
    input.leftDown = frame % 3 != 2;
    input.leftReleased = frame % 3 == 2;
    input.rightReleased = frame % 17 == 0;
    if (frame == 200) puzzle->skipRequest = true;
    if (!puzzle->isSuspended()) puzzle->processMouseEvent(&input);
    view.scene->setPosition(view.position);
    view.scene->update(1.0f / 30.0f);
    puzzle->update(1.0f / 30.0f);
  }
  view.release();
  view.loaded = false;
  view.extension = nullptr;
  services->factory.freeExtension(puzzle);
  return 0;
}

#endif
