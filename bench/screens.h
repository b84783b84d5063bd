// The screens a frame benchmark draws its design area on, as the argument
// "screen" names them:
//   0  a window of the design's own size, drawn straight in texel for texel
//      (the peers' setting: ../shared/peers);
//   1  the first-run player's full screen of 1280 x 1024, the design area
//      letterboxed and scaled into it, drawn the way the render system draws
//      the game's frames there;
//   2  the same screen through the scene texture and its composite, the way
//      the game's frames that blur (or bend, or are read back) are drawn.
// The render system's own hidden window takes each screen's size.
#pragma once

#include <benchmark/benchmark.h>

#include "render_system_dx8.h"

namespace KR {
namespace Bench {

constexpr int kPlayerScreenWidth = 1280;
constexpr int kPlayerScreenHeight = 1024;

// Sizes the window for the screen (a device reset when it changes).
inline void showOn(RenderSystem& renderSystem, int screen) {
  WindowInfo& window = renderSystem.getWindowInfo();
  const int width = screen == 0 ? RenderSystem::getDesignWidth() : kPlayerScreenWidth;
  const int height = screen == 0 ? RenderSystem::getDesignHeight() : kPlayerScreenHeight;
  if (window.mWndWidth == width && window.mWndHeight == height) return;
  window.mWndWidth = width;
  window.mWndHeight = height;
  renderSystem.reset();
}

// Before each frame's start.
inline void beginFrameOn(RenderSystem& renderSystem, int screen) {
  if (screen == 2) renderSystem.requestSceneTexture();
}

// After the benchmark: the window's size, and whether the last frame was
// drawn straight into the window.
inline void reportScreen(benchmark::State& state, RenderSystem& renderSystem) {
  state.counters["window_w"] = renderSystem.getWindowInfo().mWndWidth;
  state.counters["window_h"] = renderSystem.getWindowInfo().mWndHeight;
  state.counters["direct"] = renderSystem.isFrameDirect() ? 1 : 0;
}

}  // namespace Bench
}  // namespace KR
