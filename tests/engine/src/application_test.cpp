#include <gtest/gtest.h>

#include <SDL.h>

#include <unistd.h>
#include <csignal>
#include <string>
#include <vector>

#include "application.h"
#include "benchmarker.h"
#include "config_manager.h"
#include "crash_report.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "input_manager_win_mac.h"
#include "job_manager.h"
#include "lex_binded_function_manager.h"
#include "notification.h"
#include "object_factory.h"
#include "particle_system.h"
#include "platform/events.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "report_assert.h"
#include "support/test_support.h"
#include "timer_manager.h"
#include "ui/text_manager.h"
#include "ui/ui_manager.h"
#include "xml_cached_files_manager.h"

namespace {

// A content folder with the two files the start-up cannot do without.
void useMinimalContent() {
  std::string folder = KR::Test::scratchDir("app-content");
  KR::Test::writeFile(folder + "/config.lua",
                      "config = { platforms = { { name = \"pc\", directories = { \"data\" }, "
                      "resolution = { 800, 600 } } }, currentPlatform = \"pc\" }\n");
  KR::Test::writeStartupContent(folder);
  KR::FileSystem::setContentFolder(folder + "/");
}

struct Counters {
  int updates = 0;
  int renders = 0;
  int loadingUpdates = 0;
  int loadingRenders = 0;
  bool engineAliveAtShutdown = false;
  bool runningAtShutdown = false;
};

class CountingApplication : public Application {
 public:
  explicit CountingApplication(Counters& counters_) : counters(counters_) {}
  void update() override { ++counters.updates; }
  void render() override { ++counters.renders; }
  void updateWhileLoading() override { ++counters.loadingUpdates; }
  void renderWhileLoading() override { ++counters.loadingRenders; }
  void shutdown() override {
    counters.runningAtShutdown = running != 0;
    counters.engineAliveAtShutdown = KR::FileSystem::exists() && KR::ConfigManager::exists() &&
                                     KR::UIManager::exists() && KR::InputManager::exists() && KR::LogSystem::exists() &&
                                     KR::JobManager::exists();
  }
  Counters& counters;
};

class Listener : public KR::NotificationListener {
 public:
  void onNotification(const KR::Notification& n) override { codes.push_back(n.code); }
  std::vector<uint32_t> codes;
};

size_t indexOf(const std::vector<std::string>& lines, const std::string& text) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return lines.size();
}

}  // namespace

TEST(Application, StartUpCreatesTheEngineInOrderAndShutdownRemovesIt) {
  useMinimalContent();
  KR::Test::LogCapture capture;
  Counters counters;
  auto* app = new CountingApplication(counters);
  EXPECT_EQ(gApplication, app);
  EXPECT_EQ(app->running, 1);
  EXPECT_EQ(app->active, 1);

  std::vector<std::string> lines = capture.lines();
  const char* order[] = {"Init EngineAllocators ...", "Init LexBindedFunctionManager...",
                         "Init JobManager...",        "Init TimerManager...",
                         "Init FileSystem...",        "Init TextManager...",
                         "Init ConfigManager...",     "Current platform: pc",
                         "Init ParticleSystem...",    "Init InputManager...",
                         "Init UIManager...",         "Filesystem:: load files location info"};
  size_t previous = 0;
  for (const char* step : order) {
    size_t at = indexOf(lines, step);
    ASSERT_LT(at, lines.size()) << step;
    EXPECT_GE(at, previous) << step;
    previous = at;
  }
  EXPECT_TRUE(KR::EngineNotificationDispatcher::exists());
  EXPECT_TRUE(KR::Benchmarker::exists());
  EXPECT_TRUE(KR::EngineAllocators::exists());
  EXPECT_TRUE(KR::LexBindedFunctionManager::exists());
  EXPECT_TRUE(KR::TimerManager::exists());
  EXPECT_TRUE(KR::TextManager::exists());
  EXPECT_TRUE(KR::ResourceGroupManager::exists());
  EXPECT_TRUE(KR::ParticleSystem::exists());
  EXPECT_TRUE(KR::ObjectFactory::exists());
  EXPECT_TRUE(KR::XmlCachedFilesManager::exists());
  EXPECT_EQ(app->configManager->vertexFormatFlags, 21u);
  EXPECT_EQ(app->configManager->getCurrentPlatform()->resolutionWidth, 800);

  app->shutdownEngine();
  EXPECT_TRUE(counters.engineAliveAtShutdown);
  EXPECT_TRUE(counters.runningAtShutdown);
  EXPECT_EQ(app->running, 0);
  EXPECT_FALSE(KR::FileSystem::exists());
  EXPECT_FALSE(KR::ConfigManager::exists());
  EXPECT_FALSE(KR::TextManager::exists());
  EXPECT_FALSE(KR::UIManager::exists());
  EXPECT_FALSE(KR::InputManager::exists());
  EXPECT_FALSE(KR::ParticleSystem::exists());
  EXPECT_FALSE(KR::JobManager::exists());
  EXPECT_FALSE(KR::TimerManager::exists());
  EXPECT_FALSE(KR::Benchmarker::exists());
  EXPECT_FALSE(KR::ObjectFactory::exists());
  EXPECT_FALSE(KR::XmlCachedFilesManager::exists());
  EXPECT_FALSE(KR::EngineAllocators::exists());
  EXPECT_FALSE(KR::EngineNotificationDispatcher::exists());
  // The log system was made before start-up, so it stays with its maker.
  EXPECT_TRUE(KR::LogSystem::exists());
  delete app;
  EXPECT_EQ(gApplication, nullptr);
}

