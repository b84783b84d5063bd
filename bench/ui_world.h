// The managers a screen of widgets needs over the built demo media (package
// list "common"), on an off-screen render system: the common ground of the UI
// benchmarks. Scene widgets (scene lists, particle items) also open the sprite
// manager, the object factory and the particle system. The program defines
// KR_BENCH_MEDIA_DIR.
#pragma once

#include <memory>
#include <string>

#include "engine_allocators.h"
#include "file_system.h"
#include "input_manager_win_mac.h"
#include "lex_binded_function_manager.h"
#include "lua_script_2.h"
#include "object_factory.h"
#include "offscreen_render.h"
#include "particle_system.h"
#include "sprite_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace KR {
namespace Bench {

class UIWorld {
 public:
  explicit UIWorld(bool sceneWidgets) {
    allocators.init();
    FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
    files = std::make_unique<FileSystem>();
    files->loadDirectoryFileLists("common");
    if (sceneWidgets) sprites = std::make_unique<SpriteManager<Sprite>>();
    fastSprites = std::make_unique<SpriteManager<FastSprite>>();
    fonts = std::make_unique<UIFontManager>();
    texts = std::make_unique<TextManager>();
    if (sceneWidgets) {
      factory = std::make_unique<ObjectFactory>();
      particles = std::make_unique<ParticleSystem>();
    }
    registry = std::make_unique<LexBindedFunctionManager>();
    input = std::make_unique<InputManager>(nullptr);
    ui = std::make_unique<UIManager>();
  }
  ~UIWorld() {
    ui.reset();
    particles.reset();
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    files.reset();
  }

  // The tree of the script's global "screen" (chunk name for its messages).
  UIWidget* load(const std::string& text, const char* chunk) {
    LuaScript script;
    script.runBuffer(text.data(), text.size(), chunk);
    return ui->buildFromScript(script, "screen", nullptr, chunk);
  }

  OffscreenRender render;
  EngineAllocators allocators;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<SpriteManager<Sprite>> sprites;
  std::unique_ptr<SpriteManager<FastSprite>> fastSprites;
  std::unique_ptr<UIFontManager> fonts;
  std::unique_ptr<TextManager> texts;
  std::unique_ptr<ObjectFactory> factory;
  std::unique_ptr<ParticleSystem> particles;
  std::unique_ptr<LexBindedFunctionManager> registry;
  std::unique_ptr<InputManager> input;
  std::unique_ptr<UIManager> ui;
};

}  // namespace Bench
}  // namespace KR
