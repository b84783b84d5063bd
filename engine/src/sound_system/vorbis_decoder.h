#pragma once
// An Ogg Vorbis file held in memory and decoded on request into 16-bit signed
// little-endian interleaved samples, mono or stereo. vorbisfile reads the
// memory through the callbacks below, never through the C library's files.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OggVorbis_File;

namespace KR {

// The memory a decoder reads from, and the read position in it.
struct VorbisMemorySource {
  const unsigned char* data = nullptr;
  size_t size = 0;
  size_t position = 0;
};

class VorbisDecoder {
 public:
  // Sample frames per span of a sound and the bytes such a span takes at most
  // once decoded (two channels of 16 bits): the decode area of every span.
  static constexpr uint32_t kSpanFrames = 8192;
  static constexpr uint32_t kSpanBytes = kSpanFrames * 2 * 2;

  VorbisDecoder();
  ~VorbisDecoder();
  VorbisDecoder(const VorbisDecoder&) = delete;
  VorbisDecoder& operator=(const VorbisDecoder&) = delete;

  // Reads the file (package "default") through the file system and opens it.
  // A missing file logs "WARNING. Sound not found <name>"; a file that is not a
  // readable Vorbis stream is refused with a warning as well.
  bool open(const std::string& name);
  // Opens a stream already in memory; the decoder keeps the bytes.
  bool openMemory(std::vector<unsigned char> bytes, const std::string& name);
  // Clears vorbisfile's state and frees the file data.
  void close();

  // Decodes frameCount frames from firstFrame on into destination, writing at
  // most destinationBytes; returns the bytes written (whole frames of
  // getOutputChannels() 16-bit samples). Streams of more than two channels are
  // mixed down to stereo; a chained stream whose links differ in layout is
  // converted link by link to the layout of the first. A stream that fails to
  // seek or decode is given up ("WARNING. Sound stream is damaged <name>"):
  // it decodes nothing from then on, its layout and length stay known.
  uint32_t decode(uint32_t firstFrame, uint32_t frameCount, void* destination, uint32_t destinationBytes);

  bool isOpen() const { return opened; }
  // Channels of the stream's first link.
  int32_t getChannels() const { return channels; }
  // 1 for mono, 2 for anything else.
  int32_t getOutputChannels() const { return channels == 1 ? 1 : 2; }
  int32_t getSampleRate() const { return sampleRate; }
  // Sample frames of all links together.
  int32_t getTotalFrames() const { return totalFrames; }

  // vorbisfile's callbacks over a VorbisMemorySource.
  static size_t readCallback(void* destination, size_t elementSize, size_t elementCount, void* source);
  static int seekCallback(void* source, int64_t offset, int whence);
  static int closeCallback(void* source);
  static long tellCallback(void* source);

 private:
  void giveUp();

  std::unique_ptr<OggVorbis_File> stream;
  std::string streamName;
  bool opened = false;
  VorbisMemorySource source;
  int32_t channels = 0;
  int32_t sampleRate = 0;
  int32_t totalFrames = 0;
  std::vector<unsigned char> fileData;
};

}  // namespace KR
