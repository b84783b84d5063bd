// Drawing many pictures per frame through the sprite managers: 10,000 sprites
// and 10,000 fast sprites on an off-screen device, each frame from frame start
// to presentation with the card finished. Time is wall time per whole frame
// (the software rasteriser's threads included); counter: draw calls per frame.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench_main.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "frame_meter.h"
#include "image_maker.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"

namespace {

constexpr int kCount = 10000;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void writeText(const std::string& path, const std::string& text) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
}

// Content (two small pictures), the managers and an off-screen render system.
struct World {
  World() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("KR_HEADLESS", "1", 1);
    allocators.init();
    char folderTemplate[] = "/tmp/kr_sprite_bench_XXXXXX";
    if (!mkdtemp(folderTemplate)) std::abort();
    const std::string folder = std::string(folderTemplate) + "/";
    std::string entries;
    for (int i = 0; i < 2; ++i) {
      std::vector<uint8_t> png;
      std::string error;
      if (!KR::Tools::encodePngRgba(KR::Tools::makeDemoPicture(32, 32, uint32_t(i)), png, error)) std::abort();
      const std::string name = "picture" + std::to_string(i);
      writeText(folder + name + ".png", std::string(png.begin(), png.end()));
      entries += "{ name = '" + name + "', filename = '/" + name + ".png' },\n";
    }
    writeText(folder + "list.lua", "name = 'default'\nfilelist = {\n" + entries + "}\n");
    writeText(folder + "filelist.lua", "directories = { bench = { { '/list.lua' } } }\n");
    KR::FileSystem::setContentFolder(folder);
    fileSystem = std::make_unique<KR::FileSystem>();
    fileSystem->loadDirectoryFileLists("bench");

    config = std::make_unique<KR::ConfigManager>(KR::ConfigManager::NoLoad{});
    KR::PlatformConfig platform;
    platform.name = "bench";
    platform.resolutionWidth = kWidth;
    platform.resolutionHeight = kHeight;
    config->platforms.push_back(platform);
    config->currentPlatform = &config->platforms[0];

    textures = std::make_unique<KR::TextureManager>();
    renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = kWidth;
    renderSystem->getWindowInfo().mWndHeight = kHeight;
    renderSystem->initDevice();
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
  }
  ~World() {
    fastSprites.reset();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    config.reset();
    fileSystem.reset();
  }

  template <typename Draw>
  void frame(Draw draw) {
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    draw();
    renderSystem->renderFrame();
    renderSystem->present();
  }

  KR::LogSystem logSystem;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> fileSystem;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::TextureManager> textures;
  std::unique_ptr<KR::RenderSystem> renderSystem;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
};

World& world() {
  static World instance;
  return instance;
}

// textures: 1 draws everything from one picture (batched), 2 alternates two
// pictures so that every quad breaks the batch.
void BM_Sprites(benchmark::State& state) {
  World& w = world();
  const int textureCount = int(state.range(0));
  const bool moving = state.range(1) != 0;
  std::vector<KR::Sprite*> list;
  for (int i = 0; i < kCount; ++i) {
    KR::Sprite* sprite = w.sprites->createSpriteFromTexture("picture" + std::to_string(i % textureCount), "default");
    sprite->setPosition(float(i % 97) * 10.0f, float(i % 71) * 10.0f);
    sprite->mAngle = float(i % 360);
    sprite->mDirty = true;
    list.push_back(sprite);
  }
  w.frame([] {});
  int frame = 0;
  {
    KR::Bench::FrameMeter meter(state, w.renderSystem.get());
    for (auto _ : state) {
      ++frame;
      meter.begin();
      w.frame([&] {
        for (KR::Sprite* sprite : list) {
          if (moving) sprite->setPosition(sprite->mPosition.x + ((frame & 1) ? 1.0f : -1.0f), sprite->mPosition.y);
          sprite->updateVertices();
          sprite->render();
        }
      });
      if (!meter.end()) break;
    }
  }
  state.counters["sprites"] = kCount;
  for (KR::Sprite* sprite : list) w.sprites->destroySprite(sprite);
}
BENCHMARK(BM_Sprites)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"textures", "moving"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_FastSprites(benchmark::State& state) {
  World& w = world();
  const int textureCount = int(state.range(0));
  std::vector<KR::FastSprite*> list;
  for (int i = 0; i < kCount; ++i) {
    KR::FastSprite* sprite =
        w.fastSprites->createSpriteFromImage("picture" + std::to_string(i % textureCount), "default");
    sprite->mPosition = KR::Vector2<float>(float(i % 97) * 10.0f, float(i % 71) * 10.0f);
    sprite->mAngle = (i % 3 == 0) ? float(i % 360) : 0.0f;
    list.push_back(sprite);
  }
  w.frame([] {});
  {
    KR::Bench::FrameMeter meter(state, w.renderSystem.get());
    for (auto _ : state) {
      meter.begin();
      w.frame([&] {
        for (KR::FastSprite* sprite : list) sprite->draw();
      });
      if (!meter.end()) break;
    }
  }
  state.counters["sprites"] = kCount;
  for (KR::FastSprite* sprite : list) w.fastSprites->destroySprite(sprite);
}
BENCHMARK(BM_FastSprites)->Arg(1)->Arg(2)->ArgName("textures")->UseRealTime()->Unit(benchmark::kMillisecond);

// Creation and destruction through the manager (the lock, the list, the texture lookup).
void BM_CreateDestroy(benchmark::State& state) {
  World& w = world();
  // Keeps the texture registered, so that creation finds it instead of decoding it again.
  KR::Sprite* holder = w.sprites->createSpriteFromTexture("picture0", "default");
  for (auto _ : state) {
    KR::Sprite* sprite = w.sprites->createSpriteFromTexture("picture0", "default");
    w.sprites->destroySprite(sprite);
  }
  w.sprites->destroySprite(holder);
}
BENCHMARK(BM_CreateDestroy);

}  // namespace

KR_BENCHMARK_MAIN()
