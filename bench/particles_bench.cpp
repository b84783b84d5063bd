// Particles against LÖVE's ParticleSystem (../shared/peers/love-particles):
// five fountains of one 8 x 8 picture keep 10,000 particles alive (emission
// balancing a 2 s life, a spread of directions, gravity, spin, size and colour
// over life), positioned as the peer positions them.
//   BM_ParticleUpdate   the updates of the five effects, timed inside drawn frames
//   BM_ParticleFrame    updates and the whole frame, card finished (wall time)
//   BM_EmptyFrame       the frame alone, for its fixed cost
//   BM_CreateEffect*    an effect handed out from the prototype cache / the pool
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench_main.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine_allocators.h"
#include "file_system.h"
#include "frame_meter.h"
#include "image_maker.h"
#include "object_factory.h"
#include "offscreen_render.h"
#include "particle_emitter_shapes.h"
#include "particle_fx.h"
#include "particle_movement_affectors.h"
#include "particle_rotation_affectors.h"
#include "particle_system.h"
#include "render_system_dx8.h"
#include "screens.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "xml_iarchive.h"

namespace {

constexpr int kEmitters = 5;
constexpr int kParticles = 10000;
constexpr float kLife = 2.0f;
constexpr float kStep = 1.0f / 60.0f;
constexpr int kWarmFrames = 120;

void writeText(const std::string& path, const std::string& text) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
}

KR::TimedValueInterval<float> line(float from, float to) {
  KR::TimedValueInterval<float> curve;
  curve.addValue(0, 0, from);
  curve.addValue(0, 100, to);
  return curve;
}

// The peer's fountain: 2,000 particles of 2 s, thrown up at 150 within 0.3 rad
// of vertical, falling at 150, spinning up to 3 rad/s either way.
KR::ParticleFX* makeFountain() {
  auto* emitter = new KR::ParticlePointEmitter();
  const int perEmitter = kParticles / kEmitters;
  emitter->mMaxParticlesCount = perEmitter;
  emitter->mEmitRate = line(float(perEmitter) / kLife, float(perEmitter) / kLife);
  emitter->mInitialLifeTime = line(kLife, kLife);
  emitter->mSpriteFileName = "bench_sprites";
  emitter->mSpriteTableName = "BenchDot";
  emitter->mParticleColor.addValue(0, 0, KR::Color::fromFloats(1.0f, 0.8f, 0.3f, 1.0f));
  emitter->mParticleColor.addValue(0, 100, KR::Color::fromChannels(76, 127, 255, 0));
  emitter->mInitialScaleX = line(1.5f, 0.5f);
  emitter->mInitialScaleY = line(1.5f, 0.5f);
  emitter->mEmitterLifeTime = -1.0f;
  emitter->mLooped = true;
  auto* throw_ = new KR::ParticleLinearMovementAffector();
  throw_->mInitialDirection.mMinVal = KR::Vector2<float>(-std::sin(0.3f), -std::cos(0.3f));
  throw_->mInitialDirection.mMaxVal = KR::Vector2<float>(std::sin(0.3f), -std::cos(0.3f));
  throw_->mInitialVelocity = line(150.0f, 150.0f);
  auto* gravity = new KR::ParticleGravityAffector();
  gravity->mForce = line(150.0f, 150.0f);
  auto* spin = new KR::ParticleRotateSpriteAffector();
  spin->mInitialAngleVelocity = line(172.0f, 172.0f);
  spin->mInitialRotateCoeffMin = -1.0f;
  spin->mInitialRotateCoeffMax = 1.0f;
  emitter->mParticleAffectors = {throw_, gravity, spin};
  auto* effect = new KR::ParticleFX();
  effect->mParticleEmitters = {emitter};
  return effect;
}

