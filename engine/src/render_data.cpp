#include "render_data.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "color.h"
#include "log_system.h"
#include "platform/render_device_shaders.h"
#include "render_system_dx8.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {

using Platform::RenderState;

namespace {

// The cached blend mode after a frame: no mode equals it, so the first item of
// the next frame always sends its own blend.
constexpr uint32_t kBlendUnknown = 0xFFFFFFFFu;

void addReference(Texture* texture) {
  if (texture)
    if (TextureManager* tm = TextureManager::getInstancePtr()) tm->addReference(texture);
}

}  // namespace

// ---- RenderData ----

RenderData::RenderData(const RenderData& other)
    : mPrimitiveType(other.mPrimitiveType),
      mBlendMode(other.mBlendMode),
      mExtra(other.mExtra),
      mAddressMode(other.mAddressMode),
      mUser(other.mUser) {
  copyVerticesFrom(other);
  for (Texture* t : other.mTextures) {
    mTextures.push_back(t);
    addReference(t);
  }
}

RenderData& RenderData::operator=(const RenderData& other) {
  if (this == &other) return *this;
  RenderData copy(other);
  releaseTextures();
  freeVertices();
  std::swap(mVertices, copy.mVertices);
  std::swap(mTextures, copy.mTextures);
  mPrimitiveType = other.mPrimitiveType;
  mBlendMode = other.mBlendMode;
  mExtra = other.mExtra;
  mAddressMode = other.mAddressMode;
  mUser = other.mUser;
  return *this;
}

RenderData::~RenderData() {
  releaseTextures();
  freeVertices();
}

namespace {

// The record and its zero-filled bytes in one block, the bytes right after
// the record: a frame that walks many items reads one block each, not two.
VertexStorage* makeStorage(uint32_t count, uint32_t stride) {
  const size_t bytes = size_t(count) * (stride ? stride : 1);
  void* block = std::calloc(1, sizeof(VertexStorage) + bytes);
  if (!block) throw std::bad_alloc();
  auto* storage = new (block) VertexStorage();
  storage->bytes = reinterpret_cast<uint8_t*>(storage + 1);
  storage->count = count;
  storage->stride = stride;
  return storage;
}

}  // namespace

void RenderData::copyVerticesFrom(const RenderData& other) {
  if (!other.mVertices) return;
  // The copy keeps the other's stride: its bytes are in the other's layout.
  mVertices = makeStorage(other.mVertices->count, other.mVertices->stride);
  std::memcpy(mVertices->bytes, other.mVertices->bytes, size_t(other.mVertices->count) * other.mVertices->stride);
}

void RenderData::freeVertices() {
  if (!mVertices) return;
  std::free(mVertices);
  mVertices = nullptr;
}

void RenderData::allocateVertices(uint32_t count) {
  freeVertices();
  if (count == 0) return;
  mVertices = makeStorage(count, gVertexStride);
}

bool RenderData::hasCurrentVertexStride() const { return !mVertices || mVertices->stride == gVertexStride; }

void RenderData::appendTextures(const RenderData& other) {
  for (Texture* t : other.mTextures)
    if (t) addTexture(t);
}

void RenderData::addTexture(Texture* texture) {
  mTextures.push_back(texture);
  addReference(texture);
}

void RenderData::releaseTextures() {
  TextureManager* tm = TextureManager::getInstancePtr();
  for (Texture* t : mTextures)
    if (t && tm) tm->releaseTexture(t);
  mTextures.clear();
}

// ---- batch state ----

void RenderSystemBase::resetBatchState() {
  // The batch state's texture entry is a plain pointer, not a reference.
  mBatchState.mTextures.assign(1, nullptr);
  mBatchState.mPrimitiveType = RP_QUADS;
  mBatchState.mAddressMode = TAM_WRAP;
  mBatchState.mBlendMode = kBlendUnknown;
  mBatchState.mExtra = 1;
}

