#include "platform/window.h"

#include <SDL.h>
#include <dlfcn.h>
#include <limits.h>
#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/events.h"
#include "platform/render_device.h"
#include "platform/termination.h"

namespace KR {
namespace Platform {

namespace {

Window* gMainWindow = nullptr;

SDL_Window* sdl(void* handle) { return static_cast<SDL_Window*>(handle); }

int displayOfMainWindow() {
  if (gMainWindow && gMainWindow->exists()) {
    int index = SDL_GetWindowDisplayIndex(sdl(gMainWindow->nativeHandle()));
    if (index >= 0) return index;
  }
  return 0;
}

// Used until a decorated window can be measured.
constexpr int32_t kTypicalFrameWidth = 4;
constexpr int32_t kTypicalCaptionHeight = 24;

// The driver preload's thread; joined by initVideo.
pthread_t gPreloadThread;
bool gPreloadStarted = false;
bool gPreloadJoined = false;

// Mesa's drivers are one shared file under several names; the software one is
// present in every installation, so loading it maps the file any of them uses.
constexpr const char* kMesaDriverFile = "swrast_dri.so";

void* preloadDriver(void*) {
  // The GL front library SDL opens for EGL (and a neighbour of the GLX one):
  // its folder holds Mesa's "dri" folder unless LIBGL_DRIVERS_PATH moves it.
  void* front = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
  std::string folder;
  if (const char* paths = std::getenv("LIBGL_DRIVERS_PATH"); paths && *paths) {
    folder = paths;
    folder = folder.substr(0, folder.find(':'));
  } else if (front) {
    char origin[PATH_MAX] = {};
    if (dlinfo(front, RTLD_DI_ORIGIN, origin) == 0) folder = std::string(origin) + "/dri";
  }
  // Opened the way Mesa's loader opens it, so that its later open finds the
  // library mapped and relocated. Both handles live as long as the process:
  // the window layer keeps the driver loaded anyway.
  if (!folder.empty()) dlopen((folder + "/" + kMesaDriverFile).c_str(), RTLD_NOW | RTLD_GLOBAL);
  return nullptr;
}

void joinDriverPreload() {
  if (!gPreloadStarted || gPreloadJoined) return;
  pthread_join(gPreloadThread, nullptr);
  gPreloadJoined = true;
}

}  // namespace

void preloadGraphicsDriver() {
  if (gPreloadStarted || SDL_WasInit(SDL_INIT_VIDEO)) return;
  gPreloadStarted = pthread_create(&gPreloadThread, nullptr, preloadDriver, nullptr) == 0;
}

bool initVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  joinDriverPreload();
  // A held button keeps the mouse captured, so that motion and the release
  // still arrive outside the window (in client coordinates beyond its edges).
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  // After SDL's own handlers, which would only queue an event that a hung loop never reads.
  installTerminationHandlers();
  // One lasting reference to the GL library: SDL would otherwise unload the
  // driver with the last window and load it again with the next one.
  SDL_GL_LoadLibrary(nullptr);
  return true;
}

void shutdownVideo() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_GL_UnloadLibrary();
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::string lastError() { return SDL_GetError(); }

void desktopSize(int32_t& width, int32_t& height) {
  SDL_DisplayMode mode;
  if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(displayOfMainWindow(), &mode) == 0) {
    width = mode.w;
    height = mode.h;
    return;
  }
  width = 0;
  height = 0;
}

IntRect workArea() {
  IntRect area;
  SDL_Rect bounds;
  int display = displayOfMainWindow();
  if (SDL_WasInit(SDL_INIT_VIDEO) &&
      (SDL_GetDisplayUsableBounds(display, &bounds) == 0 || SDL_GetDisplayBounds(display, &bounds) == 0)) {
    area.left = bounds.x;
    area.top = bounds.y;
    area.width = bounds.w;
    area.height = bounds.h;
  }
  return area;
}

void windowFrameMetrics(int32_t& frameWidth, int32_t& captionHeight) {
  frameWidth = kTypicalFrameWidth;
  captionHeight = kTypicalCaptionHeight;
  if (!gMainWindow || !gMainWindow->exists()) return;
  SDL_Window* window = sdl(gMainWindow->nativeHandle());
  if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_BORDERLESS)) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0 && left > 0 && top > left) {
      frameWidth = left;
      captionHeight = top - left;
    }
  }
}

Window::~Window() {
  if (handle) destroy();
}

