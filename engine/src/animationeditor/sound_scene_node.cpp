#include "animationeditor/sound_scene_node.h"

#include "animationeditor/frame_data.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_keys.h"
#include "animationeditor/scene_node_stream.h"
#include "log_system.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"

namespace AE {

namespace {

KR::SoundManager* sounds() { return KR::SoundManager::getInstancePtr(); }

}  // namespace

SoundSceneNode::SoundSceneNode() { bindSoundTracks(); }

SoundSceneNode::SoundSceneNode(const SoundSceneNode& source, ISceneNode* newParent)
    : ISceneNode(source, newParent),
      mPlay(source.mPlay),
      mVolume(source.mVolume),
      mSoundGroup(source.mSoundGroup),
      mFading(source.mFading),
      mPriority(source.mPriority) {
  acquireSound();
  bindSoundTracks();
}

SoundSceneNode::~SoundSceneNode() {
  stopChannel();
  releaseSound();
}

ISceneNode* SoundSceneNode::clone(ISceneNode* newParent) const {
  SoundSceneNode* copy = new SoundSceneNode(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

void SoundSceneNode::bindSoundTracks() {
  mAnimation->bindInt("play", &mPlay, false);
  mAnimation->bindFloat("volume", &mVolume);
}

void SoundSceneNode::acquireSound() {
  KR::SoundManager* manager = sounds();
  if (!manager || mSourceFile.empty()) {
    mSoundId = 0;
    return;
  }
  uint32_t id = manager->acquireSoundId(mSourceFile);
  if (!id) {
    KR::SoundDescriptor descriptor;
    descriptor.name = mSourceFile;
    descriptor.group = mSoundGroup;
    descriptor.priority = mPriority;
    id = manager->loadSound(descriptor);
  }
  mSoundId = int32_t(id);
}

void SoundSceneNode::releaseSound() {
  if (mSoundId > 0) {
    if (KR::SoundManager* manager = sounds()) manager->releaseSound(uint32_t(mSoundId));
  }
  mSoundId = 0;
}

void SoundSceneNode::stopChannel() {
  if (mHandle) {
    if (KR::SoundManager* manager = sounds()) manager->stopSound(uint32_t(mHandle));
  }
  mHandle = 0;
}

void SoundSceneNode::setSound(uint32_t soundGroup, const std::string& name) {
  stopChannel();
  releaseSound();
  mSourceFile = name;
  mSoundGroup = soundGroup;
  acquireSound();
}

void SoundSceneNode::setPriority(uint32_t priority) {
  mPriority = priority;
  stopChannel();
  releaseSound();
  acquireSound();
}

// ---- per frame ----

void SoundSceneNode::updateDerived(float dt) {
  ISceneNode::updateDerived(dt);
  KR::SoundManager* manager = sounds();
  if (!manager) return;
  float volume = mVolume;
  if (mFading) volume *= float(mDerivedColor.alpha()) / 255.0f;
  if (mPlaying && mEnabled) {
    if (mHandle) manager->setSoundVolume(uint32_t(mHandle), volume);
    if (mPlay == 0) {
      if (mHandle) {
        KR::logVerbose("SoundSceneNode::updateDerived, stop(mHandle %i); A", mHandle);
        manager->stopSound(uint32_t(mHandle));
        mHandle = 0;
      }
      return;
    }
    if (mHandle == 0 && mSoundId > 0) {
      mHandle = int32_t(manager->playSound(uint32_t(mSoundId)));
      manager->setSoundVolume(uint32_t(mHandle), volume);
      if (manager->isInitialised() && mSoundId < int32_t(KR::SoundManager::kResourceCount)) {
        manager->lock();
        if (KR::SoundResource* resource = manager->getResource(uint32_t(mSoundId))) resource->setLooping(mLoop);
        manager->unlock();
      }
      KR::logVerbose("SoundSceneNode::updateDerived, createAndPlay(mID %i); handle = %i B ", mSoundId, mHandle);
    }
  } else if (mHandle && manager->isSoundPlaying(uint32_t(mHandle))) {
    KR::logVerbose("SoundSceneNode::updateDerived, stop(mHandle %i); C ", mHandle);
    manager->stopSound(uint32_t(mHandle));
    mPlay = 0;
    mHandle = 0;
  }
}

void SoundSceneNode::stopDerived() {
  KR::SoundManager* manager = sounds();
  if (mHandle && manager && manager->isSoundPlaying(uint32_t(mHandle))) {
    manager->stopSound(uint32_t(mHandle));
    KR::log("SoundSceneNode::stopDerived, stop(mHandle %i); ", mHandle);
    mPlay = 0;
  }
  mHandle = 0;
}

void SoundSceneNode::setPlaying(bool playing, bool recursive) {
  if (!playing) stopChannel();
  ISceneNode::setPlaying(playing, recursive);
}

// ---- keys ----

void SoundSceneNode::setKeyframeValues(int frame, int32_t play, float volume) {
  SceneNodeAnimation& a = *mAnimation;
  a.addKeyframe(frame);
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  a.getKeyframe<int32_t>("play", i).value = play;
  a.getKeyframe<float>("volume", i).value = volume;
  a.getKeyframe<KR::Color>("color", i).value = mColor;
  keyUnitScaleAndShear(*this, i);
}

void SoundSceneNode::storeKeyframe(int frame) { setKeyframeValues(frame, mPlay, mVolume); }

void SoundSceneNode::storeFrameData(int frame, const IFrameData& record) {
  ISceneNode::storeFrameData(frame, record);
  SceneNodeAnimation& a = *mAnimation;
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  if (i > 0) {
    for (const char* name : {"play", "volume"}) a.findTrack(name)->copyKeyValue(i - 1, i);
  } else {
    a.getKeyframe<int32_t>("play", 0).value = mPlay;
    a.getKeyframe<float>("volume", 0).value = mVolume;
  }
}

void SoundSceneNode::syncKeyframe(int fromFrame, int toFrame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(toFrame))) return;
  const int from = a.findKeyIndex(uint32_t(fromFrame));
  if (from < 0) return;
  setKeyframeValues(toFrame, a.getKeyframe<int32_t>("play", uint32_t(from)).value,
                    a.getKeyframe<float>("volume", uint32_t(from)).value);
}

void SoundSceneNode::applyKeyframe(int frame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(frame)) || a.mKeyFrames.empty()) return;
  // The volume as the track has it at that frame.
  const uint32_t current = a.getCurrentKeyIndex();
  const auto& keys = a.getTrack<float>("volume").keys;
  uint32_t before = 0;
  while (before + 1 < a.mKeyFrames.size() && int64_t(a.mKeyFrames[before + 1]) <= frame) ++before;
  float volume = keys[before].value;
  if (before + 1 < a.mKeyFrames.size() && int64_t(a.mKeyFrames[before]) <= frame) {
    const float span = float(a.mKeyFrames[before + 1]) - float(a.mKeyFrames[before]);
    const float t = span > 0.0f ? (float(frame) - float(a.mKeyFrames[before])) / span : 0.0f;
    volume = a.getTrack<float>("volume").evaluate(before, before + 1, t);
  }
  setKeyframeValues(frame, a.getKeyframe<int32_t>("play", current).value, volume);
}

// ---- binary form ----

void SoundSceneNode::writeBinary(ISceneNodeStream& s, bool relativeToParent) const {
  ISceneNode::writeBinary(s, relativeToParent);
  s.writeI32(mPlay);
  s.writeF32(mVolume);
  s.writeU32(mSoundGroup);
  s.writeBool(mFading);
  s.writeU32(mPriority);
}

void SoundSceneNode::readBinary(ISceneNodeStream& s) {
  stopChannel();
  releaseSound();
  ISceneNode::readBinary(s);
  s.readI32(&mPlay);
  s.readF32(&mVolume);
  s.readU32(&mSoundGroup);
  s.readBool(&mFading);
  s.readU32(&mPriority);
  // The sound is found again by its name.
  acquireSound();
}

}  // namespace AE
