#pragma once
// The host: entry point, single-instance guard, program paths, the main
// window with its window procedure, windowed/full-screen switching and the
// message loop that drives the application's frame.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/window.h"

class Application;

namespace KR {
namespace Platform {
class SingleInstanceGuard;
}
}  // namespace KR

struct IntPair {
  int32_t width = 0;   // or x
  int32_t height = 0;  // or y
};

// Process-wide host state.
struct HostState {
  std::string instanceName = "KorloEngineApplicationInterprocessMutex";
  std::unique_ptr<KR::Platform::SingleInstanceGuard> instanceGuard;
  std::string mediaFolder;    // executable folder + "/media/"
  std::string programFolder;  // executable folder + "/"
  uint8_t fullscreenRequested = 0;
  uint8_t windowedApplied = 1;
  uint32_t activationFlags = 14;
  IntPair maxTrackSize;
  IntPair desktopResolution;
  std::unique_ptr<KR::Platform::Window> window;
};
extern HostState gHost;

// Activation bits of gHost.activationFlags; the application is re-activated
// only when all three are set.
constexpr uint32_t kActivatedByActivate = 2;
constexpr uint32_t kActivatedByActivateApp = 4;
constexpr uint32_t kActivatedByNcActivate = 8;
constexpr uint32_t kAllActivated = 14;

// Everything the window rectangle depends on, gathered so that the
// computation itself is a pure function.
struct WindowRectInput {
  bool fullscreen = false;
  IntPair desktop;
  IntPair resolution;
  uint32_t fitType = 0;
  float minimalAspect = 1.33f;
  KR::Platform::IntRect workArea;
  int32_t frameWidth = 0;
  int32_t captionHeight = 0;
};

struct WindowRect {
  IntPair position;  // outer top-left
  IntPair clientSize;
  IntPair windowSize;  // outer size
};

WindowRect computeWindowRectFor(const WindowRectInput& input);
// The outer size of a decorated window with the given client size.
IntPair adjustWindowSize(IntPair clientSize, int32_t frameWidth, int32_t captionHeight);

// Out-parameters may be null. Sets gHost.maxTrackSize (to the window size when
// windowSize is asked for, else 0 x 0; to the client size in full screen).
void computeWindowRect(IntPair* position, IntPair* clientSize, IntPair* windowSize);

bool ensureSingleInstance();
void initProgramPaths();
// Sets mediaFolder, programFolder and the content folder from the program's
// folder; a folder of 4096 characters or more is fatal.
void setProgramFolder(const std::string& folder);
void createMainWindow();
void resetWindow(bool resetDevice, bool useComputedPosition);
void checkDesktopResolution();
void windowSizeChanged(int32_t width, int32_t height);
// One pass of the main loop: a pending windowed/full-screen switch, every
// message waiting, then one frame (the tick and the drawing) while the
// application is active, else a 100 ms sleep. False once the loop ends
// (WM_QUIT or the application's quit request).
bool runMainLoopPass();
// Passes until the end; clears the application's running flag.
int runMainLoop();
intptr_t mainWindowProc(const KR::Platform::Message& message);

using ApplicationFactory = std::function<Application*()>;
// The whole run: 1 when another copy runs, 0 after a normal end.
int winMain(const ApplicationFactory& makeApplication);
