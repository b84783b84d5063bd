#pragma once
// The Ogg Theora reading path of a video surface: header search over a
// content file read in 4096-byte chunks, the three Theora headers, then one
// decoded frame at a time, plus the two ways a frame leaves the decoder
// (packed Y and interleaved UV planes for the graphics card, or RGBA converted
// here). No textures and no locks: the surface wraps this in its own.
//
//   VideoStreamDecoder decoder;
//   if (decoder.open(file) == 0)
//     while (decoder.decodeFrame(&frame) == VideoStreamDecoder::kFrame) ...
//   decoder.close();
#include <ogg/ogg.h>
#include <theora/theora.h>

#include <cstdint>

namespace KR {

class File;

// One decoded frame as the decoder holds it. Strides may be negative (rows
// are reached as base + row x stride); the planes live until the next decode.
struct YuvFrameView {
  const uint8_t* y = nullptr;
  const uint8_t* u = nullptr;
  const uint8_t* v = nullptr;
  int yStride = 0;
  int uvStride = 0;
  uint32_t width = 0;  // luma size
  uint32_t height = 0;
  uint32_t chromaWidth = 0;  // width / 2 and height / 2 for 4:2:0
  uint32_t chromaHeight = 0;
};

// The CPU colour conversion: four tables of T_k[i] = (k x (i - 128)) >> 7
// for k = 175, 44, 91, 226; R = Y + T175[V], G = Y - T44[U] - T91[V],
// B = Y + T226[U], each clamped to 0..255, alpha 255.
void yuvToRgb(uint8_t y, uint8_t u, uint8_t v, uint8_t* rgb);
// Converts a whole frame into rows of width x 4 bytes R, G, B, 255.
void convertFrameToRgba(const YuvFrameView& frame, uint8_t* rgba);
// Copies a frame into a packed Y plane (width x height bytes) and an
// interleaved UV plane (chromaWidth x chromaHeight x 2 bytes: U then V).
void copyFramePlanes(const YuvFrameView& frame, uint8_t* yPlane, uint8_t* uvPlane);

class VideoStreamDecoder {
 public:
  enum Result { kFrame = 0, kEndOfFile = 1, kError = 2 };

  // Larger frames are refused: they would not fit a texture anyway, and a
  // damaged header must not make the decoder allocate gigabytes.
  static constexpr uint32_t kMaxFrameSide = 4096;
  static constexpr int kChunkSize = 4096;

  VideoStreamDecoder();
  ~VideoStreamDecoder();
  VideoStreamDecoder(const VideoStreamDecoder&) = delete;
  VideoStreamDecoder& operator=(const VideoStreamDecoder&) = delete;

  // Reads the headers from the file (not owned; read until close) and makes
  // the decoder. 0 on success, 1 when the file holds no usable Theora
  // stream: no stream, a damaged header, an early end, a chroma layout other
  // than 4:2:0, a zero frame rate or an unsupported frame size.
  int open(File* file);
  // Decodes the next frame into `frame`. kEndOfFile when the file ends,
  // kError when a packet or frame output is rejected.
  Result decodeFrame(YuvFrameView* frame);
  // Frees the Ogg and Theora state; safe to call more than once.
  void close();

  bool isOpen() const { return decoderReady; }
  // The header's full (encoded) frame size, which the planes use.
  uint32_t getWidth() const { return info.width; }
  uint32_t getHeight() const { return info.height; }
  float getFrameRate() const { return frameRate; }
  const theora_info& getInfo() const { return info; }

 private:
  // Reads one chunk into the sync layer; the number of bytes read (0 at the
  // end or on a read error).
  int readChunk();
  void logHeaderDetails();

  File* file = nullptr;
  ogg_stream_state stream;
  ogg_sync_state sync;
  ogg_page page;
  ogg_packet packet;
  theora_comment comment;
  theora_info info;
  theora_state state;
  float frameRate = 0.0f;
  bool streamReady = false;
  bool syncReady = false;
  bool headerReady = false;
  bool decoderReady = false;
};

}  // namespace KR
