#pragma once
// AE::MovieCamera: a node that draws nothing; its keyed position, rotation
// and scale become the render camera while its tree draws. Several cameras
// under one host (the tree's root) take turns: each carries frames at which
// it becomes active, and the camera whose activation came last is used.
// Nodes with parallax see the camera's offset divided by |depth| x the
// camera's parallax coefficient.
#include <cstdint>
#include <vector>

#include "animationeditor/scene_node.h"

namespace AE {

class MovieCamera : public ISceneNode {
 public:
  MovieCamera();
  MovieCamera(const MovieCamera& source, ISceneNode* newParent);

  int getNodeType() const override { return kMovieCameraNode; }
  void updateDerived(float dt) override;
  void setRotation(float degrees) override;
  void setScaleX(float s) override;
  void setScaleY(float s) override;
  bool moveKeyframe(int fromFrame, int toFrame) override;
  KR::Vector2<float> getSize() const override { return KR::Vector2<float>(0.5f, 0.5f); }
  void setSize(const KR::Vector2<float>&) override {}
  void storeKeyframe(int frame) override;
  void removeKeyframe(int frame) override;
  void setPosition(const KR::Vector2<float>& position) override;
  void setTime(float t, bool recursive) override;
  ISceneNode* clone(ISceneNode* newParent) const override;
  void writeBinary(ISceneNodeStream& stream, bool relativeToParent) const override;
  void readBinary(ISceneNodeStream& stream) override;

  // Adds a key at the frame when needed and writes rotation, position, scale
  // and the current shear; the tree's active camera also gets the frame as
  // an activation frame.
  void setKeyframeValues(float rotation, int frame, const KR::Vector2<float>& position,
                         const KR::Vector2<float>& scale);
  // Only key frames of this camera, once each.
  void addActivationFrame(int frame);
  void removeActivationFrame(int frame);
  std::vector<int32_t> getActivationFrames() const { return mActivationFrames; }
  // Among the host's cameras, the one whose last activation frame at or
  // before this camera's frame is nearest becomes the host's camera.
  void selectActiveCamera();
  // Offset x, offset y, zoom x, zoom y, angle: the render camera.
  void getView(float* view) const;

  float mOffsetX = 0.0f, mOffsetY = 0.0f;
  float mZoomX = 1.0f, mZoomY = 1.0f;
  float mAngle = 0.0f;
  float mClock = 0.0f;
  float mNextActivationTime = 0.0f;
  float mActivationIndex = 0.0f;
  float mLastActivationTime = 0.0f;
  std::vector<int32_t> mActivationFrames;
  float mParallaxCoef = 1.0f;

 private:
  // The node whose cameras take turns, and whether it hosts cameras.
  ISceneNode* host() const { return mParent; }
  bool hostHostsCameras() const;
};

}  // namespace AE
