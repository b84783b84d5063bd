#include "sound_system/vorbis_decoder.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "file_system.h"
#include "log_system.h"
#include "sound_system/vorbis_setup_check.h"

namespace KR {

namespace {

// A run of holes (lost pages) longer than this ends a decode instead of
// retrying forever on a damaged stream.
constexpr int kMaxHolesPerDecode = 16;

inline void storeSample(unsigned char* out, float value) {
  float scaled = value * 32768.0f;
  // Clamped before the conversion, which is undefined out of range.
  // Rounded half away from zero; a plain conversion stays inline where the
  // C library's rounding functions would be calls.
  int sample = scaled >= 32767.0f    ? 32767
               : scaled <= -32768.0f ? -32768
                                     : static_cast<int>(scaled + (scaled >= 0.0f ? 0.5f : -0.5f));
  uint16_t bits = static_cast<uint16_t>(static_cast<int16_t>(sample));
  out[0] = static_cast<unsigned char>(bits & 0xFF);
  out[1] = static_cast<unsigned char>(bits >> 8);
}

// Weights that fold sourceChannels (in Vorbis channel order) into one or two
// output channels; each output's weights add up to 1 so nothing clips.
void mixWeights(int sourceChannels, int outputChannels, float* left, float* right) {
  if (outputChannels == 1) {
    for (int c = 0; c < sourceChannels; ++c) left[c] = 1.0f / static_cast<float>(sourceChannels);
    return;
  }
  if (sourceChannels == 1) {
    left[0] = right[0] = 1.0f;
    return;
  }
  const float centre = 0.7071f;
  const float lfe = 0.5f;
  // Left and right weights of the layouts Vorbis defines for 3 to 8 channels.
  static const float kLeft[6][8] = {
      {1, centre, 0},                     // L C R
      {1, 0, 1, 0},                       // FL FR RL RR
      {1, centre, 0, 1, 0},               // FL C FR RL RR
      {1, centre, 0, 1, 0, lfe},          // FL C FR RL RR LFE
      {1, centre, 0, 1, 0, centre, lfe},  // FL C FR SL SR RC LFE
      {1, centre, 0, 1, 0, 1, 0, lfe},    // FL C FR SL SR RL RR LFE
  };
  static const float kRight[6][8] = {
      {0, centre, 1},
      {0, 1, 0, 1},
      {0, centre, 1, 0, 1},
      {0, centre, 1, 0, 1, lfe},
      {0, centre, 1, 0, 1, centre, lfe},
      {0, centre, 1, 0, 1, 0, 1, lfe},
  };
  for (int c = 0; c < sourceChannels; ++c) {
    if (sourceChannels == 2) {
      left[c] = c == 0 ? 1.0f : 0.0f;
      right[c] = c == 1 ? 1.0f : 0.0f;
    } else if (sourceChannels <= 8) {
      left[c] = kLeft[sourceChannels - 3][c];
      right[c] = kRight[sourceChannels - 3][c];
    } else {
      left[c] = (c % 2 == 0) ? 1.0f : 0.0f;
      right[c] = (c % 2 == 1) ? 1.0f : 0.0f;
    }
  }
  float sumLeft = 0.0f, sumRight = 0.0f;
  for (int c = 0; c < sourceChannels; ++c) {
    sumLeft += left[c];
    sumRight += right[c];
  }
  for (int c = 0; c < sourceChannels; ++c) {
    left[c] /= sumLeft;
    right[c] /= sumRight;
  }
}

}  // namespace

VorbisDecoder::VorbisDecoder() : stream(new OggVorbis_File) { std::memset(stream.get(), 0, sizeof(OggVorbis_File)); }

VorbisDecoder::~VorbisDecoder() { close(); }

size_t VorbisDecoder::readCallback(void* destination, size_t elementSize, size_t elementCount, void* sourcePtr) {
  VorbisMemorySource* memory = static_cast<VorbisMemorySource*>(sourcePtr);
  if (!destination || !memory || !memory->data || elementSize == 0 || elementCount == 0) return 0;
  if (memory->position >= memory->size) return 0;
  size_t available = memory->size - memory->position;
  size_t wholeElements = available / elementSize;
  size_t count = elementCount < wholeElements ? elementCount : wholeElements;
  size_t bytes = count * elementSize;
  std::memcpy(destination, memory->data + memory->position, bytes);
  memory->position += bytes;
  return count;
}

int VorbisDecoder::seekCallback(void* sourcePtr, int64_t offset, int whence) {
  VorbisMemorySource* memory = static_cast<VorbisMemorySource*>(sourcePtr);
  if (!memory) return -1;
  int64_t base;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<int64_t>(memory->position); break;
    case SEEK_END: base = static_cast<int64_t>(memory->size); break;
    default: return -1;
  }
  // Both terms lie within 0..size or are checked against it, so the sum
  // cannot overflow when offset is outside that range.
  if (offset < -base || offset > static_cast<int64_t>(memory->size) - base) return -1;
  memory->position = static_cast<size_t>(base + offset);
  return 0;
}

int VorbisDecoder::closeCallback(void* sourcePtr) { return sourcePtr ? 0 : -1; }

long VorbisDecoder::tellCallback(void* sourcePtr) {
  VorbisMemorySource* memory = static_cast<VorbisMemorySource*>(sourcePtr);
  if (!memory) return -1;
  return static_cast<long>(memory->position);
}

