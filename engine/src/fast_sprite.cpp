#include "fast_sprite.h"

#include <algorithm>
#include <cmath>

#include "config_manager.h"
#include "format_string.h"
#include "lua_script_2.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sprite_description.h"
#include "texture_dx8.h"
#include "texture_manager.h"
#include "vertex_format.h"

namespace KR {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr float kMinScale = 1.1920929e-7f;
// Slot table in reading order: top-left, top-right, bottom-left, bottom-right.
constexpr int kReadingOrderSlots[4] = {0, 1, 3, 2};

uint32_t ensureVertexLayout() {
  if (currentVertexFormatMask() != 0 && gVertexStride != 0) return gVertexStride;
  if (ConfigManager::exists()) return computeVertexLayout();
  return computeVertexLayout(kVertexFormatEngine);
}

RenderData* newQuadItem() {
  ensureVertexLayout();
  RenderData* item = new RenderData();
  item->allocateVertices(4);
  return item;
}

float middleOf(float value, float a, float b) {
  return std::max(std::min(value, a), std::min(std::max(value, a), b));
}

float inverseScale(float scale) { return std::fabs(scale) > kMinScale ? 1.0f / scale : 0.0f; }

uint32_t* colorOf(RenderData* quad, int slot) {
  return reinterpret_cast<uint32_t*>(quad->getVertexBytes() + size_t(slot) * gVertexStride +
                                     getVertexComponentOffset(VC_DIFFUSE));
}

float* texCoordOf(RenderData* quad, int slot) {
  return reinterpret_cast<float*>(quad->getVertexBytes() + size_t(slot) * gVertexStride +
                                  getVertexComponentOffset(VC_TEXCOORD0));
}

Texture* loadNamedTexture(const std::string& name, const std::string& package) {
  Texture* texture = TextureManager::getInstance()->loadTexture(name, package);
  if (!texture) KR_FATAL("Failed to load texture");
  return texture;
}

}  // namespace

FastSprite::FastSprite() = default;

FastSprite::~FastSprite() { delete mQuad; }