void RenderSystemBase::releaseRenderData() {
  mBatchState.mTextures.clear();
  mBatchState.allocateVertices(0);
  if (mLineData) {
    mLineData->releaseTextures();
    mLineData->allocateVertices(0);
  }
}

// ---- submitting ----

bool RenderSystem::compatible(const RenderData* rd, uint32_t count) const {
  return !rd->mTextures.empty() && mBatchVertices + count <= kBatchMaxVertices &&
         mBatchState.getTexture() == rd->mTextures.front() && mBatchState.mBlendMode == rd->mBlendMode &&
         mBatchState.mPrimitiveType == rd->mPrimitiveType && mBatchState.mAddressMode == rd->mAddressMode;
}

void RenderSystem::render(RenderData* rd) {
  if (!rd) return;
  // Outside a frame (or in a frame the lost device skipped) there is no
  // locked buffer to write into.
  if (!mVertexPointer) return;
  for (Texture* t : rd->mTextures)
    if (t && !t->mHandle) return;
  const uint32_t count = rd->getVertexCount();
  if (!rd->getVertexBytes() || count == 0) return;
  const uint32_t stride = gVertexStride;
  // Vertices made in another layout are shorter or longer than the batch's:
  // copying them would read past their end or draw garbage.
  // The same holds for a layout changed after the device buffer was sized,
  // until the next device reset sizes it again.
  if (mDeviceBlock->vertexBufferStride != stride) {
    log("ERROR: Render data skipped, the vertex buffer was made for stride %u, the layout's stride is %u",
        mDeviceBlock->vertexBufferStride, stride);
    return;
  }
  if (rd->getVertexStride() != stride) {
    log("ERROR: Render data with vertex stride %u skipped, the layout's stride is %u", rd->getVertexStride(), stride);
    return;
  }
  const uint32_t diffuse = getVertexComponentOffset(VC_DIFFUSE);
  const uint8_t* bytes = rd->getVertexBytes();
  bool visible = false;
  for (uint32_t i = 0; i < count && !visible; ++i) visible = bytes[size_t(i) * stride + diffuse + 3] != 0;
  if (!visible) return;
  // More vertices than the batch holds go in batch-sized pieces (whole quads
  // and whole lines, as the capacity is a multiple of 4).
  for (uint32_t first = 0; first < count; first += kBatchMaxVertices)
    appendToBatch(rd, first, std::min(kBatchMaxVertices, count - first));
}

void RenderSystem::openBatch(Texture* texture, bool textured, uint32_t blendMode, uint32_t primitiveType,
                             uint32_t addressMode) {
  Platform::RenderDevice* d = getDevice();
  if (!textured) {
    d->setTexture(0, nullptr);
  } else if (texture != mBatchState.getTexture()) {
    d->setTexture(0, texture ? texture->mHandle : nullptr);
  }
  mBatchState.mTextures.assign(1, texture);
  if (blendMode != mBatchState.mBlendMode) {
    setBlendMode(blendMode);
    mBatchState.mBlendMode = blendMode;
  }
  mBatchState.mPrimitiveType = primitiveType;
  if (addressMode != mBatchState.mAddressMode) {
    setTextureAddressMode(addressMode, 0);
    mBatchState.mAddressMode = addressMode;
  }
}

namespace {

// Every quad of the piece shows an opaque picture at full alpha under the
// alpha blend: nothing of what lies beneath stays.
bool opaquePiece(const RenderData* rd, uint32_t first, uint32_t count) {
  if (rd->mBlendMode != BM_ALPHA || rd->mPrimitiveType != RP_QUADS || rd->mTextures.empty()) return false;
  const Texture* texture = rd->mTextures.front();
  if (!texture || !texture->mOpaque) return false;
  const uint32_t stride = gVertexStride;
  const uint8_t* alpha = rd->getVertexBytes() + size_t(first) * stride + getVertexComponentOffset(VC_DIFFUSE) + 3;
  for (uint32_t i = 0; i < count; ++i, alpha += stride)
    if (*alpha != 0xFF) return false;
  return true;
}

}  // namespace

