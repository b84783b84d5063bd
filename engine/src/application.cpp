#include "application.h"

#include "benchmarker.h"
#include "config_manager.h"
#include "crash_report.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "font.h"
#include "format_string.h"
#include "input_manager_win_mac.h"
#include "job_manager.h"
#include "lex_binded_function_manager.h"
#include "log_system.h"
#include "notification.h"
#include "object_factory.h"
#include "particle_system.h"
#include "platform/crash_handler.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "shader_program.h"
#include "sound_system/sound_manager.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "video_player.h"
#include "video_surface_streamer.h"
#include "xml_cached_files_manager.h"

Application* gApplication = nullptr;

namespace {

template <typename T>
void deleteAndClear(T*& pointer) {
  delete pointer;
  pointer = nullptr;
}

}  // namespace

Application::Application() {
  gApplication = this;
  // Every fatal signal from here on ends in "KR.dmp", the "Dump" box and the
  // crash report in the log.
  KR::Platform::installCrashHandler(&KR::crashReportToLog);
  windowInfo = new WindowInfo();
  initEngineSubsystems();
  KR::TextManager::getInstance()->loadStrings();
  configManager->vertexFormatFlags = KR::ConfigManager::kEngineVertexFormat;
  systemFont = new KR::Font();
  systemFont->load("system_font_fnt");
}

Application::~Application() {
  delete windowInfo;
  windowInfo = nullptr;
  name.clear();
  if (gApplication == this) gApplication = nullptr;
}

void Application::initEngineSubsystems() {
  using namespace KR;
  if (!EngineNotificationDispatcher::exists()) {
    new EngineNotificationDispatcher();
    ownsNotificationDispatcher = true;
  }
  benchmarker = new Benchmarker();
  objectFactory = new ObjectFactory();
  // A log system made by the host before start-up (to give it a writer) is
  // adopted and left to its maker.
  if (!LogSystem::exists()) logSystem = new LogSystem();

  log("Init EngineAllocators ...");
  engineAllocators = new EngineAllocators();
  engineAllocators->init();

  log("Init LexBindedFunctionManager...");
  lexBindedFunctionManager = new LexBindedFunctionManager();

  log("Init JobManager...");
  jobManager = new JobManager();

  log("Init TimerManager...");
  timerManager = new TimerManager();

  log("Init FileSystem...");
  fileSystem = new FileSystem();

  log("Init TextManager...");
  new TextManager();

  log("Init ConfigManager...");
  configManager = new ConfigManager();

  log("Init RenderSystem...");
  renderSystem = new RenderSystem(this);

  log("Init SoundManager...");
  soundManager = new SoundManager();
  // The GL driver loads while the rest of the engine starts and the sound
  // device opens; the window waits for it. Only after the sound manager has
  // started its opening thread: the loader's lock, held for the whole load,
  // also holds up the making of threads.
  Platform::preloadGraphicsDriver();

  resourceGroupManager = new ResourceGroupManager();

  log("Init ParticleSystem...");
  particleSystem = new ParticleSystem();

  log("Init InputManager...");
  inputManager = new InputManager(this);

  log("Init SpriteManager...");
  spriteManager = new SpriteManager<Sprite>();
  fastSpriteManager = new SpriteManager<FastSprite>();

  log("Init TextureManager...");
  textureManager = new TextureManager();

  log("Init UIManager...");
  uiManager = new UIManager();

  log("Init UIFontManager...");
  new UIFontManager();

  log("Init VideoSurfaceStreame...");
  videoSurfaceStreamer = new VideoSurfaceStreamer();

  log("Init VideoPlayer...");
  videoPlayer = new VideoPlayer();

  xmlCachedFilesManager = new XmlCachedFilesManager();

  fileSystem->loadFilesLocationInfo();

  running = 1;
  activate();
}

void Application::initGraphics() {
  renderSystem->initDevice();
  // The displacement shader, with no vertex part: the fixed vertex pipeline serves it.
  KR::ShaderProgram* displacement = renderSystem->getDisplacementProgram();
  renderSystem->releaseShaderProgram(displacement);
  displacement->mReady = renderSystem->createPixelShader(displacement, KR::kDisplacementShaderSource) == 0;
  if (inputManager) inputManager->initDevices();
}

int Application::runningJobs() { return jobManager ? jobManager->update() : 0; }

