// Shared main of every test executable: a headless environment set before
// anything can start SDL or OpenAL, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/test_support.h"

// The runtime's __tls_get_addr interceptor takes any dynamic TLS block that
// starts 16 bytes into a page for one with an old glibc header, and reads the
// two words before it as that block's range. Since glibc 2.25 there is no such
// header; when the software rasteriser's block lands there by chance, the
// leak checker's tracer scans a wild range and dies ("Tracer caught signal
// 11") on a run that passed. Without the interceptor, dynamic TLS blocks are
// plain heap blocks to the checker; ours is static TLS, which it still scans.
extern "C" const char* __asan_default_options() { return "detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0"; }
// Mesa, the GL dispatch library and SDL keep process-lifetime allocations that
// are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libGLX\nleak:libGL\nleak:libEGL\nleak:mesa\nleak:libgallium\nleak:swrast\nleak:dri\n"
         "leak:libSDL2\nleak:libopenal\nleak:libdbus\nleak:libLLVM\nleak:libglapi\nleak:libX11\n";
}

// Any report fails the test program, also one on a helper thread at shutdown.
// The crash handler writes its report from the signal handler of a process
// that is going down anyway; that is by design, not a thread fault.
extern "C" const char* __tsan_default_options() { return "second_deadlock_stack=1:exitcode=66:report_signal_unsafe=0"; }
// The thread sanitizer sees only our code. Libraries built without it (OpenAL
// Soft's mixer, Mesa's rendering threads) synchronise in ways it cannot see,
// so reports that pass through them are not ours. The software rasteriser
// also reads its fences' counts without their lock and may end a fence while
// its own thread still holds that lock: mutex reports from it are its own.
// A video surface's upload and close take its plane and texture locks in
// opposite orders, always under the streamer's lock, which keeps them apart.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libopenal.so\nrace:swrast_dri.so\nrace:libgallium\nrace:libLLVM\nrace:libGLX_mesa\n"
         "race:libEGL_mesa\nrace:libSDL2\nmutex:swrast_dri.so\nmutex:libgallium\ndeadlock:KR::VideoSurface::"
         "uploadFrame\n";
}

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("KR_HEADLESS", "1", 1);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("GALLIUM_DRIVER", "llvmpipe", 0);
  // Per-user files of tests never touch the real home folder.
  std::string data = KR::Test::scratchDir("xdg-data");
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  return RUN_ALL_TESTS();
}
