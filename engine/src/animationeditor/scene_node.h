#pragma once
// AE::ISceneNode: the node of every animated scene. A scene is a tree of
// nodes with names; each node has a local transform (position, pivot, scale,
// shear, rotation), a world transform rebuilt only when a parameter moved by
// more than 0.001, a tint, an animation clock with its keyframe tracks (every
// parameter is a named track), markers, and play control. Node kinds derive
// from it and tell themselves apart by getNodeType.
//
//   AE::ISceneNode* root = ...;                       // built in code or loaded
//   root->play(true);
//   root->update(dt);                                  // once a frame
//   AE::renderScene(root);                             // depth order
//   if (AE::ISceneNode* door = root->findByPath("/house/door")) door->playRange(0, 24, false, true);
//
// A node kind derives from ISceneNode and:
//   - answers its SceneNodeType from getNodeType;
//   - binds its own tracks in its constructors (mAnimation->bindFloat(...)),
//     after the base has bound the twelve of every node;
//   - calls the base first in updateDerived, storeFrameData, writeBinary and
//     readBinary, and appends its own fields to the binary form;
//   - clones through a copy constructor ISceneNode(source, newParent) followed
//     by cloneChildrenAndMarkers(source);
//   - draws in renderDerived after applyCamera(), skipping itself while
//     disabled (masked kinds use SpriteSceneNode::findMaskAncestor and
//     lastStencilMaskNode, as the text node does).
//
// Main thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "vector2.h"

namespace AE {

class IFrameData;
class ISceneNodeStream;
class Marker;
class MovieCamera;
class SceneNodeAnimation;

// Range loops restart only while this is above 0; the game sets it to 1 at start-up.
extern int32_t gLoopEnabled;

// Node type codes returned by getNodeType. The particle and sound kinds keep
// their codes; they derive from ISceneNode like the others.
enum SceneNodeType : int {
  kPlainNode = 0,
  kSpriteNode = 1,
  kParticleNode = 2,
  kSoundNode = 3,
  kTextNode = 4,
  kMovieCameraNode = 5,
};

// A node's parameters, copied out of a node and back (fillNodeData,
// assignNodeData). Kinds extend it.
class ISceneNodeData {
 public:
  virtual ~ISceneNodeData() = default;
  // Bytes of the record in its serialised form.
  virtual uint32_t getSerializedSize() const { return 115; }

  float posX = 0.0f, posY = 0.0f, rotation = 0.0f;
  KR::Vector2<float> pivot;
  float scaleX = 0.0f, scaleY = 0.0f, posZ = 0.0f;
  KR::Color color, derivedColor;
  KR::Matrix3 worldMatrix, shear;
  bool parallaxEnabled = false, enabled = false, loop = false;
};

// The values setKeyframeValues stores at a frame.
struct NodeKeyValues {
  float posX = 0.0f, posY = 0.0f, rotation = 0.0f, scaleX = 1.0f, scaleY = 1.0f;
  KR::Vector2<float> pivot;
  float posZ = 0.0f;
  KR::Color color;
  KR::Matrix3 shear;
};

class ISceneNode {
 public:
  ISceneNode();
  // The clone constructor: the source's state, a copied animation rebound to
  // this node, attached to newParent (children and markers are the clone's job).
  ISceneNode(const ISceneNode& source, ISceneNode* newParent);
  ISceneNode(const ISceneNode&) = delete;
  ISceneNode& operator=(const ISceneNode&) = delete;
  virtual ~ISceneNode();

  // ---- the kinds' operations ----
  virtual int getNodeType() const { return kPlainNode; }
  // Derived colour, then the markers; kinds add their per-frame work.
  virtual void updateDerived(float dt);
  // World translation of the first child, or of the node without children.
  virtual KR::Vector2<float> getWorldOrigin() const;
  virtual void setRotation(float degrees);
  virtual void setScaleX(float s);
  virtual void setScaleY(float s);
  virtual void setPlaying(bool playing, bool recursive);
  virtual bool moveKeyframe(int fromFrame, int toFrame);
  virtual bool hitTest(int x, int y, bool checkAlpha);
  // (0, 0) for a root, else 64 x the scale; kinds give their drawn extent.
  virtual KR::Vector2<float> getSize() const;
  virtual KR::Vector2<float> getBoundsSize() const;
  virtual void setSize(const KR::Vector2<float>&) {}
  virtual void storeKeyframe(int frame);
  virtual void storeFrameData(int frame, const IFrameData& record);
  virtual void removeKeyframe(int frame);
  virtual void setFrame(int frame);
  virtual void setPosition(const KR::Vector2<float>& position);
  virtual void setTime(float t, bool recursive);
  virtual ISceneNode* clone(ISceneNode* newParent) const;
  virtual void syncKeyframe(int fromFrame, int toFrame);
  virtual void applyKeyframe(int frame);
  virtual IFrameData* createFrameData(int frame, bool toWorld) const;
  virtual void assignNodeData(const ISceneNodeData& data);
  virtual ISceneNodeData* createNodeData(bool relativeToParent) const;
  virtual void fillNodeData(ISceneNodeData& data, bool relativeToParent) const;
  virtual void stopDerived() {}
  virtual void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const;
  virtual void readBinary(ISceneNodeStream& stream);
  virtual void renderDerived() {}

