#include <gtest/gtest.h>

#include <SDL.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "application.h"
#include "core/game_cursor_manager.h"
#include "core/main_menu_state/profile_system.h"
#include "file_system.h"
#include "notification.h"
#include "platform/events.h"
#include "platform/single_instance.h"
#include "platform/window.h"
#include "support/test_support.h"
#include "system/main_win.h"

using namespace KR::Platform;

namespace {

// The content folder the host itself uses is the executable's folder + "/media/".
std::string hostMediaFolder() {
  std::string folder = std::string(KR_TEST_BINARY_DIR) + "/tests/media";
  mkdir(folder.c_str(), 0755);
  return folder;
}

void useContent(int width, int height, int fitType, std::string folder = std::string()) {
  if (folder.empty()) folder = KR::Test::scratchDir("host-content");
  KR::Test::writeFile(folder + "/config.lua",
                      "config = { platforms = { { name = \"pc\", directories = { \"data\" }, resolution = { " +
                          std::to_string(width) + ", " + std::to_string(height) +
                          " }, fullscreenFitType = " + std::to_string(fitType) + " } }, currentPlatform = \"pc\" }\n");
  KR::Test::writeStartupContent(folder);
  KR::FileSystem::setContentFolder(folder + "/");
}

WindowRectInput input(int32_t w, int32_t h, uint32_t fit, KR::Platform::IntRect area) {
  WindowRectInput in;
  in.resolution = IntPair{w, h};
  in.fitType = fit;
  in.minimalAspect = 1.33f;
  in.workArea = area;
  in.frameWidth = 4;
  in.captionHeight = 20;
  in.desktop = IntPair{1920, 1080};
  return in;
}

}  // namespace

TEST(WindowRect, FittingWorkAreaKeepsTheResolutionAndCentres) {
  WindowRect r = computeWindowRectFor(input(1024, 768, 0, {0, 0, 1920, 1040}));
  EXPECT_EQ(r.clientSize.width, 1024);
  EXPECT_EQ(r.clientSize.height, 768);
  EXPECT_EQ(r.windowSize.width, 1032);
  EXPECT_EQ(r.windowSize.height, 796);
  EXPECT_EQ(r.position.width, 960 - 512);
  EXPECT_EQ(r.position.height, 520 - 10 - 384);
  // A work area that does not start at the origin moves the window with it.
  WindowRect shifted = computeWindowRectFor(input(1024, 768, 0, {100, 50, 1920, 1040}));
  EXPECT_EQ(shifted.position.width, r.position.width + 100);
  EXPECT_EQ(shifted.position.height, r.position.height + 50);
}

TEST(WindowRect, SmallWorkAreaKeepsTheDesignAspect) {
  // Available 1272 x 692 (aspect 1.838): the design aspect 1.6 is narrower, so the height rules.
  WindowRect r = computeWindowRectFor(input(1600, 1000, 0, {0, 0, 1280, 720}));
  EXPECT_EQ(r.clientSize.height, 692);
  EXPECT_EQ(r.clientSize.width, int32_t(1.6f * 692.0f));
  // A tall work area: the width rules.
  WindowRect tall = computeWindowRectFor(input(1600, 1000, 0, {0, 0, 1000, 1200}));
  EXPECT_EQ(tall.clientSize.width, 992);
  EXPECT_EQ(tall.clientSize.height, int32_t(992.0f / 1.6f));
}

TEST(WindowRect, FitTypeOneClampsTheAspectBetweenMinimalAndDesign) {
  // Work area 1032 x 1000 gives 1024 x 972 available (aspect 1.053), below the
  // minimal aspect 1.33: the width rules at aspect 1.33.
  WindowRect r = computeWindowRectFor(input(1600, 1000, 1, {0, 0, 1032, 1000}));
  EXPECT_EQ(r.clientSize.width, 1024);
  EXPECT_EQ(r.clientSize.height, int32_t(1024.0f / 1.33f));
  // Available 1272 x 692 (aspect 1.838) with design aspect 1.6: clamped to 1.6.
  WindowRect wide = computeWindowRectFor(input(1600, 1000, 1, {0, 0, 1280, 720}));
  EXPECT_EQ(wide.clientSize.height, 692);
  EXPECT_EQ(wide.clientSize.width, int32_t(1.6f * 692.0f));
  // Between the two: the available aspect itself.
  WindowRect between = computeWindowRectFor(input(2000, 1000, 1, {0, 0, 1508, 1000}));
  EXPECT_EQ(between.clientSize.width, 1500);
  EXPECT_EQ(between.clientSize.height, 972);
}

TEST(WindowRect, FullScreenIsTheDesktop) {
  WindowRectInput in = input(1024, 768, 0, {0, 0, 800, 600});
  in.fullscreen = true;
  WindowRect r = computeWindowRectFor(in);
  EXPECT_EQ(r.clientSize.width, 1920);
  EXPECT_EQ(r.clientSize.height, 1080);
  EXPECT_EQ(r.windowSize.width, 1920);
  EXPECT_EQ(r.position.width, 0);
  EXPECT_EQ(r.position.height, 0);
}

