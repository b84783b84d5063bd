// The application's managers over the built demo media, with an off-screen
// device at the design size, for the tests of the showcase pages. A test's
// SetUp opens the parts its page needs; TearDown closes whatever was opened,
// in the reverse order, and puts the content folder back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "lex_binded_function_manager.h"
#include "object_factory.h"
#include "particle_system.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"

namespace KR {
namespace Test {

class ShowcaseTest : public ::testing::Test {
 protected:
  // Content folder at the built media, allocators, file system and configuration.
  void openMedia() {
    previous = FileSystem::getContentFolder();
    FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
    allocators.init();
    files = std::make_unique<FileSystem>();
    config = std::make_unique<ConfigManager>();
    files->loadFilesLocationInfo();
  }
  // The texture manager and a render system whose device has the design size.
  void openDevice() {
    textures = std::make_unique<TextureManager>();
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = RenderSystem::getDesignHeight();
    renderSystem->initDevice();
  }
  // Both sprite managers and the UI font manager.
  void openSpritesAndFonts() {
    sprites = std::make_unique<SpriteManager<Sprite>>();
    fastSprites = std::make_unique<SpriteManager<FastSprite>>();
    fonts = std::make_unique<UIFontManager>();
  }
  // What widget trees and the play screens need: timers, the object factory,
  // bound commands, the UI manager and the particle system.
  void openUiServices() {
    timer = std::make_unique<TimerManager>();
    factory = std::make_unique<ObjectFactory>();
    functions = std::make_unique<LexBindedFunctionManager>();
    uiManager = std::make_unique<UIManager>();
    particles = std::make_unique<ParticleSystem>();
  }
  void TearDown() override {
    particles.reset();
    uiManager.reset();
    functions.reset();
    factory.reset();
    timer.reset();
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    if (textures) textures->destroyDiscardedTextures();
    textures.reset();
    renderSystem.reset();
    texts.reset();
    config.reset();
    files.reset();
    FileSystem::setContentFolder(previous);
  }

  // Reads the scene texture, where the pages draw, into frame, width and height.
  bool readScene() { return renderSystem->readScene(frame, width, height); }
  // Draws the page twice (the first frame makes the textures it asked for)
  // and reads the second frame back.
  template <typename Draw>
  bool drawTwiceAndRead(Draw draw) {
    renderSystem->checkDeviceLost();
    draw();
    renderSystem->renderFrame();
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    draw();
    renderSystem->flushBatch();
    if (!readScene()) return false;
    renderSystem->renderFrame();
    return true;
  }

  LogCapture log;
  std::string previous;
  EngineAllocators allocators;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<TextManager> texts;
  std::unique_ptr<TextureManager> textures;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
  std::unique_ptr<SpriteManager<FastSprite>> fastSprites;
  std::unique_ptr<UIFontManager> fonts;
  std::unique_ptr<TimerManager> timer;
  std::unique_ptr<ObjectFactory> factory;
  std::unique_ptr<LexBindedFunctionManager> functions;
  std::unique_ptr<UIManager> uiManager;
  std::unique_ptr<ParticleSystem> particles;
  std::vector<uint8_t> frame;
  uint32_t width = 0, height = 0;
};

}  // namespace Test
}  // namespace KR
