// Video decoding: a 640 x 480 Theora clip decoded by libtheora alone, by the
// surface's reading path, with each colour path's per-frame work, and decoded,
// uploaded into the ring of textures of a real (off-screen) device and drawn,
// on either colour path.
// Frames per second by the wall clock are reported as the "fps" counter; the
// drawn frames are finished on the card before the next one starts.
#include <benchmark/benchmark.h>

#include <ogg/ogg.h>
#include <theora/theora.h>
#include "bench_main.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "frame_meter.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/memory_file.h"
#include "texture_manager.h"
#include "theora_writer.h"
#include "vertex_format.h"
#include "video_surface.h"
#include "video_surface_decoder.h"

namespace {

const std::string& clip() {
  static const std::string bytes = [] {
    KR::Tools::TheoraClipSpec spec;
    spec.width = 640;
    spec.height = 480;
    spec.frames = 60;
    spec.quality = 40;
    return KR::Tools::encodeTheora(spec);
  }();
  return bytes;
}

KR::LogSystem& logSystem() {
  static KR::LogSystem system;
  return system;
}

// The reference: libtheora's own decoding loop over the same bytes.
void BM_LibtheoraAlone(benchmark::State& state) {
  const std::string& bytes = clip();
  int64_t frames = 0;
  for (auto _ : state) {
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    theora_info info;
    theora_comment comment;
    theora_state decoder;
    ogg_sync_init(&sync);
    theora_info_init(&info);
    theora_comment_init(&comment);
    char* buffer = ogg_sync_buffer(&sync, long(bytes.size()));
    std::memcpy(buffer, bytes.data(), bytes.size());
    ogg_sync_wrote(&sync, long(bytes.size()));
    bool streamMade = false;
    int headers = 0;
    bool decoding = false;
    while (ogg_sync_pageout(&sync, &page) > 0) {
      if (!streamMade) {
        ogg_stream_init(&stream, ogg_page_serialno(&page));
        streamMade = true;
      }
      ogg_stream_pagein(&stream, &page);
      while (ogg_stream_packetout(&stream, &packet) > 0) {
        if (headers < 3) {
          theora_decode_header(&info, &comment, &packet);
          if (++headers == 3) decoding = theora_decode_init(&decoder, &info) == 0;
          continue;
        }
        if (!decoding) continue;
        yuv_buffer yuv;
        if (theora_decode_packetin(&decoder, &packet) == 0 && theora_decode_YUVout(&decoder, &yuv) == 0) {
          benchmark::DoNotOptimize(yuv.y[0]);
          ++frames;
        }
      }
    }
    if (decoding) theora_clear(&decoder);
    if (streamMade) ogg_stream_clear(&stream);
    theora_comment_clear(&comment);
    theora_info_clear(&info);
    ogg_sync_clear(&sync);
  }
  state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibtheoraAlone)->UseRealTime()->Unit(benchmark::kMillisecond);

// The surface's reading path: 4096-byte chunks, then per frame nothing
// (arg 0), the CPU conversion into RGBA (arg 1) or the plane copy of the
// shader path (arg 2).
void BM_ReadingPath(benchmark::State& state) {
  logSystem();
  const std::string& bytes = clip();
  std::vector<uint8_t> rgba(640 * 480 * 4), luma(640 * 480), chroma(320 * 240 * 2);
  int64_t frames = 0;
  for (auto _ : state) {
    KR::Test::BytesFile file(bytes.data(), bytes.size());
    KR::VideoStreamDecoder decoder;
    if (decoder.open(&file) != 0) {
      KR::Bench::fail(state, "clip refused");
      return;
    }
    KR::YuvFrameView frame;
    while (decoder.decodeFrame(&frame) == KR::VideoStreamDecoder::kFrame) {
      if (state.range(0) == 1) KR::convertFrameToRgba(frame, rgba.data());
      if (state.range(0) == 2) KR::copyFramePlanes(frame, luma.data(), chroma.data());
      benchmark::DoNotOptimize(frame.y);
      ++frames;
    }
  }
  state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadingPath)->Arg(0)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// Decoding, uploading and drawing as the game plays a movie, here on one
// thread: arg 0 the CPU path (every frame converted, copied into the next
// texture of the ring and drawn), arg 1 the game's own path, the "yuv2rgb"
// program from the built demo content (Y and interleaved chroma planes
// uploaded, converted while drawing).
void BM_DecodeAndUpload(benchmark::State& state) {
  logSystem();
  const bool shaderPath = state.range(0) == 1;
  KR::EngineAllocators allocators;
  allocators.init();
  KR::ConfigManager config{KR::ConfigManager::NoLoad{}};
  KR::PlatformConfig platform;
  platform.name = "bench";
  platform.resolutionWidth = 640;
  platform.resolutionHeight = 480;
  config.platforms.push_back(platform);
  config.currentPlatform = &config.platforms[0];
  config.vertexFormatFlags = KR::kVertexFormatGame;
  KR::FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
  KR::FileSystem files;
  files.loadDirectoryFileLists("common");
  auto textures = std::make_unique<KR::TextureManager>();
  auto sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
  auto renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
  renderSystem->getWindowInfo().mWndWidth = 640;
  renderSystem->getWindowInfo().mWndHeight = 480;
  renderSystem->initDevice();
  if (!renderSystem->getDevice()) {
    KR::Bench::fail(state, "no render device");
    return;
  }
  int64_t frames = 0;
  // Frames before the clip's first picture have nothing to draw; a clip that
  // never draws fails.
  KR::Bench::FrameMeter meter(state, renderSystem.get(), true, false);
  for (auto _ : state) {
    state.PauseTiming();
    auto surface = std::make_unique<KR::VideoSurface>(shaderPath);
    surface->open(new KR::Test::BytesFile(clip().data(), clip().size()));
    if (surface->usesShaderPath() != shaderPath) {
      KR::Bench::fail(state, "the yuv2rgb program did not load");
      return;
    }
    textures->createPendingTextures();
    surface->setSize(640.0f, 480.0f);
    state.ResumeTiming();
    const uint64_t callsBefore = meter.calls();
    for (uint32_t i = 1; !surface->isFinished(); ++i) {
      surface->decodeStep(float(i) / surface->getFrameRate());
      surface->uploadFrame();
      meter.begin();
      renderSystem->checkDeviceLost();
      surface->draw();
      renderSystem->renderFrame();
      renderSystem->present();
      meter.end();
      if (!surface->isFinished()) ++frames;
    }
    if (meter.calls() == callsBefore) {
      KR::Bench::fail(state, "the clip drew no frame");
      break;
    }
    state.PauseTiming();
    surface.reset();
    textures->createPendingTextures();
    state.ResumeTiming();
  }
  state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
  sprites.reset();
  renderSystem.reset();
  textures.reset();
}
BENCHMARK(BM_DecodeAndUpload)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

KR_BENCHMARK_MAIN()