namespace {

class Listener : public KR::NotificationListener {
 public:
  void onNotification(const KR::Notification& n) override { codes.push_back(n.code); }
  std::vector<uint32_t> codes;
};

// An application with its window, as the host makes it.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    useContent(800, 600, 0);
    gHost.fullscreenRequested = 0;
    gHost.windowedApplied = 1;
    gHost.activationFlags = kAllActivated;
    app = new Application();
    createMainWindow();
    resetMessageQueue();
    KR::EngineNotificationDispatcher::getInstance()->addListener(&listener);
  }
  void TearDown() override {
    KR::EngineNotificationDispatcher::getInstance()->removeListener(&listener);
    app->shutdownEngine();
    delete app;
    setWindowProc(nullptr);
    gHost.window.reset();
    resetMessageQueue();
  }
  intptr_t send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
    return sendMessage(gHost.window.get(), message, wParam, lParam);
  }
  KR::Test::LogCapture capture;
  Application* app = nullptr;
  Listener listener;
};

}  // namespace

TEST_F(HostTest, WindowTakesTheConfiguredClientSize) {
  EXPECT_EQ(app->windowInfo->mWndWidth, 800);
  EXPECT_EQ(app->windowInfo->mWndHeight, 600);
  EXPECT_EQ(app->windowInfo->window, gHost.window.get());
  int32_t w = 0, h = 0;
  gHost.window->clientSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_NE(gHost.window->nativeHandle(), nullptr);
}

TEST_F(HostTest, ReactivationNeedsAllThreeMessages) {
  ASSERT_EQ(app->active, 1);
  send(kWmActivateApp, 0);
  EXPECT_EQ(app->active, 0);
  EXPECT_EQ(gHost.activationFlags, uint32_t(kActivatedByNcActivate));
  // Only two of three report active: the application stays inactive.
  send(kWmActivateApp, 1);
  send(kWmNcActivate, 1);
  EXPECT_EQ(app->active, 0);
  send(kWmActivate, kWaActive);
  EXPECT_EQ(app->active, 1);
  EXPECT_EQ(gHost.activationFlags, kAllActivated);
  // Losing WM_ACTIVATE alone deactivates.
  send(kWmActivate, kWaInactive);
  EXPECT_EQ(app->active, 0);
  send(kWmActivate, kWaInactive);
  EXPECT_EQ(listener.codes, (std::vector<uint32_t>{KR::kNotificationDeactivated, KR::kNotificationActivated,
                                                   KR::kNotificationDeactivated}));
  EXPECT_TRUE(capture.contains("wParam = FALSE"));
}

TEST_F(HostTest, ChangedDesktopIsNoticedOnActivationAndRebuildsTheWindowOnce) {
  int32_t dw = 0, dh = 0;
  desktopSize(dw, dh);
  EXPECT_EQ(gHost.desktopResolution.width, dw);
  EXPECT_EQ(gHost.desktopResolution.height, dh);
  // As during the window's first reset, before the desktop size is stored.
  gHost.desktopResolution = IntPair{0, 0};
  send(kWmActivateApp, 1);
  std::vector<std::string> lines = capture.lines();
  size_t changes = 0, resets = 0;
  for (const std::string& line : lines) {
    if (line == "resolution changed!!!! ") ++changes;
    if (line == "resetWindow, window") ++resets;
  }
  // The reset ends with WM_ACTIVATEAPP again, which now finds the size unchanged.
  EXPECT_EQ(changes, 1u);
  EXPECT_GE(resets, 1u);
  EXPECT_EQ(gHost.desktopResolution.width, dw);
  EXPECT_EQ(gHost.desktopResolution.height, dh);
}

TEST_F(HostTest, SystemCommandsScreenSaverAndPower) {
  // Alt+Enter flips the request; the loop applies it later.
  send(kWmSysCommand, kScKeyMenu, 13);
  EXPECT_EQ(gHost.fullscreenRequested, 1);
  EXPECT_EQ(gHost.windowedApplied, 1);
  // In full screen a screen-saver request is swallowed (nothing else happens).
  EXPECT_EQ(send(kWmSysCommand, kScScreenSave), 0);
  send(kWmSysCommand, kScKeyMenu, 13);
  EXPECT_EQ(gHost.fullscreenRequested, 0);

  EXPECT_EQ(send(kWmPowerBroadcast, kPbtApmQuerySuspend, 1), kBroadcastQueryDeny);
  EXPECT_EQ(send(kWmPowerBroadcast, kPbtApmQuerySuspend, 0), 1);
  EXPECT_TRUE(capture.contains("WM_POWERBROADCAST lParam"));
}

