#include "video_surface_decoder.h"

#include <cstddef>
#include <cstring>

#include "file_system.h"
#include "log_system.h"

namespace KR {

namespace {

// The chroma's share of each channel, in integers: the products of at most
// 226 x 128 fit 16 bits, and the arithmetic shift rounds negative ones towards
// minus infinity. Plain 16-bit arithmetic, so that the frame loop below
// becomes vector code.
struct ChromaTerms {
  int16_t red, green, blue;
};

inline ChromaTerms chromaTerms(uint8_t cb, uint8_t cr) {
  const int16_t u = int16_t(cb - 128);
  const int16_t v = int16_t(cr - 128);
  return {int16_t((175 * v) >> 7), int16_t(((44 * u) >> 7) + ((91 * v) >> 7)), int16_t((226 * u) >> 7)};
}

inline uint8_t clampByte(int value) { return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value); }

// One opaque pixel as the little-endian word of its four bytes R, G, B, A
// (byte 0 is the lowest).
inline uint32_t pack(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16 | 0xFF000000u; }

inline const uint8_t* row(const uint8_t* base, int stride, uint32_t index) {
  return base + std::ptrdiff_t(stride) * std::ptrdiff_t(index);
}

}  // namespace

void yuvToRgb(uint8_t y, uint8_t u, uint8_t v, uint8_t* rgb) {
  const ChromaTerms c = chromaTerms(u, v);
  rgb[0] = clampByte(y + c.red);
  rgb[1] = clampByte(y - c.green);
  rgb[2] = clampByte(y + c.blue);
}

// Plain loops over a row's chroma pairs, which the compiler turns into vector
// code.
void convertFrameToRgba(const YuvFrameView& frame, uint8_t* rgba) {
  const uint32_t pairs = frame.width / 2;
  for (uint32_t y = 0; y < frame.height; ++y) {
    const uint8_t* __restrict luma = row(frame.y, frame.yStride, y);
    const uint8_t* __restrict cb = row(frame.u, frame.uvStride, y / 2);
    const uint8_t* __restrict cr = row(frame.v, frame.uvStride, y / 2);
    uint32_t* __restrict out = reinterpret_cast<uint32_t*>(rgba + std::size_t(y) * frame.width * 4);
    for (uint32_t x = 0; x < pairs; ++x) {
      const ChromaTerms c = chromaTerms(cb[x], cr[x]);
      const int16_t l0 = luma[x * 2];
      const int16_t l1 = luma[x * 2 + 1];
      out[x * 2] = pack(clampByte(l0 + c.red), clampByte(l0 - c.green), clampByte(l0 + c.blue));
      out[x * 2 + 1] = pack(clampByte(l1 + c.red), clampByte(l1 - c.green), clampByte(l1 + c.blue));
    }
    if (frame.width % 2) {
      const uint32_t x = frame.width - 1;
      uint8_t rgb[3];
      yuvToRgb(luma[x], cb[x / 2], cr[x / 2], rgb);
      out[x] = pack(rgb[0], rgb[1], rgb[2]);
    }
  }
}

void copyFramePlanes(const YuvFrameView& frame, uint8_t* yPlane, uint8_t* uvPlane) {
  for (uint32_t y = 0; y < frame.height; ++y)
    std::memcpy(yPlane + std::size_t(y) * frame.width, row(frame.y, frame.yStride, y), frame.width);
  // The width is read once (the byte stores below could alias it) and the
  // index is pointer-sized (a 32-bit x * 2 may wrap): either would keep the
  // interleaving loop from becoming vector code.
  const uint32_t chromaWidth = frame.chromaWidth;
  for (uint32_t y = 0; y < frame.chromaHeight; ++y) {
    const uint8_t* __restrict cb = row(frame.u, frame.uvStride, y);
    const uint8_t* __restrict cr = row(frame.v, frame.uvStride, y);
    uint8_t* __restrict out = uvPlane + std::size_t(y) * chromaWidth * 2;
    for (std::size_t x = 0; x < chromaWidth; ++x) {
      out[x * 2] = cb[x];
      out[x * 2 + 1] = cr[x];
    }
  }
}