void RenderSystem::copyToBatch(const RenderData* rd, uint32_t first, uint32_t count) {
  if (!mVertexPointer) return;
  const bool opaque = opaquePiece(rd, first, count);
  mBatchOpaque = mBatchVertices == 0 ? opaque : mBatchOpaque && opaque;
  const uint32_t stride = gVertexStride;
  std::memcpy(mVertexPointer + size_t(mBatchVertices) * stride, rd->getVertexBytes() + size_t(first) * stride,
              size_t(count) * stride);
  mBatchVertices += count;
  if (rd->mPrimitiveType == RP_QUADS)
    mBatchQuads += count / 4;
  else
    mBatchQuads += count - 1;
}

namespace {

// Quads with a texture may wait in the staged batch; lines and untextured
// items keep the plain order.
bool stageable(const RenderData* rd, uint32_t count) {
  return rd->mPrimitiveType == RP_QUADS && !rd->mTextures.empty() && count % 4 == 0;
}

void itemBounds(const RenderData* rd, uint32_t first, uint32_t count, float* box) {
  const uint32_t stride = gVertexStride;
  const uint32_t pos = getVertexComponentOffset(VC_POSITION);
  const uint8_t* v = rd->getVertexBytes() + size_t(first) * stride;
  box[0] = box[1] = INFINITY;
  box[2] = box[3] = -INFINITY;
  for (uint32_t i = 0; i < count; ++i, v += stride) {
    float xy[2];
    std::memcpy(xy, v + pos, sizeof xy);
    box[0] = std::min(box[0], xy[0]);
    box[1] = std::min(box[1], xy[1]);
    box[2] = std::max(box[2], xy[0]);
    box[3] = std::max(box[3], xy[1]);
  }
}

}  // namespace

bool RenderSystem::sameStates(const RenderData* rd) const {
  return !rd->mTextures.empty() && mBatchState.getTexture() == rd->mTextures.front() &&
         mBatchState.mBlendMode == rd->mBlendMode && mBatchState.mPrimitiveType == rd->mPrimitiveType &&
         mBatchState.mAddressMode == rd->mAddressMode;
}

bool RenderSystem::stagedCompatible(const StagedBatch& batch, const RenderData* rd, uint32_t count) {
  return batch.count > 0 && batch.count + count <= kBatchMaxVertices && batch.texture == rd->mTextures.front() &&
         batch.blendMode == rd->mBlendMode && batch.addressMode == rd->mAddressMode;
}

bool RenderSystem::overlaps(const StagedBatch& batch, const float* box) {
  if (batch.boundless) return true;
  // Not a number anywhere makes every comparison false: counted as overlapping.
  if (!(box[0] <= box[2] && box[1] <= box[3])) return true;
  for (size_t i = 0; i < batch.bounds.size(); i += 4) {
    const float* other = &batch.bounds[i];
    if (box[0] < other[2] && other[0] < box[2] && box[1] < other[3] && other[1] < box[3]) return true;
  }
  return false;
}

void RenderSystem::stage(StagedBatch& batch, const RenderData* rd, uint32_t first, uint32_t count) {
  const bool opaque = opaquePiece(rd, first, count);
  if (batch.count == 0) {
    batch.texture = rd->mTextures.front();
    batch.blendMode = rd->mBlendMode;
    batch.addressMode = rd->mAddressMode;
    batch.bounds.clear();
    batch.boundless = false;
    batch.opaque = opaque;
  }
  batch.opaque = batch.opaque && opaque;
  const uint32_t stride = gVertexStride;
  const size_t at = size_t(batch.count) * stride;
  if (batch.vertices.size() < at + size_t(count) * stride) batch.vertices.resize(size_t(kBatchMaxVertices) * stride);
  std::memcpy(batch.vertices.data() + at, rd->getVertexBytes() + size_t(first) * stride, size_t(count) * stride);
  batch.count += count;
  if (batch.bounds.size() / 4 >= kMaxStagedBounds) {
    batch.boundless = true;
    return;
  }
  float box[4];
  itemBounds(rd, first, count, box);
  batch.bounds.insert(batch.bounds.end(), box, box + 4);
}

