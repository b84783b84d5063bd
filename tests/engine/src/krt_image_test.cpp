#include "krt_image.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine_allocators.h"
#include "image_maker.h"
#include "image_test_content.h"
#include "krt_writer.h"
#include "support/test_support.h"

namespace {

void putLE32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> krtHeader(uint32_t format, uint32_t width, uint32_t height, uint32_t payload) {
  std::vector<uint8_t> file = {'K', 'R', 'T', '.'};
  putLE32(file, format);
  putLE32(file, width);
  putLE32(file, height);
  putLE32(file, payload);
  return file;
}

std::vector<uint8_t> pixelsOf(KR::KRTImage& image) {
  return std::vector<uint8_t>(image.getData(), image.getData() + image.getDataSize());
}

class KRTImageTest : public ::testing::Test {
 protected:
  KRTImageTest() { allocators.init(); }
  KR::Test::LogCapture log;
  KR::EngineAllocators allocators;
};

}  // namespace

TEST_F(KRTImageTest, OneRgbaTileFillsThePictureRowByRow) {
  std::vector<uint8_t> file = krtHeader(2, 4, 8, 128);
  for (int i = 0; i < 128; ++i) file.push_back(static_cast<uint8_t>(i));
  KR::KRTImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
  EXPECT_EQ(image.format, KR::IF_RGBA);
  EXPECT_EQ(image.getWidth(), 4u);
  EXPECT_EQ(image.getHeight(), 8u);
  EXPECT_EQ(image.getPitch(), 4u);
  EXPECT_EQ(image.getDataSize(), 128u);
  EXPECT_EQ(pixelsOf(image), std::vector<uint8_t>(file.begin() + 20, file.end()));
}

TEST_F(KRTImageTest, RgbaTilesFollowInRowMajorTileOrder) {
  // 8x16: tiles 0 and 1 side by side on top, tiles 2 and 3 below. Each pixel
  // carries its tile number and its place in the tile.
  std::vector<uint8_t> file = krtHeader(2, 8, 16, 8 * 16 * 4);
  for (int tile = 0; tile < 4; ++tile)
    for (int i = 0; i < 32; ++i) file.insert(file.end(), {uint8_t(tile), uint8_t(i), 0, 255});
  KR::KRTImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 8; ++x) {
      const uint8_t* p = image.getData() + (y * 8 + x) * 4;
      EXPECT_EQ(p[0], (y / 8) * 2 + x / 4) << x << "," << y;
      EXPECT_EQ(p[1], (y % 8) * 4 + x % 4) << x << "," << y;
    }
}

TEST_F(KRTImageTest, PalettedTilesExpandThroughThePalette) {
  // 32x8: two tiles of 16x8; indices 0..127 fill columns 0..15, 128..255 columns 16..31.
  std::vector<uint8_t> file = krtHeader(3, 32, 8, 1024 + 256);
  for (int i = 0; i < 256; ++i)
    file.insert(file.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i ^ 0x5A), uint8_t(i / 3)});
  for (int i = 0; i < 256; ++i) file.push_back(static_cast<uint8_t>(i));
  KR::KRTImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
  EXPECT_EQ(image.getDataSize(), 32u * 8 * 4);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 32; ++x) {
      const uint32_t index = (x / 16) * 128 + y * 16 + x % 16;
      const uint8_t* p = image.getData() + (y * 32 + x) * 4;
      // The palette entry's four bytes, unchanged.
      EXPECT_EQ(std::vector<uint8_t>(p, p + 4), std::vector<uint8_t>(&file[20 + index * 4], &file[24 + index * 4]));
    }
  // Index 255 is the last palette entry.
  const uint8_t* last = image.getData() + (7 * 32 + 31) * 4;
  EXPECT_EQ(last[0], 255);
  EXPECT_EQ(last[1], 0);
}