TEST(Application, TickAndDrawingRunOnlyWhileRunningAndActive) {
  useMinimalContent();
  KR::Test::LogCapture capture;
  Counters counters;
  CountingApplication app(counters);
  Listener listener;
  KR::EngineNotificationDispatcher::getInstance()->addListener(&listener);

  app.tick();
  app.paint();
  EXPECT_EQ(counters.updates, 1);
  EXPECT_EQ(counters.renders, 1);

  app.deactivate();
  app.deactivate();  // already inactive: no second notification
  app.tick();
  app.paint();
  EXPECT_EQ(counters.updates, 1);
  EXPECT_EQ(counters.renders, 1);

  app.activate();
  app.activate();
  EXPECT_EQ(listener.codes, (std::vector<uint32_t>{KR::kNotificationDeactivated, KR::kNotificationActivated}));

  app.running = 0;
  app.tick();
  app.paint();
  EXPECT_EQ(counters.updates, 1);
  app.running = 1;
  KR::EngineNotificationDispatcher::getInstance()->removeListener(&listener);
  app.shutdownEngine();
}

namespace {
struct Gate {
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  void wait() {
    pthread_mutex_lock(&lock);
    pthread_mutex_unlock(&lock);
  }
};
}  // namespace

TEST(Application, ARunningJobSwitchesTheFrameToLoading) {
  useMinimalContent();
  KR::Test::LogCapture capture;
  Counters counters;
  CountingApplication app(counters);
  Gate gate;
  pthread_mutex_lock(&gate.lock);
  KR::Job* job = app.jobManager->addJob(new KR::Function<Gate>(&gate, &Gate::wait));
  job->start();
  app.tick();
  app.paint();
  EXPECT_EQ(counters.loadingUpdates, 1);
  EXPECT_EQ(counters.loadingRenders, 1);
  EXPECT_EQ(counters.updates, 0);
  EXPECT_EQ(counters.renders, 0);
  pthread_mutex_unlock(&gate.lock);
  job->wait();
  // The first frame after the job ends reaps it and is a normal frame again.
  app.tick();
  app.paint();
  EXPECT_EQ(counters.updates, 1);
  EXPECT_EQ(counters.renders, 1);
  app.shutdownEngine();
}

