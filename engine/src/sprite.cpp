#include "sprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "log_system.h"
#include "lua_script_2.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "report_assert.h"
#include "sprite_description.h"
#include "texture_dx8.h"
#include "vertex_format.h"
#include "xml_data_reader.h"

namespace KR {

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr float kDirtyThreshold = 0.001f;

bool changedEnough(float a, float b) { return std::fabs(a - b) >= kDirtyThreshold; }

}  // namespace

// ---------------------------------------------------------------------------
// Construction

Sprite::Sprite() = default;

Sprite::~Sprite() {
  delete mQuad;
  delete mMesh;
}

void Sprite::allocateGrid(uint32_t sizeX, uint32_t sizeY) {
  mMeshSizeX = sizeX;
  mMeshSizeY = sizeY;
  const uint32_t count = getMeshVertexCount();
  mMeshPositions.assign(count, Vector2<float>());
  mMeshTexCoords.assign(count, Vector2<float>());
  delete mMesh;
  ensureSpriteVertexLayout();
  mMesh = new RenderData();
  mMesh->allocateVertices(count);
  bindVertexRefs();
}

void Sprite::bindVertexRefs() {
  reallocateStaleVertices(mMesh);
  const uint32_t count = mMesh ? mMesh->getVertexCount() : 0;
  mVertexPositionRefs.resize(count);
  mVertexColorRefs.resize(count);
  if (!count) return;
  const uint32_t positionOffset = getVertexComponentOffset(VC_POSITION);
  const uint32_t colorOffset = getVertexComponentOffset(VC_DIFFUSE);
  for (uint32_t i = 0; i < count; ++i) {
    mVertexPositionRefs[i] = spriteVertexField<float>(mMesh, i, positionOffset);
    mVertexColorRefs[i] = spriteVertexField<uint32_t>(mMesh, i, colorOffset);
  }
}

void Sprite::remakeMeshVertices(const std::vector<float*>& positions, const std::vector<uint32_t*>& colors) {
  const uint32_t count = mMesh->getVertexCount();
  // Read everything before the old storage (maybe our own) is freed.
  const size_t kept = std::min<size_t>(count, std::min(positions.size(), colors.size()));
  std::vector<float> xyz(kept * 3);
  std::vector<uint32_t> argb(kept);
  for (size_t i = 0; i < kept; ++i) {
    std::memcpy(&xyz[i * 3], positions[i], 3 * sizeof(float));
    argb[i] = *colors[i];
  }
  mMesh->allocateVertices(count);
  bindVertexRefs();
  for (size_t i = 0; i < kept; ++i) {
    std::memcpy(mVertexPositionRefs[i], &xyz[i * 3], 3 * sizeof(float));
    *mVertexColorRefs[i] = argb[i];
  }
}

void Sprite::refreshVertexStorage() {
  // Every quad vertex is written again by render().
  reallocateStaleVertices(mQuad);
  if (mMesh && !mMesh->hasCurrentVertexStride()) remakeMeshVertices(mVertexPositionRefs, mVertexColorRefs);
}

void Sprite::copyQuadSettingsToMesh() {
  mMesh->releaseTextures();
  mMesh->appendTextures(*mQuad);
  mMesh->mPrimitiveType = mQuad->mPrimitiveType;
  mMesh->mBlendMode = mQuad->mBlendMode;
  mMesh->mExtra = mQuad->mExtra;
  mMesh->mAddressMode = mQuad->mAddressMode;
  mMesh->mUser = mQuad->mUser;
}

void Sprite::updateInvTextureSize() { mInvTextureSize = inverseTextureSize(mMesh ? mMesh->getTexture() : nullptr); }

void Sprite::setTexture(Texture* texture) {
  resetToTexture(mQuad, texture);
  allocateGrid(1, 1);
  updateMeshPositions();
  resetMeshTexCoordsToTexture();
  setMeshColor(Color::fromARGB(kOpaqueWhite));
  updateMeshTexCoords();
  copyQuadSettingsToMesh();
  updateInvTextureSize();
  mDirty = true;
}

