#include "animationeditor/particle_scene_node.h"

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_keys.h"
#include "animationeditor/scene_node_stream.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "render_system_dx8.h"

namespace AE {

namespace {

KR::ParticleSystem* particles() { return KR::ParticleSystem::getInstancePtr(); }

}  // namespace

ParticleSceneNode::ParticleSceneNode() {
  mPosX = mPosY = mRotation = 0.0f;
  bindParticleTracks();
  if (KR::ParticleSystem* system = particles()) system->setUpdateEffects(false);
  mPlay = 1;
}

ParticleSceneNode::ParticleSceneNode(const ParticleSceneNode& source, ISceneNode* newParent)
    : ISceneNode(source, newParent),
      mEmitCoef(source.mEmitCoef),
      mStencil(source.mStencil),
      mDistortion(source.mDistortion) {
  if (source.mEffect) {
    if (KR::ParticleSystem* system = particles()) mEffect = system->cloneEffect(*source.mEffect);
    if (mEffect) mEffect->mPosition = mWorldOrigin;
  }
  bindParticleTracks();
  mPlay = source.mPlay != 0 ? 1 : 0;
}

ParticleSceneNode::~ParticleSceneNode() { releaseEffect(); }

void ParticleSceneNode::bindParticleTracks() {
  mAnimation->bindFloat("emitCoef", &mEmitCoef);
  mAnimation->bindInt("play", &mPlay, false);
}

void ParticleSceneNode::releaseEffect() {
  if (mEffect) {
    if (KR::ParticleSystem* system = particles()) system->releaseEffect(mEffect);
  }
  mEffect = nullptr;
}

bool ParticleSceneNode::setEffect(const std::string& fileName) {
  releaseEffect();
  if (KR::ParticleSystem* system = particles()) mEffect = system->createEffect(fileName);
  mSourceFile = fileName;
  return mEffect != nullptr;
}

ISceneNode* ParticleSceneNode::clone(ISceneNode* newParent) const {
  ParticleSceneNode* copy = new ParticleSceneNode(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

// ---- per frame ----

void ParticleSceneNode::updateDerived(float dt) {
  ISceneNode::updateDerived(dt);
  if (!mEffect) return;
  mEffect->mStarted = mPlay != 0;
  if (mEnabled && mPlaying) {
    mEffect->mPosition = KR::Vector2<float>(mWorldMatrix.m[6], mWorldMatrix.m[7]);
    mEffect->update(dt);
  }
}

void ParticleSceneNode::setTime(float t, bool recursive) {
  ISceneNode::setTime(t, recursive);
  if (!mEffect) return;
  // From scratch: path clock 0, emitters reset, then t seconds in one step.
  mEffect->start();
  mEffect->update(t);
}

void ParticleSceneNode::renderDerived() {
  if (!mEffect || !mEnabled) return;
  const uint32_t alpha = mDerivedColor.alpha();
  if (gLoopEnabled != 0 && alpha < 2) return;
  KR::RenderSystem* rs = KR::RenderSystem::getInstancePtr();
  if (!rs) return;
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
  applyCamera();
  if (gLoopEnabled > 0) mEffect->setAlpha(float(alpha) / 255.0f);
  for (KR::ParticleEmitter* emitter : mEffect->mParticleEmitters) emitter->setEmitRateScale(mEmitCoef);
  for (KR::ParticleEmitter* emitter : mEffect->mParticleEmitters) emitter->render(mEffect->mPosition);
  if (mStencil) rs->disableStencilTest();
  if (mDistortion) rs->endOffscreenPass();
}

// ---- keys ----

ParticleKeyValues ParticleSceneNode::currentParticleKeyValues() const {
  ParticleKeyValues v;
  v.posX = mPosX;
  v.posY = mPosY;
  v.posZ = mPosZ;
  v.emitCoef = mEmitCoef;
  v.pivot = mPivot;
  v.play = mPlay;
  return v;
}

void ParticleSceneNode::setKeyframeValues(int frame, const ParticleKeyValues& v) {
  SceneNodeAnimation& a = *mAnimation;
  a.addKeyframe(frame);
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  a.getKeyframe<float>("posX", i).value = v.posX;
  a.getKeyframe<float>("posY", i).value = v.posY;
  a.getKeyframe<float>("emitCoef", i).value = v.emitCoef;
  a.getKeyframe<KR::Vector2<float>>("pivotPoint", i).value = v.pivot;
  a.getKeyframe<float>("posZ", i).value = v.posZ;
  a.getKeyframe<int32_t>("play", i).value = v.play;
  keyUnitScaleAndShear(*this, i);
}

void ParticleSceneNode::storeKeyframe(int frame) {
  ISceneNode::storeKeyframe(frame);
  setKeyframeValues(frame, currentParticleKeyValues());
}

void ParticleSceneNode::storeFrameData(int frame, const IFrameData& record) {
  ISceneNode::storeFrameData(frame, record);
  SceneNodeAnimation& a = *mAnimation;
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  if (record.getRecordType() == kParticleNode) {
    const ParticleFrameData& p = static_cast<const ParticleFrameData&>(record);
    a.getKeyframe<float>("emitCoef", i).value = p.emitCoef;
    a.getKeyframe<int32_t>("play", i).value = p.play;
  } else if (i > 0) {
    for (const char* name : {"emitCoef", "play"}) a.findTrack(name)->copyKeyValue(i - 1, i);
  } else {
    a.getKeyframe<float>("emitCoef", 0).value = mEmitCoef;
    a.getKeyframe<int32_t>("play", 0).value = mPlay;
  }
}

void ParticleSceneNode::syncKeyframe(int fromFrame, int toFrame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(toFrame))) return;
  const int from = a.findKeyIndex(uint32_t(fromFrame));
  if (from < 0) return;
  const uint32_t i = uint32_t(from);
  ParticleKeyValues v;
  v.posX = a.getKeyframe<float>("posX", i).value;
  v.posY = a.getKeyframe<float>("posY", i).value;
  v.pivot = a.getKeyframe<KR::Vector2<float>>("pivotPoint", i).value;
  v.posZ = a.getKeyframe<float>("posZ", i).value;
  v.emitCoef = a.getKeyframe<float>("emitCoef", i).value;
  v.play = a.getKeyframe<int32_t>("play", i).value;
  setKeyframeValues(toFrame, v);
}

void ParticleSceneNode::applyKeyframe(int frame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(frame)) || a.mKeyFrames.empty()) return;
  ParticleKeyValues v;
  v.posX = getCurrentFloatKey("posX");
  v.posY = getCurrentFloatKey("posY");
  v.pivot = getCurrentVector2Key("pivotPoint");
  v.posZ = getCurrentFloatKey("posZ");
  v.emitCoef = getCurrentFloatKey("emitCoef");
  v.play = getCurrentIntKey("play");
  setKeyframeValues(frame, v);
}

