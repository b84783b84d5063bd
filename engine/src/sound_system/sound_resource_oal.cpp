#include "sound_system/sound_resource_oal.h"

namespace KR {

SoundResource::SoundResource(const SoundDescriptor& descriptor)
    : decoder(new VorbisDecoder),
      group(descriptor.group),
      volume(descriptor.volume),
      loop(descriptor.loop),
      priority(descriptor.priority) {
  load(descriptor.name);
}

SoundResource::SoundResource(const SoundDescriptor& descriptor, std::vector<unsigned char> bytes)
    : decoder(new VorbisDecoder),
      group(descriptor.group),
      volume(descriptor.volume),
      loop(descriptor.loop),
      priority(descriptor.priority) {
  if (decoder->openMemory(std::move(bytes), descriptor.name)) makeSpans();
}

SoundResource::~SoundResource() { destroy(); }

bool SoundResource::load(const std::string& name) {
  buffers.reset();
  bufferCount = 0;
  if (!decoder->open(name)) return false;
  makeSpans();
  return true;
}

void SoundResource::makeSpans() {
  const uint32_t total = static_cast<uint32_t>(decoder->getTotalFrames());
  const uint32_t span = VorbisDecoder::kSpanFrames;
  bufferCount = total / span + (total % span != 0 ? 1 : 0);
  buffers.reset(bufferCount > 0 ? new SoundBuffer[bufferCount] : nullptr);
  for (uint32_t k = 0; k < bufferCount; ++k) {
    uint32_t first = k * span;
    uint32_t count = total - first < span ? total - first : span;
    buffers[k].init(this, first, count);
  }
}

void SoundResource::destroy() {
  if (decoder) decoder->close();
  buffers.reset();
  bufferCount = 0;
}

SoundBuffer* SoundResource::getBuffer(uint32_t index) { return index < bufferCount ? &buffers[index] : nullptr; }

SoundBuffer* SoundResource::findBufferByName(uint32_t alName) {
  if (alName == 0) return nullptr;
  for (uint32_t k = 0; k < bufferCount; ++k) {
    if (buffers[k].getName() == alName) return &buffers[k];
  }
  return nullptr;
}

}  // namespace KR
