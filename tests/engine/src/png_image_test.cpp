#include "png_image.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "image_maker.h"
#include "image_test_content.h"
#include "support/test_support.h"

namespace {

using KR::Tools::PngDescription;

std::vector<uint8_t> encode(const PngDescription& d) {
  std::vector<uint8_t> file;
  std::string error;
  EXPECT_TRUE(KR::Tools::encodePng(d, file, error)) << error;
  return file;
}

PngDescription describe(uint32_t width, uint32_t height, int colorType, int depth, std::vector<uint8_t> rows) {
  PngDescription d;
  d.width = width;
  d.height = height;
  d.colorType = colorType;
  d.bitDepth = depth;
  d.rows = std::move(rows);
  return d;
}

std::vector<uint8_t> pixelsOf(KR::PngImage& image) {
  return std::vector<uint8_t>(image.getData(), image.getData() + image.getDataSize());
}

struct ColourCase {
  const char* what;
  PngDescription description;
  uint32_t format;
  std::vector<uint8_t> rgba;
};

std::vector<ColourCase> colourCases() {
  std::vector<ColourCase> cases;
  cases.push_back({"rgb8",
                   describe(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60}),
                   KR::IF_RGBX,
                   {10, 20, 30, 255, 40, 50, 60, 255}});
  cases.push_back({"rgba8",
                   describe(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4, 5, 6, 7, 8}),
                   KR::IF_RGBA,
                   {1, 2, 3, 4, 5, 6, 7, 8}});
  cases.push_back(
      {"grey8", describe(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 200}), KR::IF_RGBA, {0, 0, 0, 255, 200, 200, 200, 255}});
  cases.push_back({"grey1",
                   describe(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}),
                   KR::IF_RGBA,
                   {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255}});
  cases.push_back(
      {"grey4", describe(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0xF1}), KR::IF_RGBA, {255, 255, 255, 255, 17, 17, 17, 255}});
  cases.push_back(
      {"greyAlpha8", describe(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 50}), KR::IF_RGBA, {100, 100, 100, 50}});
  cases.push_back({"greyAlpha16",
                   describe(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {100, 1, 50, 2}),
                   KR::IF_RGBA,
                   {100, 100, 100, 50}});
  cases.push_back({"rgba16",
                   describe(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}),
                   KR::IF_RGBA,
                   {0x12, 0x56, 0x9A, 0xDE}});
  cases.push_back({"rgb16",
                   describe(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}),
                   KR::IF_RGBX,
                   {0x12, 0x56, 0x9A, 255}});
  cases.push_back(
      {"grey16", describe(1, 1, PNG_COLOR_TYPE_GRAY, 16, {0xAB, 0xCD}), KR::IF_RGBA, {0xAB, 0xAB, 0xAB, 255}});

  // Two-bit indices 0, 1, 2, 0; the transparency chunk covers the first two entries.
  PngDescription palette = describe(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x18});
  palette.paletteRgb = {10, 20, 30, 40, 50, 60, 70, 80, 90};
  palette.paletteAlpha = {0, 128};
  cases.push_back({"palette2", palette, KR::IF_RGBA, {10, 20, 30, 0, 40, 50, 60, 128, 70, 80, 90, 255, 10, 20, 30, 0}});
  PngDescription opaquePalette = describe(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0});
  opaquePalette.paletteRgb = {1, 2, 3, 4, 5, 6};
  cases.push_back({"palette8", opaquePalette, KR::IF_RGBA, {4, 5, 6, 255, 1, 2, 3, 255}});

  PngDescription keyedRgb = describe(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60});
  keyedRgb.hasTransparentColor = true;
  keyedRgb.transparentColor[0] = 10;
  keyedRgb.transparentColor[1] = 20;
  keyedRgb.transparentColor[2] = 30;
  cases.push_back({"rgbKeyed", keyedRgb, KR::IF_RGBA, {10, 20, 30, 0, 40, 50, 60, 255}});
  PngDescription keyedGrey = describe(2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 200});
  keyedGrey.hasTransparentColor = true;
  keyedGrey.transparentColor[0] = 200;
  cases.push_back({"greyKeyed", keyedGrey, KR::IF_RGBA, {7, 7, 7, 255, 200, 200, 200, 0}});
  return cases;
}

}  // namespace

