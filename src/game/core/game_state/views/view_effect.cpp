#include "core/game_state/views/view_effect.h"

#include <algorithm>
#include <cmath>

#include "color.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"

namespace HOG {

ViewFadeOutEffect::TriggerLocator ViewFadeOutEffect::triggerLocator = nullptr;

ViewEffect::~ViewEffect() {
  if (overlay && KR::SpriteManager<KR::Sprite>::exists())
    KR::SpriteManager<KR::Sprite>::getInstance()->destroySprite(overlay);
}

void ViewEffect::init() {
  if (overlay || !KR::SpriteManager<KR::Sprite>::exists()) return;
  overlay = KR::SpriteManager<KR::Sprite>::getInstance()->createSpriteFromTextureObject(nullptr);
  overlay->setSize(
      KR::Vector2<float>(float(KR::RenderSystem::getDesignWidth()), float(KR::RenderSystem::getDesignHeight())));
  overlay->setMeshColor(KR::Color::fromARGB(0));
  overlay->updateVertices();
}

void ViewEffect::update(float dt) {
  if (running) elapsed += dt;
}

void ViewEffect::draw() {
  if (running && overlay) drawOverlay(overlayAlpha());
}

void ViewEffect::start() {
  running = true;
  elapsed = 0.0f;
}

void ViewEffect::stop() { running = false; }

float ViewEffect::progress() const { return duration > 0.0f ? std::min(elapsed / duration, 1.0f) : 1.0f; }

void ViewEffect::drawOverlay(float alpha) {
  overlay->setMeshColor(KR::Color::fromFloats(0.0f, 0.0f, 0.0f, alpha));
  overlay->updateVertices();
  overlay->render();
}

float ViewFadeInEffect::overlayAlpha() const {
  const float t = progress();
  return (1.0f - t) * (1.0f - t);
}

ViewFadeOutEffect::~ViewFadeOutEffect() = default;

void ViewFadeOutEffect::update(float dt) {
  if (!running) return;
  elapsed += dt;
  if (elapsed > kMaxRun) {
    elapsed = 0.0f;
    stop();
  }
}

float ViewFadeOutEffect::overlayAlpha() const { return progress(); }

void ViewFadeOutEffect::beginZoom() {
  if (!running || !KR::RenderSystem::exists()) return;
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  const float z = 1.0f + zoomAmount * progress();
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  KR::Vector2<float> v(zoomPoint.x - w * 0.5f, zoomPoint.y - h * 0.5f);
  const float length = std::sqrt(v.x * v.x + v.y * v.y);
  if (length > 0.0f) v = KR::Vector2<float>(v.x / length, v.y / length);
  // The camera only moves up, never down.
  if (v.y > 0.0f) v.y = 0.0f;
  const float offsetX = -v.x * (z - 1.0f) * w * 0.5f * 0.25f;
  const float offsetY = -v.y * (z - 1.0f) * h * 0.5f * 0.25f;
  std::copy(renderSystem->mCamera, renderSystem->mCamera + KR::CAM_COUNT, savedCamera);
  const float zoom = zoomEnabled ? z : 1.0f;
  const float camera[KR::CAM_COUNT] = {offsetX, offsetY, zoom, zoom, 0.0f};
  renderSystem->setCamera(camera);
}

void ViewFadeOutEffect::endZoom() {
  if (!running || !KR::RenderSystem::exists()) return;
  KR::RenderSystem::getInstance()->setCamera(savedCamera);
}

void ViewFadeOutEffect::onMessage(const GameMessage* message) {
  if (message->kind != kMsgTransitionUsed || !message->getPointer() || !triggerLocator) return;
  KR::Vector2<float> point;
  bool zoom = false;
  if (triggerLocator(message->getPointer(), &point, &zoom)) setZoomTarget(point, zoom);
}

}  // namespace HOG
