#pragma once
// AE::ParticleSceneNode: a particle effect (KR::ParticleFX) inside an animated
// scene. The node owns one effect from the particle system, moves it with its
// world position, advances it in the scene update while it plays, scales its
// emission by the keyed factor "emitCoef" (float), runs or freezes it by the
// keyed "play" (int, stepped), fades it with the node's derived alpha and draws
// it in the scene's depth order, optionally masked by a sprite ancestor's
// stencil or into the off-screen distortion pass.
//
// Constructing a particle node turns off the particle system's own advancing
// of effects (setUpdateEffects): from then on the holders advance their effects.
//
//   AE::ParticleSceneNode* sparks = new AE::ParticleSceneNode();
//   sparks->setEffect("sparkles_fx");         // false (no effect) when missing
//   root->addChild(sparks, true);
//
// Nodes are made on loading threads too; updating and drawing are the main
// thread's. The particle system's lock is taken inside its calls.
#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"

namespace KR {
class ParticleFX;
}

namespace AE {

class ParticleSceneNodeData : public ISceneNodeData {
 public:
  uint32_t getSerializedSize() const override { return 126; }

  float emitCoef = 1.0f;
  int32_t play = 1;
  bool stencil = false, distortion = false;
};

// The values ParticleSceneNode::setKeyframeValues stores at a frame.
struct ParticleKeyValues {
  float posX = 0.0f, posY = 0.0f, posZ = 0.0f;
  float emitCoef = 1.0f;
  KR::Vector2<float> pivot;
  int32_t play = 1;
};

class ParticleSceneNode : public ISceneNode {
 public:
  ParticleSceneNode();
  ParticleSceneNode(const ParticleSceneNode& source, ISceneNode* newParent);
  ~ParticleSceneNode() override;

  int getNodeType() const override { return kParticleNode; }
  void updateDerived(float dt) override;
  // Rotation and scale are kept but do not move the effect.
  void setRotation(float degrees) override { mRotation = degrees; }
  void setScaleX(float s) override { mScaleX = s; }
  void setScaleY(float s) override { mScaleY = s; }
  KR::Vector2<float> getSize() const override { return KR::Vector2<float>(64.0f, 64.0f); }
  void storeKeyframe(int frame) override;
  void storeFrameData(int frame, const IFrameData& record) override;
  // Restarts the effect and runs it t seconds in one step.
  void setTime(float t, bool recursive) override;
  ISceneNode* clone(ISceneNode* newParent) const override;
  void syncKeyframe(int fromFrame, int toFrame) override;
  void applyKeyframe(int frame) override;
  IFrameData* createFrameData(int frame, bool toWorld) const override;
  void assignNodeData(const ISceneNodeData& data) override;
  ISceneNodeData* createNodeData(bool relativeToParent) const override;
  void fillNodeData(ISceneNodeData& data, bool relativeToParent) const override;
  void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const override;
  void readBinary(ISceneNodeStream& stream) override;
  void renderDerived() override;

  // Gives the current effect back and takes one of the file; the file name
  // becomes the node's mSourceFile. False (and no effect) when it cannot be had.
  bool setEffect(const std::string& fileName);
  KR::ParticleFX* getEffect() const { return mEffect; }

  // Adds a key at the frame when needed and writes position, depth, emission
  // factor, pivot and play; scale keys 1, shear keys the node's current shear.
  void setKeyframeValues(int frame, const ParticleKeyValues& values);
  ParticleKeyValues currentParticleKeyValues() const;

  KR::ParticleFX* mEffect = nullptr;
  float mEmitCoef = 1.0f;
  int32_t mPlay = 1;
  bool mStencil = false;
  bool mDistortion = false;

 private:
  void bindParticleTracks();
  void releaseEffect();
};

}  // namespace AE
