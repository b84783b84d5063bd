#pragma once
// AE::TextSceneNode: a line or box of text in a bitmap font. Its box, glyph
// scale factors, alignments, clip corners and character limit are keyframe
// tracks ("textArea", "xcoeff", "ycoeff", "halign", "valign" stepped,
// "clipLT", "clipRB", "maxChar" interpolated), so a scene can type a text out
// or slide its box. A named preset of "font_presets_lua" may style it
// instead; the preset's values then stand and the style tracks do not drive
// the node. With localeEnable the text is a key of the localised strings.
#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"

namespace KR {
class UIFont;
}

namespace AE {

class TextSceneNodeData : public ISceneNodeData {
 public:
  uint32_t getSerializedSize() const override { return 175; }

  KR::Vector2<float> area;
  KR::Vector2<float> clipLT, clipRB;
  bool wordWrap = false, clipping = false, pixelPrecision = false, localeEnable = false;
  float xcoeff = 0.0f, ycoeff = 0.0f;
  int32_t valign = 0, halign = 0, maxChar = 0;
  bool usePreset = false, distortion = false;
  std::wstring text;
  std::string presetName;
};

class TextSceneNode : public ISceneNode {
 public:
  TextSceneNode(const std::string& fontName, const std::wstring& text);
  TextSceneNode(const TextSceneNode& source, ISceneNode* newParent);
  ~TextSceneNode() override;

  int getNodeType() const override { return kTextNode; }
  // The area, or (64, 64) while it is (0, 0).
  KR::Vector2<float> getSize() const override;
  void setSize(const KR::Vector2<float>& size) override { mArea = size; }
  void storeKeyframe(int frame) override;
  void storeFrameData(int frame, const IFrameData& record) override;
  ISceneNode* clone(ISceneNode* newParent) const override;
  IFrameData* createFrameData(int frame, bool toWorld) const override;
  void assignNodeData(const ISceneNodeData& data) override;
  ISceneNodeData* createNodeData(bool relativeToParent) const override;
  void fillNodeData(ISceneNodeData& data, bool relativeToParent) const override;
  void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const override;
  void readBinary(ISceneNodeStream& stream) override;
  void renderDerived() override;

  // Narrow text is UTF-8.
  void setText(const std::string& text);
  void setText(const std::wstring& text);
  const std::wstring& getText() const { return mText; }
  // Switches to the font when package "default" holds it; otherwise nothing changes.
  void setFont(const std::string& fontName);
  KR::UIFont* getFont() const { return mFont; }
  // Without a preset the style tracks drive the node; with one the preset
  // table presetName of "font_presets_lua" styles it (a missing file or table
  // falls back to the tracks).
  void setupStyle(bool usePreset);
  // The string a draw shows now (the localised one with localeEnable).
  const std::wstring& getDisplayText();

  std::wstring mText;
  std::wstring mDisplayText;
  bool mDirty = true;
  KR::Vector2<float> mArea;
  KR::UIFont* mFont = nullptr;
  std::string mPresetName;
  bool mWordWrap = false;
  bool mClipping = false;
  float mXCoeff = 0.0f, mYCoeff = 0.0f;
  int32_t mVAlign = 0, mHAlign = 0;
  KR::Vector2<float> mClipLT, mClipRB;
  bool mPixelPrecision = true;
  int32_t mMaxChar = -1;
  bool mLocaleEnable = false;
  bool mUsePreset = false;
  bool mStencil = false;
  bool mDistortion = false;

 private:
  void bindStyleTracks();
  void unbindStyleTracks();
  bool readPreset();
  // A copy's or a read node's style: tracks bound without a preset; with one
  // the values as they stand.
  void keepStyle(bool usePreset);
  void writeTextKeys(uint32_t index);
  bool mStyleBound = false;
};

}  // namespace AE
