// Whole frames of a 1024 x 768 design, each timed by the wall clock with the
// card finished at its end: the empty frame (the frame's fixed cost) and N
// sprites of one 64 x 64 picture, alpha blended, at fixed positions, turning
// a little every frame, scaled to 3.2 or 32 pixels. The same work as the
// peers' sprite comparison (../shared/peers/love-sprites) in a window of the
// design's size, so that the two can be run side by side; also on the
// player's screen as the game's frames are drawn there (screens.h).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bench_main.h"
#include "frame_meter.h"
#include "offscreen_render.h"
#include "render_data.h"
#include "screens.h"
#include "vertex_format.h"

namespace {

using namespace KR;

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

constexpr int kPicture = 64;

struct Sprites : Bench::OffscreenRender {
  Sprites() {
    // Colour from the texel's place, alpha 1 or 0.5 in diagonal stripes.
    std::vector<uint8_t> pixels(kPicture * kPicture * 4);
    for (int y = 0; y < kPicture; ++y)
      for (int x = 0; x < kPicture; ++x) {
        uint8_t* p = &pixels[size_t(y * kPicture + x) * 4];
        p[0] = uint8_t(std::lround(x * 255.0 / 63.0));
        p[1] = uint8_t(std::lround(y * 255.0 / 63.0));
        p[2] = 128;
        p[3] = (x + y) % 8 < 6 ? 255 : 128;
      }
    picture = textures->createEmptyTexture(kPicture, kPicture, TF_A8R8G8B8);
    textures->addReference(picture);
    textures->createPendingTextures();
    picture->update(pixels.data(), IF_RGBA, kPicture, kPicture);
  }
  ~Sprites() { sprites.clear(); }

  void resize(int count) {
    if (int(sprites.size()) == count) return;
    sprites.clear();
    sprites.resize(size_t(count));
    for (RenderData& rd : sprites) {
      rd.addTexture(picture);
      rd.allocateVertices(4);
      const uint32_t white = 0xFFFFFFFFu;
      const float uv[4][2] = {{0.f, 0.f}, {1.f, 0.f}, {1.f, 1.f}, {0.f, 1.f}};
      uint8_t* v = rd.getVertexBytes();
      for (int k = 0; k < 4; ++k, v += gVertexStride) {
        std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &white, 4);
        std::memcpy(v + getVertexComponentOffset(VC_TEXCOORD0), uv[k], sizeof uv[k]);
      }
    }
  }

  // Sprite i at (i * 7919 % 1000, i * 6271 % 740), turned by i * 0.7 (mod 6.28)
  // plus 0.01 a frame about the picture's centre, scaled by `scale`.
  void place(int frame, float scale) {
    const uint32_t pos = getVertexComponentOffset(VC_POSITION);
    const float half = kPicture / 2.f * scale;
    const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
    for (size_t i = 0; i < sprites.size(); ++i) {
      const int n = int(i) + 1;
      const float x = float((n * 7919) % 1000), y = float((n * 6271) % 740);
      const float angle = float(std::fmod(n * 0.7, 6.28)) + float(frame) * 0.01f;
      const float c = std::cos(angle), s = std::sin(angle);
      uint8_t* v = sprites[i].getVertexBytes();
      for (int k = 0; k < 4; ++k, v += gVertexStride) {
        const float p[3] = {x + c * corners[k][0] - s * corners[k][1], y + s * corners[k][0] + c * corners[k][1], 0.f};
        std::memcpy(v + pos, p, sizeof p);
      }
    }
  }

  Texture* picture = nullptr;
  std::vector<RenderData> sprites;
};

Sprites& world() {
  static Sprites w;
  return w;
}

// Frame start, composite and present with nothing drawn.
void BM_EmptyFrame(benchmark::State& state) {
  RenderSystem* rs = world().renderSystem.get();
  Bench::FrameMeter meter(state, rs, true, false);
  for (auto _ : state) {
    meter.begin();
    rs->checkDeviceLost();
    rs->renderFrame();
    rs->present();
    meter.end();
  }
}
BENCHMARK(BM_EmptyFrame)->UseRealTime()->Unit(benchmark::kMillisecond);

// Arguments: sprites, size in pixels (3 stands for 3.2), 1 to finish each
// frame, the screen (screens.h: 0 the peers' window, 1 the player's full
// screen as the game's frames are drawn there, 2 the same through the scene
// texture). Counter "cpu_us_per_sprite": the main thread's CPU time per
// sprite and frame, where the cost per sprite shows whether it grows with
// the count.
void BM_SpriteFrame(benchmark::State& state) {
  Sprites& w = world();
  RenderSystem* rs = w.renderSystem.get();
  const int count = int(state.range(0));
  const float scale = state.range(1) == 3 ? 0.05f : float(state.range(1)) / float(kPicture);
  const int screen = int(state.range(3));
  Bench::showOn(*rs, screen);
  w.resize(count);
  double cpu = 0.0;
  {
    Bench::FrameMeter meter(state, rs, state.range(2) != 0);
    int frame = 0;
    for (auto _ : state) {
      const double start = threadCpuSeconds();
      meter.begin();
      Bench::beginFrameOn(*rs, screen);
      rs->checkDeviceLost();
      w.place(frame++, scale);
      for (RenderData& rd : w.sprites) rs->render(&rd);
      rs->renderFrame();
      rs->present();
      cpu += threadCpuSeconds() - start;
      if (!meter.end()) break;
    }
  }
  state.counters["sprites"] = count;
  if (state.iterations() > 0) state.counters["cpu_us_per_sprite"] = cpu * 1e6 / double(state.iterations()) / count;
  Bench::reportScreen(state, *rs);
  Bench::showOn(*rs, 0);
}
BENCHMARK(BM_SpriteFrame)
    ->Args({10000, 3, 1, 0})
    ->Args({10000, 3, 1, 1})
    ->Args({10000, 3, 1, 2})
    ->Args({10000, 3, 0, 0})
    ->Args({10000, 32, 1, 0})
    ->Args({10000, 32, 1, 1})
    ->Args({10000, 32, 0, 0})
    ->Args({50000, 3, 1, 0})
    ->Args({100000, 3, 1, 0})
    ->Args({100000, 3, 1, 1})
    ->ArgNames({"sprites", "px", "finish", "screen"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
