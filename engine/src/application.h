#pragma once
// The engine's application object: creates every engine singleton in a fixed
// order, runs the per-frame tick and drawing the host's loop calls, tracks
// activation and tears everything down in a fixed order. The game derives
// from it and overrides the virtual hooks. Exactly one exists; engine code
// reaches it through gApplication.
#include <cstdint>
#include <string>

#include "vector2.h"

namespace KR {
class Benchmarker;
class ConfigManager;
class EngineAllocators;
class FileSystem;
class Font;
class InputManager;
class JobManager;
class LexBindedFunctionManager;
class LogSystem;
class ObjectFactory;
class ParticleSystem;
class ResourceGroupManager;
class RenderSystem;
class SoundManager;
class Sprite;
class FastSprite;
template <typename T>
class SpriteManager;
class TextureManager;
class TimerManager;
class UIManager;
class VideoPlayer;
class VideoSurfaceStreamer;
class XmlCachedFilesManager;
namespace Platform {
class Window;
}
}  // namespace KR

// The window record the host fills (owned by the application).
struct WindowInfo {
  int32_t mWndWidth = 0;                   // client width, the back buffer's width
  int32_t mWndHeight = 0;                  // client height
  uint32_t hideSystemCursor = 0;           // hide the system cursor over the client area
  KR::Platform::Window* window = nullptr;  // the main window (owned by the host)
  uint32_t windowedStyle = 0;
};

class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Game hooks.
  virtual void update() {}
  virtual void render() {}
  // Called by the host before its window exists: the settings that decide the
  // window (its display mode), so that it opens as it stays.
  virtual void readSettings() {}
  virtual void init() {}
  virtual void shutdown() {}
  virtual void updateWhileLoading() {}
  virtual void renderWhileLoading();
  // Called by the render system's frame end around composition.
  virtual void onPreRender(KR::Vector2<float>* viewportSize, KR::Vector2<float>* viewportOffset);
  virtual void onPostRender(float viewportScale);

  void initEngineSubsystems();
  // Called by the host once its window exists: render device and input devices.
  void initGraphics();
  // One frame's update; nothing unless running and active.
  void tick();
  // One frame's drawing (WM_PAINT and the main loop); nothing unless running and active.
  void paint();
  void activate();
  void deactivate();
  void shutdownEngine();

  std::string name;  // window title
  uint8_t active = 0;
  uint8_t running = 0;
  uint8_t quitRequested = 0;
  WindowInfo* windowInfo = nullptr;

  // Engine singletons, owned. Render, sound, sprite, texture and video
  // managers join this list with their subsystems.
  KR::ConfigManager* configManager = nullptr;
  KR::FileSystem* fileSystem = nullptr;
  KR::LogSystem* logSystem = nullptr;
  KR::TimerManager* timerManager = nullptr;
  KR::InputManager* inputManager = nullptr;
  KR::ParticleSystem* particleSystem = nullptr;
  KR::JobManager* jobManager = nullptr;
  KR::ResourceGroupManager* resourceGroupManager = nullptr;
  KR::UIManager* uiManager = nullptr;
  KR::RenderSystem* renderSystem = nullptr;
  KR::SpriteManager<KR::Sprite>* spriteManager = nullptr;
  KR::SpriteManager<KR::FastSprite>* fastSpriteManager = nullptr;
  KR::TextureManager* textureManager = nullptr;
  KR::SoundManager* soundManager = nullptr;
  KR::LexBindedFunctionManager* lexBindedFunctionManager = nullptr;
  KR::EngineAllocators* engineAllocators = nullptr;
  KR::Benchmarker* benchmarker = nullptr;
  KR::ObjectFactory* objectFactory = nullptr;
  KR::XmlCachedFilesManager* xmlCachedFilesManager = nullptr;
  KR::VideoSurfaceStreamer* videoSurfaceStreamer = nullptr;
  KR::VideoPlayer* videoPlayer = nullptr;
  // The overlay font ("system_font_fnt"): frame rate and "Loading...".
  KR::Font* systemFont = nullptr;

 private:
  // Jobs still running after reaping finished ones (0 until the job manager exists).
  int runningJobs();
  // True while the video player has a video queued.
  bool videoQueued();

  bool ownsNotificationDispatcher = false;
};

// The one application, set by its constructor and cleared by its destructor.
extern Application* gApplication;
