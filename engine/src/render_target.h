#pragma once
// Off-screen render targets: eight slots embedded in the render system,
// handed out by size and depth flag and reused once released.
//
//   RenderTarget* t = rs->acquireRenderTarget(w, h, false);  // null: skip the effect
//   rs->setRenderTargetTexture(t);  // draw into t (design-size transforms)
//   ... clear, draw ...
//   rs->restoreSceneTarget();
//   t->mSprite->render();           // draws the picture at the design size
//   rs->releaseRenderTarget(t);
#include <cstdint>

namespace KR {

class Sprite;
class Texture;

constexpr int kRenderTargetSlots = 8;

class RenderTargetBase {
 public:
  virtual ~RenderTargetBase() = default;
};

class RenderTargetDX8 : public RenderTargetBase {};

// Slots are never emptied: their textures and sprites belong to the texture
// and sprite managers, so the destructor frees nothing.
class RenderTarget : public RenderTargetDX8 {
 public:
  Texture* mTexture = nullptr;
  // Over the whole texture, design size, clamped addressing.
  Sprite* mSprite = nullptr;
  bool mUseDepth = false;
  uint32_t mTextureWidth = 0;
  uint32_t mTextureHeight = 0;
  bool mInUse = false;
  bool mCreated = false;
  uint32_t mReserved = 0;
  uint32_t mRequestedWidth = 0;  // 0: the texture manager's full size
  uint32_t mRequestedHeight = 0;
  bool mRequestedDepth = false;
};

}  // namespace KR