VideoStreamDecoder::VideoStreamDecoder() {
  std::memset(&stream, 0, sizeof stream);
  std::memset(&sync, 0, sizeof sync);
  std::memset(&page, 0, sizeof page);
  std::memset(&packet, 0, sizeof packet);
  std::memset(&comment, 0, sizeof comment);
  std::memset(&info, 0, sizeof info);
  std::memset(&state, 0, sizeof state);
}

VideoStreamDecoder::~VideoStreamDecoder() { close(); }

int VideoStreamDecoder::readChunk() {
  if (!file) return 0;
  char* buffer = ogg_sync_buffer(&sync, kChunkSize);
  if (!buffer) return 0;
  const int bytes = file->read(buffer, kChunkSize);
  if (bytes <= 0) return 0;
  ogg_sync_wrote(&sync, bytes);
  return bytes;
}

int VideoStreamDecoder::open(File* source) {
  close();
  if (!source) return 1;
  file = source;
  ogg_sync_init(&sync);
  syncReady = true;
  theora_info_init(&info);
  theora_comment_init(&comment);
  headerReady = true;

  // Header search: every stream begins with a page of its own; the first
  // whose first packet is a Theora header is the one we play.
  int headers = 0;
  bool searching = true;
  while (searching) {
    if (readChunk() == 0) {
      close();
      return 1;
    }
    while (ogg_sync_pageout(&sync, &page) > 0) {
      if (!ogg_page_bos(&page)) {
        if (streamReady) ogg_stream_pagein(&stream, &page);
        searching = false;
        break;
      }
      ogg_stream_state test;
      ogg_stream_init(&test, ogg_page_serialno(&page));
      ogg_stream_pagein(&test, &page);
      const bool gotPacket = ogg_stream_packetout(&test, &packet) == 1;
      if (!streamReady && gotPacket && theora_decode_header(&info, &comment, &packet) >= 0) {
        std::memcpy(&stream, &test, sizeof test);
        streamReady = true;
        headers = 1;
      } else {
        ogg_stream_clear(&test);
      }
    }
  }
  if (!streamReady) {
    log("VideoSurface: no Theora stream found");
    close();
    return 1;
  }

  // The comment and setup headers, from as many pages as they take.
  while (headers < 3) {
    int result;
    while (headers < 3 && (result = ogg_stream_packetout(&stream, &packet)) != 0) {
      if (result < 0 || theora_decode_header(&info, &comment, &packet) < 0) {
        log("VideoSurface: Error parsing Theora stream headers");
        close();
        return 1;
      }
      ++headers;
    }
    if (headers >= 3) break;
    if (ogg_sync_pageout(&sync, &page) > 0) {
      ogg_stream_pagein(&stream, &page);
    } else if (readChunk() == 0) {
      log("VideoSurface: End of file while searching for codec headers");
      close();
      return 1;
    }
  }

  // The planes are sized for 4:2:0 only; other layouts would be read out of
  // bounds, so such a stream is not played at all.
  if (info.pixelformat != OC_PF_420) {
    log("VideoSurface: only 4:2:0 video is supported (pixel format %d)", int(info.pixelformat));
    close();
    return 1;
  }
  if (info.width == 0 || info.height == 0 || info.width > kMaxFrameSide || info.height > kMaxFrameSide) {
    log("VideoSurface: frame size %ux%u is not supported", unsigned(info.width), unsigned(info.height));
    close();
    return 1;
  }
  if (info.fps_numerator == 0 || info.fps_denominator == 0) {
    log("VideoSurface: frame rate %u/%u is not supported", unsigned(info.fps_numerator),
        unsigned(info.fps_denominator));
    close();
    return 1;
  }

  if (theora_decode_init(&state, &info) != 0) {
    log("VideoSurface: Error parsing Theora stream headers");
    close();
    return 1;
  }
  decoderReady = true;
  logHeaderDetails();
  frameRate = float(uint32_t(info.fps_numerator)) / float(uint32_t(info.fps_denominator));
  return 0;
}