void Sprite::loadTexture(const std::string& name, const std::string& package) {
  SpriteTexture loaded(name, package);
  setTexture(loaded.get());
}

void Sprite::loadFromDescription(const SpriteDescription& description) {
  takeDescription(mQuad, description);
  mHasMesh = false;

  const uint32_t color = description.color.value;
  std::vector<uint32_t> vertexColors;
  if (description.hasMesh) {
    // Each side is bounded first so that the product cannot wrap.
    const uint32_t sizeX = description.meshSizeX;
    const uint32_t sizeY = description.meshSizeY;
    KR_ASSERT(sizeX != 0 && sizeY != 0 && sizeX < kMaxMeshVertices && sizeY < kMaxMeshVertices &&
                  (uint64_t(sizeX) + 1) * (uint64_t(sizeY) + 1) <= kMaxMeshVertices,
              "Bad mesh size specified");
    mHasMesh = true;
    allocateGrid(description.meshSizeX, description.meshSizeY);
    updateMeshPositions();
    resetMeshTexCoordsToTexture();
    vertexColors.assign(getMeshVertexCount(), color);
    for (const MeshVertexDescription& vertex : description.meshVertices) {
      const int64_t index = int64_t(mMeshSizeX + 1) * vertex.row + vertex.column;
      KR_ASSERT(index >= 0 && index < int64_t(getMeshVertexCount()), "Bad index specified");
      mMeshPositions[size_t(index)] = vertex.position;
      mMeshTexCoords[size_t(index)] = vertex.texCoord;
      vertexColors[size_t(index)] = vertex.color.value;
    }
  } else {
    allocateGrid(1, 1);
    updateMeshPositions();
    resetMeshTexCoordsToTexture();
  }
  setMeshColor(description.color);
  for (size_t i = 0; i < vertexColors.size(); ++i) *mVertexColorRefs[i] = vertexColors[i];

  updateMeshTexCoords();
  copyQuadSettingsToMesh();
  updateInvTextureSize();
  mDirty = true;
}

void Sprite::loadFromScript(const std::string& script, const std::string& table, const std::string& package) {
  SpriteDescription description;
  readSpriteScript(script, table, package, &description);
  loadFromDescription(description);
}

int loadSpriteFromScript(const std::string& script, const std::string& package, Sprite* sprite,
                         const std::string& table) {
  LuaScript lua;
  if (!lua.loadScript(script, package)) {
    log("ERROR: Failed to load sprite %s %s: %s", script.c_str(), table.c_str(), lua.getLoadError().c_str());
    return 1;
  }
  if (!lua.openTable(table)) {
    log("ERROR: Failed to load sprite %s %s: no such table", script.c_str(), table.c_str());
    return 1;
  }
  SpriteDescription description;
  readSpriteDescription(lua, &description);
  lua.closeTable();
  sprite->loadFromDescription(description);
  return 0;
}

void Sprite::loadFromXml(XmlDataReader& reader) {
  SpriteDescription description;
  readSpriteDescription(reader, &description);
  loadFromDescription(description);
}

void Sprite::copyConstruct(const Sprite& other) {
  if (&other == this) return;
  SpriteFields::operator=(other);
  mMeshSizeX = other.mMeshSizeX;
  mMeshSizeY = other.mMeshSizeY;
  mDirty = other.mDirty;
  mHasMesh = other.mHasMesh;
  delete mQuad;
  delete mMesh;
  mQuad = other.mQuad ? new RenderData(*other.mQuad) : nullptr;
  mMesh = other.mMesh ? new RenderData(*other.mMesh) : nullptr;
  mMeshPositions = other.mMeshPositions;
  mMeshTexCoords = other.mMeshTexCoords;
  // The transformed positions and colours, read in the other's layout.
  if (mMesh)
    remakeMeshVertices(other.mVertexPositionRefs, other.mVertexColorRefs);
  else
    bindVertexRefs();
  updateMeshTexCoords();
  updateInvTextureSize();
}

