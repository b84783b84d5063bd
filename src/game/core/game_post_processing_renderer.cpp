#include "core/game_post_processing_renderer.h"

#include <algorithm>
#include <utility>

#include "fast_sprite.h"
#include "notification.h"
#include "platform/render_device.h"
#include "rect.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "render_target.h"
#include "sprite.h"
#include "texture_dx8.h"
#include "ui/ui_font.h"

namespace HOG {

namespace {

constexpr int kBlurStages = 6;
constexpr int kBlurPasses = 4;
// Design pixels by which each draw into a quarter-size target is moved back:
// the frame's half-pixel correction is one of design pixels, so a draw into a
// smaller target lands further right and down than it does at half size.
constexpr float kSmallShift = -0.5f;

}  // namespace

bool BlurPostProcessing::load() {
  strengthRegister = 1;
  transformRegister = 0;
  offsetRegister = 4;
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice()) return false;
  const bool pixel = renderSystem->loadPixelShader(&program, "blur_ps") == 0;
  const bool vertex = pixel && renderSystem->loadVertexShader(&program.mVertex, "blur_vs") == 0;
  program.mReady = pixel && vertex;
  return program.mReady;
}

void BlurPostProcessing::release() {
  if (KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr()) renderSystem->releaseShaderProgram(&program);
  program.mReady = false;
}

void PictureKey::addSprite(const KR::Sprite* sprite) {
  add(sprite);
  if (!sprite) return;
  const KR::Texture* texture = sprite->getTexture();
  add(texture);
  // A picture still being made has no device texture yet and draws otherwise.
  if (texture) add(texture->mHandle);
  add(sprite->mMeshSizeX);
  add(sprite->mMeshSizeY);
  for (const KR::Vector2<float>& p : sprite->mMeshPositions) add(p);
  for (const KR::Vector2<float>& t : sprite->mMeshTexCoords) add(t);
  // What the last placement left in the grid: a sprite drawn without being
  // placed again (a view's background) shows exactly these.
  for (const float* p : sprite->mVertexPositionRefs)
    if (p) {
      add(p[0]);
      add(p[1]);
    }
  for (const uint32_t* color : sprite->mVertexColorRefs)
    if (color) add(*color);
  add(sprite->mClipEnabled);
  add(sprite->mClipRect);
  add(sprite->mMirrorH);
  add(sprite->mMirrorV);
  if (sprite->mQuad) add(sprite->mQuad->mBlendMode);
}

void PictureKey::addFont(const KR::UIFont* font) {
  add(font);
  if (!font) return;
  add(font->letterSpacing);
  add(font->lineSpacing);
  add(font->levelCount);
  add(KR::UIFont::getScreenScale());
  for (uint32_t i = 0; i < font->levelCount && i < KR::kMaxFontLevels; ++i) {
    const KR::UIFontMipLevel& level = font->levels[i];
    add(level.sprite);
    // Glyphs are drawn as whole cells until the ink boxes are read.
    add(level.inkRead);
    add(level.ink.size());
    if (!level.sprite) continue;
    const KR::Texture* texture = level.sprite->getTexture();
    add(texture);
    if (texture) add(texture->mHandle);
    add(level.sprite->getBlendMode());
  }
}

GamePostProcessingRenderer::GamePostProcessingRenderer() {
  setInstance(this);
  if (KR::EngineNotificationDispatcher* dispatcher = KR::EngineNotificationDispatcher::getInstancePtr()) {
    dispatcher->addListener(this);
    listening = true;
  }
}

GamePostProcessingRenderer::~GamePostProcessingRenderer() {
  if (listening)
    if (KR::EngineNotificationDispatcher* dispatcher = KR::EngineNotificationDispatcher::getInstancePtr())
      dispatcher->removeListener(this);
  dropKeptPicture();
  if (target)
    if (KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr()) renderSystem->releaseRenderTarget(target);
}

void GamePostProcessingRenderer::onNotification(const KR::Notification& notification) {
  if (notification.code == KR::kNotificationDeviceReset) dropKeptPicture();
}

void GamePostProcessingRenderer::dropKeptPicture() {
  if (!kept) return;
  if (KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr()) renderSystem->releaseRenderTarget(kept);
  kept = nullptr;
}

void GamePostProcessingRenderer::keepNextPicture(uint64_t key) {
  if (!target) return;
  keepingNext = true;
  nextKey = key;
}

bool GamePostProcessingRenderer::drawKeptPicture(uint64_t key, const KR::Rect* hidden) {
  if (!kept || keptKey != key) return false;
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice() || renderSystem->isDeviceLost() || !kept->mTexture ||
      !kept->mTexture->mHandle) {
    dropKeptPicture();
    return false;
  }
  // Drawing goes to the scene already: only the picture's own quad is drawn,
  // around a hidden rectangle as four strips, each through the clip of the
  // pixels that a clip to the rectangle leaves out.
  kept->mSprite->setPosition(0.0f, 0.0f);
  kept->mSprite->updateVertices();
  bool whole = hidden == nullptr;
  if (hidden) {
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    const KR::Rect strips[4] = {KR::Rect(0.0f, 0.0f, w, hidden->top), KR::Rect(0.0f, hidden->bottom, w, h),
                                KR::Rect(0.0f, hidden->top, hidden->left, hidden->bottom),
                                KR::Rect(hidden->right, hidden->top, w, hidden->bottom)};
    for (const KR::Rect& strip : strips) {
      if (!(strip.right > strip.left && strip.bottom > strip.top)) continue;
      if (!renderSystem->beginClipRect(KR::Vector2<float>(strip.left, strip.top),
                                       KR::Vector2<float>(strip.width(), strip.height()))) {
        whole = true;
        break;
      }
      kept->mSprite->render();
      renderSystem->endClipRect();
    }
  }
  if (whole) kept->mSprite->render();
  renderSystem->flushBatch();
  return true;
}

