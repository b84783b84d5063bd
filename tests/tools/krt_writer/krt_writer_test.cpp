// The KRT writer as the media build runs it: PNG in, KRT out, read back by
// the engine's loader.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine_allocators.h"
#include "image_maker.h"
#include "krt_image.h"
#include "krt_writer.h"
#include "png_image.h"
#include "support/test_support.h"

namespace {

int runWriter(const std::string& arguments) {
  const std::string command = std::string(KR_TEST_BINARY_DIR) + "/bin/krt_writer " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace

TEST(KrtWriterTool, WritesBothStorageFormatsFromAPng) {
  KR::EngineAllocators allocators;
  allocators.init();
  const std::string folder = KR::Test::scratchDir("krt_writer");
  std::string error;

  // A palette PNG of 16 colours with transparency: both formats can hold it.
  KR::Tools::PngDescription d;
  d.width = 32;
  d.height = 16;
  d.colorType = PNG_COLOR_TYPE_PALETTE;
  d.bitDepth = 4;
  for (int i = 0; i < 16; ++i) {
    d.paletteRgb.insert(d.paletteRgb.end(), {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 5)});
    d.paletteAlpha.push_back(uint8_t(i * 17));
  }
  for (uint32_t y = 0; y < d.height; ++y)
    for (uint32_t x = 0; x < d.width; x += 2) d.rows.push_back(uint8_t(((x + y) % 16) << 4 | ((x + y + 1) % 16)));
  std::vector<uint8_t> png;
  ASSERT_TRUE(KR::Tools::encodePng(d, png, error)) << error;
  KR::Test::writeFile(folder + "/in.png", std::string(png.begin(), png.end()));
  KR::PngImage reference;
  ASSERT_TRUE(reference.loadFromMemory(png.data(), png.size()));
  const std::vector<uint8_t> expected(reference.getData(), reference.getData() + reference.getDataSize());

  ASSERT_EQ(runWriter(folder + "/in.png " + folder + "/rgba.krt"), 0);
  ASSERT_EQ(runWriter("--format 3 " + folder + "/in.png " + folder + "/paletted.krt"), 0);
  for (const char* name : {"rgba.krt", "paletted.krt"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = bytesOf(KR::Test::readFile(folder + "/" + name));
    KR::KRTImage image;
    ASSERT_EQ(image.loadFromMemory(file.data(), file.size()), KR::KRTImage::Result::Ok);
    EXPECT_EQ(std::vector<uint8_t>(image.getData(), image.getData() + image.getDataSize()), expected);
  }
  EXPECT_EQ(KR::Test::readFile(folder + "/paletted.krt").size(), 20u + 1024 + 32 * 16);
  EXPECT_EQ(KR::Test::readFile(folder + "/paletted.krt").substr(0, 8), std::string("KRT.\3\0\0\0", 8));
}

TEST(KrtWriterTool, RefusesWhatTheFormatsCannotHold) {
  const std::string folder = KR::Test::scratchDir("krt_writer");
  std::string error;
  std::vector<uint8_t> png;
  // Off the 4x8 tile grid.
  ASSERT_TRUE(KR::Tools::encodePngRgba(KR::Tools::makeDemoPicture(6, 8, 0), png, error));
  KR::Test::writeFile(folder + "/odd.png", std::string(png.begin(), png.end()));
  // Many more than 256 colours.
  ASSERT_TRUE(KR::Tools::encodePngRgba(KR::Tools::makeDemoPicture(64, 64, 0), png, error));
  KR::Test::writeFile(folder + "/colourful.png", std::string(png.begin(), png.end()));

  EXPECT_EQ(runWriter(folder + "/odd.png " + folder + "/out.krt"), 1);
  EXPECT_EQ(runWriter("--format 3 " + folder + "/colourful.png " + folder + "/out.krt"), 1);
  EXPECT_EQ(runWriter(folder + "/missing.png " + folder + "/out.krt"), 1);
  EXPECT_EQ(runWriter("--format 4 " + folder + "/colourful.png " + folder + "/out.krt"), 2);
  EXPECT_EQ(runWriter(""), 2);
}
