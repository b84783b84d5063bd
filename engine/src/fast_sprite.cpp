#include "fast_sprite.h"

#include <algorithm>
#include <cmath>

#include "render_data.h"
#include "render_system_dx8.h"
#include "sprite_description.h"
#include "texture_dx8.h"
#include "vertex_format.h"

namespace KR {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr float kMinScale = 1.1920929e-7f;
// Slot table in reading order: top-left, top-right, bottom-left, bottom-right.
constexpr int kReadingOrderSlots[4] = {0, 1, 3, 2};

float inverseScale(float scale) { return std::fabs(scale) > kMinScale ? 1.0f / scale : 0.0f; }

float* texCoordOf(RenderData* quad, int slot) {
  return spriteVertexField<float>(quad, uint32_t(slot), getVertexComponentOffset(VC_TEXCOORD0));
}

// The unrotated corners, slot by slot (top-left, top-right, bottom-right,
// bottom-left), of the scaled picture at its position.
void placeCorners(const SpriteFields& sprite, float corners[4][2]) {
  const float width = sprite.mSize.x * sprite.mScale.x;
  const float height = sprite.mSize.y * sprite.mScale.y;
  const float x = sprite.mPosition.x;
  const float y = sprite.mPosition.y;
  const float xs[4] = {x, x + width, x + width, x};
  const float ys[4] = {y, y, y + height, y + height};
  for (int slot = 0; slot < 4; ++slot) {
    corners[slot][0] = xs[slot];
    corners[slot][1] = ys[slot];
  }
}

}  // namespace

FastSprite::FastSprite() = default;

FastSprite::~FastSprite() { delete mQuad; }

void FastSprite::bindCornerRefs() {
  if (!mQuad || mQuad->getVertexCount() < 4) {
    std::fill(std::begin(mCornerRefs), std::end(mCornerRefs), nullptr);
    return;
  }
  reallocateStaleVertices(mQuad);
  const uint32_t offset = getVertexComponentOffset(VC_POSITION);
  for (int slot = 0; slot < 4; ++slot) mCornerRefs[slot] = spriteVertexField<float>(mQuad, uint32_t(slot), offset);
}

void FastSprite::refreshVertexStorage() {
  if (!mQuad || mQuad->hasCurrentVertexStride()) return;
  // The corners of the last draw are read through the old references; colour
  // and texture coordinates come from the sprite's state.
  float corners[4][3] = {};
  const bool hadCorners = mCornerRefs[0] != nullptr;
  if (hadCorners)
    for (int slot = 0; slot < 4; ++slot) std::copy(mCornerRefs[slot], mCornerRefs[slot] + 3, corners[slot]);
  bindCornerRefs();
  if (hadCorners && mCornerRefs[0])
    for (int slot = 0; slot < 4; ++slot) std::copy(corners[slot], corners[slot] + 3, mCornerRefs[slot]);
  setColor(mColor);
  updateTexCoords();
}

void FastSprite::updateInvTextureSize() { mInvTextureSize = inverseTextureSize(getTexture()); }

Texture* FastSprite::getTexture() const { return mQuad ? mQuad->getTexture() : nullptr; }

uint32_t FastSprite::getBlendMode() const { return mQuad ? mQuad->mBlendMode : uint32_t(BM_ALPHA); }

void FastSprite::setBlendMode(uint32_t mode) {
  if (mQuad) mQuad->mBlendMode = mode;
}

void FastSprite::loadFromDescription(const SpriteDescription& description) {
  takeDescription(mQuad, description);
  bindCornerRefs();
  updateInvTextureSize();
  setColor(description.color);
  updateTexCoords();
}

void FastSprite::loadFromScript(const std::string& script, const std::string& table, const std::string& package) {
  SpriteDescription description;
  readSpriteScript(script, table, package, &description);
  loadFromDescription(description);
}

void FastSprite::setTexture(Texture* texture) {
  resetToTexture(mQuad, texture);
  bindCornerRefs();
  updateInvTextureSize();
  setColor(Color::fromARGB(kOpaqueWhite));
  updateTexCoords();
}

void FastSprite::loadTexture(const std::string& name, const std::string& package) {
  SpriteTexture loaded(name, package);
  setTexture(loaded.get());
}

void FastSprite::copyConstruct(const FastSprite& other) {
  if (&other == this) return;
  SpriteFields::operator=(other);
  delete mQuad;
  mQuad = other.mQuad ? new RenderData(*other.mQuad) : newSpriteQuad();
  bindCornerRefs();
  updateInvTextureSize();
  setColor(Color::fromARGB(kOpaqueWhite));
  updateTexCoords();
}

FastSprite* FastSprite::setColor(const Color& color) {
  mColor = color;
  refreshVertexStorage();
  if (mQuad && mQuad->getVertexCount() >= 4) {
    const uint32_t offset = getVertexComponentOffset(VC_DIFFUSE);
    for (int slot = 0; slot < 4; ++slot) *spriteVertexField<uint32_t>(mQuad, uint32_t(slot), offset) = color.value;
  }
  return this;
}

Color FastSprite::getColor() const {
  if (!mQuad || mQuad->getVertexCount() < 4) return Color();
  return mColor;
}

void FastSprite::setFrameRect(uint32_t index, const Rect& rect) {
  putFrame(index, rect);
  updateTexCoords();
}

Rect FastSprite::getFrameRect() const { return mFrames.empty() ? Rect() : mFrames[0]; }