TEST_F(KRTImageTest, RoundTripThroughTheWriter) {
  std::string error;
  std::vector<uint8_t> file;
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(64, 32, 1);
  ASSERT_TRUE(KR::Tools::encodeKrtRgba(picture, file, error)) << error;
  KR::KRTImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
  EXPECT_EQ(pixelsOf(image), picture.pixels);

  // Format 3 needs at most 256 colours: a picture of 16 distinct ones.
  KR::Tools::RgbaPicture few;
  few.width = 48;
  few.height = 24;
  for (uint32_t i = 0; i < few.width * few.height; ++i)
    few.pixels.insert(few.pixels.end(), {uint8_t(i % 16 * 16), uint8_t(i / 7 % 4), 9, uint8_t(i % 3 * 100)});
  ASSERT_TRUE(KR::Tools::encodeKrtPalettedFromRgba(few, file, error)) << error;
  EXPECT_EQ(file.size(), 20u + 1024 + 48 * 24);
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
  EXPECT_EQ(pixelsOf(image), few.pixels);

  // Sizes off the tile grid and too many colours are the writer's errors.
  EXPECT_FALSE(KR::Tools::encodeKrtRgba(KR::Tools::makeDemoPicture(6, 8, 0), file, error));
  EXPECT_FALSE(KR::Tools::encodeKrtPalettedFromRgba(KR::Tools::makeDemoPicture(16, 12, 0), file, error));
  EXPECT_FALSE(KR::Tools::encodeKrtPalettedFromRgba(KR::Tools::makeDemoPicture(64, 64, 0), file, error));
  EXPECT_EQ(error, "picture has more than 256 colours");
}

TEST_F(KRTImageTest, PayloadsThatDoNotMatchTheHeaderAreRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> header;
    size_t payloadBytes;
  };
  const std::vector<Case> cases = {
      {"payload field too small", krtHeader(2, 4, 8, 100), 128},
      {"payload field too large", krtHeader(2, 4, 8, 200), 200},
      {"width off the tiles", krtHeader(2, 6, 8, 6 * 8 * 4), 6 * 8 * 4},
      {"height off the tiles", krtHeader(2, 4, 6, 4 * 6 * 4), 4 * 6 * 4},
      {"paletted width off the tiles", krtHeader(3, 8, 8, 1024 + 64), 1024 + 64},
      {"zero size", krtHeader(2, 0, 8, 0), 0},
      {"huge", krtHeader(2, 0x40000000, 8, 0), 0},
      {"payload missing", krtHeader(2, 4, 8, 128), 127},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> file(c.header);
    file.resize(file.size() + c.payloadBytes, 7);
    KR::KRTImage image;
    EXPECT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Refused);
    EXPECT_EQ(image.getData(), nullptr);
    EXPECT_EQ(image.getWidth(), 0u);
  }
  // Every truncation of a good file is refused (or not a KRT at all).
  std::string error;
  std::vector<uint8_t> good;
  ASSERT_TRUE(KR::Tools::encodeKrtRgba(KR::Tools::makeDemoPicture(8, 8, 0), good, error));
  for (size_t length = 0; length < good.size(); ++length) {
    std::vector<uint8_t> prefix(good.begin(), good.begin() + length);
    KR::KRTImage image;
    EXPECT_EQ(image.loadFromMemory(prefix.data(), prefix.size()),
              length < 20 ? KR::KRTImage::Result::NotKrt : KR::KRTImage::Result::Refused);
  }
  std::vector<uint8_t> format7 = krtHeader(7, 4, 8, 128);
  format7.resize(format7.size() + 128);
  KR::KRTImage image;
  EXPECT_EQ(image.loadFromMemory(format7.data(), format7.size()), KR::KRTImage::Result::BadFormat);
  EXPECT_EQ(allocators.getStackAllocator()->getUsed(), 0u);
}