// True while the video player's queue holds a video.
bool Application::videoQueued() { return videoPlayer && videoPlayer->getQueuedCount() != 0; }

void Application::tick() {
  if (!running || !active) return;
  if (videoPlayer) videoPlayer->update();

  if (timerManager) timerManager->updateFrameTime();

  if (inputManager) {
    inputManager->getMouseDevice()->update();
    inputManager->getKeyboardDevice()->poll();
  }
  if (particleSystem) particleSystem->update();
  if (soundManager) soundManager->update();

  if (runningJobs() == 0) {
    if (!videoQueued()) {
      if (uiManager) uiManager->update();
      update();
    }
  } else {
    updateWhileLoading();
  }
}

void Application::paint() {
  if (!running || !active) return;
  if (runningJobs() == 0) {
    // A queued video draws the frame instead.
    if (videoQueued()) {
      videoPlayer->render();
    } else {
      render();
    }
  } else {
    renderWhileLoading();
  }
}

void Application::renderWhileLoading() {
  if (!renderSystem || !renderSystem->getDevice()) return;
  renderSystem->checkDeviceLost();
  if (systemFont) {
    const float dt = timerManager ? timerManager->getFrameTime() : KR::TimerManager::kMaxFrameTime;
    const KR::Color white = KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f);
    systemFont->drawText(KR::Vector2<float>(0.0f, 0.0f), KR::formatString("FPS %f", 1.0f / dt), 1.0f, white);
    systemFont->drawText(KR::Vector2<float>(0.0f, 20.0f), "Loading...", 1.0f, white);
  }
  renderSystem->renderFrame();
  renderSystem->present();
}

void Application::onPreRender(KR::Vector2<float>*, KR::Vector2<float>*) {}

void Application::onPostRender(float) {}

void Application::activate() {
  if (!active) {
    if (KR::EngineNotificationDispatcher::exists())
      KR::EngineNotificationDispatcher::getInstance()->dispatch(KR::Notification{KR::kNotificationActivated});
  }
  // The video streamer's thread reads the flag (atomic access; the field stays a byte).
  __atomic_store_n(&active, uint8_t(1), __ATOMIC_RELAXED);
  // Under the sound manager's lock: listener gain 1 while active.
  if (soundManager) soundManager->applyListenerGain();
}

void Application::deactivate() {
  if (active) {
    if (KR::EngineNotificationDispatcher::exists())
      KR::EngineNotificationDispatcher::getInstance()->dispatch(KR::Notification{KR::kNotificationDeactivated});
  }
  __atomic_store_n(&active, uint8_t(0), __ATOMIC_RELAXED);
  // Under the sound manager's lock: listener gain 0 while inactive (muted, not paused).
  if (soundManager) soundManager->applyListenerGain();
}

void Application::shutdownEngine() {
  if (jobManager) jobManager->clear();
  shutdown();
  running = 0;
  if (systemFont) {
    systemFont->release();
    systemFont = nullptr;
  }
  if (renderSystem) renderSystem->releaseRenderData();

  deleteAndClear(videoPlayer);
  deleteAndClear(videoSurfaceStreamer);
  deleteAndClear(uiManager);
  delete KR::UIFontManager::getInstancePtr();
  deleteAndClear(particleSystem);
  // The sprite managers delete the pictures still registered with them,
  // giving their textures back before the texture manager goes.
  deleteAndClear(spriteManager);
  deleteAndClear(fastSpriteManager);
  deleteAndClear(textureManager);
  deleteAndClear(soundManager);
  deleteAndClear(renderSystem);
  deleteAndClear(resourceGroupManager);
  deleteAndClear(inputManager);
  deleteAndClear(configManager);
  deleteAndClear(fileSystem);
  delete KR::TextManager::getInstancePtr();
  deleteAndClear(timerManager);
  deleteAndClear(jobManager);
  deleteAndClear(objectFactory);
  deleteAndClear(logSystem);
  deleteAndClear(lexBindedFunctionManager);
  deleteAndClear(xmlCachedFilesManager);
  deleteAndClear(engineAllocators);
  deleteAndClear(benchmarker);
  if (ownsNotificationDispatcher) {
    delete KR::EngineNotificationDispatcher::getInstancePtr();
    ownsNotificationDispatcher = false;
  }
}