// An off-screen render system, content (the dot, its description and the
// fountain's effect file), the sprite manager and the particle system.
struct World {
  World() {
    setenv("KR_HEADLESS", "1", 1);
    allocators.init();
    char folderTemplate[] = "/tmp/kr_particles_bench_XXXXXX";
    if (!mkdtemp(folderTemplate)) std::abort();
    folder = std::string(folderTemplate) + "/";
    KR::Tools::RgbaPicture dot;
    dot.width = dot.height = 8;
    dot.pixels.assign(8 * 8 * 4, 255);
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 0; x < 8; ++x) {
        const float dx = float(x) - 3.5f, dy = float(y) - 3.5f;
        dot.pixels[(y * 8 + x) * 4 + 3] = dx * dx + dy * dy < 12.0f ? 255 : 0;
      }
    std::vector<uint8_t> png;
    std::string error;
    if (!KR::Tools::encodePngRgba(dot, png, error)) std::abort();
    writeText(folder + "dot.png", std::string(png.begin(), png.end()));
    writeText(folder + "sprites.lua", "BenchDot = { Image0 = 'bench_dot', Size = {8, 8} }\n");
    writeText(folder + "list.lua",
              "name = 'default'\nfilelist = {\n"
              "{ name = 'bench_dot', filename = '/dot.png' },\n"
              "{ name = 'bench_sprites', filename = '/sprites.lua' },\n"
              "{ name = 'bench_fountain', filename = '/fountain.xml' },\n}\n");
    writeText(folder + "filelist.lua", "directories = { bench = { { '/list.lua' } } }\n");
    KR::FileSystem::setContentFolder(folder);
    fileSystem = std::make_unique<KR::FileSystem>();
    fileSystem->loadDirectoryFileLists("bench");
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
    std::unique_ptr<KR::ParticleFX> fountain(makeFountain());
    KR::XmlOArchive archive;
    KR::ParticleFX* root = fountain.get();
    archive.save(KR::makeNvp("ParticleFX", root));
    if (!archive.saveToFile(folder + "fountain.xml")) std::abort();
  }
  ~World() {
    particles.reset();
    factory.reset();
    sprites.reset();
    fileSystem.reset();
  }

  // Five fountains along the bottom, run until their particles balance.
  std::vector<KR::ParticleFX*> takeFountains() {
    std::vector<KR::ParticleFX*> effects;
    for (int e = 0; e < kEmitters; ++e) {
      KR::ParticleFX* effect = particles->createEffect("bench_fountain");
      if (!effect) std::abort();
      effect->mPosition = KR::Vector2<float>(100.0f + float(e) * 824.0f / float(kEmitters - 1), 600.0f);
      effects.push_back(effect);
    }
    for (int i = 0; i < kWarmFrames; ++i)
      for (KR::ParticleFX* effect : effects) effect->update(kStep);
    return effects;
  }
  // One frame of the effects, presented (the card is finished by the meter).
  void drawFrame(const std::vector<KR::ParticleFX*>& effects) {
    render.textures->createPendingTextures();
    render.renderSystem->checkDeviceLost();
    for (KR::ParticleFX* effect : effects) effect->render();
    render.renderSystem->renderFrame();
    render.renderSystem->present();
  }
  void giveBack(std::vector<KR::ParticleFX*>& effects) {
    for (KR::ParticleFX* effect : effects) particles->releaseEffect(effect);
    effects.clear();
  }
  static int live(const std::vector<KR::ParticleFX*>& effects) {
    int count = 0;
    for (const KR::ParticleFX* effect : effects) count += effect->getLiveCount();
    return count;
  }

  KR::Bench::OffscreenRender render;
  KR::EngineAllocators allocators;
  std::string folder;
  std::unique_ptr<KR::FileSystem> fileSystem;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
};

World& world() {
  static World instance;
  return instance;
}

// The updates timed inside whole drawn frames, as the peer times them: the
// frame around them (drawing, the card finished) runs untimed, so the caches
// are as cold as in play.
void BM_ParticleUpdate(benchmark::State& state) {
  World& w = world();
  std::vector<KR::ParticleFX*> effects = w.takeFountains();
  KR::Bench::FrameMeter meter(state, w.render.renderSystem.get());
  for (auto _ : state) {
    meter.begin();
    const auto start = std::chrono::steady_clock::now();
    for (KR::ParticleFX* effect : effects) effect->update(kStep);
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    w.drawFrame(effects);
    if (!meter.end()) break;
  }
  state.counters["live"] = World::live(effects);
  w.giveBack(effects);
}
BENCHMARK(BM_ParticleUpdate)->Unit(benchmark::kMillisecond)->UseManualTime();

// The updates and the whole frame, on the screen of the argument (screens.h).
void BM_ParticleFrame(benchmark::State& state) {
  World& w = world();
  KR::RenderSystem* rs = w.render.renderSystem.get();
  const int screen = int(state.range(0));
  KR::Bench::showOn(*rs, screen);
  std::vector<KR::ParticleFX*> effects = w.takeFountains();
  {
    KR::Bench::FrameMeter meter(state, rs);
    for (auto _ : state) {
      meter.begin();
      for (KR::ParticleFX* effect : effects) effect->update(kStep);
      KR::Bench::beginFrameOn(*rs, screen);
      w.drawFrame(effects);
      if (!meter.end()) break;
    }
  }
  state.counters["live"] = World::live(effects);
  w.giveBack(effects);
  KR::Bench::reportScreen(state, *rs);
  KR::Bench::showOn(*rs, 0);
}
BENCHMARK(BM_ParticleFrame)->DenseRange(0, 2)->ArgName("screen")->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frame without particles: what the frame costs by itself (the
// scene texture's composite included).
void BM_EmptyFrame(benchmark::State& state) {
  World& w = world();
  // Nothing is drawn on purpose: this frame may send no draw call.
  KR::Bench::FrameMeter meter(state, w.render.renderSystem.get(), true, false);
  const std::vector<KR::ParticleFX*> none;
  for (auto _ : state) {
    meter.begin();
    w.drawFrame(none);
    meter.end();
  }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// A copy of the cached prototype each time: the pool never keeps one.
void BM_CreateEffectFromCache(benchmark::State& state) {
  World& w = world();
  w.particles->releaseEffect(w.particles->createEffect("bench_fountain"));  // the prototype is read
  w.particles->clearEffectPool();
  w.particles->mPoolLimit = 0;
  for (auto _ : state) {
    KR::ParticleFX* effect = w.particles->createEffect("bench_fountain");
    state.PauseTiming();
    w.particles->releaseEffect(effect);
    state.ResumeTiming();
  }
  w.particles->mPoolLimit = -1;
}
BENCHMARK(BM_CreateEffectFromCache)->Unit(benchmark::kMicrosecond);

void BM_CreateEffectFromPool(benchmark::State& state) {
  World& w = world();
  w.particles->releaseEffect(w.particles->createEffect("bench_fountain"));
  for (auto _ : state) {
    KR::ParticleFX* effect = w.particles->createEffect("bench_fountain");
    w.particles->releaseEffect(effect);
  }
}
BENCHMARK(BM_CreateEffectFromPool)->Unit(benchmark::kMicrosecond);

}  // namespace

KR_BENCHMARK_MAIN()