TEST(PngImage, EveryColourTypeBecomesFourBytesAPixel) {
  for (ColourCase& c : colourCases()) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> file = encode(c.description);
    KR::PngImage image;
    ASSERT_TRUE(image.loadFromMemory(file.data(), file.size())) << image.getLastError();
    EXPECT_EQ(image.format, c.format);
    EXPECT_EQ(image.getWidth(), c.description.width);
    EXPECT_EQ(image.getHeight(), c.description.height);
    EXPECT_EQ(image.getPitch(), c.description.width * 4);
    EXPECT_EQ(image.getDataSize(), c.description.width * c.description.height * 4);
    EXPECT_EQ(image.getDecodedWidth(), c.description.width);
    EXPECT_EQ(pixelsOf(image), c.rgba);
  }
}

TEST(PngImage, InterlacedAndOddSizedPicturesDecodeLikePlainOnes) {
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(13, 7, 1);
  PngDescription plain = describe(13, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, picture.pixels);
  PngDescription interlaced = plain;
  interlaced.interlaced = true;
  for (const PngDescription* d : {&plain, &interlaced}) {
    std::vector<uint8_t> file = encode(*d);
    KR::PngImage image;
    ASSERT_TRUE(image.loadFromMemory(file.data(), file.size())) << image.getLastError();
    EXPECT_EQ(pixelsOf(image), picture.pixels);
  }
}

TEST(PngImage, DamagedDataIsRefusedWithoutReadingPastIt) {
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(13, 7, 0);
  std::vector<uint8_t> file = encode(describe(13, 7, PNG_COLOR_TYPE_RGB_ALPHA, 8, picture.pixels));
  KR::PngImage image;

  // Every truncation fails; each prefix lives in a buffer of its own size so
  // that a read past it would be caught by the sanitizers.
  for (size_t length = 0; length < file.size(); ++length) {
    std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    EXPECT_FALSE(image.loadFromMemory(prefix.data(), prefix.size())) << "length " << length;
    EXPECT_EQ(image.getData(), nullptr);
    EXPECT_EQ(image.getWidth(), 0u);
  }
  // A flipped bit anywhere either fails or still gives a whole picture.
  for (size_t at = 0; at < file.size(); ++at) {
    std::vector<uint8_t> damaged(file);
    damaged[at] ^= 0x10;
    if (image.loadFromMemory(damaged.data(), damaged.size())) {
      EXPECT_EQ(image.getDataSize(), image.getWidth() * image.getHeight() * 4);
    } else {
      EXPECT_FALSE(image.getLastError().empty());
    }
  }
  const char notPng[] = "GIF89a..";
  EXPECT_FALSE(image.loadFromMemory(notPng, sizeof(notPng)));
  EXPECT_EQ(image.getLastError(), "not a PNG file");
}

TEST(PngImage, HugeDeclaredSizesAreRefusedBeforeAllocating) {
  // Headers that promise far more pixels than the file carries.
  for (uint32_t side : {KR::kMaxImageSide + 1, KR::kMaxImageSide}) {
    PngDescription d = describe(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4});
    std::vector<uint8_t> file = encode(d);
    // IHDR width and height live at bytes 16..23; the CRC after them is fixed up.
    for (int i = 0; i < 4; ++i) {
      file[16 + i] = static_cast<uint8_t>(side >> (24 - 8 * i));
      file[20 + i] = static_cast<uint8_t>(side >> (24 - 8 * i));
    }
    uint32_t crc = static_cast<uint32_t>(crc32(0, &file[12], 17));
    for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    KR::PngImage image;
    EXPECT_FALSE(image.loadFromMemory(file.data(), file.size())) << side;
    EXPECT_EQ(image.getData(), nullptr);
  }
}

// The file with one more chunk right after IHDR; the CRC is right unless the
// data is shorter than the length claims.
std::vector<uint8_t> withChunkAfterHeader(std::vector<uint8_t> file, const char* type, uint32_t length,
                                          const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk;
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(length >> (24 - 8 * i)));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  uint32_t crc = static_cast<uint32_t>(crc32(0, &chunk[4], static_cast<uInt>(4 + data.size())));
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
  file.insert(file.begin() + 33, chunk.begin(), chunk.end());
  return file;
}

