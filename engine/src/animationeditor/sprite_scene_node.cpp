#include "animationeditor/sprite_scene_node.h"

#include <lua.hpp>

#include <algorithm>

#include "animation.h"
#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_sheet_cache.h"
#include "file_system.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "render_data.h"
#include "render_system_dx8.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "xml_data_reader.h"

namespace AE {

int32_t useSpriteSheets = 0;

namespace {

const char* const kPackage = "default";
const char* const kSrcRect = "srcRect";

KR::SpriteManager<KR::Sprite>* spriteManager() { return KR::SpriteManager<KR::Sprite>::getInstancePtr(); }

}  // namespace

SpriteSceneNode::SpriteSceneNode() : mFrameAnimation(new KR::Animation()) {
  if (KR::SpriteManager<KR::Sprite>* sprites = spriteManager())
    mSprite = sprites->createSpriteFromTextureObject(nullptr);
  bindSpriteTracks();
  mFrameAnimation->bindRectParameter(kSrcRect, &mSrcRect);
}

SpriteSceneNode::SpriteSceneNode(const SpriteSceneNode& source, ISceneNode* newParent)
    : ISceneNode(source, newParent),
      mBlendMode(source.mBlendMode),
      mDistortion(source.mDistortion),
      mFrameAnimation(new KR::Animation()),
      mSrcRect(source.mSrcRect),
      mFrameOrder(source.mFrameOrder),
      mAnimFrameIndex(source.mAnimFrameIndex),
      mStencilMode(source.mStencilMode) {
  if (KR::SpriteManager<KR::Sprite>* sprites = spriteManager()) {
    if (source.mSprite)
      mSprite = sprites->createSpriteCopy(source.mSprite);
    else if (!mSourceFile.empty() && KR::FileSystem::exists() &&
             KR::FileSystem::getInstance()->fileExists(kPackage, mSourceFile))
      mSprite = sprites->createSpriteFromTexture(mSourceFile, kPackage);
  }
  bindSpriteTracks();
  *mFrameIndexInterpolation = mAnimFrameIndex;
  mFrameAnimation->bindRectParameter(kSrcRect, &mSrcRect);
  KR::Animation* frames = source.mFrameAnimation;
  for (uint32_t i = 0; i < frames->getFrameCount(); ++i) {
    mFrameAnimation->addFrame(frames->getFrameDurations()[i]);
    *mFrameAnimation->getRectKey(kSrcRect, i) = *frames->getRectKey(kSrcRect, i);
  }
}

SpriteSceneNode::~SpriteSceneNode() {
  delete mFrameAnimation;
  releaseSprite();
}

ISceneNode* SpriteSceneNode::clone(ISceneNode* newParent) const {
  SpriteSceneNode* copy = new SpriteSceneNode(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

void SpriteSceneNode::bindSpriteTracks() {
  SceneNodeAnimation& a = *mAnimation;
  a.bindInt("blendMode", &mBlendMode, false);
  a.bindInt("frameIndex", &mFrameIndex, false);
  a.bindBool("animFrameIndex", &mAnimFrameIndex);
  a.bindVector2("texPos", &mTexPos);
  mFrameIndexInterpolation = a.getIntInterpolationFlag("frameIndex");
}

void SpriteSceneNode::releaseSprite() {
  if (mSprite) {
    if (KR::SpriteManager<KR::Sprite>* sprites = spriteManager()) sprites->destroySprite(mSprite);
  }
  mSprite = nullptr;
}

size_t SpriteSceneNode::getFrameCount() const { return mFrameAnimation->getFrameCount(); }

// ---- loading ----

bool SpriteSceneNode::loadFromTexture(const std::string& fileName) {
  releaseSprite();
  KR::SpriteManager<KR::Sprite>* sprites = spriteManager();
  KR::FileSystem* files = KR::FileSystem::getInstancePtr();
  if (!sprites || !files || !files->fileExists(kPackage, fileName)) {
    KR::log("Failed to create sprite from %s", fileName.c_str());
    return false;
  }
  mSprite = sprites->createSpriteFromTexture(fileName, kPackage);
  mSourceFile = fileName;
  mExtra2 = "default";
  mSrcRect = KR::Rect(0.0f, 0.0f, mSprite->getSize().x, mSprite->getSize().y);
  return true;
}

bool SpriteSceneNode::loadFromSpriteTable(const std::string& scriptName, const std::string& tableName) {
  releaseSprite();
  KR::SpriteManager<KR::Sprite>* sprites = spriteManager();
  if (!sprites) return false;
  KR::Sprite* sprite = nullptr;
  if (useSpriteSheets > 0) {
    SpriteSheetCache& cache = SpriteSheetCache::instance();
    KR::XmlDataReader* sheet = cache.acquire(scriptName);
    if (sheet->enterChild(tableName)) {
      sprite = sprites->createSpriteFromTextureObject(nullptr);
      sprite->loadFromXml(*sheet);
    }
    cache.release(sheet);
  }
  if (!sprite) sprite = sprites->loadSprite(scriptName, tableName, kPackage);
  if (!sprite) {
    KR::log("Failed to create sprite from %s %s", scriptName.c_str(), tableName.c_str());
    return false;
  }
  mSprite = sprite;
  mSourceFile = scriptName;
  mExtra2 = tableName;
  mSrcRect = sprite->getFrameCount() ? sprite->getFrameRect(0) : KR::Rect();
  return true;
}

bool SpriteSceneNode::readSheetFrames(KR::XmlDataReader& reader, std::vector<KR::Rect>* frames) {
  if (!reader.enterChild("Animation")) return false;
  if (reader.enterChild("Frames")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      KR::Rect rect;
      reader.readRect("SrcRect0", &rect);
      frames->push_back(rect);
    }
    reader.leaveChild();
  }
  reader.leaveChild();
  return true;
}

bool SpriteSceneNode::readScriptFrames(KR::LuaScript& script, std::vector<KR::Rect>* frames) {
  if (!script.openTable("Animation")) return false;
  if (script.openTable("Frames")) {
    lua_State* state = script.getState();
    for (int i = 1;; ++i) {
      lua_rawgeti(state, -1, i);
      if (!lua_istable(state, -1)) {
        lua_pop(state, 1);
        break;
      }
      script.openCurrentTable();
      KR::Rect rect;
      script.getRect("SrcRect0", &rect);
      frames->push_back(rect);
      script.closeTable();
      lua_pop(state, 1);
    }
    script.closeTable();
  }
  script.closeTable();
  return true;
}

void SpriteSceneNode::addFrames(const std::vector<KR::Rect>& frames, int first, int last, int step) {
  if (frames.empty()) return;
  const int count = int(frames.size());
  if (last <= 0 || last >= count) last = count - 1;
  first = std::clamp(first, 0, count - 1);
  step = std::max(step, 1);
  mSrcRect = frames[size_t(first)];
  for (int i = first; i <= last; i += step) {
    mFrameAnimation->addFrame(1.0f / SceneNodeAnimation::kFramesPerSecond);
    *mFrameAnimation->getRectKey(kSrcRect, mFrameAnimation->getFrameCount() - 1) = frames[size_t(i)];
    mFrameOrder.push_back(i);
  }
}

bool SpriteSceneNode::loadAnimation(const std::string& tableName, int first, int last, int step) {
  return loadAnimation(tableName, nullptr, first, last, step);
}

bool SpriteSceneNode::loadAnimation(const std::string& tableName, KR::LuaScript* script, int first, int last,
                                    int step) {
  if (useSpriteSheets > 0) {
    SpriteSheetCache& cache = SpriteSheetCache::instance();
    KR::XmlDataReader* sheet = cache.acquire(mSourceFile);
    std::vector<KR::Rect> frames;
    bool found = false;
    if (sheet->enterChild(tableName)) found = readSheetFrames(*sheet, &frames);
    cache.release(sheet);
    if (found) {
      addFrames(frames, first, last, step);
      return true;
    }
  }
  return script ? addScriptFrames(*script, tableName, first, last, step)
                : loadAnimationFromScript(tableName, first, last, step);
}

bool SpriteSceneNode::loadAnimationFromScript(const std::string& tableName, int first, int last, int step) {
  KR::LuaScript script;
  if (!script.getState() || !script.loadScript(mSourceFile, kPackage)) return false;
  return addScriptFrames(script, tableName, first, last, step);
}

bool SpriteSceneNode::addScriptFrames(KR::LuaScript& script, const std::string& tableName, int first, int last,
                                      int step) {
  if (!script.openTable(tableName)) return false;
  std::vector<KR::Rect> frames;
  const bool found = readScriptFrames(script, &frames);
  script.closeTable();
  if (found) addFrames(frames, first, last, step);
  return found;
}

// ---- keys ----

SpriteKeyValues SpriteSceneNode::currentSpriteKeyValues() const {
  SpriteKeyValues v;
  static_cast<NodeKeyValues&>(v) = currentKeyValues();
  v.blendMode = mBlendMode;
  v.frameIndex = mFrameIndex;
  v.texPos = mTexPos;
  v.animFrameIndex = mAnimFrameIndex;
  return v;
}

void SpriteSceneNode::setKeyframeValues(int frame, const SpriteKeyValues& v) {
  ISceneNode::setKeyframeValues(frame, v);
  SceneNodeAnimation& a = *mAnimation;
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  a.getKeyframe<int32_t>("blendMode", i).value = v.blendMode;
  a.getKeyframe<int32_t>("frameIndex", i).value = v.frameIndex;
  a.getKeyframe<KR::Vector2<float>>("texPos", i).value = v.texPos;
  *a.getBoolKey("animFrameIndex", i) = v.animFrameIndex;
}

void SpriteSceneNode::storeKeyframe(int frame) { setKeyframeValues(frame, currentSpriteKeyValues()); }

void SpriteSceneNode::storeFrameData(int frame, const IFrameData& record) {
  ISceneNode::storeFrameData(frame, record);
  SceneNodeAnimation& a = *mAnimation;
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  if (i > 0) {
    for (const char* name : {"blendMode", "frameIndex", "texPos"}) a.findTrack(name)->copyKeyValue(i - 1, i);
  } else {
    a.getKeyframe<int32_t>("blendMode", 0).value = mBlendMode;
    a.getKeyframe<int32_t>("frameIndex", 0).value = mFrameIndex;
    a.getKeyframe<KR::Vector2<float>>("texPos", 0).value = mTexPos;
  }
}

// ---- per frame ----

void SpriteSceneNode::updateDerived(float dt) {
  ISceneNode::updateDerived(dt);
  if (!mSprite) return;
  if (mFrameIndex >= 0 && uint32_t(mFrameIndex) < mFrameAnimation->getFrameCount())
    mSrcRect = *mFrameAnimation->getRectKey(kSrcRect, uint32_t(mFrameIndex));
  mTexRect = KR::Rect(mSrcRect.left + mTexPos.x, mSrcRect.top + mTexPos.y, mSrcRect.right + mTexPos.x,
                      mSrcRect.bottom + mTexPos.y);
  // Only the render system's blend modes reach the picture.
  if (mSprite->mQuad && mBlendMode >= 0 && mBlendMode <= 3) mSprite->mQuad->mBlendMode = uint32_t(mBlendMode);
  *mFrameIndexInterpolation = mAnimFrameIndex;
}

KR::Vector2<float> SpriteSceneNode::getSize() const { return mSprite ? mSprite->getSize() : KR::Vector2<float>(); }

void SpriteSceneNode::setSize(const KR::Vector2<float>& size) {
  if (mSprite) mSprite->setSize(size);
}

bool SpriteSceneNode::hitTest(int x, int y, bool checkAlpha) {
  if ((checkAlpha && mDerivedColor.alpha() == 0) || !mSprite || mScaleX < 0.0001f || mScaleY < 0.0001f) return false;
  const KR::Matrix3& m = mWorldMatrix;
  const KR::Vector2<float> size = mSprite->getSize();
  const KR::Vector2<float> uv = solveInEdgeBasis(KR::Vector2<float>(float(x) - m.m[6], float(y) - m.m[7]),
                                                 KR::Vector2<float>(m.m[0] * size.x, m.m[1] * size.x),
                                                 KR::Vector2<float>(m.m[3] * size.y, m.m[4] * size.y));
  if (uv.x >= 0.0f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 1.0f) return true;
  return ISceneNode::hitTest(x, y, checkAlpha);
}

SpriteSceneNode* SpriteSceneNode::findMaskAncestor(const ISceneNode* node) {
  for (ISceneNode* up = node->mParent; up; up = up->mParent) {
    if (up->getNodeType() == kSpriteNode && static_cast<SpriteSceneNode*>(up)->mStencilMode == kStencilMask)
      return static_cast<SpriteSceneNode*>(up);
  }
  return nullptr;
}

void SpriteSceneNode::placeSprite() {
  // Texture coordinates are spread again only when the rectangle changed.
  if (mSprite->getFrameCount() == 0 || mSprite->getFrameRect(0) != mTexRect) mSprite->setFrameRect(0, mTexRect, true);
  mSprite->mRotationCenter = KR::Vector2<float>();
  mSprite->updateVerticesByMatrix(mWorldMatrix);
}

void SpriteSceneNode::drawStencilMask() {
  if (mStencilMode != kStencilMask || !mSprite) return;
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  rs->beginStencilMask();
  placeSprite();
  mSprite->render();
  rs->flushBatch();
  rs->disableStencilTest();
  rs->endStencilMask();
  lastStencilMaskNode() = this;
}

void SpriteSceneNode::renderDerived() {
  if (!mSprite || !mEnabled || mDerivedColor.alpha() < 2) return;
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  placeSprite();
  applyCamera();
  mSprite->setMeshColor(mDerivedColor);
  if (mBlendMode >= 0 && mBlendMode <= 3 && mSprite->mQuad) mSprite->mQuad->mBlendMode = uint32_t(mBlendMode);
  if (mStencilMode == kStencilMasked) {
    if (SpriteSceneNode* mask = findMaskAncestor(this)) {
      if (mask != lastStencilMaskNode()) {
        rs->clearStencil();
        mask->drawStencilMask();
      }
      rs->enableStencilTest();
    }
  }
  if (mDistortion) rs->beginOffscreenPass();
  if (mStencilMode != kStencilMask) mSprite->render();
  if (mStencilMode == kStencilMasked) rs->disableStencilTest();
  if (mDistortion) rs->endOffscreenPass();
}

// ---- binary form ----

void SpriteSceneNode::writeBinary(ISceneNodeStream& s, bool relativeToParent) const {
  ISceneNode::writeBinary(s, relativeToParent);
  s.writeI32(mBlendMode);
  s.writeI32(mStencilMode);
  s.writeBool(mDistortion);
  s.writeI32(mFrameIndex);
  s.writeVector2(mTexPos);
  s.writeBool(mAnimFrameIndex);
  const uint32_t count = mFrameAnimation->getFrameCount();
  s.writeU32(count);
  for (uint32_t i = 0; i < count; ++i) {
    const KR::Rect& r = *mFrameAnimation->getRectKey(kSrcRect, i);
    for (float f : {r.left, r.top, r.right, r.bottom}) s.writeF32(f);
    s.writeI32(i < mFrameOrder.size() ? mFrameOrder[i] : int32_t(i));
  }
}

void SpriteSceneNode::readBinary(ISceneNodeStream& s) {
  ISceneNode::readBinary(s);
  s.readI32(&mBlendMode);
  s.readI32(&mStencilMode);
  s.readBool(&mDistortion);
  s.readI32(&mFrameIndex);
  s.readVector2(&mTexPos);
  s.readBool(&mAnimFrameIndex);
  // The picture is found again by its names.
  if (!mSourceFile.empty()) {
    const std::string file = mSourceFile, table = mExtra2;
    if (table == "default")
      loadFromTexture(file);
    else
      loadFromSpriteTable(file, table);
  }
  mFrameAnimation->clearFrames();
  mFrameOrder.clear();
  uint32_t count = 0;
  s.readU32(&count);
  for (uint32_t i = 0; i < count && !s.failed(); ++i) {
    KR::Rect r;
    s.readF32(&r.left);
    s.readF32(&r.top);
    s.readF32(&r.right);
    s.readF32(&r.bottom);
    int32_t order = 0;
    if (!s.readI32(&order)) break;
    mFrameAnimation->addFrame(1.0f / SceneNodeAnimation::kFramesPerSecond);
    *mFrameAnimation->getRectKey(kSrcRect, i) = r;
    mFrameOrder.push_back(order);
  }
  *mFrameIndexInterpolation = mAnimFrameIndex;
}

}  // namespace AE