IFrameData* ParticleSceneNode::createFrameData(int frame, bool toWorld) const {
  ParticleFrameData* record = new ParticleFrameData();
  record->readFromNode(*this, frame, toWorld);
  const int index = frame >= 0 ? mAnimation->findKeyIndex(uint32_t(frame)) : -1;
  if (index >= 0) {
    record->emitCoef = mAnimation->getKeyframe<float>("emitCoef", uint32_t(index)).value;
    record->play = mAnimation->getKeyframe<int32_t>("play", uint32_t(index)).value;
  } else {
    record->emitCoef = mEmitCoef;
    record->play = mPlay;
  }
  return record;
}

// ---- node data ----

ISceneNodeData* ParticleSceneNode::createNodeData(bool relativeToParent) const {
  ParticleSceneNodeData* data = new ParticleSceneNodeData();
  fillNodeData(*data, relativeToParent);
  return data;
}

void ParticleSceneNode::fillNodeData(ISceneNodeData& data, bool relativeToParent) const {
  ISceneNode::fillNodeData(data, relativeToParent);
  if (ParticleSceneNodeData* d = dynamic_cast<ParticleSceneNodeData*>(&data)) {
    d->emitCoef = mEmitCoef;
    d->play = mPlay;
    d->stencil = mStencil;
    d->distortion = mDistortion;
  }
}

void ParticleSceneNode::assignNodeData(const ISceneNodeData& data) {
  ISceneNode::assignNodeData(data);
  if (const ParticleSceneNodeData* d = dynamic_cast<const ParticleSceneNodeData*>(&data)) {
    mEmitCoef = d->emitCoef;
    mPlay = d->play;
    mStencil = d->stencil;
    mDistortion = d->distortion;
  }
}

// ---- binary form ----

void ParticleSceneNode::writeBinary(ISceneNodeStream& s, bool relativeToParent) const {
  ISceneNode::writeBinary(s, relativeToParent);
  s.writeF32(mEmitCoef);
  s.writeI32(mPlay);
  s.writeBool(mStencil);
  s.writeBool(mDistortion);
}

void ParticleSceneNode::readBinary(ISceneNodeStream& s) {
  ISceneNode::readBinary(s);
  s.readF32(&mEmitCoef);
  s.readI32(&mPlay);
  s.readBool(&mStencil);
  s.readBool(&mDistortion);
  // The effect is made again from its file name.
  const std::string fileName = mSourceFile;
  setEffect(fileName);
}

}  // namespace AE