bool VorbisDecoder::open(const std::string& name) {
  close();
  File* file = FileSystem::exists() ? FileSystem::getInstance()->openFile("default", name) : nullptr;
  if (!file) {
    log("WARNING. Sound not found %s", name.c_str());
    return false;
  }
  int size = file->getSize();
  std::vector<unsigned char> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  int done = 0;
  int got = 0;
  while (done < size && (got = file->read(bytes.data() + done, size - done)) > 0) done += got;
  delete file;
  // A damaged archive entry plays nothing rather than noise.
  if (got < 0) return false;
  bytes.resize(static_cast<size_t>(done));
  return openMemory(std::move(bytes), name);
}

bool VorbisDecoder::openMemory(std::vector<unsigned char> bytes, const std::string& name) {
  close();
  streamName = name;
  fileData = std::move(bytes);
  source.data = fileData.data();
  source.size = fileData.size();
  source.position = 0;
  ov_callbacks callbacks;
  callbacks.read_func = &VorbisDecoder::readCallback;
  callbacks.seek_func = &VorbisDecoder::seekCallback;
  callbacks.close_func = &VorbisDecoder::closeCallback;
  callbacks.tell_func = &VorbisDecoder::tellCallback;
  if (!vorbisSetupHeadersAreSafe(source.data, source.size) ||
      ov_open_callbacks(&source, stream.get(), nullptr, 0, callbacks) != 0) {
    // vorbisfile clears the state itself on most failures but not on all;
    // clearing a cleared state is harmless, so make sure nothing is left.
    ov_clear(stream.get());
    std::memset(stream.get(), 0, sizeof(OggVorbis_File));
    log("WARNING. Sound is not a readable Ogg Vorbis stream %s", name.c_str());
    close();
    return false;
  }
  opened = true;
  vorbis_info* info = ov_info(stream.get(), -1);
  ogg_int64_t total = ov_pcm_total(stream.get(), -1);
  if (!info || info->channels < 1 || info->rate < 1 || total < 0) {
    log("WARNING. Sound is not a readable Ogg Vorbis stream %s", name.c_str());
    close();
    return false;
  }
  channels = info->channels;
  sampleRate = info->rate > INT32_MAX ? INT32_MAX : static_cast<int32_t>(info->rate);
  totalFrames = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
  return true;
}

void VorbisDecoder::giveUp() {
  // After a failed decoder set-up libvorbis keeps half-made codebooks and
  // would decode with them on the next call; the stream is not touched again.
  log("WARNING. Sound stream is damaged %s", streamName.c_str());
  ov_clear(stream.get());
  std::memset(stream.get(), 0, sizeof(OggVorbis_File));
  opened = false;
}

void VorbisDecoder::close() {
  if (opened) ov_clear(stream.get());
  std::memset(stream.get(), 0, sizeof(OggVorbis_File));
  opened = false;
  fileData.clear();
  fileData.shrink_to_fit();
  source = VorbisMemorySource();
  channels = 0;
  sampleRate = 0;
  totalFrames = 0;
}

uint32_t VorbisDecoder::decode(uint32_t firstFrame, uint32_t frameCount, void* destination, uint32_t destinationBytes) {
  if (!opened || !destination) return 0;
  const int outChannels = getOutputChannels();
  const uint32_t frameBytes = static_cast<uint32_t>(outChannels) * 2;
  uint32_t wanted = frameCount < destinationBytes / frameBytes ? frameCount : destinationBytes / frameBytes;
  if (wanted == 0) return 0;
  if (ov_pcm_tell(stream.get()) != static_cast<ogg_int64_t>(firstFrame) &&
      ov_pcm_seek(stream.get(), static_cast<ogg_int64_t>(firstFrame)) != 0) {
    giveUp();
    return 0;
  }
  unsigned char* out = static_cast<unsigned char*>(destination);
  uint32_t written = 0;
  int holes = 0;
  int weightsFor = -1;
  float leftWeights[256], rightWeights[256];
  while (written < wanted) {
    float** pcm = nullptr;
    int link = 0;
    long got = ov_read_float(stream.get(), &pcm, static_cast<int>(wanted - written), &link);
    if (got == OV_HOLE) {
      if (++holes <= kMaxHolesPerDecode) continue;
      break;
    }
    if (got < 0) {
      giveUp();
      break;
    }
    if (got == 0 || !pcm) break;
    vorbis_info* info = ov_info(stream.get(), link);
    int sourceChannels = info ? info->channels : 0;
    if (sourceChannels < 1 || sourceChannels > 255) break;
    uint32_t frames = static_cast<uint32_t>(got) < wanted - written ? static_cast<uint32_t>(got) : wanted - written;
    unsigned char* frameOut = out + static_cast<size_t>(written) * frameBytes;
    if (sourceChannels == 1 && outChannels == 1) {
      const float* mono = pcm[0];
      for (uint32_t f = 0; f < frames; ++f, frameOut += 2) storeSample(frameOut, mono[f]);
    } else if (sourceChannels == 2 && outChannels == 2) {
      const float* left = pcm[0];
      const float* right = pcm[1];
      for (uint32_t f = 0; f < frames; ++f, frameOut += 4) {
        storeSample(frameOut, left[f]);
        storeSample(frameOut + 2, right[f]);
      }
    } else {
      if (weightsFor != sourceChannels) {
        mixWeights(sourceChannels, outChannels, leftWeights, rightWeights);
        weightsFor = sourceChannels;
      }
      for (uint32_t f = 0; f < frames; ++f) {
        float mixLeft = 0.0f, mixRight = 0.0f;
        for (int c = 0; c < sourceChannels; ++c) {
          mixLeft += leftWeights[c] * pcm[c][f];
          if (outChannels == 2) mixRight += rightWeights[c] * pcm[c][f];
        }
        storeSample(frameOut + f * frameBytes, mixLeft);
        if (outChannels == 2) storeSample(frameOut + f * frameBytes + 2, mixRight);
      }
    }
    written += frames;
  }
  return written * frameBytes;
}

}  // namespace KR