TEST_F(HostTest, SizeTrackingAndCursor) {
  send(kWmSize, kSizeMinimized, 0);
  EXPECT_EQ(app->windowInfo->mWndWidth, 800);
  send(kWmSize, kSizeRestored, makeLParam(700, 500));
  EXPECT_EQ(app->windowInfo->mWndWidth, 700);
  EXPECT_EQ(app->windowInfo->mWndHeight, 500);

  MinMaxInfo info;
  send(kWmGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info));
  EXPECT_EQ(info.minTrackWidth, 640);
  EXPECT_EQ(info.minTrackHeight, 480);
  EXPECT_EQ(info.maxTrackWidth, gHost.maxTrackSize.width);

  HOG::GameCursorManager cursors;
  cursors.windowCursorInUse = 1;
  send(kWmSetCursor, 0, makeLParam(kHtClient, 0));
  EXPECT_EQ(cursors.windowCursorInUse, 0);
}

TEST_F(HostTest, FullScreenSwitchAppliesAtTheNextLoopPass) {
  gHost.fullscreenRequested = 1;
  app->quitRequested = 0;
  // One loop pass: the switch, then the quit request ends the loop.
  postMessage(gHost.window.get(), kWmQuit, 0, 0);
  runMainLoop();
  EXPECT_EQ(gHost.windowedApplied, 0);
  EXPECT_TRUE(capture.contains("resetWindow, fullscreen"));
  int32_t dw = 0, dh = 0;
  desktopSize(dw, dh);
  EXPECT_EQ(app->windowInfo->mWndWidth, dw);
  EXPECT_EQ(app->windowInfo->mWndHeight, dh);
  // Losing the focus in full screen deactivates and minimises.
  send(kWmActivate, kWaInactive);
  EXPECT_EQ(app->active, 0);
  gHost.fullscreenRequested = 0;
  postMessage(gHost.window.get(), kWmQuit, 0, 0);
  runMainLoop();
  EXPECT_EQ(gHost.windowedApplied, 1);
  EXPECT_EQ(app->running, 0);
}

namespace {

class ClosingApplication : public Application {
 public:
  void init() override { profiles = new HOG::ProfileSystem(); }
  void update() override {
    if (++ticks == 3) {
      SDL_Event close{};
      close.type = SDL_WINDOWEVENT;
      close.window.event = SDL_WINDOWEVENT_CLOSE;
      close.window.windowID = windowInfo->window->id();
      SDL_PushEvent(&close);
    }
  }
  void shutdown() override {
    std::fprintf(stderr, "game shutdown after %d ticks, %d saves\n", ticks, profiles->getSaveCount());
    delete profiles;
  }
  int ticks = 0;
  HOG::ProfileSystem* profiles = nullptr;
};

}  // namespace

TEST(HostDeathTest, ClosingTheWindowEndsTheRunWithZero) {
  // The run happens in a child process started by this one, which names the
  // instance after its parent so that the parent can remove the lock file.
  EXPECT_EXIT(
      {
        useContent(800, 600, 0, hostMediaFolder());
        KR::LogSystem logSystem;
        logSystem.addWriter(std::make_unique<KR::StderrLogWriter>());
        gHost.instanceName = "KrHostTest-close-" + std::to_string(getppid());
        std::exit(winMain([] { return new ClosingApplication(); }));
      },
      ::testing::ExitedWithCode(0), "game shutdown after 3 ticks, 1 saves");
  unlink(SingleInstanceGuard("KrHostTest-close-" + std::to_string(getpid())).lockPath().c_str());
}

TEST(HostDeathTest, TooLongProgramFolderIsTheHostsFatalError) {
  setProgramFolder("/opt/game");
  EXPECT_EQ(gHost.mediaFolder, "/opt/game/media/");
  EXPECT_EQ(gHost.programFolder, "/opt/game/");
  initProgramPaths();
  EXPECT_EXIT(setProgramFolder(std::string(4096, 'a')), ::testing::ExitedWithCode(255),
              "Description:\n  \n\nFile:\n  main_win\n\nLine:\n  691");
}

TEST(Host, SecondCopyEndsWithOneAndRaisesTheFirst) {
  std::string name = "KrHostTest-second-" + std::to_string(getpid());
  SingleInstanceGuard first(name);
  ASSERT_TRUE(first.acquire());
  std::string errors = KR::Test::scratchDir("second-copy") + "/stderr.txt";
  pid_t child = fork();
  if (child == 0) {
    gHost.instanceName = name;
    FILE* redirected = std::freopen(errors.c_str(), "w", stderr);
    if (!redirected) _exit(3);
    // The application is never made: the second copy ends before the engine starts.
    _exit(winMain([]() -> Application* { std::abort(); }));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(first.takeRaiseRequest());
  EXPECT_NE(KR::Test::readFile(errors).find("already running"), std::string::npos);
  unlink(first.lockPath().c_str());
}
