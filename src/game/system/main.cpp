// The game's entry point.
#include <cstring>
#include <memory>

#include "core/game_application.h"
#include "log_system.h"
#include "system/main_win.h"

// Under AddressSanitizer: the system's D-Bus library (reached through SDL on
// a desktop) keeps a buffer for the life of the process, which the leak check
// at exit reports. Only leaks allocated inside that library are passed over;
// a leak of ours still fails the run.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  // "--log" writes the engine's log lines (warnings, errors and what a content
  // author needs) to stderr; "--verbose" writes them with the trace lines too
  // (textures destroyed, extensions made, the scripts' print). The log system
  // made here is adopted by the engine start-up. "--showcase" opens the engine
  // showcase instead of the game, "--play" goes past the logos and menu into play.
  std::unique_ptr<KR::LogSystem> logSystem;
  for (int i = 1; i < argc; ++i) {
    const bool verbose = std::strcmp(argv[i], "--verbose") == 0;
    if (verbose || std::strcmp(argv[i], "--log") == 0) {
      if (!logSystem) {
        logSystem = std::make_unique<KR::LogSystem>();
        logSystem->addWriter(std::make_unique<KR::StderrLogWriter>());
      }
      if (verbose) logSystem->setVerbose(true);
    } else if (std::strcmp(argv[i], "--showcase") == 0) {
      GameApplication::launchMode = GameApplication::LaunchMode::Showcase;
    } else if (std::strcmp(argv[i], "--play") == 0) {
      GameApplication::launchMode = GameApplication::LaunchMode::Play;
    }
  }
  return winMain([] { return new GameApplication(); });
}
