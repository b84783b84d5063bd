// The demo pictures of the built media folder load through the real file
// system and its three containers.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "image.h"
#include "support/test_support.h"

TEST(DemoImages, EveryDemoPictureLoadsFromTheMediaFolder) {
  KR::Test::LogCapture log;
  KR::EngineAllocators allocators;
  allocators.init();
  const std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  {
    KR::FileSystem files;
    KR::ConfigManager config;
    files.loadFilesLocationInfo();
    struct Expected {
      const char* name;
      uint32_t width, height, format;
    };
    const Expected pictures[] = {
        {"demo_rgb", 128, 64, KR::IF_RGBX},    {"demo_rgba", 64, 64, KR::IF_RGBA}, {"demo_grey", 64, 64, KR::IF_RGBA},
        {"demo_palette", 64, 64, KR::IF_RGBA}, {"demo_dxt5", 64, 64, KR::IF_DXT5}, {"demo_tiles", 64, 32, KR::IF_RGBA},
    };
    for (const Expected& e : pictures) {
      SCOPED_TRACE(e.name);
      std::unique_ptr<KR::Image> image(KR::loadImageFile(e.name, "default"));
      ASSERT_NE(image->getData(), nullptr);
      EXPECT_EQ(image->getWidth(), e.width);
      EXPECT_EQ(image->getHeight(), e.height);
      EXPECT_EQ(image->format, e.format);
    }
  }
  KR::FileSystem::setContentFolder(previous);
}