int GamePostProcessingRenderer::beginBlur(float strength) {
  // A new blur means what lies behind changed: the kept picture is stale.
  dropKeptPicture();
  keepingNext = false;
  blur.strength = strength;
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstancePtr();
  if (!renderSystem || !renderSystem->getDevice() || target) return 1;
  const uint32_t w = uint32_t(KR::RenderSystem::getDesignWidth() / 2);
  const uint32_t h = uint32_t(KR::RenderSystem::getDesignHeight() / 2);
  target = renderSystem->acquireRenderTarget(w, h, false);
  if (!target) return 1;
  if (renderSystem->setRenderTargetTexture(target) != 0) {
    renderSystem->releaseRenderTarget(target);
    target = nullptr;
    return 1;
  }
  renderSystem->getDevice()->clear(KR::Platform::CLEAR_TARGET, 0, 1.0f, 0);
  return 0;
}

void GamePostProcessingRenderer::drawTarget(KR::RenderTarget* source) {
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  renderSystem->restoreSceneTarget();
  source->mSprite->setPosition(0.0f, 0.0f);
  source->mSprite->updateVertices();
  source->mSprite->render();
  renderSystem->flushBatch();
}

void GamePostProcessingRenderer::runPasses(KR::RenderTarget*& source, KR::RenderTarget*& other, float texelScale,
                                           float shift) {
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  KR::Platform::RenderDevice* device = renderSystem->getDevice();
  const float width = float(source->mTextureWidth ? source->mTextureWidth : 1);
  const float height = float(source->mTextureHeight ? source->mTextureHeight : 1);
  for (int pass = 0; pass < kBlurPasses; ++pass) {
    if (renderSystem->setRenderTargetTexture(other) != 0) break;
    device->clear(KR::Platform::CLEAR_TARGET, 0, 1.0f, 0);
    renderSystem->setShaderProgram(&blur.program);
    const bool horizontal = pass % 2 == 0;
    const float divisor = (pass < 2 ? 1.0f : 2.0f) / texelScale;
    const float offset[4] = {horizontal ? blur.strength / width / divisor : 0.0f,
                             horizontal ? 0.0f : blur.strength / height / divisor, 0.0f, 0.0f};
    const float strength[4] = {blur.strength, blur.strength, blur.strength, blur.strength};
    renderSystem->setVertexShaderConstant(blur.transformRegister, renderSystem->mShaderViewProjection, 4);
    renderSystem->setVertexShaderConstant(blur.offsetRegister, offset, 1);
    renderSystem->setPixelShaderConstant(blur.strengthRegister, strength, 1);
    for (int stage = 1; stage < kBlurStages; ++stage) {
      device->setTexture(stage, source->mTexture->mHandle);
      renderSystem->setTextureAddressMode(KR::TAM_CLAMP, stage);
    }
    source->mSprite->setPosition(shift, shift);
    source->mSprite->updateVertices();
    source->mSprite->render();
    renderSystem->flushBatch();
    renderSystem->resetShaders();
    std::swap(source, other);
  }
  for (int stage = 1; stage < kBlurStages; ++stage) device->setTexture(stage, nullptr);
}

void GamePostProcessingRenderer::endBlur() {
  if (!target) return;
  KR::RenderSystem* renderSystem = KR::RenderSystem::getInstance();
  KR::RenderTarget* source = target;
  target = nullptr;
  if (!blur.isReady()) {
    drawTarget(source);
    keepOrRelease(source);
    return;
  }
  // The passes run on a copy at half the target's size (a quarter of the
  // design size): the kernel spans little more than a texel, so the box
  // filter of the copy and the bilinear way back up keep the picture, while
  // the six taps of four passes cost a quarter of the pixels.
  const uint32_t w = std::max<uint32_t>(source->mRequestedWidth / 2, 1);
  const uint32_t h = std::max<uint32_t>(source->mRequestedHeight / 2, 1);
  KR::RenderTarget* small = renderSystem->acquireRenderTarget(w, h, false);
  KR::RenderTarget* other = small ? renderSystem->acquireRenderTarget(w, h, false) : nullptr;
  if (small && other && renderSystem->setRenderTargetTexture(small) == 0) {
    renderSystem->getDevice()->clear(KR::Platform::CLEAR_TARGET, 0, 1.0f, 0);
    source->mSprite->setPosition(kSmallShift, kSmallShift);
    source->mSprite->updateVertices();
    source->mSprite->render();
    renderSystem->flushBatch();
    renderSystem->releaseRenderTarget(source);
    source = small;
    // The same reach in design pixels as passes over the half-size picture:
    // half as many of the smaller texels.
    runPasses(source, other, 0.5f, kSmallShift);
  } else {
    // No room for the smaller copies: the passes run on the half-size picture.
    if (small) renderSystem->releaseRenderTarget(small);
    if (other) renderSystem->releaseRenderTarget(other);
    other = renderSystem->acquireRenderTarget(source->mRequestedWidth, source->mRequestedHeight, false);
    if (other) runPasses(source, other, 1.0f, 0.0f);
  }
  drawTarget(source);
  keepOrRelease(source);
  if (other) renderSystem->releaseRenderTarget(other);
}

void GamePostProcessingRenderer::keepOrRelease(KR::RenderTarget* picture) {
  if (keepingNext) {
    keepingNext = false;
    kept = picture;
    keptKey = nextKey;
    return;
  }
  KR::RenderSystem::getInstance()->releaseRenderTarget(picture);
}

}  // namespace HOG
