// Content widgets over the demo media of the build, on an off-screen device.
// Targets: a strip scene list of 100 scene items gliding, update and drawing
// in at most 2 ms of CPU a frame; a list view of 1,000 lines scrolling inside
// its stencil-clipped area, update and drawing in at most 2 ms a frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "input_manager_win_mac.h"
#include "lex_binded_function_manager.h"
#include "lua_script_2.h"
#include "object_factory.h"
#include "offscreen_render.h"
#include "particle_system.h"
#include "sprite_manager.h"
#include "ui/strip_scrolling_helper.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scroll_area.h"
#include "ui_frames.h"

namespace {

class World {
 public:
  World() {
    allocators.init();
    KR::FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
    files = std::make_unique<KR::FileSystem>();
    files->loadDirectoryFileLists("common");
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
    fonts = std::make_unique<KR::UIFontManager>();
    texts = std::make_unique<KR::TextManager>();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
    registry = std::make_unique<KR::LexBindedFunctionManager>();
    input = std::make_unique<KR::InputManager>(nullptr);
    ui = std::make_unique<KR::UIManager>();
  }
  ~World() {
    ui.reset();
    particles.reset();
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    files.reset();
  }

  KR::UIWidget* load(const std::string& text) {
    KR::LuaScript script;
    script.runBuffer(text.data(), text.size(), "bench_widgets");
    KR::UIWidget* screen = ui->buildFromScript(script, "screen", nullptr, "bench_widgets");
    screen->show();
    return screen;
  }
  template <typename Before>
  void run(benchmark::State& state, Before before) {
    KR::Bench::runUIFrames(state, render, *ui, before);
  }

  KR::Bench::OffscreenRender render;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
  std::unique_ptr<KR::UIFontManager> fonts;
  std::unique_ptr<KR::TextManager> texts;
  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
  std::unique_ptr<KR::LexBindedFunctionManager> registry;
  std::unique_ptr<KR::InputManager> input;
  std::unique_ptr<KR::UIManager> ui;
};

World& world() {
  static World w;
  return w;
}

void BM_GlidingStrip100(benchmark::State& state) {
  World& w = world();
  KR::UIWidget* screen = w.load(
      "local items = {}\n"
      "for i = 1, 100 do items[i] = { scene = 'ui_list_item_xml', id = 'item' .. i } end\n"
      "screen = { id = 'screen', class = 'UIWidget', childs = {\n"
      "  { id = 'strip', class = 'UISceneList', scene = 'ui_strip_list_xml', orient = 'hor', scrolling = 3,\n"
      "    position = { 100, 100 }, items = items } } }\n");
  auto* list = static_cast<KR::UISceneList*>(screen->findDescendant("strip"));
  auto* strip = static_cast<KR::StripScrollingHelper*>(list->scroller);
  w.render.textures->createPendingTextures();
  // Flung again from the start whenever a glide has run out.
  w.run(state, [&] {
    if (strip->gliding) return;
    list->list->mPosX = 0.0f;
    strip->velocity = KR::Vector2<float>(6000.0f, 0.0f);
    strip->gliding = true;
  });
  state.counters["items"] = double(list->items.size());
  w.ui->destroyUI(screen);
}
BENCHMARK(BM_GlidingStrip100)->Unit(benchmark::kMicrosecond);

void BM_ListView1000Lines(benchmark::State& state) {
  World& w = world();
  KR::UIWidget* screen = w.load(
      "screen = { id = 'screen', class = 'UIWidget', childs = {\n"
      "  { id = 'list', class = 'UIListView', position = { 100, 100 }, size = { 360, 300 }, lineHeight = 30,\n"
      "    fontPreset = 'ui_demo_presets_lua:note', selectionImagename = 'ui_controls_sprites',\n"
      "    selectionTablename = 'Selection', clipping = 1, maskImagename = 'ui_controls_sprites',\n"
      "    maskTablename = 'AreaMask' } } }\n");
  auto* list = static_cast<KR::UIListView*>(screen->findDescendant("list"));
  for (int i = 0; i < 1000; ++i) list->addLine()->setText("Line " + std::to_string(i + 1) + " of the long list");
  list->selected = 500;
  KR::UIScrollArea* area = list->scrollArea;
  w.render.textures->createPendingTextures();
  // The content scrolls down and back, 7 units a frame.
  int frame = 0;
  w.run(state, [&] {
    const float range = area->getRange();
    const int period = int(range) * 2 / 7;
    const int step = period > 0 ? frame++ % period : 0;
    const float at = float(step * 7);
    area->offset = at <= range ? at : 2.0f * range - at;
  });
  state.counters["lines"] = double(area->children.size());
  w.ui->destroyUI(screen);
}
BENCHMARK(BM_ListView1000Lines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