void Sprite::assign(const Sprite& other) {
  if (&other == this) return;
  // A grid of another size cannot take the other's arrays in place: take the
  // other's whole mesh item (positions and colours) at the other's size.
  if (!mMesh || !other.mMesh || mMeshSizeX != other.mMeshSizeX || mMeshSizeY != other.mMeshSizeY ||
      mMesh->getVertexCount() != other.mMesh->getVertexCount()) {
    delete mMesh;
    mMesh = other.mMesh ? new RenderData(*other.mMesh) : nullptr;
    if (mMesh)
      remakeMeshVertices(other.mVertexPositionRefs, other.mVertexColorRefs);
    else
      bindVertexRefs();
  }
  if (!mQuad) mQuad = newSpriteQuad();
  SpriteFields::operator=(other);
  mMeshSizeX = other.mMeshSizeX;
  mMeshSizeY = other.mMeshSizeY;
  if (other.mQuad) mQuad->mUser = other.mQuad->mUser;
  if (mMesh && other.mMesh) mMesh->mUser = other.mMesh->mUser;
  mQuad->releaseTextures();
  if (mMesh) mMesh->releaseTextures();
  if (other.mQuad) {
    for (Texture* texture : other.mQuad->mTextures) {
      mQuad->addTexture(texture);
      if (mMesh) mMesh->addTexture(texture);
    }
  }
  mMeshPositions = other.mMeshPositions;
  mMeshTexCoords = other.mMeshTexCoords;
  mDirty = other.mDirty;
  updateMeshTexCoords();
  updateInvTextureSize();
}

// ---------------------------------------------------------------------------
// Transform

void Sprite::setPosition(float x, float y) {
  if (changedEnough(mPosition.x, x) || changedEnough(mPosition.y, y)) mDirty = true;
  mPosition = Vector2<float>(x, y);
}

void Sprite::setScale(const Vector2<float>& scale) {
  if (changedEnough(mScale.x, scale.x) || changedEnough(mScale.y, scale.y)) mDirty = true;
  mScale = scale;
}

void Sprite::setSize(const Vector2<float>& size) {
  if (changedEnough(mSize.x, size.x) || changedEnough(mSize.y, size.y)) mDirty = true;
  mSize = size;
  updateMeshPositions();
}

// ---------------------------------------------------------------------------
// Frames

Sprite* Sprite::setFrameRect(uint32_t index, const Rect& rect, bool rebuild) {
  putFrame(index, rect);
  if (rebuild) updateMeshTexCoords();
  return this;
}

void Sprite::setFrameRectNormalized(const Rect& rect) {
  const Texture* texture = getTexture();
  if (!texture) return;  // only render-target sprites, which always have one, come here
  if (mFrames.empty()) mFrames.emplace_back();
  const float width = float(texture->width);
  const float height = float(texture->height);
  mFrames[0] = Rect(rect.left * width, rect.top * height, rect.right * width, rect.bottom * height);
  updateMeshTexCoords();
}

Rect Sprite::getFrameRect(uint32_t index) const { return index < mFrames.size() ? mFrames[index] : Rect(); }

bool Sprite::getFirstFrameRect(Rect* out) const {
  if (mFrames.empty()) return false;
  *out = mFrames[0];
  return true;
}

Texture* Sprite::getTexture() const { return mQuad ? mQuad->getTexture() : nullptr; }

// ---------------------------------------------------------------------------
// Mesh

size_t Sprite::gridIndex(uint32_t column, uint32_t row, const char* failure) const {
  const uint64_t index = uint64_t(mMeshSizeX + 1) * row + column;
  KR_ASSERT(index < mMeshPositions.size() && index < mMeshTexCoords.size(), failure);
  return size_t(index);
}

void Sprite::setMeshVertexPosition(const Vector2<float>& position, uint32_t column, uint32_t row) {
  mMeshPositions[gridIndex(column, row, "Bad coordinates specified")] = position;
  mDirty = true;
}

void Sprite::setMeshVertexTexCoord(const Vector2<float>& texCoord, uint32_t column, uint32_t row) {
  mMeshTexCoords[gridIndex(column, row, "Bad coordinates specified")] = texCoord;
  mDirty = true;
}

