#include "sprite_common.h"

#include <algorithm>

#include "config_manager.h"
#include "format_string.h"
#include "lua_script_2.h"
#include "report_assert.h"
#include "sprite_description.h"
#include "texture_dx8.h"
#include "texture_manager.h"

namespace KR {

void SpriteFields::putFrame(uint32_t index, const Rect& rect) {
  if (index >= mFrames.size())
    mFrames.push_back(rect);
  else
    mFrames[index] = rect;
}

void SpriteFields::resetToTexture(RenderData*& quad, Texture* texture) {
  delete quad;
  quad = newSpriteQuad();
  mPosition = Vector2<float>();
  mAngle = 0.0f;
  mMirrorH = mMirrorV = false;
  quad->mBlendMode = BM_ALPHA;
  float width = 32.0f, height = 32.0f;
  if (texture) {
    quad->addTexture(texture);
    width = float(texture->width);
    height = float(texture->height);
  }
  if (mFrames.empty()) mFrames.emplace_back();
  mFrames[0] = Rect(0.0f, 0.0f, width, height);
  mSize = Vector2<float>(width, height);
  mRotationCenter = Vector2<float>(width * 0.5f, height * 0.5f);
  mClipRect = Rect(0.0f, 0.0f, kDefaultClipRight, kDefaultClipBottom);
}

void SpriteFields::takeDescription(RenderData*& quad, const SpriteDescription& description) {
  delete quad;
  quad = newSpriteQuad();
  // Meant for fresh sprites; one that showed something before keeps none of it.
  mFrames.clear();
  mPosition = description.position;
  mMirrorH = description.mirrorH;
  mMirrorV = description.mirrorV;
  mAngle = description.angle;
  quad->mBlendMode = description.blendMode;
  quad->mUser = uint32_t(description.pairedTextures);

  for (size_t i = 0; i < description.frames.size(); ++i) {
    const SpriteFrameDescription& frame = description.frames[i];
    SpriteTexture loaded(frame.image, frame.package);
    Texture* texture = loaded.get();
    quad->addTexture(texture);
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
  else if (quad->getTexture() && !mFrames.empty())
    mSize = Vector2<float>(mFrames[0].width(), mFrames[0].height());
  else
    mSize = Vector2<float>();
  mRotationCenter =
      description.hasRotationCenter ? description.rotationCenter : Vector2<float>(mSize.x * 0.5f, mSize.y * 0.5f);
  mClipRect = description.clipRect;
}

uint32_t ensureSpriteVertexLayout() {
  if (currentVertexFormatMask() != 0 && gVertexStride != 0) return gVertexStride;
  if (ConfigManager::exists()) return computeVertexLayout();
  return computeVertexLayout(kVertexFormatEngine);
}

RenderData* newSpriteQuad() {
  ensureSpriteVertexLayout();
  RenderData* item = new RenderData();
  item->allocateVertices(4);
  return item;
}

bool reallocateStaleVertices(RenderData* item) {
  if (!item || item->hasCurrentVertexStride()) return false;
  item->allocateVertices(item->getVertexCount());
  return true;
}

SpriteTexture::SpriteTexture(const std::string& name, const std::string& package)
    : texture(TextureManager::getInstance()->acquireTexture(name, package)) {
  if (!texture) KR_FATAL("Failed to load texture");
}

SpriteTexture::~SpriteTexture() {
  if (TextureManager* manager = TextureManager::getInstancePtr()) manager->releaseTexture(texture);
}

void readSpriteScript(const std::string& script, const std::string& table, const std::string& package,
                      SpriteDescription* description) {
  LuaScript lua;
  if (!lua.loadScript(script, package))
    KR_FATAL(formatString("Failed to load script '%s' from package '%s' (%s)", script.c_str(), package.c_str(),
                          lua.getLoadError().c_str()));
  if (!lua.openTable(table))
    KR_FATAL(formatString("Failed to open table '%s' in script '%s' from package '%s' ", table.c_str(), script.c_str(),
                          package.c_str()));
  readSpriteDescription(lua, description);
  lua.closeTable();
}

Vector2<float> inverseTextureSize(const Texture* texture) {
  if (texture && texture->width && texture->height)
    return Vector2<float>(1.0f / float(texture->width), 1.0f / float(texture->height));
  return Vector2<float>();
}

float clampBetweenEdges(float value, float a, float b) {
  return std::max(std::min(value, a), std::min(std::max(value, a), b));
}

}  // namespace KR
