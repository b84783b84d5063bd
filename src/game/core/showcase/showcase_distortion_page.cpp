#include "core/showcase/showcase_distortion_page.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/game_application.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace HOG {

namespace {

// The ripple's grid over the design area: 32 x 24 cells, 3072 vertices.
constexpr int kCellsX = 32;
constexpr int kCellsY = 24;

}  // namespace

DistortionShowcasePage::~DistortionShowcasePage() { release(); }

void DistortionShowcasePage::release() {
  if (!loaded) return;
  loaded = false;
  if (KR::SpriteManager<KR::Sprite>::exists()) KR::SpriteManager<KR::Sprite>::getInstance()->destroySprite(picture);
  picture = nullptr;
  delete ripple;
  ripple = nullptr;
}

bool DistortionShowcasePage::load() {
  if (loaded) return true;
  if (!KR::SpriteManager<KR::Sprite>::exists() || !KR::TextureManager::exists() || !KR::RenderSystem::exists())
    return false;
  const float w = float(KR::RenderSystem::getDesignWidth());
  const float h = float(KR::RenderSystem::getDesignHeight());
  picture = KR::SpriteManager<KR::Sprite>::getInstance()->createSpriteFromTexture("demo_sprite_grid", "default");
  picture->setPosition(0.0f, 0.0f);
  picture->setSize(KR::Vector2<float>(w, h));
  // One untextured quad per cell; their corner colours carry the ripple.
  ripple = new KR::RenderData();
  ripple->addTexture(nullptr);
  ripple->allocateVertices(kCellsX * kCellsY * 4);
  uint8_t* v = ripple->getVertexBytes();
  const uint32_t stride = KR::gVertexStride;
  for (int cy = 0; cy < kCellsY; ++cy)
    for (int cx = 0; cx < kCellsX; ++cx) {
      const int corners[4][2] = {{cx, cy}, {cx + 1, cy}, {cx + 1, cy + 1}, {cx, cy + 1}};
      for (const auto& c : corners) {
        const float p[3] = {w * float(c[0]) / kCellsX, h * float(c[1]) / kCellsY, 0.0f};
        std::memcpy(v + KR::getVertexComponentOffset(KR::VC_POSITION), p, sizeof p);
        v += stride;
      }
    }
  loaded = true;
  return true;
}

uint32_t DistortionShowcasePage::mapColor(float x, float y) const {
  const float w = float(KR::RenderSystem::getDesignWidth());
  const float h = float(KR::RenderSystem::getDesignHeight());
  // Rings running out of a centre that wanders slowly over the screen.
  const float cx = w * (0.5f + 0.25f * std::cos(time * 0.4f));
  const float cy = h * (0.5f + 0.25f * std::sin(time * 0.55f));
  const float dx = x - cx, dy = y - cy;
  const float r = std::sqrt(dx * dx + dy * dy);
  float push = 0.0f;
  if (r > 1.0f) push = 0.45f * std::sin(r * 0.045f - time * 4.0f) * std::exp(-r / (0.6f * w));
  const auto channel = [](float v) { return uint32_t(std::clamp(127.0f + 127.0f * v, 0.0f, 255.0f) + 0.5f); };
  const float nx = r > 1.0f ? dx / r : 0.0f, ny = r > 1.0f ? dy / r : 0.0f;
  return 0xFF000000u | channel(push * nx) << 16 | channel(push * ny) << 8 | 0xFFu;
}

void DistortionShowcasePage::update(float dt) {
  time += dt;
  if (!KR::InputManager::exists() || !KR::RenderSystem::exists()) return;
  if (KR::InputManager::getInstance()->getKeyboardDevice()->wentDown(KR::Platform::kVkReturn)) {
    KR::RenderSystem* rs = KR::RenderSystem::getInstance();
    rs->mDistortionEnabled = !rs->mDistortionEnabled;
  }
}

void DistortionShowcasePage::draw() {
  if (!load()) return;
  picture->updateVertices();
  picture->render();

  uint8_t* v = ripple->getVertexBytes();
  const uint32_t stride = KR::gVertexStride;
  const uint32_t position = KR::getVertexComponentOffset(KR::VC_POSITION);
  const uint32_t diffuse = KR::getVertexComponentOffset(KR::VC_DIFFUSE);
  for (uint32_t i = 0; i < ripple->getVertexCount(); ++i, v += stride) {
    float p[3];
    std::memcpy(p, v + position, sizeof p);
    const uint32_t color = mapColor(p[0], p[1]);
    std::memcpy(v + diffuse, &color, 4);
  }
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  rs->beginOffscreenPass();
  // With distortion off the pass leaves the target alone: keep the ripple
  // out of the scene then.
  if (rs->mDistortionUsed) rs->render(ripple);
  rs->endOffscreenPass();
}

void DistortionShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
