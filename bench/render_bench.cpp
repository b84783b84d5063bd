// Building and flushing 10,000 sprite quads a frame through the render
// system, off screen: wall time of whole frames with the card finished; draw
// calls per frame as a counter.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench_main.h"
#include "frame_meter.h"
#include "image.h"
#include "offscreen_render.h"
#include "render_data.h"
#include "vertex_format.h"

namespace {

using namespace KR;

constexpr int kSprites = 10000;

struct Scene : Bench::OffscreenRender {
  Scene() {
    std::vector<uint8_t> pixels(16 * 16 * 4, 0xFF);
    for (int i = 0; i < 4; ++i) {
      Texture* t = textures->createEmptyTexture(16, 16, TF_A8R8G8B8);
      textures->addReference(t);
      atlas.push_back(t);
    }
    textures->createPendingTextures();
    for (Texture* t : atlas) t->update(pixels.data(), IF_RGBA, 16, 16);
    sprites.resize(kSprites);
    for (int i = 0; i < kSprites; ++i) {
      RenderData& rd = sprites[i];
      rd.allocateVertices(4);
      const float x = float((i * 37) % 1000), y = float((i * 53) % 740);
      const float xy[4][2] = {{x, y}, {x + 24, y}, {x + 24, y + 24}, {x, y + 24}};
      uint8_t* v = rd.getVertexBytes();
      const uint32_t colour = 0xC0FFFFFFu;
      for (int k = 0; k < 4; ++k, v += gVertexStride) {
        const float pos[3] = {xy[k][0], xy[k][1], 0.f};
        std::memcpy(v + getVertexComponentOffset(VC_POSITION), pos, sizeof pos);
        std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &colour, 4);
      }
    }
  }
  ~Scene() { sprites.clear(); }
  // Texture runs of the given length (kSprites: one texture for all).
  void assignTextures(int run) {
    for (int i = 0; i < kSprites; ++i) {
      sprites[i].releaseTextures();
      sprites[i].addTexture(atlas[(i / run) % atlas.size()]);
    }
  }

  std::vector<Texture*> atlas;
  std::vector<RenderData> sprites;
};

Scene& scene() {
  static Scene s;
  return s;
}

void BM_TenThousandSprites(benchmark::State& state) {
  Scene& s = scene();
  s.assignTextures(int(state.range(0)));
  Bench::FrameMeter meter(state, s.renderSystem.get());
  for (auto _ : state) {
    meter.begin();
    s.renderSystem->checkDeviceLost();
    for (RenderData& rd : s.sprites) s.renderSystem->render(&rd);
    s.renderSystem->renderFrame();
    s.renderSystem->present();
    if (!meter.end()) break;
  }
  state.counters["sprites_per_frame"] = kSprites;
}
// Argument: sprites per texture run (10000 = one texture for the frame).
BENCHMARK(BM_TenThousandSprites)->Arg(10000)->Arg(100)->Arg(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