  // ---- tree ----
  void addChild(ISceneNode* child, bool keepLocal);
  void setParent(ISceneNode* parent, bool keepLocal);
  void removeChild(ISceneNode* child, bool keepLocal);
  ISceneNode* getRoot();
  const ISceneNode* getRoot() const;
  // Breadth-first by exact name, the root included.
  static ISceneNode* findChild(const char* name, ISceneNode* root);
  static ISceneNode* findChildFrom(ISceneNode* root, const char* name) { return findChild(name, root); }
  // "/"-separated names, depth-first; "/" alone is this node.
  ISceneNode* findByPath(const char* path);

  // ---- markers ----
  void addMarker(Marker* marker);
  Marker* findMarker(const std::string& name) const;
  // Logs "ERROR: Can't find marker '%s' in node '%s'" when there is none.
  Marker* getMarker(const std::string& name) const;
  void stopMarkers(bool recursive, bool restartFirst);

  // ---- play control ----
  void play(bool recursive);
  void playInDirection(bool reverse, bool recursive);
  void playRange(int a, int b, bool reverse, bool recursive);
  void stop(bool recursive);
  void halt(bool recursive);
  void goToFrame(int frame);
  void rewindToBegin();
  void rewindToEnd();
  void setEnabled(bool enabled);
  // The per-frame step of a tree.
  void update(float dt);

  // ---- transform ----
  void updateTransform();
  float getWorldRotation() const;
  KR::Vector2<float> getWorldPivot() const;
  void setWorldPosition(const KR::Vector2<float>& point);
  void setWorldX(float x);
  void setWorldY(float y);
  void getWorldMatrixAtFrame(KR::Matrix3& out, int frame) const;
  // The local matrix of these parameters: pivot to origin, scale, shear,
  // rotation, then to position plus pivot.
  static KR::Matrix3 composeLocal(float x, float y, const KR::Vector2<float>& pivot, float sx, float sy,
                                  const KR::Matrix3& shear, float degrees);
  // (a, b) with point = a x edgeA + b x edgeB.
  static KR::Vector2<float> solveInEdgeBasis(const KR::Vector2<float>& point, const KR::Vector2<float>& edgeA,
                                             const KR::Vector2<float>& edgeB);

  // ---- colour and camera ----
  KR::Color getColor() const { return mColor; }
  void setColor(float r, float g, float b, float a) { mColor = KR::Color::fromFloats(r, g, b, a); }
  KR::Color getDerivedColor() const { return mDerivedColor; }
  MovieCamera* getActiveCamera() const;
  bool isCameraSelectionOn() const;
  // Sets the render camera for this node from its tree's camera, with parallax.
  void applyCamera();

  // ---- keys ----
  NodeKeyValues currentKeyValues() const;
  // Adds a key at the frame when needed and writes the base values into it.
  void setKeyframeValues(int frame, const NodeKeyValues& values);
  float getCurrentFloatKey(const std::string& name) const;
  KR::Vector2<float> getCurrentVector2Key(const std::string& name) const;
  KR::Color getCurrentColorKey(const std::string& name) const;
  int32_t getCurrentIntKey(const std::string& name) const;
  bool getCurrentBoolValue(const std::string& name) const;

  std::string mSourceFile;
  std::string mName = "default";
  std::string mExtra2 = "default";
  std::vector<ISceneNode*> mChildren;
  ISceneNode* mParent = nullptr;
  float mPosZ = 0.0f;
  float mPosX = 0.0f, mPosY = 0.0f;
  KR::Vector2<float> mWorldOrigin;
  float mRotation = 0.0f;
  KR::Vector2<float> mPivot;
  float mScaleX = 1.0f, mScaleY = 1.0f;
  float mCachedPosX = 0.0f, mCachedPosY = 0.0f, mCachedRotation = 0.0f;
  KR::Vector2<float> mCachedPivot;
  float mCachedScaleX = 1.0f, mCachedScaleY = 1.0f;
  KR::Matrix3 mCachedShear;
  bool mTransformChanged = true;
  ISceneNode* mCachedParent = nullptr;
  KR::Matrix3 mLocalMatrix;
  KR::Vector2<float> mExtraVector;
  KR::Color mColor = KR::Color::fromARGB(0xFFFFFFFF);
  KR::Color mDerivedColor = KR::Color::fromARGB(0xFFFFFFFF);
  MovieCamera* mActiveCamera = nullptr;
  bool mPlaying = false;
  bool mEnabled = true;
  SceneNodeAnimation* mAnimation = nullptr;
  bool mLoop = false;
  bool mFlag1 = false, mFlag2 = false, mFlag3 = false, mFlag4 = true, mFlag5 = false;
  bool mReverse = false;
  int32_t mRangeFrom = 0, mRangeTo = 0;
  bool mCameraSelection = true;
  KR::Matrix3 mWorldMatrix;
  KR::Matrix3 mShear;
  std::vector<Marker*> mMarkers;
  bool mParallaxEnabled = true;

 protected:
  // Clone helpers for the kinds: copies of the source's children and markers
  // under this node.
  void cloneChildrenAndMarkers(const ISceneNode& source);
  // Writes the decomposition of world x inverse(parent world) into the
  // position, rotation, scale and shear fields (the pivot stays).
  void takeRelativePlacement(const KR::Matrix3& relative);
  KR::Matrix3 relativeToParentMatrix() const;
  // Adds the key toFrame and gives it every track's value at key fromFrame.
  void copyKeyframe(uint32_t fromFrame, int toFrame);

 private:
  void bindBaseTracks();
  void rebuildTransform();
  void advanceAnimation(float dt);
  void derivedPass(float dt);
  void chooseCamera();
  void removeMarkerEntriesOf(ISceneNode* node);
};

}  // namespace AE
