#pragma once
// The platform layer: the only code of the engine and the game that talks to
// SDL2, OpenGL and the POSIX system services directly. Everything above it
// sees the Win32-shaped services the engine was designed around: one top-level
// window, a message queue of window messages, polled mouse and keyboard state,
// a named single-instance guard, program paths, thread affinity, modal
// message boxes and a crash filter.
//
// Contract (every function runs on the main thread unless it says otherwise):
//
// - System services (system_info.h, single_instance.h)
//   executableFolder: the folder of the running executable, no trailing
//   slash; empty only when /proc/self/exe cannot be read.
//   setCurrentThreadAffinity: pins the calling thread to the CPUs of a mask
//   and gives back the previous mask; false (nothing changed) when the system
//   refuses. Any thread may call it for itself.
//   performanceCounter, sleepMilliseconds (system_time.h) and the per-user
//   data folder (user_paths.h) belong to the layer too; see their headers.
//   SingleInstanceGuard::acquire: true when this process is the only holder of
//   the name; false when another process holds it, in which case that process
//   has been asked to restore and raise its window. The holder's request
//   channel is polled by pumpEvents, which then restores and raises the main
//   window. The guard lives until the process ends (the system frees it).
//
// - Window (window.h): at most one main window exists. Window::create makes
//   it shown, decorated and OpenGL-capable (SDL_WINDOW_OPENGL) with the given
//   client size at the given client position; failures return false and
//   lastError() says why. initVideo starts SDL's video and keeps the GL
//   driver loaded until shutdownVideo. preloadGraphicsDriver (any time
//   before) maps Mesa's driver on a thread of its own, which initVideo joins;
//   while it runs, the loader's lock holds up dlopen and thread creation.
//   nativeHandle() is the SDL_Window* and is meant only for the render
//   device layer (render_device.h: OpenGL 3.3 core context creation and
//   buffer swaps). presentClear is a stop-gap for hosts without a render
//   device and must not be mixed with one. Sizes are client pixels unless a
//   name says "outer". desktopSize and workArea describe the display that
//   holds the window (display 0 before a window exists); where SDL cannot
//   tell a usable area the whole display is used.
//
// - Messages (events.h): SDL's event stream reaches the host as Win32-style
//   message records (destroy, size, activate, activate-app, non-client
//   activate, paint, set-cursor, min/max info, system command, close, quit).
//   peekMessage takes one record (translating pending SDL events first);
//   dispatchMessage and sendMessage call the registered window procedure at
//   once; postMessage queues. defWindowProc gives the default handling of a
//   record (close destroys the window, system commands minimise, restore or
//   close it). The window comes to the front (the activation messages) on a
//   focus gain, and, when it was left inactive, also when it is shown or
//   restored or clicked into, since X11 need not give it the focus then.
//   Pushed SDL events (SDL_PushEvent) go through the same road, so
//   tests drive the game by pushing events.
//
// - Polled input (input_state.h): built only from the translated event
//   stream, never from SDL's own polled state: the cursor position in client
//   pixels, three mouse buttons, and a 256-entry key table indexed by Windows
//   virtual-key codes (0x80 = down) in which both the left/right and the
//   generic modifier codes are set.
//
// - Message boxes (message_box.h): modal; printed to stderr where there is
//   no display.
//
// - Crash filter (crash_handler.h): installCrashHandler catches SIGSEGV,
//   SIGBUS, SIGFPE, SIGILL, SIGABRT and SIGTRAP on any thread, writes the
//   readable report "KR.dmp" into the working folder, shows "Unhandled
//   exception at 0x%p. Exception code 0x%p" in a box titled "Dump", hands the
//   crash to the registered report sink (the engine's log report), then ends
//   the process by the same signal. A second fault while reporting ends the
//   process at once; an alarm bounds a report that blocks (a lock held by the
//   crashed code). The dump file is written with descriptor calls only.
#include "platform/events.h"
#include "platform/input_state.h"
#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "platform/system_info.h"
#include "platform/system_time.h"
#include "platform/user_paths.h"
#include "platform/window.h"
