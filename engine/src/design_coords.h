#pragma once
// Where the design area (the current platform's resolution, origin top left,
// y downward) is shown in the window, and the way back from window pixels to
// design coordinates. Nothing is cached: every call reads the configuration
// and the window size again.
#include <cstdint>

#include "vector2.h"

struct WindowInfo;

namespace KR {

struct Viewport2D {
  Vector2<float> offset;  // window pixels from the window's top left
  Vector2<float> size;    // window pixels
  float scale = 1.f;      // window pixels per design pixel along x
};

// Fits content of the given size into a target. Fit type 1 fills with a
// minimal aspect, 2 does the same and then scales by the workspace zoom,
// anything else letterboxes. Portrait or landscape is decided by the
// configured resolution, whatever content size is passed.
Viewport2D computeFit(const Vector2<float>& contentSize, const Vector2<float>& targetSize, uint32_t fitType,
                      float workspaceZoom, float minimalAspect);

// The design area in the window the render system draws into.
Viewport2D calcViewport();
// The same for a given window record.
Viewport2D calcViewport(const WindowInfo& window);

// Window pixel to design pixel, truncated; points in the bars give values
// outside the design area (no clamping).
Vector2<int> windowToDesignCoords(int x, int y);
Vector2<int> windowToDesignCoords(const WindowInfo& window, int x, int y);

}  // namespace KR
