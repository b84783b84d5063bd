// Scene lists over fuzzed scene files: the input is a scene file (read from
// disk through the loose-file route) that serves as the list's scene and as
// the scene of each of its items; its last byte picks a strip or a book, the
// orientation and the scrolling flags (the seeds end in a line feed for a
// vertical strip and a carriage return for a horizontal book). Pictures cannot be had here, so the
// seeds build their lists of plain nodes. The list is then hovered, pressed,
// dragged, released, wheeled and run for a while with the pointer at points
// the input picks. Skipped are the scenes that reach the list's fatal errors
// (no "#list" or "#mask", a strip's scroll bar without 2 to 4 key frames or
// without thumbs), which the death tests cover.
#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

// Plain nodes stand in for the sprites: a node is hit through its children,
// and its size is 64 times its scale.
#define KR_NODE(name, x, y, inner)                             \
  "<Object name=\"" name "\"><Parameters X=\"" #x "\" Y=\"" #y \
  "\" scaleX=\"2\" scaleY=\"1\" A=\"1\" R=\"1\" "              \
  "G=\"1\" B=\"1\" Enable=\"1\"/>" inner "</Object>"
#define KR_MARKER(name, entries) "<marker><name>" name "</name>" entries "</marker>"
#define KR_LEAF "<Childs>" KR_NODE("leaf", 0, 0, "") "</Childs>"
#define KR_POSES                                                                                             \
  "<markers>" KR_MARKER("regular", "") KR_MARKER("regular&gt;select", "") KR_MARKER("select&gt;pressed", "") \
      KR_MARKER("pressed&gt;select", "") KR_MARKER("select&gt;regular", "") "</markers>"
#define KR_KEYS(x0, x1)                                  \
  "<frames><frame StartFrame=\"0\"><Attributes X=\"" #x0 \
  "\" scaleX=\"1\" scaleY=\"1\" A=\"1\"/></frame>"       \
  "<frame StartFrame=\"24\"><Attributes X=\"" #x1 "\" scaleX=\"1\" scaleY=\"1\" A=\"1\"/></frame></frames>"

const char* const kSeeds[] = {
    // A strip with a scroll bar and its thumb; its buttons make it an item too.
    "<Scene>" KR_NODE("#mask", 0, 0,
                      "<Childs>" KR_NODE("#list", 5, 5,
                                         "<markers>" KR_MARKER("#indent:4", "") KR_MARKER("#outside:20", "") KR_MARKER(
                                             "#padding:3/2", "") "</markers>") KR_NODE("cover", 0, 0, "") "</Childs>")
        KR_NODE("#item", 8, 9, "") KR_NODE(
            "#scroll_bar", 0, 80,
            KR_KEYS(0, 0) "<Childs>" KR_NODE(
                "#thumb", 0, 0,
                KR_KEYS(0, 100) KR_LEAF KR_POSES) "</Childs><markers>" KR_MARKER("#thumbs",
                                                                                 "<playList name=\"#thumb\" from=\"0\" "
                                                                                 "to=\"24\"/>") "</markers>")
            KR_NODE("#btn:go", 10, 10, KR_LEAF KR_POSES) KR_NODE("#text:t", 40, 10, "")
                KR_NODE("#icon:i", 70, 10, "") "<markers>" KR_MARKER("#size:60/30", "") "</markers></Scene>\n",
    // A book with its page bar and its four buttons.
    "<Scene>" KR_NODE(
        "#mask", 0, 0,
        "<Childs>" KR_NODE("#list", 0, 0,
                           "<markers>" KR_MARKER("#listTime:0.1", "") KR_MARKER("#toScrolling:0.3", "") "</markers>")
            KR_NODE("cover", 0, 0, "") "</Childs>")
        KR_NODE("#page_bar", 0, 90,
                "<Childs>" KR_NODE("#page1", 0, 0, KR_LEAF KR_POSES)
                    KR_NODE("#page2", 30, 0, KR_LEAF KR_POSES) "</Childs><markers>" KR_MARKER("#page1", "")
                        KR_MARKER("#page2", "") "</markers>") KR_NODE("#btn_next", 100, 90, KR_LEAF KR_POSES)
            KR_NODE("#btn_prev", 130, 90, KR_LEAF) KR_NODE("#btn_begin", 160, 90, KR_LEAF)
                KR_NODE("#btn_end", 190, 90, KR_LEAF) KR_NODE(
                    "#btn:go", 10, 10, KR_LEAF KR_POSES) "<markers>" KR_MARKER("#size:100", "") "</markers></Scene>\r",
    // The skipped roads: no mask, a scroll bar of one key frame.
    "<Scene>" KR_NODE("#list", 0, 0, "") "</Scene>\n",
    "<Scene>" KR_NODE("#mask", 0, 0, "") KR_NODE("#list", 0, 0, "") KR_NODE("#scroll_bar", 0, 0, "") "</Scene>\n",
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeSeedFiles(argc, argv, kSeeds, ".xml"); }