void VideoStreamDecoder::logHeaderDetails() {
  switch (info.colorspace) {
    case OC_CS_UNSPECIFIED: log("VideoSurface: colorspace not specified."); break;
    case OC_CS_ITU_REC_470M: log("VideoSurface: colorspace ITU Rec 470M (NTSC)"); break;
    case OC_CS_ITU_REC_470BG: log("VideoSurface: colorspace ITU Rec 470BG (PAL)"); break;
    default: log("VideoSurface: Warning! unknown colorspace specified"); break;
  }
  log("VideoSurface: dump comments");
  log("--BEGIN --");
  log("Vendor: %s", comment.vendor ? comment.vendor : "");
  for (int i = 0; i < comment.comments; ++i) {
    const int length = comment.comment_lengths ? comment.comment_lengths[i] : 0;
    if (comment.user_comments && comment.user_comments[i]) log("%.*s", length, comment.user_comments[i]);
  }
  log("--END --");
}

VideoStreamDecoder::Result VideoStreamDecoder::decodeFrame(YuvFrameView* frame) {
  if (!decoderReady) return kError;
  for (;;) {
    const int result = ogg_stream_packetout(&stream, &packet);
    if (result > 0) break;
    // A hole in the data (result < 0) is skipped: the next packet follows.
    if (result < 0) continue;
    // Pages already buffered come first: the last chunk of a file may hold
    // several, and nothing more will be read after it.
    if (ogg_sync_pageout(&sync, &page) > 0) {
      ogg_stream_pagein(&stream, &page);
      continue;
    }
    if (readChunk() == 0) return kEndOfFile;
  }
  if (theora_decode_packetin(&state, &packet) != 0) {
    log("VideoSurface: the decoder rejected a packet");
    return kError;
  }
  yuv_buffer buffer;
  std::memset(&buffer, 0, sizeof buffer);
  if (theora_decode_YUVout(&state, &buffer) != 0 || !buffer.y || !buffer.u || !buffer.v) {
    log("VideoSurface: the decoder gave no frame");
    return kError;
  }
  // The decoder's planes match the header it was made from; anything smaller
  // would be read out of bounds.
  if (uint32_t(buffer.y_width) < info.width || uint32_t(buffer.y_height) < info.height ||
      uint32_t(buffer.uv_width) < info.width / 2 || uint32_t(buffer.uv_height) < info.height / 2) {
    log("VideoSurface: the decoder gave a frame of %dx%d", buffer.y_width, buffer.y_height);
    return kError;
  }
  if (frame) {
    frame->y = buffer.y;
    frame->u = buffer.u;
    frame->v = buffer.v;
    frame->yStride = buffer.y_stride;
    frame->uvStride = buffer.uv_stride;
    frame->width = info.width;
    frame->height = info.height;
    frame->chromaWidth = info.width / 2;
    frame->chromaHeight = info.height / 2;
  }
  return kFrame;
}

void VideoStreamDecoder::close() {
  if (streamReady) ogg_stream_clear(&stream);
  if (decoderReady) theora_clear(&state);
  if (headerReady) {
    theora_comment_clear(&comment);
    theora_info_clear(&info);
  }
  if (syncReady) ogg_sync_clear(&sync);
  streamReady = syncReady = headerReady = decoderReady = false;
  std::memset(&stream, 0, sizeof stream);
  std::memset(&sync, 0, sizeof sync);
  std::memset(&comment, 0, sizeof comment);
  std::memset(&info, 0, sizeof info);
  std::memset(&state, 0, sizeof state);
  frameRate = 0.0f;
  file = nullptr;
}

}  // namespace KR