TEST_F(KRTImageTest, PayloadMustFitTheScratchArena) {
  KR::StackAllocator* stack = allocators.getStackAllocator();
  // 256x512 RGBA is exactly the arena's 512 KB.
  std::vector<uint8_t> exact = krtHeader(2, 256, 512, KR::StackAllocator::kCapacity);
  exact.resize(exact.size() + KR::StackAllocator::kCapacity, 3);
  KR::KRTImage image;
  EXPECT_EQ(image.loadFromMemory(exact.data(), exact.size()), KR::KRTImage::Result::Ok);
  EXPECT_EQ(stack->getUsed(), 0u);

  std::vector<uint8_t> larger = krtHeader(2, 260, 512, 260 * 512 * 4);
  larger.resize(larger.size() + 260 * 512 * 4, 3);
  EXPECT_EQ(image.loadFromMemory(larger.data(), larger.size()), KR::KRTImage::Result::TooLarge);
  EXPECT_EQ(image.getData(), nullptr);

  // With a byte of the arena taken, the exact fit no longer fits.
  KR::StackAllocatorScope held(*stack);
  ASSERT_NE(held.allocate(1), nullptr);
  EXPECT_EQ(image.loadFromMemory(exact.data(), exact.size()), KR::KRTImage::Result::TooLarge);
  EXPECT_EQ(stack->getUsed(), 1u);
}

TEST_F(KRTImageTest, LoadsOnSeveralThreadsAtOnce) {
  std::string error;
  std::vector<std::vector<uint8_t>> files(4);
  std::vector<KR::Tools::RgbaPicture> pictures;
  for (uint32_t i = 0; i < files.size(); ++i) {
    pictures.push_back(KR::Tools::makeDemoPicture(128, 128, i));
    ASSERT_TRUE(KR::Tools::encodeKrtRgba(pictures[i], files[i], error));
  }
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (size_t t = 0; t < files.size(); ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round) {
        KR::KRTImage image;
        if (image.loadFromMemory(files[t].data(), files[t].size()) != KR::KRTImage::Result::Ok ||
            pixelsOf(image) != pictures[t].pixels)
          ++mismatches;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(allocators.getStackAllocator()->getUsed(), 0u);
}

TEST_F(KRTImageTest, LoadThroughTheFileSystemLogsRefusals) {
  std::string error;
  std::vector<uint8_t> good;
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(16, 8, 0);
  ASSERT_TRUE(KR::Tools::encodeKrtRgba(picture, good, error));
  std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
  KR::Test::ImageContent content;
  content.add("default", "good", good);
  content.add("default", "truncated", truncated);
  content.add("default", "other", std::string("DDS nothing of the kind"));
  content.mount();
  EXPECT_TRUE(KR::KRTImage::isKRTFile("good", "default"));
  EXPECT_FALSE(KR::KRTImage::isKRTFile("other", "default"));
  KR::KRTImage image;
  image.load("good", "default");
  EXPECT_EQ(pixelsOf(image), picture.pixels);
  image.load("truncated", "default");
  EXPECT_EQ(image.getData(), nullptr);
  EXPECT_TRUE(log.contains("Failed to load KRT image truncated"));
  image.load("other", "default");
  EXPECT_TRUE(log.contains("Failed to load KRT image other"));
}

TEST_F(KRTImageTest, UnknownFormatsAndOversizedPayloadsAreFatal) {
  std::vector<uint8_t> format7 = krtHeader(7, 4, 8, 128);
  format7.resize(format7.size() + 128);
  std::vector<uint8_t> larger = krtHeader(2, 256, 520, 256 * 520 * 4);
  larger.resize(larger.size() + 256 * 520 * 4);
  KR::Test::ImageContent content;
  content.add("default", "format7", format7);
  content.add("default", "larger", larger);
  content.mount();
  EXPECT_EXIT(KR::KRTImage().load("format7", "default"), ::testing::ExitedWithCode(255),
              "KRT image 'format7' in package 'default': unknown pixel format");
  EXPECT_EXIT(KR::KRTImage().load("larger", "default"), ::testing::ExitedWithCode(255),
              "Failed to allocated memory block through the stack allocator");
}