#else

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "file_system.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "object_factory.h"
#include "particle_system.h"
#include "ui/text_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"

namespace {

struct Services {
  KR::LogSystem log;
  // An empty file system: every package lookup misses.
  KR::FileSystem files;
  KR::ObjectFactory factory;
  KR::ParticleSystem particles;
  KR::LexBindedFunctionManager registry;
  KR::TextManager texts;
  KR::UIManager ui;
  std::string path = "/tmp/kr_scene_list_fuzz_" + std::to_string(getpid()) + ".xml";
};

// False when building a list of the type over the scene would be fatal.
bool buildable(AE::ISceneNode* scene, bool book) {
  if (!AE::ISceneNode::findChildFrom(scene, "#list") || !AE::ISceneNode::findChildFrom(scene, "#mask")) return false;
  AE::ISceneNode* bar = AE::ISceneNode::findChildFrom(scene, "#scroll_bar");
  if (book || !bar) return true;
  const size_t keys = bar->mAnimation->mKeyFrames.size();
  if (keys < 2 || keys > 4) return false;
  for (AE::Marker* marker : bar->mMarkers)
    if (marker->mName == "#thumbs" && !marker->mEntries.empty()) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  if (size == 0) return 0;
  std::FILE* file = std::fopen(services.path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  AE::ISceneNode* scene = AE::loadScene(services.path);
  const uint8_t choice = data[size - 1];
  const bool book = (choice & 1) != 0;
  if (!scene || !buildable(scene, book)) {
    delete scene;
    std::remove(services.path.c_str());
    return 0;
  }
  auto* list = new KR::UISceneList("list", nullptr, scene, book ? 1 : 0, true, (choice & 2) != 0, (choice >> 2) & 3);
  for (int i = 0; i < 3; ++i) list->addItem(new KR::UISceneListItem(services.path, "item" + std::to_string(i)));
  std::remove(services.path.c_str());
  KR::UIManager& ui = services.ui;
  ui.addRoot(list);
  list->show();

  auto* pointer = static_cast<KR::UIPCController*>(ui.getController());
  const float x = float(data[size / 2] * 3), y = float(data[size / 3] * 2);
  const struct {
    float dx, dy;
    bool down;
    uint32_t wheel;
  } steps[] = {{0, 0, false, 0},
               {0, 0, true, 0},
               {2, 2, true, 0},
               {40, 10, true, 0},
               {90, 30, true, 0},
               {120, 40, false, 0},
               {0, 0, false, KR::kUIEventWheelForward},
               {0, 0, false, KR::kUIEventWheelBack}};
  for (const auto& step : steps) {
    pointer->position = KR::Vector2<float>(x + step.dx, y + step.dy);
    if (step.down && !pointer->leftDown) pointer->pressPosition = pointer->position;
    pointer->leftDown = step.down;
    if (step.wheel) list->processMessage(step.wheel);
    list->update(1.0f / 60.0f);
  }
  for (int i = 0; i < 30; ++i) list->update(0.05f);
  list->update(0.0f);
  ui.destroyUI(list);
  pointer->leftDown = false;
  return 0;
}

#endif
