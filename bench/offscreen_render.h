// A render system on an off-screen 1024 x 768 window in the game's vertex
// format, drawn by the software GL, with its log, configuration and texture
// manager: the common ground of the drawing benchmarks.
#pragma once

#include <cstdlib>
#include <memory>

#include "config_manager.h"
#include "log_system.h"
#include "render_system_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {
namespace Bench {

struct OffscreenRender {
  OffscreenRender() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    logSystem = std::make_unique<LogSystem>();
    config = std::make_unique<ConfigManager>(ConfigManager::NoLoad{});
    PlatformConfig p;
    p.resolutionWidth = 1024;
    p.resolutionHeight = 768;
    config->platforms.push_back(p);
    config->currentPlatform = &config->platforms[0];
    config->vertexFormatFlags = kVertexFormatGame;
    renderSystem = std::make_unique<RenderSystem>(nullptr);
    textures = std::make_unique<TextureManager>();
    renderSystem->getWindowInfo().mWndWidth = 1024;
    renderSystem->getWindowInfo().mWndHeight = 768;
    renderSystem->initDevice();
  }
  ~OffscreenRender() {
    textures.reset();
    renderSystem.reset();
  }

  std::unique_ptr<LogSystem> logSystem;
  std::unique_ptr<ConfigManager> config;
  std::unique_ptr<RenderSystem> renderSystem;
  std::unique_ptr<TextureManager> textures;
};

}  // namespace Bench
}  // namespace KR