void RenderSystem::appendToBatch(RenderData* rd, uint32_t first, uint32_t count) {
  if (mStagedCount == 0 && compatible(rd, count)) {
    copyToBatch(rd, first, count);
    return;
  }
  if (!stageable(rd, count)) {
    // Lines and untextured items keep the plain order behind everything open.
    flushBatch();
    openBatch(rd->getTexture(), !rd->mTextures.empty(), rd->mBlendMode, rd->mPrimitiveType, rd->mAddressMode);
    copyToBatch(rd, first, count);
    return;
  }
  float box[4];
  itemBounds(rd, first, count, box);
  for (;;) {
    if (mBatchVertices == 0 && mStagedCount == 0) break;
    // The newest open batch of the item's kind that no newer one's quads
    // overlap takes it.
    bool blocked = false;
    for (uint32_t j = mStagedCount; j-- > 0;) {
      if (stagedCompatible(mStaged[j], rd, count)) {
        stage(mStaged[j], rd, first, count);
        return;
      }
      if (overlaps(mStaged[j], box)) {
        blocked = true;
        break;
      }
    }
    if (!blocked && compatible(rd, count)) {
      copyToBatch(rd, first, count);
      return;
    }
    // A new kind waits beside the open ones while there is room; a full
    // device batch of the item's own kind is simply drawn.
    const bool full = !blocked && sameStates(rd);
    if (!full && mBatchVertices > 0 && mBatchState.mPrimitiveType == RP_QUADS && mStagedCount < kStagedBatches) {
      stage(mStaged[mStagedCount++], rd, first, count);
      return;
    }
    drawOlderBatch();
  }
  openBatch(rd->getTexture(), true, rd->mBlendMode, rd->mPrimitiveType, rd->mAddressMode);
  copyToBatch(rd, first, count);
}

void RenderSystem::drawDeviceBatch() {
  if (mBatchVertices == 0) return;
  Platform::RenderDevice* d = getDevice();
  DeviceBlockDX8& b = *mDeviceBlock;
  d->unlockVertexBuffer(b.vertexBuffer);
  // Blending an opaque quad under the plain alpha blend gives its own pixels;
  // an alpha test that lets full alpha through drops none of them.
  const auto state = [d](RenderState s) { return d->getRenderState(s); };
  const uint32_t test = state(RenderState::AlphaFunc);
  // A program of the caller's may give any alpha.
  const Platform::ShaderDevice* program = mShaderState.mDevice;
  const bool fixed = !program || (!program->getPixelShader() && !program->getVertexShader());
  const bool opaque = mBatchOpaque && fixed && mBatchState.mPrimitiveType == RP_QUADS &&
                      state(RenderState::AlphaBlendEnable) &&
                      state(RenderState::SrcBlend) == uint32_t(Platform::Blend::SrcAlpha) &&
                      state(RenderState::DestBlend) == uint32_t(Platform::Blend::InvSrcAlpha) &&
                      (test == uint32_t(Platform::Cmp::GreaterEqual) || test == uint32_t(Platform::Cmp::Always));
  const uint32_t alphaTest = state(RenderState::AlphaTestEnable);
  if (opaque) {
    d->setRenderState(RenderState::AlphaBlendEnable, 0);
    d->setRenderState(RenderState::AlphaTestEnable, 0);
  }
  if (mBatchState.mPrimitiveType == RP_QUADS)
    d->drawIndexedPrimitive(Platform::PrimitiveType::TriangleList, 0, 4 * mBatchQuads, 0, 2 * mBatchQuads);
  else if (mBatchState.mPrimitiveType == RP_LINES)
    d->drawPrimitive(Platform::PrimitiveType::LineList, 0, mBatchVertices / 2);
  if (opaque) {
    d->setRenderState(RenderState::AlphaBlendEnable, 1);
    d->setRenderState(RenderState::AlphaTestEnable, alphaTest);
  }
  mBatchVertices = 0;
  mBatchQuads = 0;
  lockVertexBuffer();
}