TEST(Application, TickPollsMouseAndKeyboardFromTheEventStream) {
  useMinimalContent();
  KR::Test::LogCapture capture;
  Counters counters;
  CountingApplication app(counters);
  ASSERT_TRUE(KR::Platform::initVideo());
  KR::Platform::resetMessageQueue();
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.scancode = SDL_SCANCODE_SPACE;
  SDL_PushEvent(&key);
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_LEFT;
  press.button.x = 17;
  press.button.y = 23;
  SDL_PushEvent(&press);
  KR::Platform::Message message;
  while (KR::Platform::peekMessage(message)) {
  }
  app.tick();
  KR::KeyboardDevice* keyboard = app.inputManager->getKeyboardDevice();
  KR::MouseDevice* mouse = app.inputManager->getMouseDevice();
  EXPECT_TRUE(keyboard->wentDown(KR::Platform::kVkSpace));
  // Mouse buttons belong to the mouse device, not to the key table.
  EXPECT_EQ(keyboard->keys[KR::Platform::kVkLButton], 0);
  EXPECT_TRUE(mouse->wentDown(0));
  EXPECT_EQ(mouse->cursorX, 17);
  EXPECT_EQ(mouse->cursorY, 23);
  app.tick();
  EXPECT_FALSE(keyboard->wentDown(KR::Platform::kVkSpace));
  EXPECT_TRUE(keyboard->isDown(KR::Platform::kVkSpace));
  EXPECT_FALSE(mouse->wentDown(0));
  KR::Platform::clearInputState();
  app.shutdownEngine();
}

TEST(ApplicationDeathTest, MissingConfigurationIsFatal) {
  EXPECT_EXIT(
      {
        std::string folder = KR::Test::scratchDir("app-empty");
        KR::FileSystem::setContentFolder(folder + "/");
        Application app;
      },
      ::testing::ExitedWithCode(255), "An error was occured(.|\n)*Description:\n  Failed to load config file");
}

TEST(ApplicationDeathTest, ReachingAManagerAfterShutdownIsFatal) {
  EXPECT_EXIT(
      {
        useMinimalContent();
        Application app;
        app.shutdownEngine();
        KR::UIManager::getInstance();
      },
      ::testing::ExitedWithCode(255), "Singleton not initialized: class KR::UIManager");
}

TEST(CrashReport, StackWordsGoSevenToALine) {
  uint32_t words[10];
  for (uint32_t i = 0; i < 10; ++i) words[i] = 0x100 + i;
  std::vector<std::string> lines = KR::formatStackWords(words, 10, 0x1000);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "0x0000000000001000: 0x00000100 0x00000101 0x00000102 0x00000103 0x00000104 0x00000105 0x00000106");
  EXPECT_EQ(lines[1], "0x000000000000101C: 0x107 0x108 0x109 ");
  EXPECT_EQ(KR::formatStackWords(words, 7, 0).size(), 1u);
  EXPECT_TRUE(KR::formatStackWords(words, 0, 0).empty());
}

TEST(CrashReportDeathTest, ApplicationCrashIsReportedThroughTheLog) {
  std::string folder = std::string(KR_TEST_BINARY_DIR) + "/tests";
  EXPECT_EXIT(
      {
        useMinimalContent();
        KR::LogSystem logSystem;
        logSystem.addWriter(std::make_unique<KR::StderrLogWriter>());
        Application app;
        if (chdir(folder.c_str()) != 0) _exit(3);
        KR_FATAL("boom");  // headless answers Cancel: ends with -1 before any trap
      },
      ::testing::ExitedWithCode(255), "ERROR: Assert occured(.|\n)*boom");
  EXPECT_EXIT(
      {
        useMinimalContent();
        KR::LogSystem logSystem;
        logSystem.addWriter(std::make_unique<KR::StderrLogWriter>());
        Application app;
        if (chdir(folder.c_str()) != 0) _exit(3);
        KR::fatalTrap();
      },
      ::testing::KilledBySignal(SIGTRAP),
      "Exception code 0x0000000080000003(.|\n)*\\* ERROR: Unhandled exception occured! \\*(.|\n)*"
      "ExceptionCode:                 0000000080000003(.|\n)*Registers:\nRDI: [0-9A-F]{16}(.|\n)*"
      "Stack \\(top: 0x[0-9A-F]{16} bottom(.|\n)*Modules: \n(.|\n)*test_app Handle");
}
