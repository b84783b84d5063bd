#include "theora_writer.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace KR {
namespace Tools {

namespace {

void appendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
  out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
}

void flushPages(ogg_stream_state& stream, std::string& out) {
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) > 0) appendPage(out, page);
}

void writePages(ogg_stream_state& stream, std::string& out) {
  ogg_page page;
  while (ogg_stream_pageout(&stream, &page) > 0) appendPage(out, page);
}

uint8_t clampByte(int value) { return uint8_t(value < 0 ? 0 : value > 255 ? 255 : value); }

}  // namespace

uint8_t frameIndexLuma(uint32_t index) { return uint8_t(16 + 8 * (index % 28)); }

uint32_t frameIndexFromLuma(uint8_t luma) {
  int step = (int(luma) - 16 + 4) / 8;
  if (step < 0) step = 0;
  if (step > 27) step = 27;
  return uint32_t(step);
}

YuvPicture makePicture(const TheoraClipSpec& spec, uint32_t index) {
  YuvPicture p;
  p.width = spec.width;
  p.height = spec.height;
  p.chromaWidth = spec.chroma == TheoraClipSpec::k444 ? spec.width : spec.width / 2;
  p.chromaHeight = spec.chroma == TheoraClipSpec::k420 ? spec.height / 2 : spec.height;
  p.y.assign(size_t(p.width) * p.height, spec.flatY);
  p.u.assign(size_t(p.chromaWidth) * p.chromaHeight, spec.flatU);
  p.v.assign(size_t(p.chromaWidth) * p.chromaHeight, spec.flatV);
  switch (spec.pattern) {
    case TheoraClipSpec::kFlat: break;
    case TheoraClipSpec::kFrameIndex: std::memset(p.y.data(), frameIndexLuma(index), p.y.size()); break;
    case TheoraClipSpec::kMoving: {
      // A diagonal luma ramp, chroma ramps along each axis and a bright block
      // that moves two pixels a frame.
      const uint32_t block = spec.width / 8 ? spec.width / 8 : 1;
      const uint32_t bx = (index * 2) % (spec.width > block ? spec.width - block : 1);
      const uint32_t by = spec.height / 3;
      for (uint32_t y = 0; y < p.height; ++y)
        for (uint32_t x = 0; x < p.width; ++x) {
          int value = int((x * 160) / p.width + (y * 60) / p.height) + 16;
          if (x >= bx && x < bx + block && y >= by && y < by + block) value = 235;
          p.y[size_t(y) * p.width + x] = clampByte(value);
        }
      for (uint32_t y = 0; y < p.chromaHeight; ++y)
        for (uint32_t x = 0; x < p.chromaWidth; ++x) {
          p.u[size_t(y) * p.chromaWidth + x] = clampByte(64 + int((x * 128) / p.chromaWidth));
          p.v[size_t(y) * p.chromaWidth + x] = clampByte(192 - int((y * 128) / p.chromaHeight) + int(index % 16));
        }
      break;
    }
  }
  return p;
}

std::string encodeTheora(const TheoraClipSpec& spec) {
  return encodeTheora(spec, [&spec](uint32_t index) { return makePicture(spec, index); });
}

std::string encodeTheora(const TheoraClipSpec& spec, const std::function<YuvPicture(uint32_t)>& picture) {
  if (spec.width == 0 || spec.height == 0 || spec.width % 16 || spec.height % 16) return std::string();
  if (spec.fpsNumerator == 0 || spec.fpsDenominator == 0) return std::string();

  th_info info;
  th_info_init(&info);
  info.frame_width = spec.width;
  info.frame_height = spec.height;
  info.pic_width = spec.width;
  info.pic_height = spec.height;
  info.pic_x = 0;
  info.pic_y = 0;
  info.fps_numerator = spec.fpsNumerator;
  info.fps_denominator = spec.fpsDenominator;
  info.aspect_numerator = 1;
  info.aspect_denominator = 1;
  info.colorspace = spec.colorspace == 1   ? TH_CS_ITU_REC_470M
                    : spec.colorspace == 2 ? TH_CS_ITU_REC_470BG
                                           : TH_CS_UNSPECIFIED;
  info.pixel_fmt = spec.chroma == TheoraClipSpec::k444   ? TH_PF_444
                   : spec.chroma == TheoraClipSpec::k422 ? TH_PF_422
                                                         : TH_PF_420;
  info.target_bitrate = 0;
  info.quality = spec.quality;
  uint32_t shift = 0;
  while ((1u << shift) < spec.keyframeInterval && shift < 31) ++shift;
  info.keyframe_granule_shift = int(shift);

  th_enc_ctx* encoder = th_encode_alloc(&info);
  th_info_clear(&info);
  if (!encoder) return std::string();

  ogg_stream_state stream;
  ogg_stream_init(&stream, spec.serial);
  std::string out;

  th_comment comment;
  th_comment_init(&comment);
  for (const std::string& text : spec.comments) th_comment_add(&comment, const_cast<char*>(text.c_str()));
  ogg_packet packet;
  bool ok = true;
  // The first header goes alone on the first page; the other two follow.
  int result = th_encode_flushheader(encoder, &comment, &packet);
  if (result <= 0) ok = false;
  if (ok) {
    ogg_stream_packetin(&stream, &packet);
    flushPages(stream, out);
    for (;;) {
      result = th_encode_flushheader(encoder, &comment, &packet);
      if (result < 0) ok = false;
      if (result <= 0) break;
      ogg_stream_packetin(&stream, &packet);
    }
    flushPages(stream, out);
  }
  th_comment_clear(&comment);

  for (uint32_t index = 0; ok && index < spec.frames; ++index) {
    YuvPicture p = picture(index);
    th_ycbcr_buffer buffer;
    buffer[0].width = int(p.width);
    buffer[0].height = int(p.height);
    buffer[0].stride = int(p.width);
    buffer[0].data = p.y.data();
    for (int plane = 1; plane < 3; ++plane) {
      buffer[plane].width = int(p.chromaWidth);
      buffer[plane].height = int(p.chromaHeight);
      buffer[plane].stride = int(p.chromaWidth);
    }
    buffer[1].data = p.u.data();
    buffer[2].data = p.v.data();
    if (th_encode_ycbcr_in(encoder, buffer) != 0) {
      ok = false;
      break;
    }
    const bool last = index + 1 == spec.frames;
    while ((result = th_encode_packetout(encoder, last ? 1 : 0, &packet)) > 0) {
      ogg_stream_packetin(&stream, &packet);
      writePages(stream, out);
    }
    if (result < 0) ok = false;
  }
  if (ok) flushPages(stream, out);
  ogg_stream_clear(&stream);
  th_encode_free(encoder);
  return ok ? out : std::string();
}

