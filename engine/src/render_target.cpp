// The render system's eight render-target slots. Targets carry a sprite, so
// this part of the render system lives with the sprites.
#include "render_target.h"

#include "rect.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vector2.h"

namespace KR {

namespace {

void makeTarget(RenderTarget& slot, uint32_t width, uint32_t height, bool withDepth) {
  TextureManager* textures = TextureManager::getInstance();
  SpriteManager<Sprite>* sprites = SpriteManager<Sprite>::getInstance();
  if (slot.mTexture) textures->destroyTexture(slot.mTexture);
  if (slot.mSprite) sprites->destroySprite(slot.mSprite);
  slot.mTexture = textures->createRenderTexture(width, height);
  slot.mSprite = sprites->createSpriteFromTextureObject(slot.mTexture);
  slot.mTextureWidth = slot.mTexture ? slot.mTexture->getWidth() : 0;
  slot.mTextureHeight = slot.mTexture ? slot.mTexture->getHeight() : 0;
  if (slot.mSprite) {
    slot.mSprite->setFrameRectNormalized(Rect(0.f, 0.f, 1.f, 1.f));
    slot.mSprite->setSize(
        Vector2<float>(float(RenderSystem::getDesignWidth()), float(RenderSystem::getDesignHeight())));
    if (slot.mSprite->mQuad) slot.mSprite->mQuad->mAddressMode = TAM_CLAMP;
    if (slot.mSprite->mMesh) slot.mSprite->mMesh->mAddressMode = TAM_CLAMP;
  }
  slot.mRequestedWidth = width;
  slot.mRequestedHeight = height;
  slot.mRequestedDepth = withDepth;
  slot.mUseDepth = withDepth;
  slot.mInUse = true;
  slot.mCreated = true;
  slot.mReserved = 0;
}

}  // namespace

RenderTarget* RenderSystem::acquireRenderTarget(uint32_t width, uint32_t height, bool withDepth) {
  for (RenderTarget& slot : mRenderTargets) {
    if (!slot.mCreated) {
      makeTarget(slot, width, height, withDepth);
      return &slot;
    }
    if (!slot.mInUse && slot.mReserved == 0 && slot.mRequestedWidth == width && slot.mRequestedHeight == height &&
        slot.mRequestedDepth == withDepth) {
      slot.mInUse = true;
      return &slot;
    }
  }
  return nullptr;
}

void RenderSystem::releaseRenderTarget(RenderTarget* target) {
  for (RenderTarget& slot : mRenderTargets)
    if (&slot == target) slot.mInUse = false;
}

}  // namespace KR
