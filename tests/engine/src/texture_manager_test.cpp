#include "texture_manager.h"

#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "image_maker.h"
#include "image_test_content.h"
#include "krt_writer.h"
#include "png_image.h"
#include "support/test_support.h"

using KR::Platform::LockedRect;
using KR::Platform::RenderDevice;

namespace {

std::vector<uint8_t> pngOf(const KR::Tools::RgbaPicture& picture) {
  std::vector<uint8_t> file;
  std::string error;
  EXPECT_TRUE(KR::Tools::encodePngRgba(picture, file, error)) << error;
  return file;
}

KR::Tools::RgbaPicture onePixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  KR::Tools::RgbaPicture picture;
  picture.width = picture.height = 1;
  picture.pixels = {r, g, b, a};
  return picture;
}

// Content: PNG, DDS and KRT pictures in two packages, a refused DDS and a
// file that is no picture; a device and a texture manager over them.
class TextureManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    allocators.init();
    std::string error;
    std::vector<uint8_t> krt;
    ASSERT_TRUE(KR::Tools::encodeKrtRgba(KR::Tools::makeDemoPicture(8, 8, 0), krt, error));
    content.add("default", "pixel", pngOf(onePixel(10, 20, 30, 40)));
    content.add("default", "demo", pngOf(KR::Tools::makeDemoPicture(16, 8, 0)));
    content.add("other", "demo", pngOf(KR::Tools::makeDemoPicture(16, 8, 1)));
    // Loaders are chosen by content, never by name.
    content.add("default", "blocks.png", dds(5, 3));
    content.add("default", "tiles.dds", krt);
    content.add("default", "dxt1", KR::Tools::encodeDds(8, 8, "DXT1", std::vector<uint8_t>(32, 0)));
    content.add("default", "text", std::string("hello, no picture here"));
    // Opaque but for the very last texel's alpha of 254, and wholly opaque.
    KR::Tools::RgbaPicture opaque;
    opaque.width = 3;
    opaque.height = 2;
    opaque.pixels.assign(3 * 2 * 4, 255);
    content.add("default", "opaque", pngOf(opaque));
    opaque.pixels.back() = 254;
    content.add("default", "nearlyOpaque", pngOf(opaque));
    for (int i = 0; i < 16; ++i)
      content.add("default", "shared" + std::to_string(i), pngOf(KR::Tools::makeDemoPicture(64, 64, i)));
    content.mount();

    KR::Platform::DeviceParams params;
    params.present.backBufferWidth = 320;
    params.present.backBufferHeight = 200;
    device = RenderDevice::create(params);
    ASSERT_TRUE(device) << RenderDevice::lastError();
    manager = std::make_unique<KR::TextureManager>();
  }
  void TearDown() override {
    manager.reset();
    device.reset();
  }

  static std::vector<uint8_t> dds(uint32_t width, uint32_t height) {
    return KR::Tools::encodeDds(width, height, "DXT5",
                                KR::Tools::encodeDxt5(KR::Tools::makeDemoPicture(width, height, 3)));
  }

  // The texel bytes of level 0 as the device holds them, row by row.
  std::vector<uint8_t> texels(KR::Texture* texture, uint32_t rowBytes, uint32_t rows) {
    LockedRect locked;
    EXPECT_TRUE(device->lockTexture(texture->mHandle, locked, false));
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < rows; ++y)
      out.insert(out.end(), locked.bits + locked.pitch * y, locked.bits + locked.pitch * y + rowBytes);
    device->unlockTexture(texture->mHandle);
    return out;
  }

  KR::Test::LogCapture log;
  KR::EngineAllocators allocators;
  KR::Test::ImageContent content;
  std::unique_ptr<RenderDevice> device;
  std::unique_ptr<KR::TextureManager> manager;
};

}  // namespace

