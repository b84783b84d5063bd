#include "system/main_win.h"

#include <cmath>
#include <cstdio>

#include "application.h"
#include "config_manager.h"
#include "core/game_cursor_manager.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "log_system.h"
#include "memory_manager.h"
#include "platform/single_instance.h"
#include "platform/system_info.h"
#include "platform/system_time.h"
#include "render_system_dx8.h"
#include "report_assert.h"

using namespace KR::Platform;

HostState gHost;

namespace {

constexpr int32_t kMinTrackWidth = 640;
constexpr int32_t kMinTrackHeight = 480;
constexpr int kMaxMessagesPerPass = 1024;

// Windows rounds these halvings toward zero.
int32_t half(int32_t value) { return value / 2; }

const KR::PlatformConfig& currentPlatform() { return *KR::ConfigManager::getInstance()->getCurrentPlatform(); }

void minimiseMainWindow() { sendMessage(gHost.window.get(), kWmSysCommand, kScMinimize, 0); }

}  // namespace

IntPair adjustWindowSize(IntPair clientSize, int32_t frameWidth, int32_t captionHeight) {
  return IntPair{clientSize.width + 2 * frameWidth, clientSize.height + 2 * frameWidth + captionHeight};
}

WindowRect computeWindowRectFor(const WindowRectInput& in) {
  WindowRect out;
  if (in.fullscreen) {
    out.clientSize = in.desktop;
    out.windowSize = in.desktop;
    out.position = IntPair{0, 0};
    return out;
  }
  const int32_t W = in.resolution.width;
  const int32_t H = in.resolution.height;
  const float aspect = float(W) / float(H);
  const int32_t F = in.frameWidth;
  const int32_t C = in.captionHeight;
  const int32_t aw = in.workArea.width - 2 * F;
  const int32_t ah = in.workArea.height - 2 * F - C;
  IntPair client{W, H};
  if (aw < W || ah < H) {
    const int32_t cw = std::min(aw, W);
    const int32_t ch = std::min(ah, H);
    const float ca = float(cw) / float(ch);
    if (in.fitType == 1) {
      const float a = std::min(std::max(ca, in.minimalAspect), aspect);
      if (a > ca)
        client = IntPair{cw, int32_t(float(cw) / a)};
      else
        client = IntPair{int32_t(a * float(ch)), ch};
    } else {
      if (aspect < ca)
        client = IntPair{int32_t(aspect * float(ch)), ch};
      else
        client = IntPair{cw, int32_t(float(cw) / aspect)};
    }
  }
  out.clientSize = client;
  out.position = IntPair{in.workArea.left + half(in.workArea.width) - half(client.width),
                         in.workArea.top + half(in.workArea.height) - half(C) - half(client.height)};
  out.windowSize = adjustWindowSize(client, F, C);
  return out;
}

void computeWindowRect(IntPair* position, IntPair* clientSize, IntPair* windowSize) {
  WindowRectInput in;
  in.fullscreen = gHost.fullscreenRequested != 0;
  desktopSize(in.desktop.width, in.desktop.height);
  const KR::PlatformConfig& platform = currentPlatform();
  in.resolution = IntPair{platform.resolutionWidth, platform.resolutionHeight};
  in.fitType = platform.fullscreenFitType;
  in.minimalAspect = platform.fullscreenMinimalAspect;
  in.workArea = workArea();
  windowFrameMetrics(in.frameWidth, in.captionHeight);
  WindowRect rect = computeWindowRectFor(in);
  if (position) *position = rect.position;
  if (clientSize) *clientSize = rect.clientSize;
  if (windowSize) *windowSize = rect.windowSize;
  if (in.fullscreen)
    gHost.maxTrackSize = rect.clientSize;
  else
    gHost.maxTrackSize = windowSize ? rect.windowSize : IntPair{0, 0};
}

bool ensureSingleInstance() {
  if (!gHost.instanceGuard) gHost.instanceGuard = std::make_unique<SingleInstanceGuard>(gHost.instanceName);
  // A refused guard has already asked the running copy to restore and raise
  // its window.
  if (!gHost.instanceGuard->acquire()) return true;
  setActiveInstanceGuard(gHost.instanceGuard.get());
  return false;
}

void initProgramPaths() { setProgramFolder(executableFolder()); }

void setProgramFolder(const std::string& folder) {
  if (folder.empty() || folder.size() >= 4096) {
    // Reported as the host's own fatal error, whatever file this code lives in.
    KR::reportAssert("KR", "", "main_win", 691);
    KR::fatalTrap();
  }
  gHost.mediaFolder = folder + "/media/";
  gHost.programFolder = folder + "/";
  KR::FileSystem::setContentFolder(gHost.mediaFolder);
}

