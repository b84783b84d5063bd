// Loading and decoding a music track through the sound manager (file system,
// decoder set-up, every span decoded into an OpenAL buffer on the null
// device) against decoding the same stream with vorbisfile alone.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <vorbis/vorbisfile.h>
#include "bench_main.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"
#include "sound_system/vorbis_decoder.h"

namespace {

bool prepare() {
  setenv("ALSOFT_DRIVERS", "null", 0);
  KR::FileSystem::setContentFolder(KR_BENCH_MEDIA_DIR "/");
  return true;
}

struct Engine {
  Engine() { files.loadFilesLocationInfo(); }
  bool prepared = prepare();
  KR::LogSystem log;
  KR::FileSystem files;
  KR::ConfigManager config;
  KR::SoundManager sound;
};

Engine& engine() {
  static Engine made;
  return made;
}

std::vector<unsigned char> musicBytes() {
  std::unique_ptr<KR::File> file(KR::FileSystem::getInstance()->openFile("default", "demo_music"));
  std::vector<unsigned char> bytes(file ? static_cast<size_t>(file->getSize()) : 0);
  if (file) file->read(bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

void BM_SoundManagerLoadAndDecodeMusic(benchmark::State& state) {
  Engine& e = engine();
  KR::SoundDescriptor music;
  music.name = "demo_music";
  music.group = KR::kSoundGroupMusic;
  int64_t frames = 0;
  for (auto _ : state) {
    uint32_t id = e.sound.loadSound(music);
    KR::SoundResource* resource = e.sound.getResource(id);
    for (uint32_t k = 0; k < resource->getBufferCount(); ++k) {
      resource->getBuffer(k)->acquire();
      resource->getBuffer(k)->release();
    }
    frames += resource->getDecoder()->getTotalFrames();
    e.sound.releaseSound(id);
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SoundManagerLoadAndDecodeMusic)->Unit(benchmark::kMillisecond);

// The decoder alone on the file in memory: no file system, no OpenAL.
void BM_VorbisDecoderSpans(benchmark::State& state) {
  engine();
  std::vector<unsigned char> bytes = musicBytes();
  std::vector<unsigned char> area(KR::VorbisDecoder::kSpanBytes);
  int64_t frames = 0;
  for (auto _ : state) {
    KR::VorbisDecoder decoder;
    decoder.openMemory(bytes, "demo_music");
    const uint32_t total = static_cast<uint32_t>(decoder.getTotalFrames());
    for (uint32_t first = 0; first < total; first += KR::VorbisDecoder::kSpanFrames) {
      benchmark::DoNotOptimize(
          decoder.decode(first, KR::VorbisDecoder::kSpanFrames, area.data(), KR::VorbisDecoder::kSpanBytes));
    }
    frames += total;
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VorbisDecoderSpans)->Unit(benchmark::kMillisecond);

struct Memory {
  const std::vector<unsigned char>* bytes;
  size_t position;
};

size_t readMemory(void* out, size_t size, size_t count, void* source) {
  Memory* m = static_cast<Memory*>(source);
  size_t left = m->bytes->size() - m->position;
  size_t n = size ? std::min(count, left / size) : 0;
  std::memcpy(out, m->bytes->data() + m->position, n * size);
  m->position += n * size;
  return n;
}

int seekMemory(void* source, ogg_int64_t offset, int whence) {
  Memory* m = static_cast<Memory*>(source);
  int64_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? static_cast<int64_t>(m->position)
                                      : static_cast<int64_t>(m->bytes->size());
  int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(m->bytes->size())) return -1;
  m->position = static_cast<size_t>(target);
  return 0;
}

long tellMemory(void* source) { return static_cast<long>(static_cast<Memory*>(source)->position); }

// vorbisfile alone: one open, one sequential ov_read pass over the stream.
void BM_VorbisfileAlone(benchmark::State& state) {
  engine();
  std::vector<unsigned char> bytes = musicBytes();
  std::vector<char> area(KR::VorbisDecoder::kSpanBytes);
  int64_t frames = 0;
  for (auto _ : state) {
    Memory memory{&bytes, 0};
    ov_callbacks callbacks{readMemory, seekMemory, nullptr, tellMemory};
    OggVorbis_File file;
    if (ov_open_callbacks(&memory, &file, nullptr, 0, callbacks) != 0) {
      KR::Bench::fail(state, "vorbisfile cannot open the track");
      break;
    }
    int link = 0;
    long got;
    while ((got = ov_read(&file, area.data(), static_cast<int>(area.size()), 0, 2, 1, &link)) > 0) {
      benchmark::DoNotOptimize(area.data());
    }
    frames += ov_pcm_total(&file, -1);
    ov_clear(&file);
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VorbisfileAlone)->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