TEST_F(TextureManagerTest, OneTexturePerPackageAndName) {
  KR::Texture* first = manager->loadTexture("demo", "default");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(manager->loadTexture("demo", "default"), first);
  EXPECT_EQ(manager->findTexture("demo", "default"), first);
  KR::Texture* other = manager->loadTexture("demo", "other");
  EXPECT_NE(other, first);
  EXPECT_EQ(manager->findTexture("demo", "nowhere"), nullptr);
  EXPECT_EQ(manager->getTextureCount(), 2u);
  EXPECT_EQ(manager->getPendingCount(), 2u);
  // Loading leaves the reference count to the user.
  EXPECT_EQ(first->getReferenceCount(), 0);
  EXPECT_EQ(first->getWidth(), 16u);
  EXPECT_EQ(first->getHeight(), 8u);
  EXPECT_EQ(first->size, 16u * 8 * 4);
  EXPECT_EQ(first->mTextureFormat, KR::TF_A8R8G8B8);
  EXPECT_EQ(first->mTextureUsage, KR::TU_DEFAULT);
  EXPECT_EQ(first->mHandle, nullptr);
}

TEST_F(TextureManagerTest, PicturesDecodedOnOtherThreadsAreMadeByThePendingPass) {
  KR::Texture* texture = nullptr;
  std::thread loader([&] { texture = manager->loadTexture("pixel", "default"); });
  loader.join();
  ASSERT_NE(texture, nullptr);
  EXPECT_FALSE(texture->isProcessed());
  EXPECT_NE(texture->getImage(), nullptr);
  EXPECT_EQ(texture->mHandle, nullptr);

  manager->createPendingTextures();
  EXPECT_TRUE(texture->isProcessed());
  EXPECT_EQ(texture->getImage(), nullptr);
  EXPECT_EQ(texture->imageData, nullptr);
  ASSERT_NE(texture->mHandle, nullptr);
  EXPECT_EQ(manager->getPendingCount(), 0u);
  // R, G, B, A become B, G, R, A in the device's memory.
  EXPECT_EQ(texels(texture, 4, 1), (std::vector<uint8_t>{30, 20, 10, 40}));
}

TEST_F(TextureManagerTest, LoadersAreChosenByContent) {
  KR::Texture* blocks = manager->loadTexture("blocks.png", "default");
  KR::Texture* tiles = manager->loadTexture("tiles.dds", "default");
  ASSERT_NE(blocks->getImage(), nullptr);
  EXPECT_EQ(blocks->getImage()->format, KR::IF_DXT5);
  EXPECT_EQ(tiles->getImage()->format, KR::IF_RGBA);
  manager->createPendingTextures();
  ASSERT_NE(blocks->mHandle, nullptr);
  EXPECT_EQ(device->textureFormat(blocks->mHandle), KR::Platform::PixelFormat::DXT5);
  EXPECT_EQ(device->textureWidth(blocks->mHandle), 5u);
  // The 5x3 picture is two blocks, uploaded whole.
  std::vector<uint8_t> file = dds(5, 3);
  EXPECT_EQ(texels(blocks, 32, 1), std::vector<uint8_t>(file.begin() + 128, file.end()));

  ASSERT_NE(tiles->mHandle, nullptr);
  const KR::Tools::RgbaPicture picture = KR::Tools::makeDemoPicture(8, 8, 0);
  std::vector<uint8_t> bgra = texels(tiles, 32, 8);
  for (size_t i = 0; i < bgra.size(); i += 4) {
    ASSERT_EQ(bgra[i], picture.pixels[i + 2]);
    ASSERT_EQ(bgra[i + 2], picture.pixels[i]);
    ASSERT_EQ(bgra[i + 3], picture.pixels[i + 3]);
  }
}

TEST_F(TextureManagerTest, TwoThreadsLoadingOneNameShareOneTexture) {
  for (int round = 0; round < 16; ++round) {
    const std::string name = "shared" + std::to_string(round);
    std::atomic<int> ready{0};
    std::vector<KR::Texture*> results(4, nullptr);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t)
      threads.emplace_back([&, t] {
        ++ready;
        while (ready.load() < static_cast<int>(results.size())) std::this_thread::yield();
        results[t] = manager->loadTexture(name, "default");
      });
    for (std::thread& thread : threads) thread.join();
    for (KR::Texture* texture : results) EXPECT_EQ(texture, results[0]) << name;
    EXPECT_EQ(manager->findTexture(name, "default"), results[0]);
  }
  EXPECT_EQ(manager->getTextureCount(), 16u);
  EXPECT_EQ(manager->getPendingCount(), 16u);
  manager->createPendingTextures();
  EXPECT_EQ(manager->getPendingCount(), 0u);
}