void createMainWindow() {
  WindowInfo* info = gApplication->windowInfo;
  info->windowedStyle = 0x10CA0000;
  setWindowProc(&mainWindowProc);
  if (!initVideo()) KR_FATAL("Failed to start the video subsystem: " + lastError());

  int32_t screenWidth = 0, screenHeight = 0;
  desktopSize(screenWidth, screenHeight);
  const KR::PlatformConfig& platform = currentPlatform();
  IntPair client{platform.resolutionWidth, platform.resolutionHeight};
  int32_t frame = 0, caption = 0;
  windowFrameMetrics(frame, caption);
  IntPair outer = adjustWindowSize(client, frame, caption);
  info->mWndWidth = client.width;
  info->mWndHeight = client.height;
  const int32_t x = (screenWidth - outer.width) / 2;
  const int32_t y = (screenHeight - outer.height) / 2;

  gHost.window = std::make_unique<Window>();
  if (!gHost.window->create(gApplication->name, x + frame, y + frame + caption, client.width, client.height))
    KR_FATAL("Failed to create the main window: " + lastError());
  info->window = gHost.window.get();

  // The window opens in the mode asked for by now: the loop has no switch to
  // make (and no device reset) before its first frame.
  resetWindow(true, true);
  gHost.windowedApplied = gHost.fullscreenRequested == 0;
  desktopSize(gHost.desktopResolution.width, gHost.desktopResolution.height);
}

void resetWindow(bool resetDevice, bool useComputedPosition) {
  Window* window = gHost.window.get();
  WindowInfo* info = gApplication->windowInfo;
  sendMessage(window, kWmSysCommand, kScRestore, 0);
  const bool fullscreen = gHost.fullscreenRequested != 0;
  if (!fullscreen) {
    KR::log("resetWindow, window");
    IntPair position, client, outer;
    computeWindowRect(&position, &client, &outer);
    info->mWndWidth = client.width;
    info->mWndHeight = client.height;
    KR::log("Render target size: (%i, %i)", client.width, client.height);
    KR::log("set window size %i %i ", outer.width, outer.height);
    int32_t frame = 0, caption = 0;
    windowFrameMetrics(frame, caption);
    // The window is placed by its client area: the frame and caption lie
    // above and to the left of it.
    int32_t clientX = position.width + frame;
    int32_t clientY = position.height + frame + caption;
    if (!useComputedPosition && window) window->clientPosition(clientX, clientY);
    if (window) {
      window->setFullscreenStyle(false);
      window->setClientBounds(clientX, clientY, client.width, client.height);
    }
  } else {
    KR::log("resetWindow, fullscreen");
    IntPair client;
    computeWindowRect(nullptr, &client, nullptr);
    info->mWndWidth = client.width;
    info->mWndHeight = client.height;
    KR::log("set window size %i %i ", client.width, client.height);
    if (window) {
      window->setFullscreenStyle(true);
      window->setClientBounds(0, 0, client.width, client.height);
    }
  }
  if (resetDevice && gApplication->running && gApplication->renderSystem && gApplication->renderSystem->getDevice())
    gApplication->renderSystem->reset();
  if (window) window->setDisplayRequired(fullscreen);
  sendMessage(window, kWmActivateApp, 1, 0);
}

void checkDesktopResolution() {
  IntPair desktop;
  desktopSize(desktop.width, desktop.height);
  if (desktop.width != gHost.desktopResolution.width || desktop.height != gHost.desktopResolution.height) {
    KR::log("resolution changed!!!! ");
    gHost.desktopResolution = desktop;
    resetWindow(true, true);
  }
}

void windowSizeChanged(int32_t width, int32_t height) {
  if (width == 0 || height == 0) return;
  KR::log("windowSizeChanged %i; %i", width, height);
  gApplication->windowInfo->mWndWidth = width;
  gApplication->windowInfo->mWndHeight = height;
}

bool runMainLoopPass() {
  if (gApplication->quitRequested == 1) return false;
  if (gHost.windowedApplied != (gHost.fullscreenRequested == 0)) {
    resetWindow(true, true);
    gHost.windowedApplied = !gHost.windowedApplied;
  }
  // Every message waiting goes before the frame, so that what arrived by now
  // takes effect in this frame: taking one message per pass left input behind
  // a backlog (motion, window changes) for as many passes, and while inactive
  // each of them cost a sleep. The bound only guards against a procedure that
  // posts a message for each it handles.
  Message message;
  for (int i = 0; i < kMaxMessagesPerPass && peekMessage(message); ++i) {
    if (message.message == kWmQuit) return false;
    dispatchMessage(message);
  }
  if (gApplication->quitRequested == 1) return false;
  if (gApplication->active != 1) {
    KR::Platform::sleepMilliseconds(100);
    return true;
  }
  gApplication->tick();
  gApplication->paint();
  return true;
}

