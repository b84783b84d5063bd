#pragma once
// AE::SoundSceneNode: a sound inside an animated scene. Its int track "play"
// switches the sound on and off at key frames and its float track "volume"
// sets the volume; the sound plays through KR::SoundManager while the node
// plays and is enabled. With fading on, the volume follows the node's derived
// alpha. A looping node's sound repeats. The node draws nothing.
//
//   AE::SoundSceneNode* hum = new AE::SoundSceneNode();
//   hum->setSound(KR::kSoundGroupAmbient, "hum");   // acquires or loads it
//   hum->setKeyframeValues(0, 1, 1.0f);             // on at frame 0
//   hum->setKeyframeValues(48, 0, 1.0f);            // off at frame 48
//
// Main thread only; the sound manager takes its own lock.
#include <cstdint>
#include <string>

#include "animationeditor/scene_node.h"

namespace AE {

class SoundSceneNode : public ISceneNode {
 public:
  SoundSceneNode();
  SoundSceneNode(const SoundSceneNode& source, ISceneNode* newParent);
  // Stops the channel and releases the sound.
  ~SoundSceneNode() override;

  int getNodeType() const override { return kSoundNode; }
  void updateDerived(float dt) override;
  void setPlaying(bool playing, bool recursive) override;
  void storeKeyframe(int frame) override;
  void storeFrameData(int frame, const IFrameData& record) override;
  ISceneNode* clone(ISceneNode* newParent) const override;
  void syncKeyframe(int fromFrame, int toFrame) override;
  void applyKeyframe(int frame) override;
  void stopDerived() override;
  void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const override;
  void readBinary(ISceneNodeStream& stream) override;

  // The node's sound: name (kept as mSourceFile) in the volume group, acquired
  // when loaded already, else loaded.
  void setSound(uint32_t soundGroup, const std::string& name);
  // Stops the channel and acquires the sound again with this priority.
  void setPriority(uint32_t priority);
  // Adds a key at the frame when needed and writes play and volume, the
  // node's colour, scale 1 and its current shear.
  void setKeyframeValues(int frame, int32_t play, float volume);

  int32_t mPlay = 0;
  float mVolume = 1.0f;
  // Sound manager resource id (0 when loading failed, -1 before any) and channel handle (0: none).
  int32_t mSoundId = -1;
  int32_t mHandle = 0;
  uint32_t mSoundGroup = 0;
  bool mFading = false;
  uint32_t mPriority = 0;

 private:
  void bindSoundTracks();
  void acquireSound();
  void releaseSound();
  void stopChannel();
};

}  // namespace AE
