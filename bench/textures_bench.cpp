// Picture decoding and the upload of the texture manager's pending pass.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_main.h"
#include "dds_image.h"
#include "engine_allocators.h"
#include "image_maker.h"
#include "krt_image.h"
#include "krt_writer.h"
#include "log_system.h"
#include "png_image.h"
#include "texture_manager.h"

namespace {

std::vector<uint8_t> pngFile(uint32_t side) {
  std::vector<uint8_t> file;
  std::string error;
  KR::Tools::encodePngRgba(KR::Tools::makeDemoPicture(side, side, 0), file, error);
  return file;
}

void BM_PngDecodeRgba(benchmark::State& state) {
  const uint32_t side = static_cast<uint32_t>(state.range(0));
  const std::vector<uint8_t> file = pngFile(side);
  for (auto _ : state) {
    KR::PngImage image;
    benchmark::DoNotOptimize(image.loadFromMemory(file.data(), file.size()));
  }
  state.SetBytesProcessed(state.iterations() * side * side * 4);
}
BENCHMARK(BM_PngDecodeRgba)->Arg(256)->Arg(1024);

void BM_KrtDecodeRgbaTiles(benchmark::State& state) {
  KR::EngineAllocators allocators;
  allocators.init();
  std::vector<uint8_t> file;
  std::string error;
  KR::Tools::encodeKrtRgba(KR::Tools::makeDemoPicture(256, 512, 0), file, error);
  for (auto _ : state) {
    KR::KRTImage image;
    benchmark::DoNotOptimize(image.loadFromMemory(file.data(), file.size()));
  }
  state.SetBytesProcessed(state.iterations() * 256 * 512 * 4);
}
BENCHMARK(BM_KrtDecodeRgbaTiles);

void BM_KrtDecodePalettedTiles(benchmark::State& state) {
  KR::EngineAllocators allocators;
  allocators.init();
  std::vector<uint8_t> palette(1024), indices(512 * 512), file;
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 31);
  std::string error;
  KR::Tools::encodeKrtPaletted(512, 512, palette, indices, file, error);
  for (auto _ : state) {
    KR::KRTImage image;
    benchmark::DoNotOptimize(image.loadFromMemory(file.data(), file.size()));
  }
  state.SetBytesProcessed(state.iterations() * 512 * 512 * 4);
}
BENCHMARK(BM_KrtDecodePalettedTiles);

void BM_TextureUploadRgba(benchmark::State& state) {
  static KR::LogSystem* logSystem = KR::LogSystem::exists() ? nullptr : new KR::LogSystem();
  (void)logSystem;
  KR::Platform::DeviceParams params;
  params.present.backBufferWidth = 64;
  params.present.backBufferHeight = 64;
  std::unique_ptr<KR::Platform::RenderDevice> device = KR::Platform::RenderDevice::create(params);
  if (!device) {
    KR::Bench::fail(state, "no device");
    return;
  }
  KR::TextureManager manager;
  const std::vector<uint8_t> file = pngFile(512);
  for (auto _ : state) {
    state.PauseTiming();
    auto* image = new KR::PngImage();
    image->loadFromMemory(file.data(), file.size());
    KR::Texture* texture = manager.createTextureFromImage(image, "upload", "default");
    state.ResumeTiming();
    manager.createPendingTextures();
    state.PauseTiming();
    manager.destroyTexture(texture);
    manager.destroyDiscardedTextures();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * 512 * 512 * 4);
}
BENCHMARK(BM_TextureUploadRgba);

}  // namespace

KR_BENCHMARK_MAIN()