void FastSprite::bindCornerRefs() {
  if (!mQuad || mQuad->getVertexCount() < 4) {
    std::fill(std::begin(mCornerRefs), std::end(mCornerRefs), nullptr);
    return;
  }
  if (!mQuad->hasCurrentVertexStride()) mQuad->allocateVertices(mQuad->getVertexCount());
  const uint32_t offset = getVertexComponentOffset(VC_POSITION);
  for (int slot = 0; slot < 4; ++slot)
    mCornerRefs[slot] = reinterpret_cast<float*>(mQuad->getVertexBytes() + size_t(slot) * gVertexStride + offset);
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

void FastSprite::updateInvTextureSize() {
  const Texture* texture = getTexture();
  if (texture && texture->width && texture->height)
    mInvTextureSize = Vector2<float>(1.0f / float(texture->width), 1.0f / float(texture->height));
  else
    mInvTextureSize = Vector2<float>();
}

Texture* FastSprite::getTexture() const { return mQuad ? mQuad->getTexture() : nullptr; }

uint32_t FastSprite::getBlendMode() const { return mQuad ? mQuad->mBlendMode : uint32_t(BM_ALPHA); }

void FastSprite::setBlendMode(uint32_t mode) {
  if (mQuad) mQuad->mBlendMode = mode;
}

void FastSprite::loadFromDescription(const SpriteDescription& description) {
  delete mQuad;
  mQuad = newQuadItem();
  mFrames.clear();
  bindCornerRefs();
  mPosition = description.position;
  mMirrorH = description.mirrorH;
  mMirrorV = description.mirrorV;
  mAngle = description.angle;
  mQuad->mBlendMode = description.blendMode;
  mQuad->mUser = uint32_t(description.pairedTextures);
  for (size_t i = 0; i < description.frames.size(); ++i) {
    const SpriteFrameDescription& frame = description.frames[i];
    Texture* texture = loadNamedTexture(frame.image, frame.package);
    mQuad->addTexture(texture);
    Rect rect;
    if (frame.hasSourceRect)
      rect = frame.sourceRect;
    else if (i == 0)
      rect = Rect(0.0f, 0.0f, float(texture->width), float(texture->height));
    if (mFrames.size() < i + 1) mFrames.resize(i + 1);
    mFrames[i] = rect;
  }
  if (description.hasSize)
    mSize = description.size;
  else if (getTexture() && !mFrames.empty())
    mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
  else
    mSize = Vector2<float>();
  mRotationCenter = description.hasRotationCenter ? description.rotationCenter
                                                  : Vector2<float>(mSize.x * 0.5f, mSize.y * 0.5f);
  mClipRect = description.clipRect;
  updateInvTextureSize();
  setColor(description.color);
  updateTexCoords();
}

void FastSprite::loadFromScript(const std::string& script, const std::string& table, const std::string& package) {
  LuaScript lua;
  if (!lua.loadScript(script, package))
    KR_FATAL(formatString("Failed to load script '%s' from package '%s' ", script.c_str(), package.c_str()));
  if (!lua.openTable(table))
    KR_FATAL(formatString("Failed to open table '%s' in script '%s' from package '%s' ", table.c_str(),
                          script.c_str(), package.c_str()));
  SpriteDescription description;
  readSpriteDescription(lua, &description);
  lua.closeTable();
  loadFromDescription(description);
}

void FastSprite::setTexture(Texture* texture) {
  delete mQuad;
  mQuad = newQuadItem();
  mPosition = Vector2<float>();
  mAngle = 0.0f;
  mMirrorH = mMirrorV = false;
  mQuad->mBlendMode = BM_ALPHA;
  float width = 32.0f, height = 32.0f;
  if (texture) {
    mQuad->addTexture(texture);
    width = float(texture->width);
    height = float(texture->height);
  }
  if (mFrames.empty()) mFrames.emplace_back();
  mFrames[0] = Rect(0.0f, 0.0f, width, height);
  mSize = Vector2<float>(width, height);
  mRotationCenter = Vector2<float>(width * 0.5f, height * 0.5f);
  mClipRect = Rect(0.0f, 0.0f, kDefaultClipRight, kDefaultClipBottom);
  bindCornerRefs();
  updateInvTextureSize();
  setColor(Color::fromARGB(kOpaqueWhite));
  updateTexCoords();
}

void FastSprite::loadTexture(const std::string& name, const std::string& package) {
  setTexture(loadNamedTexture(name, package));
}

void FastSprite::copyConstruct(const FastSprite& other) {
  if (&other == this) return;
  mFrames = other.mFrames;
  mAngle = other.mAngle;
  mPosition = other.mPosition;
  mRotationCenter = other.mRotationCenter;
  mScale = other.mScale;
  mSize = other.mSize;
  mClipRect = other.mClipRect;
  mClipEnabled = other.mClipEnabled;
  mMirrorH = other.mMirrorH;
  mMirrorV = other.mMirrorV;
  delete mQuad;
  mQuad = other.mQuad ? new RenderData(*other.mQuad) : newQuadItem();
  bindCornerRefs();
  updateInvTextureSize();
  setColor(Color::fromARGB(kOpaqueWhite));
  updateTexCoords();
}

FastSprite* FastSprite::setColor(const Color& color) {
  mColor = color;
  refreshVertexStorage();
  if (mQuad && mQuad->getVertexCount() >= 4)
    for (int slot = 0; slot < 4; ++slot) *colorOf(mQuad, slot) = color.value;
  return this;
}

Color FastSprite::getColor() const {
  if (!mQuad || mQuad->getVertexCount() < 4) return Color();
  return mColor;
}

void FastSprite::setFrameRect(uint32_t index, const Rect& rect) {
  if (index >= mFrames.size())
    mFrames.push_back(rect);
  else
    mFrames[index] = rect;
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
  for (int slot = 0; slot < 4; ++slot) {
    float* uv = texCoordOf(mQuad, slot);
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
  for (int slot : kReadingOrderSlots) {
    float* position = mCornerRefs[slot];
    const float x = position[0];
    const float y = position[1];
    const float clampedX = middleOf(x, mClipRect.left, mClipRect.right);
    const float clampedY = middleOf(y, mClipRect.top, mClipRect.bottom);
    const float shiftU = std::fabs(dx) > 1e-10f ? -(x - clampedX) * mInvTextureSize.x * kx : 0.0f;
    const float shiftV = std::fabs(dy) > 1e-10f ? -(y - clampedY) * mInvTextureSize.y * ky : 0.0f;
    position[0] = clampedX;
    position[1] = clampedY;
    float* uv = texCoordOf(mQuad, slot);
    uv[0] += shiftU;
    if (mMirrorH) uv[0] = 1.0f - uv[0];
    uv[1] += shiftV;
    if (mMirrorV) uv[1] = 1.0f - uv[1];
  }
}

void FastSprite::submit() { RenderSystem::getInstance()->render(mQuad); }

void FastSprite::draw() {
  refreshVertexStorage();
  if (!mQuad || !mCornerRefs[0]) return;
  const Vector2<float> center = mPosition + mRotationCenter;
  const bool rotate = std::fabs(mAngle) > 1.0f;
  const float width = mSize.x * mScale.x;
  const float height = mSize.y * mScale.y;
  const float corners[4][2] = {{mPosition.x, mPosition.y},
                               {mPosition.x + width, mPosition.y},
                               {mPosition.x + width, mPosition.y + height},
                               {mPosition.x, mPosition.y + height}};
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
  submit();
}

void FastSprite::drawTransformed(const Matrix3& matrix) {
  refreshVertexStorage();
  if (!mQuad || !mCornerRefs[0]) return;
  const float width = mSize.x * mScale.x;
  const float height = mSize.y * mScale.y;
  const float corners[4][2] = {{mPosition.x, mPosition.y},
                               {mPosition.x + width, mPosition.y},
                               {mPosition.x + width, mPosition.y + height},
                               {mPosition.x, mPosition.y + height}};
  for (int slot = 0; slot < 4; ++slot) {
    const float x = corners[slot][0];
    const float y = corners[slot][1];
    mCornerRefs[slot][0] = matrix.m[0] * x + matrix.m[3] * y + matrix.m[6];
    mCornerRefs[slot][1] = matrix.m[1] * x + matrix.m[4] * y + matrix.m[7];
  }
  // Transformed text counts one texel per design pixel while clipping.
  if (mClipEnabled) clipCorners(inverseScale(mScale.x) * mScale.x, inverseScale(mScale.y) * mScale.y);
  submit();
}

}  // namespace KR
