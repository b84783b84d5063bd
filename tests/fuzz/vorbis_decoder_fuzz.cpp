// Ogg Vorbis decoding from memory on arbitrary bytes: opening must refuse or
// accept without reading outside the data, and every span of an accepted
// stream must decode within its area. Page checksums are repaired first so
// that mutations reach the Vorbis packets instead of stopping at the Ogg layer.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_ogg.h"
#include "log_system.h"
#include "sound_system/sound_resource_oal.h"
#include "sound_system/vorbis_decoder.h"

// vorbisfile loses a few blocks when the headers of a damaged stream fail half
// way through its open; they are its own, not ours to free. Without frame
// pointers in the libraries a leak's stack may end in libvorbis itself.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile\nleak:libvorbis.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  (void)logSystem;
  std::vector<unsigned char> bytes(data, data + size);
  KR::Fuzz::repairPageChecksums(bytes);

  KR::SoundDescriptor descriptor;
  descriptor.name = "fuzz";
  KR::SoundResource resource(descriptor, bytes);
  KR::VorbisDecoder* decoder = resource.getDecoder();
  if (!decoder->isOpen()) {
    if (resource.getBufferCount() != 0) __builtin_trap();
    return 0;
  }
  const uint32_t frameBytes = static_cast<uint32_t>(decoder->getOutputChannels()) * 2;
  // An area of exactly the span's size, so that any write past it is caught.
  std::unique_ptr<unsigned char[]> area(new unsigned char[KR::VorbisDecoder::kSpanBytes]);
  const uint32_t spans = resource.getBufferCount() < 6 ? resource.getBufferCount() : 6;
  for (uint32_t k = 0; k < spans; ++k) {
    KR::SoundBuffer* span = resource.getBuffer(k);
    uint32_t written =
        decoder->decode(span->getFirstFrame(), span->getFrameCount(), area.get(), KR::VorbisDecoder::kSpanBytes);
    if (written > span->getFrameCount() * frameBytes || written % frameBytes != 0) __builtin_trap();
  }
  // The last span and a small area out of order.
  if (resource.getBufferCount() > 0) {
    KR::SoundBuffer* last = resource.getBuffer(resource.getBufferCount() - 1);
    decoder->decode(last->getFirstFrame(), last->getFrameCount(), area.get(), KR::VorbisDecoder::kSpanBytes);
    std::unique_ptr<unsigned char[]> small(new unsigned char[7]);
    if (decoder->decode(0, 8192, small.get(), 7) > 7) __builtin_trap();
  }
  return 0;
}
