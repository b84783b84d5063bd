#include "platform/message_box.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace KR {
namespace Platform {

namespace {

std::atomic<int> gBoxesShowing{0};
std::atomic<pid_t> gBoxOwner{0};

// In a child forked while a box is up. Async-signal-safe only.
void endWithTheOwner() {
  if (gBoxesShowing.load() == 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // The owner may have ended before the line above: then nobody is left to wait for.
  if (getppid() != gBoxOwner.load()) _exit(1);
}

}  // namespace

MessageBoxChildren::MessageBoxChildren() {
  static std::once_flag once;
  std::call_once(once, [] { pthread_atfork(nullptr, nullptr, endWithTheOwner); });
  gBoxOwner.store(getpid());
  gBoxesShowing.fetch_add(1);
}

MessageBoxChildren::~MessageBoxChildren() { gBoxesShowing.fetch_sub(1); }

bool isHeadless() {
  const char* forced = std::getenv("KR_HEADLESS");
  if (forced && forced[0] == '1') return true;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
  if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) return true;
  // Without a video subsystem and without any display to reach, SDL cannot show a box.
  if (!SDL_WasInit(SDL_INIT_VIDEO) && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return true;
  return false;
}

static MessageBoxResult printToStderr(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "==== %s ====\n%s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  return MessageBoxResult::Cancel;
}

MessageBoxResult showMessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                                MessageBoxIcon icon) {
  if (isHeadless()) return printToStderr(text, caption);

  SDL_MessageBoxButtonData data[2];
  int count = 0;
  data[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "OK"};
  if (buttons == MessageBoxButtons::OkCancel) data[count++] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 2, "Cancel"};

  SDL_MessageBoxData box{};
  box.flags = icon == MessageBoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  box.window = nullptr;
  box.title = caption.c_str();
  box.message = text.c_str();
  box.numbuttons = count;
  box.buttons = data;
  int pressed = -1;
  int shown;
  {
    MessageBoxChildren children;
    shown = SDL_ShowMessageBox(&box, &pressed);
  }
  if (shown < 0 || pressed < 0) {
    // No display after all: say it where someone can read it and act as Cancel.
    return printToStderr(text, caption);
  }
  return pressed == 1 ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
}

}  // namespace Platform
}  // namespace KR