void RenderSystem::drawOlderBatch() {
  drawDeviceBatch();
  if (mStagedCount == 0) return;
  StagedBatch& oldest = mStaged[0];
  openBatch(oldest.texture, true, oldest.blendMode, RP_QUADS, oldest.addressMode);
  if (mVertexPointer) {
    std::memcpy(mVertexPointer, oldest.vertices.data(), size_t(oldest.count) * gVertexStride);
    mBatchVertices = oldest.count;
    mBatchQuads = oldest.count / 4;
    mBatchOpaque = oldest.opaque;
  }
  oldest.count = 0;
  // The emptied slot goes last; the others keep their order.
  for (uint32_t i = 1; i < mStagedCount; ++i) std::swap(mStaged[i - 1], mStaged[i]);
  --mStagedCount;
}

void RenderSystem::flushBatch() {
  while (mStagedCount > 0) drawOlderBatch();
  drawDeviceBatch();
}

// ---- states ----

void RenderSystem::setBlendMode(uint32_t mode) {
  using Platform::Blend;
  Platform::RenderDevice* d = getDevice();
  switch (mode) {
    case BM_ALPHA: d->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha)); break;
    case BM_COLOR: d->setRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcColor)); break;
    case BM_ADD: d->setRenderState(RenderState::DestBlend, uint32_t(Blend::One)); break;
    default: break;
  }
}

void RenderSystem::setTextureAddressMode(uint32_t mode, int stage) {
  using Platform::TextureAddress;
  const TextureAddress a = mode == TAM_MIRROR  ? TextureAddress::Mirror
                           : mode == TAM_CLAMP ? TextureAddress::Clamp
                                               : TextureAddress::Wrap;
  Platform::RenderDevice* d = getDevice();
  d->setTextureStageState(stage, Platform::TextureStageState::AddressU, uint32_t(a));
  d->setTextureStageState(stage, Platform::TextureStageState::AddressV, uint32_t(a));
  d->setTextureStageState(stage, Platform::TextureStageState::AddressW, uint32_t(a));
}

void RenderSystem::setCamera(const float* camera) {
  if (mCameraLocked) return;
  const float eps = 1.1920929e-7f;
  const float* c = mCamera;
  const bool moved = std::hypot(camera[CAM_X] - c[CAM_X], camera[CAM_Y] - c[CAM_Y]) > eps;
  const bool turned = std::fabs(camera[CAM_ANGLE] - c[CAM_ANGLE]) > eps;
  const bool zoomed = std::hypot(camera[CAM_ZOOM_X] - c[CAM_ZOOM_X], camera[CAM_ZOOM_Y] - c[CAM_ZOOM_Y]) > eps;
  if (!moved && !turned && !zoomed) return;
  flushBatch();
  std::memcpy(mCamera, camera, sizeof(float) * CAM_COUNT);
  updateMatrices(getDesignWidth(), getDesignHeight());
}

void RenderSystem::clearStencil() { getDevice()->clear(Platform::CLEAR_STENCIL, 0xFF000000u, 1.f, 0); }