TEST(PngImage, AncillaryChunksAreSkippedWhateverTheyClaim) {
  const std::vector<uint8_t> file = encode(describe(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {1, 2, 3, 4, 5, 6, 7, 8}));
  KR::PngImage image;
  const std::vector<uint8_t> text = {'K', 'e', 'y', 0, 'v', 'a', 'l', 'u', 'e'};
  std::vector<uint8_t> withText = withChunkAfterHeader(file, "tEXt", 9, text);
  ASSERT_TRUE(image.loadFromMemory(withText.data(), withText.size())) << image.getLastError();
  EXPECT_EQ(pixelsOf(image), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  // A suggested-palette chunk that claims almost 2 GB is never read into memory.
  std::vector<uint8_t> huge = withChunkAfterHeader(file, "sPLT", 0x73737373, {'s', 's', 's'});
  EXPECT_FALSE(image.loadFromMemory(huge.data(), huge.size()));
  std::vector<uint8_t> unknown = withChunkAfterHeader(file, "quXx", 0x70000000, {});
  EXPECT_FALSE(image.loadFromMemory(unknown.data(), unknown.size()));
}

TEST(PngImage, PadToPowerOfTwoKeepsRowsAndDecodedSize) {
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(100, 64, 0);
  std::vector<uint8_t> file = encode(describe(100, 64, PNG_COLOR_TYPE_RGB_ALPHA, 8, picture.pixels));
  KR::PngImage image;
  ASSERT_TRUE(image.loadFromMemory(file.data(), file.size()));
  EXPECT_EQ(image.padToPowerOfTwo(), 0);
  EXPECT_EQ(image.getWidth(), 128u);
  EXPECT_EQ(image.getHeight(), 64u);
  EXPECT_EQ(image.getPitch(), 512u);
  EXPECT_EQ(image.getDataSize(), 128u * 64 * 4);
  EXPECT_EQ(image.getDecodedWidth(), 100u);
  EXPECT_EQ(image.getDecodedHeight(), 64u);
  for (uint32_t y = 0; y < 64; ++y) {
    const uint8_t* row = image.getData() + 512 * y;
    ASSERT_EQ(std::vector<uint8_t>(row, row + 400),
              std::vector<uint8_t>(picture.pixels.begin() + 400 * y, picture.pixels.begin() + 400 * (y + 1)));
    ASSERT_EQ(std::vector<uint8_t>(row + 400, row + 512), std::vector<uint8_t>(112, 0));
  }

  const KR::Tools::RgbaPicture square = KR::Tools::makeDemoPicture(64, 64, 0);
  file = encode(describe(64, 64, PNG_COLOR_TYPE_RGB_ALPHA, 8, square.pixels));
  ASSERT_TRUE(image.loadFromMemory(file.data(), file.size()));
  EXPECT_EQ(image.padToPowerOfTwo(), 0);
  EXPECT_EQ(image.getWidth(), 64u);
  EXPECT_EQ(pixelsOf(image), square.pixels);

  // Only RGBA pictures are padded.
  file = encode(describe(3, 3, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(27, 9)));
  ASSERT_TRUE(image.loadFromMemory(file.data(), file.size()));
  EXPECT_EQ(image.padToPowerOfTwo(), 1);
  EXPECT_EQ(image.getWidth(), 3u);
  KR::PngImage empty;
  EXPECT_EQ(empty.padToPowerOfTwo(), 1);
}

TEST(PngImage, LoadsThroughTheFileSystem) {
  KR::Test::LogCapture log;
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(8, 8, 2);
  KR::Test::ImageContent content;
  content.add("default", "picture", encode(describe(8, 8, PNG_COLOR_TYPE_RGB_ALPHA, 8, picture.pixels)));
  content.add("default", "text", std::string("not a picture"));
  content.mount();
  EXPECT_TRUE(KR::PngImage::isPngFile("picture", "default"));
  EXPECT_FALSE(KR::PngImage::isPngFile("text", "default"));
  KR::PngImage image;
  image.load("picture", "default");
  EXPECT_EQ(pixelsOf(image), picture.pixels);
}

TEST(PngImageDeathTest, MissingAndDamagedFilesAreFatal) {
  KR::Test::LogCapture log;
  std::vector<uint8_t> file = encode(describe(4, 4, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(48, 1)));
  file.resize(file.size() - 20);
  KR::Test::ImageContent content;
  content.add("default", "broken", file);
  content.mount();
  EXPECT_EXIT(KR::PngImage().load("nothing", "default"), ::testing::ExitedWithCode(255),
              "ERROR: file 'nothing' not found in package 'default'");
  EXPECT_EXIT(KR::PngImage().load("broken", "default"), ::testing::ExitedWithCode(255),
              "Description:\n  ERROR: PNG image 'broken' in package 'default': .+\n");
}
