// A screen of 200 widgets from one Lua UI file: 40 buttons (each with its
// picture and caption, and states), 40 labels and 40 sprites in rows on a
// panel, over the demo media of the build, drawn on an off-screen device.
// Targets: loading the file in at most 5 ms; routing, update and drawing of
// the shown screen in at most 0.5 ms of CPU a frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_main.h"
#include "input_manager_win_mac.h"
#include "ui/ui_controller.h"
#include "ui/ui_widget.h"
#include "ui_frames.h"
#include "ui_world.h"

namespace {

std::string screenText() {
  std::string lua =
      "local function idle(id) return { id = 'onIdle', propertyChanges = {\n"
      "  { target = id, property = 'transparency', value = 1, duration = 0.2 } } } end\n"
      "local c = {}\n"
      "for i = 1, 40 do\n"
      "  local x, y = (i - 1) % 8 * 125, math.floor((i - 1) / 8) * 150\n"
      "  local b = 'b' .. i\n"
      "  c[#c + 1] = { id = b, class = 'UIButton', position = { x, y }, text = 'Item ' .. i,\n"
      "    fontPreset = 'ui_demo_presets_lua:caption',\n"
      "    childs = { { id = b .. 'bg', class = 'UISprite', imagename = 'ui_demo_sprites', tablename = 'OkBack',\n"
      "                 states = { idle(b .. 'bg') } } },\n"
      "    states = { idle(b), { id = 'onSelect', propertyChanges = {\n"
      "      { target = b .. 'bg', property = 'color', value = { 255, 230, 160, 255 }, duration = 0.15 } } } } }\n"
      "  c[#c + 1] = { id = 'l' .. i, class = 'UILabel', position = { x, y + 55 }, size = { 120, 30 },\n"
      "    text = 'Label ' .. i, fontPreset = 'ui_demo_presets_lua:note', states = { idle('l' .. i) } }\n"
      "  c[#c + 1] = { id = 's' .. i, class = 'UISprite', position = { x + 40, y + 90 }, imagename = "
      "'ui_demo_sprites',\n"
      "    tablename = 'Icon', states = { idle('s' .. i) } }\n"
      "end\n"
      // 40 * 5 widgets: button, its picture, its caption, a label and a sprite.
      "screen = { id = 'screen', class = 'UIWidget', childs = c, states = { idle('screen') },\n"
      "  events = { { element = 'b1', slot = 'clicked', command = 'hide:l1' } } }\n";
  return lua;
}

class World : public KR::Bench::UIWorld {
 public:
  World() : UIWorld(false) {}

  KR::UIWidget* load(const std::string& text) { return UIWorld::load(text, "bench_ui"); }
  // The pointer wanders over the buttons, so states change every frame.
  void wander(int frame) {
    KR::MouseDevice* mouse = input->getMouseDevice();
    mouse->cursorX = (frame * 37) % 1000;
    mouse->cursorY = (frame * 53) % 600;
  }
  size_t count(KR::UIWidget* w) {
    size_t n = 1;
    for (KR::UIWidget* child : w->children) n += count(child);
    return n;
  }
};

World& world() {
  static World w;
  return w;
}

void BM_LoadScreen(benchmark::State& state) {
  World& w = world();
  const std::string text = screenText();
  // The fonts and the sprite description stay cached between screens, as in the game.
  KR::UIWidget* warm = w.load(text);
  w.ui->destroyUI(warm);
  size_t widgets = 0;
  for (auto _ : state) {
    KR::UIWidget* screen = w.load(text);
    state.PauseTiming();
    widgets = w.count(screen);
    w.ui->destroyUI(screen);
    state.ResumeTiming();
  }
  state.counters["widgets"] = double(widgets);
}
BENCHMARK(BM_LoadScreen)->Unit(benchmark::kMillisecond);

void BM_RouteUpdateRender(benchmark::State& state) {
  World& w = world();
  KR::UIWidget* screen = w.load(screenText());
  screen->show();
  w.render.textures->createPendingTextures();
  int frame = 0;
  KR::Bench::runUIFrames(state, w.render, *w.ui, [&] { w.wander(frame++); });
  state.counters["widgets"] = double(w.count(screen));
  w.ui->destroyUI(screen);
}
BENCHMARK(BM_RouteUpdateRender)->Unit(benchmark::kMicrosecond);

// The same frame without the drawing.
void BM_RouteUpdate(benchmark::State& state) {
  World& w = world();
  KR::UIWidget* screen = w.load(screenText());
  screen->show();
  int frame = 0;
  for (auto _ : state) {
    w.wander(frame++);
    w.ui->update(1.0f / 60.0f);
  }
  w.ui->destroyUI(screen);
}
BENCHMARK(BM_RouteUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

KR_BENCHMARK_MAIN()