std::vector<std::string> splitOggPages(const std::string& ogg) {
  std::vector<std::string> pages;
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, long(ogg.size()));
  std::memcpy(buffer, ogg.data(), ogg.size());
  ogg_sync_wrote(&sync, long(ogg.size()));
  ogg_page page;
  for (;;) {
    int r = ogg_sync_pageout(&sync, &page);
    if (r == 0) break;
    if (r < 0) continue;
    std::string bytes(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
    bytes.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
    pages.push_back(bytes);
  }
  ogg_sync_clear(&sync);
  return pages;
}

YuvPicture makeDemoMoviePicture(const TheoraClipSpec& spec, uint32_t index) {
  YuvPicture p = makePicture(spec, index);
  // A black band along the foot, where the subtitles stand (the lowest eighth): light letters on a dark ground.
  const uint32_t top = p.height - p.height / 8;
  std::fill(p.y.begin() + ptrdiff_t(size_t(top) * p.width), p.y.end(), uint8_t(16));
  const uint32_t chromaTop = uint32_t(uint64_t(top) * p.chromaHeight / p.height);
  std::fill(p.u.begin() + ptrdiff_t(size_t(chromaTop) * p.chromaWidth), p.u.end(), uint8_t(128));
  std::fill(p.v.begin() + ptrdiff_t(size_t(chromaTop) * p.chromaWidth), p.v.end(), uint8_t(128));
  return p;
}

TheoraClipSpec demoMovieSpec() {
  TheoraClipSpec spec;
  spec.width = 640;
  spec.height = 480;
  spec.fpsNumerator = 24;
  spec.fpsDenominator = 1;
  spec.frames = 24 * 6;
  spec.quality = 40;
  spec.colorspace = 2;
  spec.comments = {"TITLE=Quellmoor intro"};
  return spec;
}

std::vector<std::pair<std::string, std::string>> makeFuzzSeeds() {
  std::vector<std::pair<std::string, std::string>> seeds;
  TheoraClipSpec small;
  small.width = 32;
  small.height = 32;
  small.frames = 6;
  small.quality = 10;
  small.keyframeInterval = 4;
  small.comments = {"ARTIST=seed", "TITLE=small"};
  const std::string clip = encodeTheora(small);
  seeds.push_back({"small_420.ogv", clip});

  TheoraClipSpec wide = small;
  wide.width = 48;
  wide.height = 16;
  wide.fpsNumerator = 30000;
  wide.fpsDenominator = 1001;
  wide.colorspace = 1;
  seeds.push_back({"ntsc_rate.ogv", encodeTheora(wide)});

  TheoraClipSpec full = small;
  full.chroma = TheoraClipSpec::k444;
  seeds.push_back({"chroma_444.ogv", encodeTheora(full)});
  TheoraClipSpec half = small;
  half.chroma = TheoraClipSpec::k422;
  seeds.push_back({"chroma_422.ogv", encodeTheora(half)});

  seeds.push_back({"truncated.ogv", clip.substr(0, clip.size() * 2 / 3)});
  std::vector<std::string> pages = splitOggPages(clip);
  if (pages.size() > 2) seeds.push_back({"headers_only.ogv", pages[0] + pages[1]});
  std::string damaged = clip;
  for (size_t i = damaged.size() / 2; i < damaged.size(); i += 13) damaged[i] = char(damaged[i] ^ 0x3C);
  seeds.push_back({"damaged.ogv", damaged});

  // Two clips with different serial numbers multiplexed page by page: the
  // reader keeps to the first Theora stream.
  TheoraClipSpec other = small;
  other.serial = 7;
  other.pattern = TheoraClipSpec::kFlat;
  std::vector<std::string> second = splitOggPages(encodeTheora(other));
  std::string muxed;
  // Beginning pages first, as a multiplexed file must have them.
  if (!pages.empty() && !second.empty()) {
    muxed = pages[0] + second[0];
    for (size_t i = 1; i < pages.size() || i < second.size(); ++i) {
      if (i < pages.size()) muxed += pages[i];
      if (i < second.size()) muxed += second[i];
    }
    seeds.push_back({"two_streams.ogv", muxed});
  }
  seeds.push_back({"not_ogg.ogv", std::string("this is not an Ogg file at all, only text")});
  return seeds;
}

bool writeClipFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace Tools
}  // namespace KR