int runMainLoop() {
  while (runMainLoopPass()) {
  }
  gApplication->running = 0;
  return 0;
}

intptr_t mainWindowProc(const Message& m) {
  Application* app = gApplication;
  const bool fullscreen = gHost.fullscreenRequested != 0;
  switch (m.message) {
    case kWmDestroy:
      if (HOG::ProfileSystem::exists()) HOG::ProfileSystem::getInstance()->saveProfileList();
      postQuitMessage(0);
      return defWindowProc(m);
    case kWmSize:
      windowSizeChanged(int32_t(loWord(uintptr_t(m.lParam))), int32_t(hiWord(uintptr_t(m.lParam))));
      if (m.wParam == kSizeMaximized && app && app->running) resetWindow(false, false);
      return 0;
    case kWmActivate:
      if (loWord(m.wParam) != 0) {
        gHost.activationFlags |= kActivatedByActivate;
        checkDesktopResolution();
        if (!app->active && gHost.activationFlags == kAllActivated) app->activate();
      } else {
        gHost.activationFlags &= ~kActivatedByActivate;
        if (app->active) {
          app->deactivate();
          if (fullscreen) minimiseMainWindow();
        }
      }
      return 0;
    case kWmPaint: app->paint(); return defWindowProc(m);
    case kWmActivateApp: {
      const bool on = loWord(m.wParam) != 0;
      if (on)
        gHost.activationFlags |= kActivatedByActivateApp;
      else
        gHost.activationFlags &= ~(kActivatedByActivateApp | kActivatedByActivate);
      if (on) checkDesktopResolution();
      if (!on && app->active) {
        KR::log("wParam = FALSE");
        app->deactivate();
        if (fullscreen) minimiseMainWindow();
      }
      if (on && !app->active && gHost.activationFlags == kAllActivated) app->activate();
      return 0;
    }
    case kWmSetCursor:
      if (HOG::GameCursorManager::exists()) HOG::GameCursorManager::getInstance()->windowCursorInUse = 0;
      if (!app->active) return 0;
      if (app->windowInfo->hideSystemCursor && m.window) {
        m.window->setSystemCursorHidden(int32_t(loWord(uintptr_t(m.lParam))) == kHtClient);
      }
      return 0;
    case kWmGetMinMaxInfo: {
      MinMaxInfo* info = reinterpret_cast<MinMaxInfo*>(m.lParam);
      if (info) {
        info->minTrackWidth = kMinTrackWidth;
        info->minTrackHeight = kMinTrackHeight;
        info->maxTrackWidth = gHost.maxTrackSize.width;
        info->maxTrackHeight = gHost.maxTrackSize.height;
      }
      return 0;
    }
    case kWmNcActivate:
      if (loWord(m.wParam) != 0)
        gHost.activationFlags |= kActivatedByNcActivate;
      else
        gHost.activationFlags &= ~kActivatedByNcActivate;
      if (gHost.activationFlags == kAllActivated) app->activate();
      return defWindowProc(m);
    case kWmSysCommand:
      if ((m.wParam & 0xFFF0) == kScScreenSave && fullscreen) return 0;
      if (m.lParam == 13) gHost.fullscreenRequested = !gHost.fullscreenRequested;
      return defWindowProc(m);
    case kWmPowerBroadcast:
      if (m.wParam == kPbtApmQuerySuspend) {
        KR::log("WM_POWERBROADCAST lParam");
        return (m.lParam & 1) ? kBroadcastQueryDeny : 1;
      }
      return defWindowProc(m);
    default: return defWindowProc(m);
  }
}

int winMain(const ApplicationFactory& makeApplication) {
  if (ensureSingleInstance()) {
    // Said on stderr whatever the log settings: otherwise a second start looks
    // like a start that silently failed.
    std::fprintf(stderr, "Another copy of the game is already running; its window was brought to the front.\n");
    std::fflush(stderr);
    return 1;
  }
  if (!KR::MemoryManager::exists()) new KR::MemoryManager();
  initProgramPaths();

  Application* application = makeApplication();
  application->running = 0;
  // Applying a profile asks for its display mode, which the loop then switches to.
  HOG::ProfileSystem::fullScreenFlag = &gHost.fullscreenRequested;
  application->readSettings();
  createMainWindow();
  application->initGraphics();
  application->init();
  application->running = 1;
  runMainLoop();
  application->shutdownEngine();
  delete application;
  HOG::ProfileSystem::fullScreenFlag = nullptr;

  // The window goes with the process: no messages reach a procedure whose
  // application is gone.
  setWindowProc(nullptr);
  if (gHost.window) {
    gHost.window.reset();
  }
  resetMessageQueue();
  delete KR::MemoryManager::getInstance();
  return 0;
}