bool Window::create(const std::string& title, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (handle || !initVideo()) return false;
  // The pixel format is fixed when an X11 window is made, so the buffers the
  // render device needs are asked for here.
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
  if (!window) return false;
  handle = window;
  gMainWindow = this;
  return true;
}

void Window::destroy() {
  if (!handle) return;
  sendMessage(this, kWmDestroy, 0, 0);
  if (clearContext) {
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(clearContext));
    clearContext = nullptr;
  }
  // A render device still drawing into the window destroys it after itself.
  if (!RenderDevice::adoptWindow(handle)) SDL_DestroyWindow(sdl(handle));
  handle = nullptr;
  if (gMainWindow == this) gMainWindow = nullptr;
}

void Window::setTitle(const std::string& title) {
  if (handle) SDL_SetWindowTitle(sdl(handle), title.c_str());
}

void Window::setClientBounds(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!handle) return;
  MinMaxInfo info;
  sendMessage(this, kWmGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info));
  if (info.minTrackWidth > 0 && info.minTrackHeight > 0)
    SDL_SetWindowMinimumSize(sdl(handle), info.minTrackWidth, info.minTrackHeight);
  if (info.maxTrackWidth > 0 && info.maxTrackHeight > 0)
    SDL_SetWindowMaximumSize(sdl(handle), info.maxTrackWidth, info.maxTrackHeight);
  SDL_SetWindowSize(sdl(handle), width, height);
  SDL_SetWindowPosition(sdl(handle), x, y);
}

void Window::clientPosition(int32_t& x, int32_t& y) const {
  x = y = 0;
  if (handle) SDL_GetWindowPosition(sdl(handle), &x, &y);
}

void Window::clientSize(int32_t& width, int32_t& height) const {
  width = height = 0;
  if (handle) SDL_GetWindowSize(sdl(handle), &width, &height);
}

void Window::setFullscreenStyle(bool fullscreen) {
  if (!handle) return;
  SDL_SetWindowBordered(sdl(handle), fullscreen ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowAlwaysOnTop(sdl(handle), fullscreen ? SDL_TRUE : SDL_FALSE);
}

void Window::show() {
  if (handle) SDL_ShowWindow(sdl(handle));
}

void Window::minimize() {
  if (handle) SDL_MinimizeWindow(sdl(handle));
}

void Window::restore() {
  if (handle) SDL_RestoreWindow(sdl(handle));
}

void Window::raise() {
  if (handle) SDL_RaiseWindow(sdl(handle));
}

bool Window::isMinimized() const { return handle && (SDL_GetWindowFlags(sdl(handle)) & SDL_WINDOW_MINIMIZED); }

void Window::setSystemCursorHidden(bool hidden) { SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE); }

void Window::setDisplayRequired(bool required) {
  if (required)
    SDL_DisableScreenSaver();
  else
    SDL_EnableScreenSaver();
}

uint32_t Window::id() const { return handle ? SDL_GetWindowID(sdl(handle)) : 0; }

void Window::presentClear(float red, float green, float blue) {
  if (!handle || clearContextFailed) return;
  // A render device on this window owns the GL context: clear and present
  // through it instead of a second context.
  RenderDevice* device = RenderDevice::current();
  if (device && device->nativeWindow() == handle) {
    auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    device->setRenderTarget(device->backBuffer(), device->defaultDepthStencil());
    device->clear(CLEAR_TARGET, 0xFF000000u | channel(red) << 16 | channel(green) << 8 | channel(blue), 1.0f, 0);
    device->present();
    return;
  }
  if (!clearContext) {
    clearContext = SDL_GL_CreateContext(sdl(handle));
    if (!clearContext) {
      clearContextFailed = true;
      return;
    }
  }
  using ClearColorFn = void (*)(float, float, float, float);
  using ClearFn = void (*)(unsigned int);
  auto clearColor = reinterpret_cast<ClearColorFn>(SDL_GL_GetProcAddress("glClearColor"));
  auto clear = reinterpret_cast<ClearFn>(SDL_GL_GetProcAddress("glClear"));
  if (!clearColor || !clear) {
    clearContextFailed = true;
    return;
  }
  SDL_GL_MakeCurrent(sdl(handle), static_cast<SDL_GLContext>(clearContext));
  clearColor(red, green, blue, 1.0f);
  clear(0x00004000);  // colour buffer
  SDL_GL_SwapWindow(sdl(handle));
}

Window* mainWindow() { return gMainWindow; }

}  // namespace Platform
}  // namespace KR
