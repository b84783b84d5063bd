// Laying out and drawing a page of 2,000 characters per frame with the demo
// font "font2_fnt" of the built media folder, on an off-screen device.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "font.h"
#include "frame_meter.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "screens.h"
#include "sprite_manager.h"
#include "text_layout.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace {

constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;

std::wstring makePage(size_t length) {
  const wchar_t* words[] = {L"the",   L"lantern", L"flickered", L"über",   L"déjà",    L"vu",      L"in",
                            L"a",     L"hall",    L"of",        L"Façade", L"mirrors", L"where",   L"every",
                            L"clock", L"stopped", L"at",        L"noon,",  L"señor",   L"quietly."};
  std::wstring page;
  size_t i = 0;
  while (page.size() < length) {
    page += words[(i * 7 + 3) % 20];
    page += (i % 37 == 36) ? L'\n' : L' ';
    ++i;
  }
  page.resize(length);
  return page;
}

class World {
 public:
  World() {
    allocators.init();
    config = std::make_unique<KR::ConfigManager>(KR::ConfigManager::NoLoad{});
    KR::PlatformConfig platform;
    platform.name = "bench";
    platform.resolutionWidth = kDesignWidth;
    platform.resolutionHeight = kDesignHeight;
    config->platforms.push_back(platform);
    config->currentPlatform = &config->platforms[0];
    config->currentLanguage = "en";
    KR::FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
    files = std::make_unique<KR::FileSystem>();
    files->loadDirectoryFileLists("common");
    // The texture manager first: the device's reset makes the scene texture through it.
    textures = std::make_unique<KR::TextureManager>();
    renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = kDesignWidth;
    renderSystem->getWindowInfo().mWndHeight = kDesignHeight;
    renderSystem->initDevice();
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
    fonts = std::make_unique<KR::UIFontManager>();
    font = fonts->getFont("font2_fnt");
    font->color = KR::Color::fromARGB(0xFFFFFFFFu);
    textures->createPendingTextures();
  }
  ~World() {
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    files.reset();
    config.reset();
  }

  KR::LogSystem log;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::RenderSystem> renderSystem;
  std::unique_ptr<KR::TextureManager> textures;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
  std::unique_ptr<KR::UIFontManager> fonts;
  KR::UIFont* font = nullptr;
};

World& world() {
  static World w;
  return w;
}

class Advances : public KR::GlyphAdvances {
 public:
  explicit Advances(const KR::UIFont& f) : font(f) {}
  float advance(uint32_t code) const override { return font.advance(code, 0.0f); }
  const KR::UIFont& font;
};

void BM_LayoutA(benchmark::State& state) {
  const std::wstring page = makePage(2000);
  const Advances advances(*world().font);
  KR::LineTable lines;
  for (auto _ : state) {
    KR::layoutTextA(KR::TextView(page), advances, true, 900.0f, false, &lines);
    benchmark::DoNotOptimize(lines.count);
  }
  state.counters["lines"] = lines.count;
  state.SetItemsProcessed(int64_t(state.iterations()) * 2000);
}
BENCHMARK(BM_LayoutA);

// The longest text, a break opportunity every second character, all on one
// line of a very wide box.
void BM_LayoutLongLine(benchmark::State& state) {
  std::wstring text;
  while (text.size() < KR::kMaxTextLength) text += L"a ";
  text.resize(KR::kMaxTextLength);
  const Advances advances(*world().font);
  KR::LineTable lines;
  for (auto _ : state) {
    KR::layoutTextA(KR::TextView(text), advances, true, 1e9f, false, &lines);
    benchmark::DoNotOptimize(lines.count);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_LayoutLongLine)->Unit(benchmark::kMicrosecond);

void BM_MeasurePage(benchmark::State& state) {
  const std::wstring page = makePage(2000);
  for (auto _ : state) {
    KR::Rect r = world().font->measureWStringRect(KR::Vector2<float>(60, 40), page, true, 0, 0, 0.0f, 0.4f, 900, 700);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * 2000);
}
BENCHMARK(BM_MeasurePage);

// One whole frame: frame start, the page laid out and drawn, composite,
// present, the card finished (the peers' text comparison, ../shared/peers/love-text),
// on the screen of the argument (screens.h).
void BM_DrawPageFrame(benchmark::State& state) {
  const std::wstring page = makePage(2000);
  KR::RenderSystem* rs = world().renderSystem.get();
  const int screen = int(state.range(0));
  KR::Bench::showOn(*rs, screen);
  const KR::Rect clip(0, 0, kDesignWidth, kDesignHeight);
  auto frame = [&] {
    KR::Bench::beginFrameOn(*rs, screen);
    rs->checkDeviceLost();
    world().font->drawWString(clip, KR::Vector2<float>(60, 40), page, true, 0, 0, 0.0f, 0.4f, false, true, 900, 700);
    rs->renderFrame();
    rs->present();
  };
  // A screen of another scale takes another size of the font's glyph picture,
  // whose texture is made at the end of the first frame that asks for it.
  frame();
  {
    KR::Bench::FrameMeter meter(state, rs);
    for (auto _ : state) {
      meter.begin();
      frame();
      if (!meter.end()) break;
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * 2000);
  KR::Bench::reportScreen(state, *rs);
  KR::Bench::showOn(*rs, 0);
}
BENCHMARK(BM_DrawPageFrame)->DenseRange(0, 2)->ArgName("screen")->UseRealTime()->Unit(benchmark::kMillisecond);

// The same page drawn without the frame around it (batching cost only).
void BM_DrawPageOnly(benchmark::State& state) {
  const std::wstring page = makePage(2000);
  KR::RenderSystem* rs = world().renderSystem.get();
  const KR::Rect clip(0, 0, kDesignWidth, kDesignHeight);
  rs->checkDeviceLost();
  for (auto _ : state) {
    world().font->drawWString(clip, KR::Vector2<float>(60, 40), page, true, 0, 0, 0.0f, 0.4f, true, true, 900, 700);
  }
  rs->renderFrame();
  rs->present();
  state.SetItemsProcessed(int64_t(state.iterations()) * 2000);
}
BENCHMARK(BM_DrawPageOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("KR_HEADLESS", "1", 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
