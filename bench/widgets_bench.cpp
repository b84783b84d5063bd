// Content widgets over the demo media of the build, on an off-screen device.
// Targets: a strip scene list of 100 scene items gliding, update and drawing
// in at most 2 ms of CPU a frame; a list view of 1,000 lines scrolling inside
// its stencil-clipped area, update and drawing in at most 2 ms a frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "bench_main.h"
#include "ui/strip_scrolling_helper.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_scene_list.h"
#include "ui/ui_scroll_area.h"
#include "ui_frames.h"
#include "ui_world.h"

namespace {

class World : public KR::Bench::UIWorld {
 public:
  World() : UIWorld(true) {}

  KR::UIWidget* load(const std::string& text) {
    KR::UIWidget* screen = UIWorld::load(text, "bench_widgets");
    screen->show();
    return screen;
  }
  template <typename Before>
  void run(benchmark::State& state, Before before) {
    KR::Bench::runUIFrames(state, render, *ui, before);
  }
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
      "local function shown(id)\n"
      "  return { { id = 'onIdle', propertyChanges = { { target = id, property = 'transparency', value = 1 } } } }\n"
      "end\n"
      "screen = { id = 'screen', class = 'UIWidget', states = shown('screen'), childs = {\n"
      "  { id = 'strip', class = 'UISceneList', scene = 'ui_strip_list_xml', orient = 'hor', scrolling = 3,\n"
      "    position = { 100, 100 }, items = items, states = shown('strip') } } }\n");
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

KR_BENCHMARK_MAIN()