Vector2<float>& Sprite::getMeshVertexTexCoord(uint32_t column, uint32_t row) {
  return mMeshTexCoords[gridIndex(column, row, "Bad coordinates specified")];
}

const Vector2<float>& Sprite::getMeshVertexPosition(uint32_t column, uint32_t row) const {
  return mMeshPositions[gridIndex(column, row, "Bad coordinates specified")];
}

void Sprite::setMeshColor(const Color& color) {
  refreshVertexStorage();
  for (uint32_t* ref : mVertexColorRefs) *ref = color.value;
}

Color Sprite::getMeshVertexColor(uint32_t column, uint32_t row) const {
  return Color::fromARGB(*mVertexColorRefs[gridIndex(column, row, "Bad coordinates specified")]);
}

Vector2<float> Sprite::getTransformedVertex(uint32_t column, uint32_t row) const {
  const float* p = mVertexPositionRefs[gridIndex(column, row, "Bad coordinates specified")];
  return Vector2<float>(p[0], p[1]);
}

namespace {

// Grid line `index` of `cells` over `extent`. Multiplying before dividing puts
// the last line exactly on the extent; a precomputed step does not (7 cells
// over 31 pixels would end at 30.999998).
float spreadOver(uint32_t index, float extent, uint32_t cells) { return float(index) * extent / float(cells); }

}  // namespace

void Sprite::updateMeshPositions() {
  if (!mMeshSizeX || !mMeshSizeY) return;
  for (uint32_t y = 0; y <= mMeshSizeY; ++y)
    for (uint32_t x = 0; x <= mMeshSizeX; ++x)
      mMeshPositions[(mMeshSizeX + 1) * y + x] =
          Vector2<float>(spreadOver(x, mSize.x, mMeshSizeX), spreadOver(y, mSize.y, mMeshSizeY));
}

void Sprite::updateMeshTexCoords() {
  if (mFrames.empty() || !mMeshSizeX || !mMeshSizeY) return;
  const Rect& frame = mFrames[0];
  const float width = frame.right - frame.left;
  const float height = frame.bottom - frame.top;
  for (uint32_t y = 0; y <= mMeshSizeY; ++y)
    for (uint32_t x = 0; x <= mMeshSizeX; ++x)
      mMeshTexCoords[(mMeshSizeX + 1) * y + x] =
          Vector2<float>(frame.left + spreadOver(x, width, mMeshSizeX), frame.top + spreadOver(y, height, mMeshSizeY));
}

void Sprite::resetMeshTexCoordsToTexture() {
  const Texture* texture = getTexture();
  if (!texture || !mMeshSizeX || !mMeshSizeY) return;
  const float width = float(texture->width);
  const float height = float(texture->height);
  for (uint32_t y = 0; y <= mMeshSizeY; ++y)
    for (uint32_t x = 0; x <= mMeshSizeX; ++x)
      mMeshTexCoords[(mMeshSizeX + 1) * y + x] =
          Vector2<float>(spreadOver(x, width, mMeshSizeX), spreadOver(y, height, mMeshSizeY));
}

// ---------------------------------------------------------------------------
// Drawing

void Sprite::updateVertices() {
  refreshVertexStorage();
  if (!mDirty) return;
  const Vector2<float> center = mPosition + mRotationCenter;
  const float theta = mAngle * kDegToRad;
  const float c = std::cos(theta);
  const float s = std::sin(theta);
  const size_t count = std::min(mMeshPositions.size(), mVertexPositionRefs.size());
  for (size_t i = 0; i < count; ++i) {
    const Vector2<float>& m = mMeshPositions[i];
    const float dx = m.x * mScale.x + mPosition.x - center.x;
    const float dy = m.y * mScale.y + mPosition.y - center.y;
    float* out = mVertexPositionRefs[i];
    out[0] = dx * c - dy * s + center.x;
    out[1] = dx * s + dy * c + center.y;
  }
  mDirty = false;
}

