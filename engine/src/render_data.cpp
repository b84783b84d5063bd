#include "render_data.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "color.h"
#include "log_system.h"
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

void RenderData::copyVerticesFrom(const RenderData& other) {
  if (!other.mVertices) return;
  mVertices = new VertexStorage();
  // The copy keeps the other's stride: its bytes are in the other's layout.
  const size_t bytes = size_t(other.mVertices->count) * other.mVertices->stride;
  mVertices->count = other.mVertices->count;
  mVertices->stride = other.mVertices->stride;
  if (bytes) {
    mVertices->bytes = static_cast<uint8_t*>(std::malloc(bytes));
    if (!mVertices->bytes) throw std::bad_alloc();
    std::memcpy(mVertices->bytes, other.mVertices->bytes, bytes);
  }
}

void RenderData::freeVertices() {
  if (!mVertices) return;
  std::free(mVertices->bytes);
  delete mVertices;
  mVertices = nullptr;
}

void RenderData::allocateVertices(uint32_t count) {
  freeVertices();
  if (count == 0) return;
  mVertices = new VertexStorage();
  mVertices->bytes = static_cast<uint8_t*>(std::calloc(count, gVertexStride ? gVertexStride : 1));
  if (!mVertices->bytes) throw std::bad_alloc();
  mVertices->count = count;
  mVertices->stride = gVertexStride;
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

void RenderSystem::appendToBatch(RenderData* rd, uint32_t first, uint32_t count) {
  Platform::RenderDevice* d = getDevice();
  if (!compatible(rd, count)) {
    flushBatch();
    if (rd->mTextures.empty()) {
      d->setTexture(0, nullptr);
    } else if (rd->mTextures.front() != mBatchState.getTexture()) {
      Texture* t = rd->mTextures.front();
      d->setTexture(0, t ? t->mHandle : nullptr);
    }
    mBatchState.mTextures.assign(1, rd->getTexture());
    if (rd->mBlendMode != mBatchState.mBlendMode) {
      setBlendMode(rd->mBlendMode);
      mBatchState.mBlendMode = rd->mBlendMode;
    }
    if (rd->mPrimitiveType != mBatchState.mPrimitiveType) mBatchState.mPrimitiveType = rd->mPrimitiveType;
    if (rd->mAddressMode != mBatchState.mAddressMode) {
      setTextureAddressMode(rd->mAddressMode, 0);
      mBatchState.mAddressMode = rd->mAddressMode;
    }
  }
  if (!mVertexPointer) return;
  const uint32_t stride = gVertexStride;
  std::memcpy(mVertexPointer + size_t(mBatchVertices) * stride, rd->getVertexBytes() + size_t(first) * stride,
              size_t(count) * stride);
  mBatchVertices += count;
  if (rd->mPrimitiveType == RP_QUADS)
    mBatchQuads += count / 4;
  else
    mBatchQuads += count - 1;
}

void RenderSystem::flushBatch() {
  if (mBatchVertices == 0) return;
  Platform::RenderDevice* d = getDevice();
  DeviceBlockDX8& b = *mDeviceBlock;
  d->unlockVertexBuffer(b.vertexBuffer);
  if (mBatchState.mPrimitiveType == RP_QUADS)
    d->drawIndexedPrimitive(Platform::PrimitiveType::TriangleList, 0, 4 * mBatchQuads, 0, 2 * mBatchQuads);
  else if (mBatchState.mPrimitiveType == RP_LINES)
    d->drawPrimitive(Platform::PrimitiveType::LineList, 0, mBatchVertices / 2);
  mBatchVertices = 0;
  mBatchQuads = 0;
  lockVertexBuffer();
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