TEST_F(TextureManagerTest, ReferenceCountsChangeSafelyAcrossThreads) {
  KR::Texture* texture = manager->loadTexture("demo", "default");
  manager->createPendingTextures();
  constexpr int kThreads = 8, kTimes = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < kTimes; ++i) manager->addReference(texture);
    });
  for (std::thread& thread : threads) thread.join();
  threads.clear();
  EXPECT_EQ(texture->getReferenceCount(), kThreads * kTimes);

  // All but one release on other threads, the last one here.
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kTimes - (t == 0 ? 1 : 0); ++i) manager->releaseTexture(texture);
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(texture->getReferenceCount(), 1);
  EXPECT_EQ(manager->getDiscardCount(), 0u);
  manager->releaseTexture(texture);
  EXPECT_EQ(manager->findTexture("demo", "default"), nullptr);
  EXPECT_EQ(manager->getDiscardCount(), 1u);
  // Releasing what is no longer in the index does nothing.
  manager->releaseTexture(texture);
  EXPECT_EQ(manager->getDiscardCount(), 1u);
  manager->createPendingTextures();
  EXPECT_EQ(manager->getDiscardCount(), 0u);

  // A later request decodes the picture again.
  KR::Texture* again = manager->loadTexture("demo", "default");
  EXPECT_EQ(manager->findTexture("demo", "default"), again);
  EXPECT_FALSE(again->isProcessed());
}

TEST_F(TextureManagerTest, TextureReleasedBeforeThePassIsNeverMade) {
  KR::Texture* texture = manager->loadTexture("demo", "default");
  manager->addReference(texture);
  manager->releaseTexture(texture);
  EXPECT_EQ(manager->getPendingCount(), 0u);
  EXPECT_EQ(manager->getDiscardCount(), 1u);
  EXPECT_EQ(texture->getImage(), nullptr);
  EXPECT_EQ(texture->mHandle, nullptr);
  manager->createPendingTextures();
  EXPECT_EQ(manager->getDiscardCount(), 0u);
  EXPECT_EQ(manager->getTextureCount(), 0u);
}

TEST_F(TextureManagerTest, FailedCreationLeavesThePendingListWithALogLine) {
  KR::Texture* refused = manager->loadTexture("dxt1", "default");
  KR::Texture* zero = manager->createEmptyTexture(0, 0, KR::TF_A8R8G8B8);
  KR::Texture* good = manager->loadTexture("pixel", "default");
  EXPECT_TRUE(log.contains("ERROR: DDS image 'dxt1' in package 'default' is not DXT5 (DXT1)"));
  manager->createPendingTextures();
  EXPECT_EQ(manager->getPendingCount(), 0u);
  EXPECT_EQ(refused->mHandle, nullptr);
  EXPECT_EQ(zero->mHandle, nullptr);
  EXPECT_NE(good->mHandle, nullptr);
  EXPECT_EQ(refused->getImage(), nullptr);
  size_t failures = 0;
  for (const std::string& line : log.lines()) failures += line.find("ERROR: Failed to create texture") == 0;
  EXPECT_EQ(failures, 2u);
  // Not tried again by later passes; the textures stay shared and releasable.
  manager->createPendingTextures();
  size_t later = 0;
  for (const std::string& line : log.lines()) later += line.find("ERROR: Failed to create texture") == 0;
  EXPECT_EQ(later, 2u);
  EXPECT_EQ(manager->loadTexture("dxt1", "default"), refused);
  manager->destroyTexture(refused);
  manager->destroyTexture(zero);
  manager->createPendingTextures();
  EXPECT_EQ(manager->getTextureCount(), 1u);
}

// Whether a sprite of the picture hides what lies beneath it: only when
// every texel is opaque, and no longer once other pixels were copied in.
TEST_F(TextureManagerTest, OpacityIsReadFromThePicture) {
  KR::Texture* opaque = manager->loadTexture("opaque", "default");
  KR::Texture* nearly = manager->loadTexture("nearlyOpaque", "default");
  KR::Texture* translucent = manager->loadTexture("pixel", "default");
  KR::Texture* blocks = manager->loadTexture("blocks.png", "default");
  manager->createPendingTextures();
  EXPECT_TRUE(opaque->mOpaque);
  EXPECT_FALSE(nearly->mOpaque);
  EXPECT_FALSE(translucent->mOpaque);
  EXPECT_FALSE(blocks->mOpaque);
  const uint8_t texels[4] = {1, 2, 3, 255};
  opaque->update(texels, KR::IF_RGBA, 1, 1);
  EXPECT_FALSE(opaque->mOpaque);
}

