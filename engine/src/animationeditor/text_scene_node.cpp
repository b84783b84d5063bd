#include "animationeditor/text_scene_node.h"

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "file_system.h"
#include "lua_script_2.h"
#include "rect.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace AE {

namespace {

const char* const kPresetsScript = "font_presets_lua";

bool readNumber(KR::LuaScript& script, const char* name, float* out) {
  script.pushField(name);
  float value = 0.0f;
  const bool ok = script.toFloat(&value);
  script.pop();
  if (ok) *out = value;
  return ok;
}

}  // namespace

TextSceneNode::TextSceneNode(const std::string& fontName, const std::wstring& text) : mText(text) {
  setupStyle(false);
  setFont(fontName);
}

TextSceneNode::TextSceneNode(const TextSceneNode& source, ISceneNode* newParent)
    : ISceneNode(source, newParent),
      mText(source.mText),
      mArea(source.mArea),
      mPresetName(source.mPresetName),
      mWordWrap(source.mWordWrap),
      mClipping(source.mClipping),
      mXCoeff(source.mXCoeff),
      mYCoeff(source.mYCoeff),
      mVAlign(source.mVAlign),
      mHAlign(source.mHAlign),
      mClipLT(source.mClipLT),
      mClipRB(source.mClipRB),
      mPixelPrecision(source.mPixelPrecision),
      mMaxChar(source.mMaxChar),
      mLocaleEnable(source.mLocaleEnable),
      mStencil(source.mStencil),
      mDistortion(source.mDistortion) {
  setFont(source.mSourceFile);
  // The copy keeps animating: without a preset its style tracks are bound
  // again. With one the copied values stand and the tracks stay unbound.
  keepStyle(source.mUsePreset);
}

void TextSceneNode::keepStyle(bool usePreset) {
  if (!usePreset) {
    setupStyle(false);
    return;
  }
  mUsePreset = true;
  unbindStyleTracks();
}

TextSceneNode::~TextSceneNode() {
  if (mFont) {
    if (KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr()) fonts->releaseFont(mFont);
  }
}

