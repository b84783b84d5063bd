#pragma once
// The one top-level window. See platform.h for the contract.
#include <cstdint>
#include <string>

namespace KR {
namespace Platform {

struct IntRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Starts mapping the system's OpenGL driver on a background thread, so that
// the slowest part of starting the video (the dynamic loader relocating the
// driver and its compiler) overlaps the host's own start-up. Nothing else is
// touched: no display, no context. initVideo waits for it, so SDL finds the
// libraries loaded. Where no Mesa driver is found the thread does nothing.
// Main thread; calls after the first do nothing.
void preloadGraphicsDriver();
// Starts the video subsystem when it is not running yet; false when SDL
// cannot start it (the message is logged by the caller via lastError).
bool initVideo();
void shutdownVideo();
std::string lastError();

// The whole desktop of the window's display (display 0 without a window).
void desktopSize(int32_t& width, int32_t& height);
// The part of that display that windows may use (taskbars and panels removed).
IntRect workArea();
// Border width and caption height of a decorated window: measured on the main
// window when the window manager tells them, else typical values.
void windowFrameMetrics(int32_t& frameWidth, int32_t& captionHeight);

class Window {
 public:
  Window() = default;
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Makes the window (OpenGL-capable, decorated, not resizable) with the
  // given client size at the given client position. False on failure.
  bool create(const std::string& title, int32_t x, int32_t y, int32_t width, int32_t height);
  // Sends WM_DESTROY to the window procedure, then destroys the window.
  void destroy();
  bool exists() const { return handle != nullptr; }

  void setTitle(const std::string& title);
  // Moves and sizes the client area; asks the window procedure for the
  // tracking limits (WM_GETMINMAXINFO) first and applies them.
  void setClientBounds(int32_t x, int32_t y, int32_t width, int32_t height);
  void clientPosition(int32_t& x, int32_t& y) const;
  void clientSize(int32_t& width, int32_t& height) const;
  // Full-screen style: no border, kept above other windows; else the
  // decorated windowed style.
  void setFullscreenStyle(bool fullscreen);
  void show();
  void minimize();
  void restore();
  void raise();
  bool isMinimized() const;
  // While hidden, the system cursor is not drawn over the client area.
  void setSystemCursorHidden(bool hidden);
  // Keeps the display awake (full screen) or lets the screen saver run.
  void setDisplayRequired(bool required);

  // For the render device layer only: the SDL_Window*.
  void* nativeHandle() const { return handle; }
  uint32_t id() const;

  // Presents a frame cleared to one colour. A stop-gap for hosts without a
  // render device: it makes its own OpenGL context on first use and must
  // not be mixed with a render device on the same window.
  void presentClear(float red, float green, float blue);

 private:
  void* handle = nullptr;
  void* clearContext = nullptr;
  bool clearContextFailed = false;
};

// The window made last and not yet destroyed, or null.
Window* mainWindow();

}  // namespace Platform
}  // namespace KR
