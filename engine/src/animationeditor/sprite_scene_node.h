#pragma once
// AE::SpriteSceneNode: a node that shows one KR::Sprite. Besides the tracks of
// every node it keys the blend mode ("blendMode", stepped), the frame shown
// ("frameIndex", stepped unless "animFrameIndex" makes it run through the
// frames between two keys) and a texture offset ("texPos"). A node may be a
// stencil mask for its masked sprite (and text) descendants, and may draw
// into the off-screen distortion pass.
//
// Sprites come from an image, from a sprite description (the script's sprite
// sheet first while useSpriteSheets is on, its Lua table otherwise) and get
// their frames from the description's "Animation" ("Frames", each "SrcRect0").
// A node whose picture cannot be loaded has no sprite and draws nothing.
#include <cstdint>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "rect.h"

namespace KR {
class Animation;
class LuaScript;
class Sprite;
class XmlDataReader;
}  // namespace KR

namespace AE {

// Sprite tables and animations are looked up in the sprite sheets first while
// this is above 0; the game sets it to 1 at start-up.
extern int32_t useSpriteSheets;

// The values SpriteSceneNode::setKeyframeValues stores at a frame.
struct SpriteKeyValues : NodeKeyValues {
  int32_t blendMode = 0;
  int32_t frameIndex = 0;
  KR::Vector2<float> texPos;
  bool animFrameIndex = false;
};

class SpriteSceneNode : public ISceneNode {
 public:
  enum StencilMode : int32_t { kNoStencil = 0, kStencilMask = 1, kStencilMasked = 2 };

  SpriteSceneNode();
  SpriteSceneNode(const SpriteSceneNode& source, ISceneNode* newParent);
  ~SpriteSceneNode() override;

  int getNodeType() const override { return kSpriteNode; }
  void updateDerived(float dt) override;
  // The node's own world translation (not its first child's).
  KR::Vector2<float> getWorldOrigin() const override {
    return KR::Vector2<float>(mWorldMatrix.m[6], mWorldMatrix.m[7]);
  }
  bool hitTest(int x, int y, bool checkAlpha) override;
  // The sprite's size; (0, 0) without a sprite.
  KR::Vector2<float> getSize() const override;
  void setSize(const KR::Vector2<float>& size) override;
  void storeKeyframe(int frame) override;
  void storeFrameData(int frame, const IFrameData& record) override;
  ISceneNode* clone(ISceneNode* newParent) const override;
  void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const override;
  void readBinary(ISceneNodeStream& stream) override;
  void renderDerived() override;

  // ---- loading ----
  // The image of package "default"; false (and no sprite) when it is missing.
  bool loadFromTexture(const std::string& fileName);
  // The description `tableName` of the script: from its sprite sheet while
  // useSpriteSheets is on and the sheet has it, else from the Lua script.
  bool loadFromSpriteTable(const std::string& scriptName, const std::string& tableName);
  // Frames of the description's "Animation": the sheet first (useSpriteSheets),
  // then the Lua script named by the node's file. Entries first, first + step,
  // ... up to last (0: the last entry). False when no "Animation" was found.
  bool loadAnimation(const std::string& tableName, int first = 0, int last = 0, int step = 1);
  // The same with the Lua branch over a script the caller loaded once for
  // many nodes (null: the node loads its file's script itself).
  bool loadAnimation(const std::string& tableName, KR::LuaScript* script, int first, int last, int step);
  // The Lua branch alone.
  bool loadAnimationFromScript(const std::string& tableName, int first = 0, int last = 0, int step = 1);

  // The frame rectangles of an "Animation" element of a sheet / a table of a
  // Lua script (the reader's cursor or the script's current table holds it).
  static bool readSheetFrames(KR::XmlDataReader& reader, std::vector<KR::Rect>* frames);
  static bool readScriptFrames(KR::LuaScript& script, std::vector<KR::Rect>* frames);

  // Adds a key at the frame when needed and writes every base and sprite value.
  void setKeyframeValues(int frame, const SpriteKeyValues& values);
  SpriteKeyValues currentSpriteKeyValues() const;

  // Draws this mask node's sprite into the stencil buffer (mask nodes only).
  void drawStencilMask();
  // The nearest ancestor sprite that is a stencil mask, or null.
  static SpriteSceneNode* findMaskAncestor(const ISceneNode* node);

  size_t getFrameCount() const;
  KR::Sprite* getSprite() const { return mSprite; }

  KR::Sprite* mSprite = nullptr;
  int32_t mBlendMode = 0;
  bool mDistortion = false;
  KR::Animation* mFrameAnimation = nullptr;
  int32_t mFrameIndex = 0;
  KR::Vector2<float> mTexPos;
  KR::Rect mSrcRect;
  KR::Rect mTexRect;
  std::vector<int32_t> mFrameOrder;
  bool mAnimFrameIndex = false;
  bool* mFrameIndexInterpolation = nullptr;
  int32_t mStencilMode = kNoStencil;

 private:
  void bindSpriteTracks();
  void releaseSprite();
  void addFrames(const std::vector<KR::Rect>& frames, int first, int last, int step);
  bool addScriptFrames(KR::LuaScript& script, const std::string& tableName, int first, int last, int step);
  void placeSprite();
};

}  // namespace AE