ISceneNode* TextSceneNode::clone(ISceneNode* newParent) const {
  TextSceneNode* copy = new TextSceneNode(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

KR::Vector2<float> TextSceneNode::getSize() const {
  if (mArea.x == 0.0f && mArea.y == 0.0f) return KR::Vector2<float>(64.0f, 64.0f);
  return mArea;
}

void TextSceneNode::setText(const std::string& text) { setText(KR::toWideString(text)); }

void TextSceneNode::setText(const std::wstring& text) {
  mText = text;
  mDirty = true;
}

void TextSceneNode::setFont(const std::string& fontName) {
  KR::FileSystem* files = KR::FileSystem::getInstancePtr();
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (fontName.empty() || !files || !fonts || !files->fileExists("default", fontName)) return;
  KR::UIFont* font = fonts->getFont(fontName);
  if (mFont) fonts->releaseFont(mFont);
  mFont = font;
  mSourceFile = fontName;
}

void TextSceneNode::bindStyleTracks() {
  if (mStyleBound) return;
  mStyleBound = true;
  SceneNodeAnimation& a = *mAnimation;
  a.bindVector2("textArea", &mArea);
  a.bindInt("maxChar", &mMaxChar, true);
  a.bindFloat("xcoeff", &mXCoeff);
  a.bindFloat("ycoeff", &mYCoeff);
  a.bindInt("halign", &mHAlign, false);
  a.bindInt("valign", &mVAlign, false);
  a.bindVector2("clipLT", &mClipLT);
  a.bindVector2("clipRB", &mClipRB);
}

void TextSceneNode::unbindStyleTracks() {
  mStyleBound = false;
  SceneNodeAnimation& a = *mAnimation;
  a.unbindVector2("textArea", &mArea);
  a.unbindInt("maxChar", &mMaxChar);
  a.unbindFloat("xcoeff", &mXCoeff);
  a.unbindFloat("ycoeff", &mYCoeff);
  a.unbindInt("halign", &mHAlign);
  a.unbindInt("valign", &mVAlign);
  a.unbindVector2("clipLT", &mClipLT);
  a.unbindVector2("clipRB", &mClipRB);
}

void TextSceneNode::setupStyle(bool usePreset) {
  mUsePreset = usePreset;
  if (!usePreset) {
    bindStyleTracks();
    return;
  }
  unbindStyleTracks();
  if (!readPreset()) setupStyle(false);
}

bool TextSceneNode::readPreset() {
  KR::UIFontManager* fonts = KR::UIFontManager::getInstancePtr();
  if (!fonts || mPresetName.empty()) return false;
  KR::LuaScript script;
  if (!script.getState() || !script.loadScript(kPresetsScript, fonts->getFontPackage()) ||
      !script.openTable(mPresetName))
    return false;
  float number = 0.0f;
  if (readNumber(script, "halign", &number)) mHAlign = int32_t(number);
  if (readNumber(script, "valign", &number)) mVAlign = int32_t(number);
  readNumber(script, "xcoeff", &mXCoeff);
  readNumber(script, "ycoeff", &mYCoeff);
  bool wrap = false;
  if (script.getBool("wordWrap", &wrap)) mWordWrap = wrap;
  KR::Color color;
  if (script.getColor("color", &color)) mColor = color;
  std::string font;
  if (script.getString("font", &font)) setFont(font);
  script.closeTable();
  return true;
}

const std::wstring& TextSceneNode::getDisplayText() {
  if (!mLocaleEnable) return mText;
  if (mDirty) {
    if (KR::TextManager* texts = KR::TextManager::getInstancePtr())
      mDisplayText = texts->getText(KR::toNarrowString(mText));
    else
      mDisplayText = L"!ERROR!";
    mDirty = false;
  }
  return mDisplayText;
}

void TextSceneNode::renderDerived() {
  if (!mFont || !mEnabled || mText.empty()) return;
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  applyCamera();
  mFont->color = mDerivedColor;
  if (mStencil) {
    if (SpriteSceneNode* mask = SpriteSceneNode::findMaskAncestor(this)) {
      if (mask != lastStencilMaskNode()) {
        rs->clearStencil();
        mask->drawStencilMask();
      }
      rs->enableStencilTest();
    }
  }
  if (mDistortion) rs->beginOffscreenPass();
  const float x = mWorldMatrix.m[6], y = mWorldMatrix.m[7];
  const KR::Rect clip(x + mClipLT.x, y + mClipLT.y, x + mClipRB.x, y + mClipRB.y);
  const std::wstring& shown = getDisplayText();
  mFont->drawWStringTransformed(mWorldMatrix, mArea, shown, mWordWrap, uint32_t(mHAlign), uint32_t(mVAlign), mXCoeff,
                                mYCoeff, mClipping, clip, mPixelPrecision, mMaxChar);
  if (mStencil) rs->disableStencilTest();
  if (mDistortion) rs->endOffscreenPass();
}

// ---- keys ----

void TextSceneNode::writeTextKeys(uint32_t i) {
  SceneNodeAnimation& a = *mAnimation;
  a.getKeyframe<KR::Vector2<float>>("textArea", i).value = mArea;
  a.getKeyframe<int32_t>("maxChar", i).value = mMaxChar;
  a.getKeyframe<float>("xcoeff", i).value = mXCoeff;
  a.getKeyframe<float>("ycoeff", i).value = mYCoeff;
  a.getKeyframe<int32_t>("halign", i).value = mHAlign;
  a.getKeyframe<int32_t>("valign", i).value = mVAlign;
  a.getKeyframe<KR::Vector2<float>>("clipLT", i).value = mClipLT;
  a.getKeyframe<KR::Vector2<float>>("clipRB", i).value = mClipRB;
}

void TextSceneNode::storeKeyframe(int frame) {
  ISceneNode::storeKeyframe(frame);
  writeTextKeys(uint32_t(mAnimation->findKeyIndex(uint32_t(frame))));
}

void TextSceneNode::storeFrameData(int frame, const IFrameData& record) {
  ISceneNode::storeFrameData(frame, record);
  SceneNodeAnimation& a = *mAnimation;
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  if (record.getRecordType() == kTextNode) {
    const TextFrameData& t = static_cast<const TextFrameData&>(record);
    a.getKeyframe<KR::Vector2<float>>("textArea", i).value = t.textArea;
    a.getKeyframe<int32_t>("maxChar", i).value = t.maxChar;
    a.getKeyframe<float>("xcoeff", i).value = t.xcoeff;
    a.getKeyframe<float>("ycoeff", i).value = t.ycoeff;
    a.getKeyframe<int32_t>("halign", i).value = t.halign;
    a.getKeyframe<int32_t>("valign", i).value = t.valign;
    a.getKeyframe<KR::Vector2<float>>("clipLT", i).value = t.clipLT;
    a.getKeyframe<KR::Vector2<float>>("clipRB", i).value = t.clipRB;
  } else if (i > 0) {
    for (const char* name : {"textArea", "maxChar", "xcoeff", "ycoeff", "halign", "valign", "clipLT", "clipRB"})
      a.findTrack(name)->copyKeyValue(i - 1, i);
  } else {
    writeTextKeys(0);
  }
}

IFrameData* TextSceneNode::createFrameData(int frame, bool toWorld) const {
  TextFrameData* record = new TextFrameData();
  record->readFromNode(*this, frame, toWorld);
  return record;
}

// ---- node data ----

ISceneNodeData* TextSceneNode::createNodeData(bool relativeToParent) const {
  TextSceneNodeData* data = new TextSceneNodeData();
  fillNodeData(*data, relativeToParent);
  return data;
}

void TextSceneNode::fillNodeData(ISceneNodeData& data, bool relativeToParent) const {
  ISceneNode::fillNodeData(data, relativeToParent);
  TextSceneNodeData& d = static_cast<TextSceneNodeData&>(data);
  d.area = mArea;
  d.clipLT = mClipLT;
  d.clipRB = mClipRB;
  d.wordWrap = mWordWrap;
  d.clipping = mClipping;
  d.pixelPrecision = mPixelPrecision;
  d.localeEnable = mLocaleEnable;
  d.xcoeff = mXCoeff;
  d.ycoeff = mYCoeff;
  d.valign = mVAlign;
  d.halign = mHAlign;
  d.maxChar = mMaxChar;
  d.usePreset = mUsePreset;
  d.distortion = mDistortion;
  d.text = mText;
  d.presetName = mPresetName;
}

void TextSceneNode::assignNodeData(const ISceneNodeData& data) {
  ISceneNode::assignNodeData(data);
  const TextSceneNodeData& d = static_cast<const TextSceneNodeData&>(data);
  mArea = d.area;
  mWordWrap = d.wordWrap;
  mClipping = d.clipping;
  mXCoeff = d.xcoeff;
  mYCoeff = d.ycoeff;
  mVAlign = d.valign;
  mHAlign = d.halign;
  mClipLT = d.clipLT;
  mClipRB = d.clipRB;
  mPixelPrecision = d.pixelPrecision;
  mMaxChar = d.maxChar;
  mLocaleEnable = d.localeEnable;
  mDistortion = d.distortion;
  if (!d.presetName.empty()) mPresetName = d.presetName;
  setupStyle(d.usePreset);
}

// ---- binary form ----

void TextSceneNode::writeBinary(ISceneNodeStream& s, bool relativeToParent) const {
  s.writeBool(mUsePreset);
  ISceneNode::writeBinary(s, relativeToParent);
  writeWideString(s, mText);
  writeString(s, mPresetName);
  s.writeVector2(mArea);
  s.writeVector2(mClipLT);
  s.writeVector2(mClipRB);
  s.writeBool(mWordWrap);
  s.writeBool(mClipping);
  s.writeBool(mPixelPrecision);
  s.writeBool(mLocaleEnable);
  s.writeF32(mXCoeff);
  s.writeF32(mYCoeff);
  s.writeI32(mVAlign);
  s.writeI32(mHAlign);
  s.writeI32(mMaxChar);
  s.writeBool(mStencil);
  s.writeBool(mDistortion);
}

void TextSceneNode::readBinary(ISceneNodeStream& s) {
  bool usePreset = false;
  s.readBool(&usePreset);
  ISceneNode::readBinary(s);
  readWideString(s, mText);
  readString(s, mPresetName);
  s.readVector2(&mArea);
  s.readVector2(&mClipLT);
  s.readVector2(&mClipRB);
  s.readBool(&mWordWrap);
  s.readBool(&mClipping);
  s.readBool(&mPixelPrecision);
  s.readBool(&mLocaleEnable);
  s.readF32(&mXCoeff);
  s.readF32(&mYCoeff);
  s.readI32(&mVAlign);
  s.readI32(&mHAlign);
  s.readI32(&mMaxChar);
  s.readBool(&mStencil);
  s.readBool(&mDistortion);
  mDirty = true;
  // The read values stand; without a preset the style tracks drive them again.
  setFont(mSourceFile);
  keepStyle(usePreset);
}

}  // namespace AE