TEST_F(TextureManagerTest, ImagesFromTheCallerAreSharedByName) {
  auto* image = new KR::PngImage();
  std::vector<uint8_t> file = pngOf(KR::Tools::makeDemoPicture(100, 60, 0));
  ASSERT_TRUE(image->loadFromMemory(file.data(), file.size()));
  EXPECT_EQ(image->padToPowerOfTwo(), 0);
  KR::Texture* texture = manager->createTextureFromImage(image, "logo", "default");
  EXPECT_EQ(texture->getWidth(), 128u);
  EXPECT_EQ(texture->getHeight(), 64u);
  // The name is taken: the existing texture, and the second image stays ours.
  KR::PngImage second;
  EXPECT_EQ(manager->createTextureFromImage(&second, "logo", "default"), texture);
  manager->createPendingTextures();
  EXPECT_NE(texture->mHandle, nullptr);
  EXPECT_EQ(device->textureWidth(texture->mHandle), 128u);
}

TEST_F(TextureManagerTest, RenderAndEmptyTexturesAreNamedInCreationOrder) {
  KR::ConfigManager config{KR::ConfigManager::NoLoad{}};
  config.platforms.resize(1);
  config.platforms[0].resolutionWidth = 1024;
  config.platforms[0].resolutionHeight = 150;
  config.currentPlatform = &config.platforms[0];

  KR::Texture* render = manager->createRenderTexture(64, 32);
  ASSERT_NE(render->mHandle, nullptr);
  EXPECT_TRUE(render->isProcessed());
  EXPECT_EQ(render->mTextureUsage, KR::TU_RENDER_TEXTURE);
  EXPECT_EQ(device->textureUsage(render->mHandle), KR::Platform::TextureUsage::RenderTarget);
  std::string renderName;
  for (const std::string& line : log.lines())
    if (line.find("Creating render texture... (") == 0) renderName = line.substr(28, line.size() - 29);
  ASSERT_EQ(renderName.rfind("rendertexture", 0), 0u);
  const int first = std::stoi(renderName.substr(13));
  EXPECT_EQ(manager->findTexture(renderName, "default"), render);

  // Size 0 x 0: the design resolution clipped to the viewport, axis by axis.
  KR::Texture* screen = manager->createRenderTexture(0, 0);
  EXPECT_EQ(manager->findTexture("rendertexture" + std::to_string(first + 1), "default"), screen);
  EXPECT_EQ(screen->getWidth(), 320u);
  EXPECT_EQ(screen->getHeight(), 150u);
  EXPECT_EQ(screen->size, 320u * 150 * 4);

  KR::Texture* empty = manager->createEmptyTexture(4, 2, KR::TF_L8);
  std::string emptyName;
  for (const std::string& line : log.lines())
    if (line.find("Creating empty texture... (") == 0) emptyName = line.substr(27, line.size() - 28);
  EXPECT_EQ(manager->findTexture(emptyName, "default"), empty);
  KR::Texture* empty2 = manager->createEmptyTexture(3, 3, KR::TF_A8R8G8B8);
  EXPECT_EQ(manager->findTexture("emptytexture" + std::to_string(std::stoi(emptyName.substr(12)) + 1), "default"),
            empty2);
  EXPECT_EQ(empty->size, 4u * 2 * 4);
  EXPECT_EQ(empty->mHandle, nullptr);
  EXPECT_EQ(manager->getPendingCount(), 4u);
  manager->createPendingTextures();
  EXPECT_EQ(manager->getPendingCount(), 0u);
  ASSERT_NE(empty->mHandle, nullptr);
  EXPECT_EQ(device->textureFormat(empty->mHandle), KR::Platform::PixelFormat::L8);

  // Updates copy packed rows clipped to the texture.
  const uint8_t luminance[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  empty->update(luminance, KR::IF_LUMINANCE, 5, 3);
  EXPECT_EQ(texels(empty, 4, 2), (std::vector<uint8_t>{1, 2, 3, 4, 6, 7, 8, 9}));
  const uint8_t rgba[] = {10, 20, 30, 40, 50, 60, 70, 80};
  empty2->update(rgba, KR::IF_RGBA, 2, 1);
  EXPECT_EQ(texels(empty2, 8, 1), (std::vector<uint8_t>{30, 20, 10, 40, 70, 60, 50, 80}));
  // A picture already in the texture's byte order, smaller than the texture
  // (as a video frame is): its rows land in the top-left corner as they are,
  // the texels beside and below keep theirs.
  const std::vector<uint8_t> grey(3 * 3 * 4, 200);
  empty2->update(grey.data(), KR::IF_RGBA, 3, 3);
  const uint8_t bgra[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  empty2->update(bgra, KR::IF_BGRA, 2, 2);
  std::vector<uint8_t> expected(grey);
  std::memcpy(&expected[0], bgra, 8);
  std::memcpy(&expected[12], bgra + 8, 8);
  EXPECT_EQ(texels(empty2, 12, 3), expected);
}

TEST_F(TextureManagerTest, DeviceResetRemakesRenderTexturesOnly) {
  KR::Texture* render = manager->createRenderTexture(64, 32);
  KR::Texture* picture = manager->loadTexture("demo", "default");
  manager->createPendingTextures();
  KR::Platform::DeviceTexture* pictureHandle = picture->mHandle;
  ASSERT_NE(pictureHandle, nullptr);

  manager->releaseDeviceTextures();
  EXPECT_EQ(render->mHandle, nullptr);
  EXPECT_EQ(picture->mHandle, pictureHandle);
  ASSERT_EQ(device->reset(KR::Platform::PresentParameters{200, 100}), KR::Platform::DeviceResult::Ok);
  manager->recreateDeviceTextures();
  ASSERT_NE(render->mHandle, nullptr);
  EXPECT_EQ(device->textureWidth(render->mHandle), 64u);
  EXPECT_EQ(device->textureHeight(render->mHandle), 32u);
  EXPECT_EQ(picture->mHandle, pictureHandle);
  manager->destroyTexture(render);
  EXPECT_EQ(manager->findTexture("demo", "default"), picture);
}

TEST_F(TextureManagerTest, ShutdownReportsAndDestroysEverything) {
  manager->loadTexture("demo", "default");
  manager->loadTexture("demo", "other");
  manager->createPendingTextures();
  ::testing::internal::CaptureStdout();
  manager.reset();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "total textures 1 \ntotal textures 1 \n");
}

// Loaders on other threads take the index lock, then the pending list's;
// shutdown takes them in the same order (the thread sanitizer flavour reports
// any other order as a potential deadlock). Pending and discarded textures
// still queued at shutdown are freed with the rest.
TEST_F(TextureManagerTest, ShutdownAfterLoadsOnOtherThreadsFreesQueuedTextures) {
  std::vector<std::thread> loaders;
  for (int t = 0; t < 4; ++t)
    loaders.emplace_back([&, t] { manager->loadTexture("shared" + std::to_string(t), "default"); });
  for (std::thread& loader : loaders) loader.join();
  KR::Texture* dropped = manager->findTexture("shared0", "default");
  ASSERT_NE(dropped, nullptr);
  manager->addReference(dropped);
  manager->releaseTexture(dropped);
  EXPECT_EQ(manager->getPendingCount(), 3u);
  EXPECT_EQ(manager->getDiscardCount(), 1u);
  ::testing::internal::CaptureStdout();
  manager.reset();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "total textures 3 \n");
}

TEST_F(TextureManagerTest, UnknownPicturesAndFormatsAreFatal) {
  EXPECT_EXIT(manager->loadTexture("text", "default"), ::testing::ExitedWithCode(255), "Failed to load image");
  EXPECT_EXIT(manager->loadTexture("missing", "default"), ::testing::ExitedWithCode(255),
              "ERROR: file 'missing' not found in package 'default'");
  EXPECT_EXIT(KR::Texture::toD3DFormat(9), ::testing::ExitedWithCode(255), "Unknow texture format");
}
