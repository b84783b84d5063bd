#include "video_surface_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "theora_writer.h"
#include "video_test_support.h"

namespace {

using KR::VideoStreamDecoder;
using KR::YuvFrameView;
using KR::Test::MemoryFile;
using KR::Tools::TheoraClipSpec;

struct Rgb {
  int r, g, b;
};

Rgb convert(uint8_t y, uint8_t u, uint8_t v) {
  uint8_t out[3];
  KR::yuvToRgb(y, u, v, out);
  return {out[0], out[1], out[2]};
}

TEST(VideoColourConversion, GreyStaysGreyAndFullRedIsClamped) {
  Rgb grey = convert(128, 128, 128);
  EXPECT_EQ(grey.r, 128);
  EXPECT_EQ(grey.g, 128);
  EXPECT_EQ(grey.b, 128);
  Rgb red = convert(0, 128, 255);
  EXPECT_EQ(red.r, 173);
  EXPECT_EQ(red.g, 0);
  EXPECT_EQ(red.b, 0);
  // Negative table entries shift towards minus infinity: (226 x -128) >> 7 = -226.
  Rgb blueless = convert(255, 0, 128);
  EXPECT_EQ(blueless.b, 29);
  EXPECT_EQ(blueless.g, 255);
  // (44 x -1) >> 7 is -1, not 0.
  EXPECT_EQ(convert(100, 127, 128).g, 101);
}

// A 4 x 4 frame stored bottom-up (negative strides), as the decoder hands
// frames out: both outputs must come out top row first.
TEST(VideoColourConversion, FramesWithNegativeStridesComeOutTopFirst) {
  std::vector<uint8_t> y(16), u(4), v(4);
  for (int i = 0; i < 16; ++i) y[i] = uint8_t(i * 10);
  for (int i = 0; i < 4; ++i) {
    u[i] = uint8_t(100 + i);
    v[i] = uint8_t(200 + i);
  }
  // Row r of the view is stored at row 3 - r of the buffer.
  YuvFrameView view;
  view.y = y.data() + 12;
  view.yStride = -4;
  view.u = u.data() + 2;
  view.v = v.data() + 2;
  view.uvStride = -2;
  view.width = view.height = 4;
  view.chromaWidth = view.chromaHeight = 2;

  std::vector<uint8_t> yPlane(16), uvPlane(8);
  KR::copyFramePlanes(view, yPlane.data(), uvPlane.data());
  EXPECT_EQ(yPlane[0], 120);  // stored row 3
  EXPECT_EQ(yPlane[15], 30);  // stored row 0, last column
  const std::vector<uint8_t> expectedUv = {102, 202, 103, 203, 100, 200, 101, 201};
  EXPECT_EQ(uvPlane, expectedUv);

  std::vector<uint8_t> rgba(64);
  KR::convertFrameToRgba(view, rgba.data());
  // Pixel (3, 1): luma stored row 2 column 3 (Y 110), chroma (1, 0) stored
  // row 1 (U 103, V 203). Worked by hand: R = 110 + (175 x 75 >> 7) = 212,
  // G = 110 - (44 x -25 >> 7) - (91 x 75 >> 7) = 110 + 9 - 53 = 66,
  // B = 110 + (226 x -25 >> 7) = 110 - 45 = 65.
  const uint8_t* pixel = &rgba[(1 * 4 + 3) * 4];
  EXPECT_EQ(pixel[0], 212);
  EXPECT_EQ(pixel[1], 66);
  EXPECT_EQ(pixel[2], 65);
  EXPECT_EQ(pixel[3], 255);
}

// A frame wide enough for the conversion's vector loop, whose 2 x 2 cells of
// each chroma pair run through every U and V value against varied luma: each
// pixel of the whole-frame conversion must be the single-pixel conversion of
// its own Y and its cell's U and V (a swapped U and V, a wrong cell or row, or
// a pixel pair given one pixel's luma shows here).
TEST(VideoColourConversion, WholeFramesMatchTheSinglePixelConversion) {
  const uint32_t width = 512, height = 4, chromaWidth = width / 2, chromaHeight = height / 2;
  std::vector<uint8_t> y(width * height), u(chromaWidth * chromaHeight), v(chromaWidth * chromaHeight);
  for (uint32_t i = 0; i < y.size(); ++i) y[i] = uint8_t(i * 37 + i / width * 11);
  for (uint32_t i = 0; i < u.size(); ++i) {
    u[i] = uint8_t(i);
    v[i] = uint8_t(255 - i * 3);
  }
  YuvFrameView view;
  view.y = y.data();
  view.yStride = int(width);
  view.u = u.data();
  view.v = v.data();
  view.uvStride = int(chromaWidth);
  view.width = width;
  view.height = height;
  view.chromaWidth = chromaWidth;
  view.chromaHeight = chromaHeight;
  std::vector<uint8_t> rgba(width * height * 4);
  KR::convertFrameToRgba(view, rgba.data());
  int wrong = 0;
  for (uint32_t row = 0; row < height; ++row)
    for (uint32_t x = 0; x < width; ++x) {
      const size_t c = (row / 2) * chromaWidth + x / 2;
      const Rgb want = convert(y[row * width + x], u[c], v[c]);
      const uint8_t* got = &rgba[(row * width + x) * 4];
      if (got[0] != want.r || got[1] != want.g || got[2] != want.b || got[3] != 255)
        if (++wrong <= 3) ADD_FAILURE() << "pixel (" << x << ", " << row << ")";
    }
  EXPECT_EQ(wrong, 0);
}

int decodeAll(VideoStreamDecoder& decoder, VideoStreamDecoder::Result* last, int limit = 10000) {
  int frames = 0;
  YuvFrameView frame;
  for (;;) {
    *last = decoder.decodeFrame(&frame);
    if (*last != VideoStreamDecoder::kFrame || frames >= limit) return frames;
    ++frames;
  }
}

TEST(VideoStreamDecoder, ReadsHeadersAndEveryFrameThenTheEnd) {
  KR::Test::LogCapture logs;
  TheoraClipSpec spec;
  spec.width = 80;
  spec.height = 48;
  spec.fpsNumerator = 30000;
  spec.fpsDenominator = 1001;
  spec.frames = 40;
  spec.colorspace = 2;
  spec.comments = {"TITLE=test clip"};
  MemoryFile file(KR::Tools::encodeTheora(spec));
  VideoStreamDecoder decoder;
  ASSERT_EQ(decoder.open(&file), 0);
  EXPECT_EQ(decoder.getWidth(), 80u);
  EXPECT_EQ(decoder.getHeight(), 48u);
  EXPECT_FLOAT_EQ(decoder.getFrameRate(), 30000.0f / 1001.0f);
  EXPECT_TRUE(logs.contains("VideoSurface: colorspace ITU Rec 470BG (PAL)"));
  EXPECT_TRUE(logs.contains("VideoSurface: dump comments"));
  EXPECT_TRUE(logs.contains("TITLE=test clip"));
  EXPECT_TRUE(logs.contains("--END --"));

  VideoStreamDecoder::Result last;
  EXPECT_EQ(decodeAll(decoder, &last), 40);
  EXPECT_EQ(last, VideoStreamDecoder::kEndOfFile);
  decoder.close();
  decoder.close();
  EXPECT_FALSE(decoder.isOpen());
}

TEST(VideoStreamDecoder, FrameIndexPatternSurvivesEncoding) {
  KR::Test::LogCapture logs;
  TheoraClipSpec spec;
  spec.frames = 30;
  spec.pattern = TheoraClipSpec::kFrameIndex;
  MemoryFile file(KR::Tools::encodeTheora(spec));
  VideoStreamDecoder decoder;
  ASSERT_EQ(decoder.open(&file), 0);
  YuvFrameView frame;
  for (uint32_t i = 0; i < spec.frames; ++i) {
    ASSERT_EQ(decoder.decodeFrame(&frame), VideoStreamDecoder::kFrame) << "frame " << i;
    EXPECT_EQ(KR::Tools::frameIndexFromLuma(frame.y[frame.yStride * 10 + 10]), i % 28) << "frame " << i;
  }
}

// The planes are sized for 4:2:0: other layouts, and headers the surface
// cannot use, leave the file unplayed with a log line.
TEST(VideoStreamDecoder, RefusesWhatItCannotPlay) {
  KR::Test::LogCapture logs;
  TheoraClipSpec full;
  full.chroma = TheoraClipSpec::k444;
  full.frames = 2;
  MemoryFile fullFile(KR::Tools::encodeTheora(full));
  VideoStreamDecoder decoder;
  EXPECT_EQ(decoder.open(&fullFile), 1);
  EXPECT_TRUE(logs.contains("VideoSurface: only 4:2:0 video is supported"));

  TheoraClipSpec half = full;
  half.chroma = TheoraClipSpec::k422;
  MemoryFile halfFile(KR::Tools::encodeTheora(half));
  EXPECT_EQ(decoder.open(&halfFile), 1);

  MemoryFile text(std::string("plain text, no Ogg pages in here"));
  EXPECT_EQ(decoder.open(&text), 1);
  MemoryFile empty{std::string()};
  EXPECT_EQ(decoder.open(&empty), 1);
  EXPECT_EQ(decoder.open(nullptr), 1);
  EXPECT_FALSE(decoder.isOpen());
}

TEST(VideoStreamDecoder, EarlyEndsAndDamage) {
  KR::Test::LogCapture logs;
  TheoraClipSpec spec;
  spec.width = 48;
  spec.height = 32;
  spec.frames = 30;
  spec.keyframeInterval = 8;
  const std::string whole = KR::Tools::encodeTheora(spec);
  const std::vector<std::string> pages = KR::Tools::splitOggPages(whole);
  ASSERT_GE(pages.size(), 3u);

  VideoStreamDecoder decoder;
  // Only the first header page: the end comes before the other headers.
  MemoryFile firstPage(pages[0]);
  EXPECT_EQ(decoder.open(&firstPage), 1);
  // Headers only: opens, then ends at once.
  MemoryFile headers(pages[0] + pages[1]);
  ASSERT_EQ(decoder.open(&headers), 0);
  VideoStreamDecoder::Result last;
  EXPECT_EQ(decodeAll(decoder, &last), 0);
  EXPECT_EQ(last, VideoStreamDecoder::kEndOfFile);

  // Cut in the middle: fewer frames, then the end.
  MemoryFile cut(
      whole.substr(0, pages[0].size() + pages[1].size() + (whole.size() - pages[0].size() - pages[1].size()) / 2));
  ASSERT_EQ(decoder.open(&cut), 0);
  const int frames = decodeAll(decoder, &last);
  EXPECT_LT(frames, 30);
  EXPECT_NE(last, VideoStreamDecoder::kFrame);

  // Bytes flipped all over the picture data: the stream ends one way or the
  // other, never hangs, never reads outside the planes.
  std::string damaged = whole;
  for (size_t i = pages[0].size() + pages[1].size() + 40; i < damaged.size(); i += 11)
    damaged[i] = char(damaged[i] ^ 0xA5);
  MemoryFile broken(damaged);
  if (decoder.open(&broken) == 0) {
    decodeAll(decoder, &last);
    EXPECT_NE(last, VideoStreamDecoder::kFrame);
  }
}

TEST(VideoStreamDecoder, KeepsToTheFirstTheoraStreamOfAMultiplexedFile) {
  KR::Test::LogCapture logs;
  std::string muxed;
  for (const auto& seed : KR::Tools::makeFuzzSeeds())
    if (seed.first == "two_streams.ogv") muxed = seed.second;
  ASSERT_FALSE(muxed.empty());
  MemoryFile file(muxed);
  VideoStreamDecoder decoder;
  ASSERT_EQ(decoder.open(&file), 0);
  VideoStreamDecoder::Result last;
  EXPECT_EQ(decodeAll(decoder, &last), 6);
  EXPECT_EQ(last, VideoStreamDecoder::kEndOfFile);
}

}  // namespace
