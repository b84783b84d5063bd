#include "design_coords.h"

#include <cmath>

#include "application.h"
#include "config_manager.h"
#include "render_system_dx8.h"

namespace KR {

namespace {

const PlatformConfig& platform() {
  const PlatformConfig* p = ConfigManager::getInstance()->getCurrentPlatform();
  static const PlatformConfig kNone;
  return p ? *p : kNone;
}

const WindowInfo& activeWindow() {
  static const WindowInfo kNone;
  if (RenderSystem* rs = RenderSystem::getInstancePtr()) return rs->getWindowInfo();
  return kNone;
}

}  // namespace

Viewport2D computeFit(const Vector2<float>& contentSize, const Vector2<float>& targetSize, uint32_t fitType,
                      float workspaceZoom, float minimalAspect) {
  const PlatformConfig& p = platform();
  const bool portrait = p.resolutionWidth <= p.resolutionHeight;
  const float d1 = portrait ? contentSize.y : contentSize.x;
  const float d2 = portrait ? contentSize.x : contentSize.y;
  const float a1 = portrait ? targetSize.y : targetSize.x;
  const float a2 = portrait ? targetSize.x : targetSize.y;
  const float dA = d1 / d2;
  const float wA = a1 / a2;
  float s1, s2;
  if (fitType == 1 || fitType == 2) {
    if (minimalAspect <= wA) {
      s2 = a2;
      s1 = a2 * dA;
    } else {
      s1 = minimalAspect * a1;
      s2 = s1 / dA;
    }
    if (fitType == 2) {
      s1 *= workspaceZoom;
      s2 *= workspaceZoom;
    }
  } else if (dA < wA) {
    s2 = a2;
    s1 = dA * a2;
  } else {
    s1 = a1;
    s2 = a1 / dA;
  }
  const float o1 = (a1 - s1) * 0.5f;
  const float o2 = (a2 - s2) * 0.5f;
  Viewport2D v;
  v.scale = portrait ? s2 / d2 : s1 / d1;
  if (portrait) {
    v.offset = Vector2<float>(o2, o1);
    v.size = Vector2<float>(s2, s1);
  } else {
    v.offset = Vector2<float>(o1, o2);
    v.size = Vector2<float>(s1, s2);
  }
  return v;
}

Viewport2D calcViewport(const WindowInfo& window) {
  const PlatformConfig& p = platform();
  const Vector2<float> design(float(p.resolutionWidth), float(p.resolutionHeight));
  const Vector2<float> target(float(uint32_t(window.mWndWidth)), float(uint32_t(window.mWndHeight)));
  return computeFit(design, target, p.fullscreenFitType, p.workspaceZoom, p.fullscreenMinimalAspect);
}

Viewport2D calcViewport() { return calcViewport(activeWindow()); }

Vector2<int> windowToDesignCoords(const WindowInfo& window, int x, int y) {
  const Viewport2D v = calcViewport(window);
  const PlatformConfig& p = platform();
  // A window without a client area (minimised) maps nowhere.
  if (!(v.size.x > 0.f && v.size.y > 0.f && std::isfinite(v.size.x) && std::isfinite(v.size.y)))
    return Vector2<int>(0, 0);
  const int ox = int(v.offset.x);
  const int oy = int(v.offset.y);
  const float fx = float(x - ox) * (float(p.resolutionWidth) / v.size.x);
  const float fy = float(y - oy) * (float(p.resolutionHeight) / v.size.y);
  return Vector2<int>(int(fx), int(fy));
}

Vector2<int> windowToDesignCoords(int x, int y) { return windowToDesignCoords(activeWindow(), x, y); }

}  // namespace KR