void Sprite::updateVerticesByMatrix(const Matrix3& matrix) {
  refreshVertexStorage();
  const size_t count = std::min(mMeshPositions.size(), mVertexPositionRefs.size());
  for (size_t i = 0; i < count; ++i) {
    const Vector2<float>& m = mMeshPositions[i];
    float* out = mVertexPositionRefs[i];
    out[0] = matrix.m[0] * m.x + matrix.m[3] * m.y + matrix.m[6];
    out[1] = matrix.m[1] * m.x + matrix.m[4] * m.y + matrix.m[7];
  }
  mDirty = true;
}

void Sprite::render() {
  refreshVertexStorage();
  if (!mQuad || !mMesh || !mQuad->getVertexBytes() || !mMeshSizeX || !mMeshSizeY) return;
  if (mVertexPositionRefs.size() < getMeshVertexCount() || mMeshTexCoords.size() < getMeshVertexCount()) return;
  RenderSystem* renderSystem = RenderSystem::getInstance();
  const uint32_t stride = gVertexStride;
  const uint32_t positionOffset = getVertexComponentOffset(VC_POSITION);
  const uint32_t colorOffset = getVertexComponentOffset(VC_DIFFUSE);
  const uint32_t texOffset = getVertexComponentOffset(VC_TEXCOORD0);
  uint8_t* quad = mQuad->getVertexBytes();
  const uint32_t rowLength = mMeshSizeX + 1;

  for (uint32_t j = 0; j < mMeshSizeY; ++j) {
    for (uint32_t i = 0; i < mMeshSizeX; ++i) {
      const uint32_t a = rowLength * j + i;
      // Slots: top-left, top-right, bottom-right, bottom-left.
      const uint32_t corners[4] = {a, a + 1, rowLength * (j + 1) + i + 1, rowLength * (j + 1) + i};
      // Texels per design pixel of this cell, for moving the texture with a
      // clamped corner: the clipped-off distance times this is the shift.
      float texelsPerPixelX = 0.0f, texelsPerPixelY = 0.0f;
      if (mClipEnabled) {
        const float dx = mVertexPositionRefs[corners[1]][0] - mVertexPositionRefs[corners[0]][0];
        const float dy = mVertexPositionRefs[corners[3]][1] - mVertexPositionRefs[corners[0]][1];
        const float du = mMeshTexCoords[corners[1]].x - mMeshTexCoords[corners[0]].x;
        const float dv = mMeshTexCoords[corners[3]].y - mMeshTexCoords[corners[0]].y;
        if (std::fabs(dx) > 1e-10f) texelsPerPixelX = du / dx;
        if (std::fabs(dy) > 1e-10f) texelsPerPixelY = dv / dy;
      }
      for (int slot = 0; slot < 4; ++slot) {
        const uint32_t corner = corners[slot];
        const float* position = mVertexPositionRefs[corner];
        float x = position[0];
        float y = position[1];
        float u = mMeshTexCoords[corner].x;
        float v = mMeshTexCoords[corner].y;
        if (mClipEnabled) {
          const float clampedX = clampBetweenEdges(x, mClipRect.left, mClipRect.right);
          const float clampedY = clampBetweenEdges(y, mClipRect.top, mClipRect.bottom);
          u -= (x - clampedX) * texelsPerPixelX;
          v -= (y - clampedY) * texelsPerPixelY;
          x = clampedX;
          y = clampedY;
        }
        u *= mInvTextureSize.x;
        v *= mInvTextureSize.y;
        if (mMirrorH) u = 1.0f - u;
        if (mMirrorV) v = 1.0f - v;
        uint8_t* vertex = quad + size_t(slot) * stride;
        float* outPosition = reinterpret_cast<float*>(vertex + positionOffset);
        outPosition[0] = x;
        outPosition[1] = y;
        outPosition[2] = position[2];
        *reinterpret_cast<uint32_t*>(vertex + colorOffset) = *mVertexColorRefs[corner];
        float* outTex = reinterpret_cast<float*>(vertex + texOffset);
        outTex[0] = u;
        outTex[1] = v;
      }
      renderSystem->render(mQuad);
    }
  }
}

}  // namespace KR
