// The shader translator's speed on the displacement shader and the content's
// files, and the cost of the displacement composite: whole 1024 x 768 frames
// with and without a distortion map, read back so that the (software) GPU's
// work is counted too.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench_main.h"
#include "frame_meter.h"
#include "offscreen_render.h"
#include "platform/shader_translator.h"
#include "render_data.h"
#include "shader_program.h"
#include "vertex_format.h"

namespace {

using namespace KR;

void BM_TranslateDisplacementShader(benchmark::State& state) {
  Platform::TranslatedShader out;
  std::string error;
  for (auto _ : state) {
    bool ok = Platform::translatePixelShader(kDisplacementShaderSource, out, error);
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_TranslateDisplacementShader);

struct Frame : Bench::OffscreenRender {
  Frame() {
    renderSystem->createPixelShader(renderSystem->getDisplacementProgram(), kDisplacementShaderSource);
    quad(scene, 0xFF336699u);
    quad(map, 0xFFA05000u);
  }
  static void quad(RenderData& rd, uint32_t colour) {
    rd.addTexture(nullptr);
    rd.allocateVertices(4);
    const float xy[4][2] = {{0, 0}, {1024, 0}, {1024, 768}, {0, 768}};
    uint8_t* v = rd.getVertexBytes();
    for (int k = 0; k < 4; ++k, v += gVertexStride) {
      const float pos[3] = {xy[k][0], xy[k][1], 0.f};
      std::memcpy(v + getVertexComponentOffset(VC_POSITION), pos, sizeof pos);
      std::memcpy(v + getVertexComponentOffset(VC_DIFFUSE), &colour, 4);
    }
  }
  void run(bool distorted) {
    renderSystem->checkDeviceLost();
    renderSystem->render(&scene);
    if (distorted) {
      renderSystem->beginOffscreenPass();
      renderSystem->render(&map);
      renderSystem->endOffscreenPass();
    }
    renderSystem->renderFrame();
    Platform::RenderDevice* d = renderSystem->getDevice();
    uint32_t w = 0, h = 0;
    d->readPixels(d->backBuffer(), pixels, w, h);
  }

  RenderData scene, map;
  std::vector<uint8_t> pixels;
};

Frame& frame() {
  static Frame f;
  return f;
}

// Argument: 1 with the distortion map and the displacement composite.
void BM_FrameComposite(benchmark::State& state) {
  Frame& f = frame();
  Bench::FrameMeter meter(state, f.renderSystem.get());
  for (auto _ : state) {
    meter.begin();
    f.run(state.range(0) != 0);
    if (!meter.end()) break;
  }
}
BENCHMARK(BM_FrameComposite)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
