#include "dds_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_maker.h"
#include "image_test_content.h"
#include "support/test_support.h"

namespace {

std::vector<uint8_t> dxt5File(uint32_t width, uint32_t height, uint32_t seed = 0) {
  return KR::Tools::encodeDds(width, height, "DXT5",
                              KR::Tools::encodeDxt5(KR::Tools::makeDemoPicture(width, height, seed)));
}

}  // namespace

TEST(DDSImage, Dxt5KeepsItsDataAsStored) {
  const std::vector<uint8_t> file = dxt5File(8, 8);
  KR::DDSImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::DDSImage::Result::Ok);
  EXPECT_EQ(image.format, KR::IF_DXT5);
  EXPECT_TRUE(image.hasData());
  EXPECT_EQ(image.getWidth(), 8u);
  EXPECT_EQ(image.getHeight(), 8u);
  EXPECT_EQ(image.getPitch(), 0u);
  EXPECT_EQ(image.getDataSize(), file.size() - 128);
  EXPECT_EQ(std::vector<uint8_t>(image.getData(), image.getData() + image.getDataSize()),
            std::vector<uint8_t>(file.begin() + 128, file.end()));
}

TEST(DDSImage, MipmapLevelsAndOddSizesStayInTheData) {
  // Three levels of 16x16: 64 + 16 + 16 bytes... of blocks (4 + 1 + 1 blocks).
  std::vector<uint8_t> levels = KR::Tools::encodeDxt5(KR::Tools::makeDemoPicture(16, 16, 0));
  for (uint32_t side : {8u, 4u}) {
    std::vector<uint8_t> level = KR::Tools::encodeDxt5(KR::Tools::makeDemoPicture(side, side, 0));
    levels.insert(levels.end(), level.begin(), level.end());
  }
  std::vector<uint8_t> file = KR::Tools::encodeDds(16, 16, "DXT5", levels, 3);
  KR::DDSImage image;
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::DDSImage::Result::Ok);
  EXPECT_EQ(image.getDataSize(), levels.size());

  // A 5x3 picture is stored as two blocks.
  EXPECT_EQ(KR::DDSImage::dxt5LevelSize(5, 3), 32u);
  EXPECT_EQ(KR::DDSImage::dxt5LevelSize(8, 8), 64u);
  EXPECT_EQ(KR::DDSImage::dxt5LevelSize(1, 1), 16u);
  file = dxt5File(5, 3);
  ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::DDSImage::Result::Ok);
  EXPECT_EQ(image.getWidth(), 5u);
  EXPECT_EQ(image.getDataSize(), 32u);
}

TEST(DDSImage, OtherKindsOfDdsDataAreRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
    uint32_t format;
  };
  const std::vector<Case> cases = {
      {"dxt1", KR::Tools::encodeDds(8, 8, "DXT1", std::vector<uint8_t>(32, 1)), KR::IF_DXT1},
      {"dxt3", KR::Tools::encodeDds(8, 8, "DXT3", std::vector<uint8_t>(64, 1)), KR::IF_DXT3},
      {"palette", KR::Tools::encodeDds(8, 8, "", std::vector<uint8_t>(1088, 1), 1, true), KR::IF_PALETTE},
      {"unknown", KR::Tools::encodeDds(8, 8, "ATI2", std::vector<uint8_t>(64, 1)), KR::IF_UNKNOWN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KR::DDSImage image;
    EXPECT_EQ(image.loadFromMemory(c.file.data(), c.file.size()), KR::DDSImage::Result::Unsupported);
    EXPECT_EQ(image.format, c.format);
    EXPECT_FALSE(image.hasData());
    EXPECT_EQ(image.getData(), nullptr);
    EXPECT_EQ(image.getWidth(), 0u);
    EXPECT_EQ(image.getDataSize(), 0u);
  }
}

TEST(DDSImage, ShortOrMalformedFilesAreRefused) {
  const std::vector<uint8_t> file = dxt5File(8, 8);
  KR::DDSImage image;
  // Cut anywhere before the whole top level: never accepted.
  for (size_t length = 0; length < file.size(); ++length) {
    std::vector<uint8_t> prefix(file.begin(), file.begin() + length);
    const KR::DDSImage::Result result = image.loadFromMemory(prefix.data(), prefix.size());
    EXPECT_EQ(result, length < 4 ? KR::DDSImage::Result::NotDds : KR::DDSImage::Result::Damaged) << length;
    EXPECT_EQ(image.getData(), nullptr);
  }
  std::vector<uint8_t> zeroWidth = KR::Tools::encodeDds(0, 8, "DXT5", std::vector<uint8_t>(64, 0));
  EXPECT_EQ(image.loadFromMemory(zeroWidth.data(), zeroWidth.size()), KR::DDSImage::Result::Damaged);
  std::vector<uint8_t> huge = KR::Tools::encodeDds(KR::kMaxImageSide * 2, 4, "DXT5", std::vector<uint8_t>(64, 0));
  EXPECT_EQ(image.loadFromMemory(huge.data(), huge.size()), KR::DDSImage::Result::Damaged);
  const char other[] = "KRT.0000";
  EXPECT_EQ(image.loadFromMemory(other, sizeof(other)), KR::DDSImage::Result::NotDds);
}

TEST(DDSImage, LoadThroughTheFileSystemLogsRefusals) {
  KR::Test::LogCapture log;
  KR::Test::ImageContent content;
  content.add("default", "good", dxt5File(8, 8));
  content.add("default", "dxt1", KR::Tools::encodeDds(8, 8, "DXT1", std::vector<uint8_t>(32, 1)));
  content.add("default", "other", std::string("PNG? no"));
  content.mount();
  EXPECT_TRUE(KR::DDSImage::isDDSFile("good", "default"));
  EXPECT_FALSE(KR::DDSImage::isDDSFile("other", "default"));

  KR::DDSImage good;
  good.load("good", "default");
  EXPECT_TRUE(good.hasData());
  KR::DDSImage dxt1;
  dxt1.load("dxt1", "default");
  EXPECT_FALSE(dxt1.hasData());
  EXPECT_TRUE(log.contains("ERROR: DDS image 'dxt1' in package 'default' is not DXT5 (DXT1)"));
  // A wrong magic says nothing.
  const size_t lines = log.lines().size();
  KR::DDSImage other;
  other.load("other", "default");
  EXPECT_FALSE(other.hasData());
  EXPECT_EQ(log.lines().size(), lines);
}
