// The managers a scene graph needs over the built demo media (file system,
// configuration, textures, sprites, fonts) with an off-screen render system at
// the design size, looping and sprite sheets on: the common ground of the
// scene benchmarks. The program defines KR_BENCH_MEDIA_DIR.
#pragma once

#include <cstdlib>
#include <memory>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "ui/ui_font_manager.h"

namespace KR {
namespace Bench {

struct SceneWorld {
  SceneWorld() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("KR_HEADLESS", "1", 1);
    allocators.init();
    FileSystem::setContentFolder(KR_BENCH_MEDIA_DIR);
    files = std::make_unique<FileSystem>();
    config = std::make_unique<ConfigManager>();
    files->loadFilesLocationInfo();
    textures = std::make_unique<TextureManager>();
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = RenderSystem::getDesignHeight();
    renderSystem->initDevice();
    sprites = std::make_unique<SpriteManager<Sprite>>();
    fastSprites = std::make_unique<SpriteManager<FastSprite>>();
    fonts = std::make_unique<UIFontManager>();
    AE::gLoopEnabled = 1;
    AE::useSpriteSheets = 1;
  }
  ~SceneWorld() {
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    textures->destroyDiscardedTextures();
    textures.reset();
    renderSystem.reset();
    config.reset();
    files.reset();
  }

  // One whole frame of the tree: pending textures, drawing, presentation.
  void drawFrame(AE::ISceneNode* root) {
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    AE::renderScene(root);
    renderSystem->renderFrame();
    renderSystem->present();
  }

  LogSystem logSystem;
  EngineAllocators allocators;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<TextureManager> textures;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
  std::unique_ptr<SpriteManager<FastSprite>> fastSprites;
  std::unique_ptr<UIFontManager> fonts;
};

}  // namespace Bench
}  // namespace KR