void RenderSystem::beginStencilMask() {
  using namespace Platform;
  RenderDevice* d = getDevice();
  flushBatch();
  d->setRenderState(RenderState::StencilEnable, 1);
  d->setRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
  d->setRenderState(RenderState::StencilRef, 1);
  d->setRenderState(RenderState::StencilMask, 0xFFFFFFFFu);
  d->setRenderState(RenderState::StencilWriteMask, 0xFFFFFFFFu);
  d->setRenderState(RenderState::StencilZFail, uint32_t(StencilOp::Keep));
  d->setRenderState(RenderState::StencilFail, uint32_t(StencilOp::Keep));
  d->setRenderState(RenderState::StencilPass, uint32_t(StencilOp::Replace));
  flushBatch();
  d->setRenderState(RenderState::ColorWriteEnable, 0);
  std::memcpy(mPrevColorWriteMask, mColorWriteMask, sizeof mColorWriteMask);
  for (bool& m : mColorWriteMask) m = false;
}

void RenderSystem::endStencilMask() {
  flushBatch();
  getDevice()->setRenderState(RenderState::StencilEnable, 0);
  const bool* p = mPrevColorWriteMask;
  setColorWriteMask(p[0], p[1], p[2], p[3]);
}

void RenderSystem::enableStencilTest() {
  flushBatch();
  Platform::RenderDevice* d = getDevice();
  d->setRenderState(RenderState::StencilEnable, 1);
  d->setRenderState(RenderState::StencilFunc, uint32_t(Platform::Cmp::Equal));
}

void RenderSystem::disableStencilTest() {
  flushBatch();
  getDevice()->setRenderState(RenderState::StencilEnable, 0);
}

void RenderSystem::setColorWriteMask(bool red, bool green, bool blue, bool alpha) {
  flushBatch();
  uint32_t bits = 0;
  if (red) bits |= Platform::COLORWRITE_RED;
  if (green) bits |= Platform::COLORWRITE_GREEN;
  if (blue) bits |= Platform::COLORWRITE_BLUE;
  if (alpha) bits |= Platform::COLORWRITE_ALPHA;
  getDevice()->setRenderState(RenderState::ColorWriteEnable, bits);
  std::memcpy(mPrevColorWriteMask, mColorWriteMask, sizeof mColorWriteMask);
  mColorWriteMask[0] = red;
  mColorWriteMask[1] = green;
  mColorWriteMask[2] = blue;
  mColorWriteMask[3] = alpha;
}

// ---- lines ----

void RenderSystem::drawLineData(const Vector2<float>& from, const Vector2<float>& to, uint32_t argb) {
  if (!mLineData) {
    mLineData = new RenderData();
    mLineData->mPrimitiveType = RP_LINES;
    mLineData->mBlendMode = BM_KEEP;
    mLineData->mTextures.assign(1, nullptr);
    mLineData->allocateVertices(2);
  }
  if (!mLineData->hasCurrentVertexStride() || mLineData->getVertexCount() < 2) mLineData->allocateVertices(2);
  const uint32_t stride = gVertexStride;
  const uint32_t pos = getVertexComponentOffset(VC_POSITION);
  const uint32_t dif = getVertexComponentOffset(VC_DIFFUSE);
  uint8_t* v = mLineData->getVertexBytes();
  const float p0[3] = {from.x, from.y, 0.f};
  const float p1[3] = {to.x, to.y, 0.f};
  std::memcpy(v + pos, p0, sizeof p0);
  std::memcpy(v + dif, &argb, 4);
  std::memcpy(v + stride + pos, p1, sizeof p1);
  std::memcpy(v + stride + dif, &argb, 4);
  render(mLineData);
  flushBatch();
}

void RenderSystem::drawLine(const Vector2<float>& from, const Vector2<float>& to) {
  drawLineData(from, to, Color::fromFloats(0.f, 1.f, 0.f, 1.f).value);
}

void RenderSystem::drawColoredLine(const Vector2<float>& from, const Vector2<float>& to, const Color& color) {
  drawLineData(from, to, color.value);
}

}  // namespace KR
