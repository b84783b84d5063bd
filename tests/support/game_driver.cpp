#include "support/game_driver.h"

#include <SDL.h>
#include <unistd.h>
#include <cstdio>

#include "core/app_state.h"
#include "core/game_application.h"
#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/difficult_selection_window.h"
#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/main_menu.h"
#include "design_coords.h"
#include "file_system.h"
#include "memory_manager.h"
#include "platform/events.h"
#include "platform/input_injection.h"
#include "platform/input_state.h"
#include "platform/render_device.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "system/main_win.h"
#include "thread.h"
#include "timer_manager.h"
#include "user_data_folder.h"
#include "video_player.h"

namespace KR {
namespace Test {

GameDriver::~GameDriver() {
  if (app && !finished) finish(0);
  // The name is this process's own, so its lock file would only pile up.
  if (!gHost.instanceName.empty()) unlink(KR::Platform::SingleInstanceGuard(gHost.instanceName).lockPath().c_str());
}

bool GameDriver::start(bool fullscreen) {
  gHost.instanceName = "KrGameDriver-" + std::to_string(getpid());
  gHost.fullscreenRequested = fullscreen ? 1 : 0;
  gHost.windowedApplied = fullscreen ? 0 : 1;
  gHost.activationFlags = kAllActivated;
  if (ensureSingleInstance()) return false;
  if (!KR::MemoryManager::exists()) new KR::MemoryManager();
  setProgramFolder(std::string(KR_TEST_BINARY_DIR) + "/bin");
  app = new GameApplication();
  app->running = 0;
  app->readSettings();
  createMainWindow();
  app->initGraphics();
  if (KR::TimerManager::exists()) KR::TimerManager::getInstance()->fixedFrameTime = kStep;
  app->init();
  app->running = 1;
  return true;
}

namespace {

// The main menu's Play and the OK of its first-run name window and of its
// difficulty window, which lie at one place (media/front_end).
constexpr float kMenuPlay[2] = {720 + 120, 420 + 28};
constexpr float kWindowOk[2] = {780 + 60, 575 + 24};

}  // namespace

void GameDriver::designToWindow(float x, float y, int32_t* wx, int32_t* wy) {
  const KR::Viewport2D viewport = KR::calcViewport();
  *wx = int32_t(viewport.offset.x + (x + 0.5f) * viewport.scale);
  *wy = int32_t(viewport.offset.y + (y + 0.5f) * viewport.scale);
}

void GameDriver::forgetProfiles() {
  const std::string folder = KR::getUserDataFolder("Quellmoor", "Marlowick");
  std::remove((folder + "profilelist.dat").c_str());
  for (int id = 0; id < 10; ++id) {
    std::remove((folder + "profile" + std::to_string(id) + ".opt").c_str());
    std::remove((folder + "savegame" + std::to_string(id) + ".sav").c_str());
  }
}

bool GameDriver::startToMenu(bool firstRun) {
  if (firstRun) forgetProfiles();
  if (!app && !start()) return false;
  for (int i = 0; i < 40 && currentState() != "MainMenu"; ++i) {
    steps(16);
    tapKey(KR::Platform::kVkEscape);
  }
  return stepUntil([&] { return currentState() == "MainMenu"; }, 60);
}

bool GameDriver::enterPlay(const std::function<void()>& beforeStart) {
  HOG::MainMenu* menu = HOG::MainMenu::getInstancePtr();
  if (!menu) return false;
  int32_t x = 0, y = 0;
  // Each window takes clicks once its show animation (0.2 s) has run.
  steps(7);
  if (menu->firstNameWindow->shown) {
    designToWindow(kWindowOk[0], kWindowOk[1], &x, &y);
    click(x, y);
    steps(7);
  }
  designToWindow(kMenuPlay[0], kMenuPlay[1], &x, &y);
  if (beforeStart) beforeStart();
  click(x, y);
  steps(7);
  if (menu->difficultyWindow->shown) {
    designToWindow(kWindowOk[0], kWindowOk[1], &x, &y);
    if (beforeStart) beforeStart();
    click(x, y);
  }
  return stepUntil([&] { return currentState() == "Game"; }, 30);
}

bool GameDriver::step() {
  if (!app || ended) return false;
  // The host's own pass, so that play-throughs see its handling of messages and activation.
  if (!runMainLoopPass()) {
    ended = true;
    app->running = 0;
    return false;
  }
  ++frames;
  return true;
}

bool GameDriver::stepUntil(const std::function<bool()>& condition, int maxFrames) {
  for (int i = 0; i < maxFrames; ++i) {
    if (condition()) return true;
    if (!step()) return condition();
    KR::Thread::sleep(1);
  }
  return condition();
}

void GameDriver::steps(int count) {
  for (int i = 0; i < count && step(); ++i) {
  }
}

void GameDriver::moveMouse(int32_t x, int32_t y) { KR::Platform::pushMouseMotion(x, y); }

void GameDriver::pressMouse(int32_t x, int32_t y, int button) { KR::Platform::pushMouseButton(button, true, x, y); }

void GameDriver::releaseMouse(int32_t x, int32_t y, int button) { KR::Platform::pushMouseButton(button, false, x, y); }

void GameDriver::click(int32_t x, int32_t y, int button) {
  pressMouse(x, y, button);
  step();
  releaseMouse(x, y, button);
  step();
}

void GameDriver::pressKey(uint8_t virtualKey) { KR::Platform::pushKey(virtualKey, true); }

void GameDriver::releaseKey(uint8_t virtualKey) { KR::Platform::pushKey(virtualKey, false); }

void GameDriver::tapKey(uint8_t virtualKey) {
  pressKey(virtualKey);
  step();
  releaseKey(virtualKey);
  step();
}

void GameDriver::closeWindow() {
  if (!app || !app->windowInfo || !app->windowInfo->window) return;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = app->windowInfo->window->id();
  SDL_PushEvent(&close);
}

int GameDriver::finish(int maxFrames) {
  if (!app || finished) return 0;
  for (int i = 0; i < maxFrames && step(); ++i) {
  }
  app->running = 0;
  app->shutdownEngine();
  delete app;
  app = nullptr;
  KR::Platform::setWindowProc(nullptr);
  gHost.window.reset();
  KR::Platform::resetMessageQueue();
  gHost.instanceGuard.reset();
  delete KR::MemoryManager::getInstancePtr();
  finished = true;
  return 0;
}

std::string GameDriver::currentState() const {
  HOG::AppStateManager* states = HOG::AppStateManager::getInstancePtr();
  return states && states->getCurrentState() ? states->getCurrentState()->getName() : std::string();
}

std::string GameDriver::activeView() const {
  HOG::Game* game = HOG::Game::getInstancePtr();
  const HOG::View* view = game ? game->getViewStack().getActiveView() : nullptr;
  return view ? std::string(view->name) : std::string();
}

std::vector<std::string> GameDriver::inventory() const {
  std::vector<std::string> names;
  if (HOG::Game* game = HOG::Game::getInstancePtr())
    for (const HOG::InventoryItem* item : game->getInventory().getItems()) names.push_back(item->name);
  return names;
}

std::string GameDriver::message() const {
  HOG::Game* game = HOG::Game::getInstancePtr();
  if (!game || !game->getMessages()) return std::string();
  return KR::toNarrowString(game->getMessages()->currentText());
}

bool GameDriver::readFrame(std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) const {
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice()) return false;
  KR::Platform::RenderDevice* device = renderSystem->getDevice();
  return device->readPixels(device->backBuffer(), rgba, width, height);
}

int GameDriver::brightPixelsAround(int32_t x, int32_t y, int32_t radius) const {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  if (!readFrame(rgba, width, height)) return 0;
  int count = 0;
  for (int32_t py = y - radius; py <= y + radius; ++py)
    for (int32_t px = x - radius; px <= x + radius; ++px) {
      if (px < 0 || py < 0 || px >= int32_t(width) || py >= int32_t(height)) continue;
      const uint8_t* p = &rgba[(size_t(py) * width + size_t(px)) * 4];
      if (p[0] + p[1] + p[2] > 450) ++count;
    }
  return count;
}

bool GameDriver::videoPlaying() const {
  return KR::VideoPlayer::exists() && KR::VideoPlayer::getInstance()->getQueuedCount() > 0;
}

}  // namespace Test
}  // namespace KR