void FastSprite::updateTexCoords() {
  refreshVertexStorage();
  if (mFrames.empty() || !mQuad || mQuad->getVertexCount() < 4) return;
  const Rect& frame = mFrames[0];
  const float left = frame.left * mInvTextureSize.x;
  const float right = frame.right * mInvTextureSize.x;
  const float top = frame.top * mInvTextureSize.y;
  const float bottom = frame.bottom * mInvTextureSize.y;
  const float coords[4][2] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const uint32_t offset = getVertexComponentOffset(VC_TEXCOORD0);
  for (int slot = 0; slot < 4; ++slot) {
    float* uv = spriteVertexField<float>(mQuad, uint32_t(slot), offset);
    uv[0] = coords[slot][0];
    uv[1] = coords[slot][1];
  }
}

Vector2<float> FastSprite::getCorner(int slot) const {
  if (slot < 0 || slot > 3 || !mCornerRefs[slot]) return Vector2<float>();
  return Vector2<float>(mCornerRefs[slot][0], mCornerRefs[slot][1]);
}

Vector2<float> FastSprite::getCornerTexCoord(int slot) const {
  if (slot < 0 || slot > 3 || !mQuad || mQuad->getVertexCount() < 4) return Vector2<float>();
  // The quad is a cache of the sprite's state: remaking it in a new layout
  // changes nothing a caller can see.
  const_cast<FastSprite*>(this)->refreshVertexStorage();
  const float* uv = texCoordOf(mQuad, slot);
  return Vector2<float>(uv[0], uv[1]);
}

void FastSprite::clipCorners(float kx, float ky) {
  const float dx = mCornerRefs[1][0] - mCornerRefs[0][0];
  const float dy = mCornerRefs[3][1] - mCornerRefs[0][1];
  updateTexCoords();
  const uint32_t offset = getVertexComponentOffset(VC_TEXCOORD0);
  for (int slot : kReadingOrderSlots) {
    float* position = mCornerRefs[slot];
    const float x = position[0];
    const float y = position[1];
    const float clampedX = clampBetweenEdges(x, mClipRect.left, mClipRect.right);
    const float clampedY = clampBetweenEdges(y, mClipRect.top, mClipRect.bottom);
    const float shiftU = std::fabs(dx) > 1e-10f ? -(x - clampedX) * mInvTextureSize.x * kx : 0.0f;
    const float shiftV = std::fabs(dy) > 1e-10f ? -(y - clampedY) * mInvTextureSize.y * ky : 0.0f;
    position[0] = clampedX;
    position[1] = clampedY;
    float* uv = spriteVertexField<float>(mQuad, uint32_t(slot), offset);
    uv[0] += shiftU;
    if (mMirrorH) uv[0] = 1.0f - uv[0];
    uv[1] += shiftV;
    if (mMirrorV) uv[1] = 1.0f - uv[1];
  }
}

void FastSprite::submit() { RenderSystem::getInstance()->render(mQuad); }

void FastSprite::draw() {
  if (place()) submit();
}

bool FastSprite::place() {
  refreshVertexStorage();
  if (!mQuad || !mCornerRefs[0]) return false;
  const Vector2<float> center = mPosition + mRotationCenter;
  const bool rotate = std::fabs(mAngle) > 1.0f;
  float corners[4][2];
  placeCorners(*this, corners);
  if (rotate) {
    const float theta = mAngle * kDegToRad;
    const float c = std::cos(theta);
    const float s = std::sin(theta);
    for (int slot = 0; slot < 4; ++slot) {
      const float dx = corners[slot][0] - center.x;
      const float dy = corners[slot][1] - center.y;
      mCornerRefs[slot][0] = dx * c - dy * s + center.x;
      mCornerRefs[slot][1] = dx * s + dy * c + center.y;
    }
  } else {
    for (int slot = 0; slot < 4; ++slot) {
      mCornerRefs[slot][0] = corners[slot][0];
      mCornerRefs[slot][1] = corners[slot][1];
    }
  }
  if (mClipEnabled) {
    const Rect frame = getFrameRect();
    const float kx = mSize.x != 0.0f ? std::fabs(frame.right - frame.left) / mSize.x * inverseScale(mScale.x) : 0.0f;
    const float ky = mSize.y != 0.0f ? std::fabs(frame.bottom - frame.top) / mSize.y * inverseScale(mScale.y) : 0.0f;
    clipCorners(kx, ky);
  }
  return true;
}

void FastSprite::drawTransformed(const Matrix3& matrix) {
  if (placeTransformed(matrix)) submit();
}

bool FastSprite::placeTransformed(const Matrix3& matrix) {
  refreshVertexStorage();
  if (!mQuad || !mCornerRefs[0]) return false;
  float corners[4][2];
  placeCorners(*this, corners);
  for (int slot = 0; slot < 4; ++slot) {
    const float x = corners[slot][0];
    const float y = corners[slot][1];
    mCornerRefs[slot][0] = matrix.m[0] * x + matrix.m[3] * y + matrix.m[6];
    mCornerRefs[slot][1] = matrix.m[1] * x + matrix.m[4] * y + matrix.m[7];
  }
  // Transformed text counts one texel per design pixel while clipping.
  if (mClipEnabled) clipCorners(inverseScale(mScale.x) * mScale.x, inverseScale(mScale.y) * mScale.y);
  return true;
}

}  // namespace KR
