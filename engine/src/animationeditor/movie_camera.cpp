#include "animationeditor/movie_camera.h"

#include <algorithm>

#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "render_system_dx8.h"

namespace AE {

MovieCamera::MovieCamera() { mParallaxEnabled = false; }

MovieCamera::MovieCamera(const MovieCamera& source, ISceneNode* newParent)
    : ISceneNode(source, newParent),
      mOffsetX(source.mOffsetX),
      mOffsetY(source.mOffsetY),
      mZoomX(source.mZoomX),
      mZoomY(source.mZoomY),
      mAngle(source.mAngle),
      mClock(source.mClock),
      mNextActivationTime(source.mNextActivationTime),
      mActivationIndex(source.mActivationIndex),
      mLastActivationTime(source.mLastActivationTime),
      mActivationFrames(source.mActivationFrames),
      mParallaxCoef(source.mParallaxCoef) {}

ISceneNode* MovieCamera::clone(ISceneNode* newParent) const {
  MovieCamera* copy = new MovieCamera(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

bool MovieCamera::hostHostsCameras() const {
  const ISceneNode* root = getRoot();
  return root->mCameraSelection;
}

void MovieCamera::getView(float* view) const {
  view[KR::CAM_X] = mOffsetX;
  view[KR::CAM_Y] = mOffsetY;
  view[KR::CAM_ZOOM_X] = mZoomX;
  view[KR::CAM_ZOOM_Y] = mZoomY;
  view[KR::CAM_ANGLE] = mAngle;
}

void MovieCamera::updateDerived(float dt) {
  mOffsetX = -mPosX;
  mOffsetY = -mPosY;
  mAngle = mRotation;
  mZoomX = mScaleX;
  mZoomY = mScaleY;
  if (!mPlaying || !hostHostsCameras()) return;
  mClock += dt;
  // At most one activation is taken per update.
  if (mNextActivationTime < mClock && mActivationIndex < float(mActivationFrames.size())) {
    mLastActivationTime = mNextActivationTime;
    const size_t i = size_t(mActivationIndex);
    mActivationIndex += 1.0f;
    mNextActivationTime = float(mActivationFrames[i]) / mAnimation->mFramesPerSecond;
  }
}

void MovieCamera::setRotation(float degrees) {
  ISceneNode::setRotation(degrees);
  mAngle = degrees;
}

void MovieCamera::setScaleX(float s) {
  ISceneNode::setScaleX(s);
  mZoomX = s;
}

void MovieCamera::setScaleY(float s) {
  ISceneNode::setScaleY(s);
  mZoomY = s;
}

void MovieCamera::setPosition(const KR::Vector2<float>& position) {
  ISceneNode::setPosition(position);
  mOffsetX = -mWorldOrigin.x;
  mOffsetY = -mWorldOrigin.y;
}

bool MovieCamera::moveKeyframe(int fromFrame, int toFrame) {
  const bool moved = ISceneNode::moveKeyframe(fromFrame, toFrame);
  const auto it = std::find(mActivationFrames.begin(), mActivationFrames.end(), fromFrame);
  if (it != mActivationFrames.end()) {
    *it = toFrame;
    std::sort(mActivationFrames.begin(), mActivationFrames.end());
  }
  return moved;
}

void MovieCamera::storeKeyframe(int frame) {
  setKeyframeValues(mRotation, frame, KR::Vector2<float>(mPosX, mPosY), KR::Vector2<float>(mScaleX, mScaleY));
}

void MovieCamera::removeKeyframe(int frame) {
  ISceneNode::removeKeyframe(frame);
  removeActivationFrame(frame);
}

void MovieCamera::removeActivationFrame(int frame) {
  const auto it = std::find(mActivationFrames.begin(), mActivationFrames.end(), frame);
  if (it != mActivationFrames.end()) mActivationFrames.erase(it);
}

void MovieCamera::setKeyframeValues(float rotation, int frame, const KR::Vector2<float>& position,
                                    const KR::Vector2<float>& scale) {
  SceneNodeAnimation& a = *mAnimation;
  a.addKeyframe(frame);
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  a.getKeyframe<float>("posX", i).value = position.x;
  a.getKeyframe<float>("posY", i).value = position.y;
  a.getKeyframe<float>("rotation", i).value = rotation;
  a.getKeyframe<float>("scaleX", i).value = scale.x;
  a.getKeyframe<float>("scaleY", i).value = scale.y;
  a.getKeyframe<float>("shear00", i).value = mShear.m[0];
  a.getKeyframe<float>("shear01", i).value = mShear.m[1];
  a.getKeyframe<float>("shear10", i).value = mShear.m[3];
  a.getKeyframe<float>("shear11", i).value = mShear.m[4];
  if (mParent && getRoot()->mActiveCamera == this) addActivationFrame(frame);
}

void MovieCamera::addActivationFrame(int frame) {
  if (frame < 0 || !mAnimation->isKeyframe(uint32_t(frame))) return;
  // The list stays sorted: one binary search finds both a duplicate and the
  // place, and scene files list their frames in order, so the insert is
  // almost always at the end.
  const auto at = std::lower_bound(mActivationFrames.begin(), mActivationFrames.end(), frame);
  if (at != mActivationFrames.end() && *at == frame) return;
  mActivationFrames.insert(at, frame);
}

void MovieCamera::setTime(float t, bool recursive) {
  mClock = t;
  ISceneNode::setTime(t, recursive);
  selectActiveCamera();
  mLastActivationTime = 0.0f;
  mActivationIndex = 0.0f;
  for (size_t k = 0; k < mActivationFrames.size(); ++k) {
    const float tk = float(mActivationFrames[k]) / mAnimation->mFramesPerSecond;
    if (mClock <= tk) {
      mNextActivationTime = tk;
      mActivationIndex = float(k);
      break;
    }
    mLastActivationTime = tk;
  }
}

void MovieCamera::selectActiveCamera() {
  ISceneNode* host = mParent;
  if (!host || !hostHostsCameras()) return;
  const int64_t frame = int64_t(mClock * mAnimation->mFramesPerSecond);
  int64_t best = frame;
  MovieCamera* chosen = nullptr;
  for (ISceneNode* child : host->mChildren) {
    if (child->getNodeType() != kMovieCameraNode) continue;
    MovieCamera* camera = static_cast<MovieCamera*>(child);
    const std::vector<int32_t>& frames = camera->mActivationFrames;
    if (frames.empty() || frames.front() > frame) continue;
    int64_t last = frames.front();
    for (int32_t f : frames) {
      if (f <= frame) last = f;
    }
    if (frame - last <= best) {
      best = frame - last;
      chosen = camera;
    }
  }
  host->mActiveCamera = chosen;
}

void MovieCamera::writeBinary(ISceneNodeStream& stream, bool relativeToParent) const {
  ISceneNode::writeBinary(stream, relativeToParent);
  stream.writeF32(mParallaxCoef);
  stream.writeU32(uint32_t(mActivationFrames.size()));
  for (int32_t frame : mActivationFrames) stream.writeI32(frame);
}

void MovieCamera::readBinary(ISceneNodeStream& stream) {
  ISceneNode::readBinary(stream);
  stream.readF32(&mParallaxCoef);
  uint32_t count = 0;
  stream.readU32(&count);
  mActivationFrames.clear();
  for (uint32_t i = 0; i < count && !stream.failed(); ++i) {
    int32_t frame = 0;
    if (stream.readI32(&frame)) mActivationFrames.push_back(frame);
  }
  std::sort(mActivationFrames.begin(), mActivationFrames.end());
}

}  // namespace AE
