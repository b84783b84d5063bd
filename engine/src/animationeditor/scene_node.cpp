#include "animationeditor/scene_node.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/frame_data.h"
#include "animationeditor/marker.h"
#include "animationeditor/movie_camera.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "log_system.h"
#include "render_system_dx8.h"

namespace AE {

int32_t gLoopEnabled = 0;

namespace {

constexpr float kTransformTolerance = 0.001f;
constexpr float kRadiansToDegrees = 57.2957763671875f;

// Applies a, then b (points are transformed by a first).
KR::Matrix3 then(const KR::Matrix3& a, const KR::Matrix3& b) { return KR::Matrix3::multiply(b, a); }

// The same for affine matrices (last row 0, 0, 1), as every node matrix is.
KR::Matrix3 thenAffine(const KR::Matrix3& a, const KR::Matrix3& b) {
  KR::Matrix3 m;
  m.m[0] = b.m[0] * a.m[0] + b.m[3] * a.m[1];
  m.m[1] = b.m[1] * a.m[0] + b.m[4] * a.m[1];
  m.m[3] = b.m[0] * a.m[3] + b.m[3] * a.m[4];
  m.m[4] = b.m[1] * a.m[3] + b.m[4] * a.m[4];
  m.m[6] = b.m[0] * a.m[6] + b.m[3] * a.m[7] + b.m[6];
  m.m[7] = b.m[1] * a.m[6] + b.m[4] * a.m[7] + b.m[7];
  return m;
}

bool moved(float a, float b) { return std::fabs(a - b) > kTransformTolerance; }

}  // namespace

// ---- construction ----

ISceneNode::ISceneNode() : mAnimation(new SceneNodeAnimation(true)) {
  bindBaseTracks();
  rebuildTransform();
}

ISceneNode::ISceneNode(const ISceneNode& source, ISceneNode* newParent)
    : mSourceFile(source.mSourceFile),
      mName(source.mName),
      mExtra2(source.mExtra2),
      mPosZ(source.mPosZ),
      mPosX(source.mPosX),
      mPosY(source.mPosY),
      mWorldOrigin(source.mWorldOrigin),
      mRotation(source.mRotation),
      mPivot(source.mPivot),
      mScaleX(source.mScaleX),
      mScaleY(source.mScaleY),
      mColor(source.mColor),
      mDerivedColor(source.mDerivedColor),
      mActiveCamera(source.mActiveCamera),
      mEnabled(source.mEnabled),
      mAnimation(new SceneNodeAnimation(*source.mAnimation)),
      mLoop(source.mLoop),
      mFlag4(source.mFlag4),
      mReverse(source.mReverse),
      mRangeFrom(source.mRangeFrom),
      mRangeTo(source.mRangeTo),
      mCameraSelection(source.mCameraSelection),
      mWorldMatrix(source.mWorldMatrix),
      mShear(source.mShear),
      mParallaxEnabled(source.mParallaxEnabled) {
  bindBaseTracks();
  rebuildTransform();
  setParent(newParent, true);
}

void ISceneNode::bindBaseTracks() {
  mAnimation->bindFloat("posX", &mPosX);
  mAnimation->bindFloat("posY", &mPosY);
  mAnimation->bindFloat("rotation", &mRotation);
  mAnimation->bindFloat("scaleX", &mScaleX);
  mAnimation->bindFloat("scaleY", &mScaleY);
  mAnimation->bindVector2("pivotPoint", &mPivot);
  mAnimation->bindFloat("posZ", &mPosZ);
  mAnimation->bindColor("color", &mColor);
  mAnimation->bindFloat("shear00", &mShear.m[0]);
  mAnimation->bindFloat("shear01", &mShear.m[1]);
  mAnimation->bindFloat("shear10", &mShear.m[3]);
  mAnimation->bindFloat("shear11", &mShear.m[4]);
}

ISceneNode::~ISceneNode() {
  // A loaded root leaves the list of loaded scenes (loading threads append to it meanwhile).
  unregisterLoadedScene(this);
  while (!mChildren.empty()) delete mChildren.back();
  for (Marker* marker : mMarkers) delete marker;
  mMarkers.clear();
  delete mAnimation;
  mAnimation = nullptr;
  setParent(nullptr, true);
}

ISceneNode* ISceneNode::clone(ISceneNode* newParent) const {
  ISceneNode* copy = new ISceneNode(*this, newParent);
  copy->cloneChildrenAndMarkers(*this);
  return copy;
}

void ISceneNode::cloneChildrenAndMarkers(const ISceneNode& source) {
  for (const ISceneNode* child : source.mChildren) child->clone(this);
  for (const Marker* marker : source.mMarkers) mMarkers.push_back(new Marker(*marker, this));
  // The copy films through its own camera, never through one of the source's
  // tree, which may go away first; a camera it does not host is found again
  // when it draws.
  mActiveCamera = nullptr;
  for (size_t i = 0; i < source.mChildren.size() && i < mChildren.size(); ++i) {
    if (source.mChildren[i] == static_cast<const ISceneNode*>(source.mActiveCamera))
      mActiveCamera = static_cast<MovieCamera*>(mChildren[i]);
  }
}

// ---- transform ----

KR::Matrix3 ISceneNode::composeLocal(float x, float y, const KR::Vector2<float>& pivot, float sx, float sy,
                                     const KR::Matrix3& shear, float degrees) {
  // Pivot to the origin, scale, shear, rotate, then to position plus pivot,
  // multiplied out: row i of the linear part is scale_i x shear row i x rotation.
  const float r = degrees * 0.017453292f;
  const float c = std::cos(r), s = std::sin(r);
  const float a0 = sx * shear.m[0], a1 = sx * shear.m[1];
  const float b0 = sy * shear.m[3], b1 = sy * shear.m[4];
  KR::Matrix3 m;
  m.m[0] = a0 * c - a1 * s;
  m.m[1] = a0 * s + a1 * c;
  m.m[3] = b0 * c - b1 * s;
  m.m[4] = b0 * s + b1 * c;
  m.m[6] = x + pivot.x - pivot.x * m.m[0] - pivot.y * m.m[3];
  m.m[7] = y + pivot.y - pivot.x * m.m[1] - pivot.y * m.m[4];
  return m;
}

void ISceneNode::rebuildTransform() {
  mLocalMatrix = composeLocal(mPosX, mPosY, mPivot, mScaleX, mScaleY, mShear, mRotation);
  mCachedPosX = mPosX;
  mCachedPosY = mPosY;
  mCachedRotation = mRotation;
  mCachedPivot = mPivot;
  mCachedScaleX = mScaleX;
  mCachedScaleY = mScaleY;
  mCachedShear = mShear;
  mCachedParent = mParent;
  if (mParent) {
    mWorldMatrix = thenAffine(mLocalMatrix, mParent->mWorldMatrix);
    mWorldOrigin = mParent->mWorldMatrix.transformPoint(KR::Vector2<float>(mPosX, mPosY));
  } else {
    mWorldMatrix = mLocalMatrix;
    mWorldOrigin = KR::Vector2<float>(mPosX, mPosY);
  }
  mTransformChanged = true;
}

void ISceneNode::updateTransform() {
  const bool changed = moved(mPosX, mCachedPosX) || moved(mPosY, mCachedPosY) || moved(mRotation, mCachedRotation) ||
                       moved(mScaleX, mCachedScaleX) || moved(mScaleY, mCachedScaleY) ||
                       moved(mPivot.x, mCachedPivot.x) || moved(mPivot.y, mCachedPivot.y) ||
                       moved(mShear.m[3], mCachedShear.m[3]) || moved(mShear.m[4], mCachedShear.m[4]) ||
                       moved(mShear.m[0], mCachedShear.m[0]) || moved(mShear.m[1], mCachedShear.m[1]) ||
                       mParent != mCachedParent;
  if (changed) {
    rebuildTransform();
  } else {
    mTransformChanged = false;
    if (mParent && mParent->mTransformChanged) {
      mWorldMatrix = thenAffine(mLocalMatrix, mParent->mWorldMatrix);
      mWorldOrigin = mParent->mWorldMatrix.transformPoint(KR::Vector2<float>(mPosX, mPosY));
      mTransformChanged = true;
    }
  }
  for (ISceneNode* child : mChildren) child->updateTransform();
}

void ISceneNode::takeRelativePlacement(const KR::Matrix3& m) {
  // Linear part = rotation x shear x scale (in the order points meet them
  // reversed): the rotation is the x axis' direction, the rest an upper
  // triangle split into scale and an x-shear.
  const float angle = std::atan2(m.m[1], m.m[0]);
  const float c = std::cos(angle), s = std::sin(angle);
  const float sx = c * m.m[0] + s * m.m[1];
  const float k = c * m.m[3] + s * m.m[4];
  const float sy = -s * m.m[3] + c * m.m[4];
  KR::Matrix3 shear;
  shear.m[3] = sy != 0.0f ? k / sy : 0.0f;
  mShear = shear;
  setRotation(angle * kRadiansToDegrees);
  setScaleX(sx);
  setScaleY(sy);
  // Translation = pivot moved through the linear part, minus the pivot, plus the position.
  const KR::Vector2<float> lc(m.m[0] * mPivot.x + m.m[3] * mPivot.y, m.m[1] * mPivot.x + m.m[4] * mPivot.y);
  setPosition(KR::Vector2<float>(m.m[6] - mPivot.x + lc.x, m.m[7] - mPivot.y + lc.y));
}

KR::Matrix3 ISceneNode::relativeToParentMatrix() const {
  if (!mParent) return mWorldMatrix;
  return then(mWorldMatrix, KR::Matrix3::inverse(mParent->mWorldMatrix));
}

float ISceneNode::getWorldRotation() const { return mRotation + (mParent ? mParent->getWorldRotation() : 0.0f); }

KR::Vector2<float> ISceneNode::getWorldPivot() const { return mWorldMatrix.transformPoint(mPivot); }

void ISceneNode::setWorldPosition(const KR::Vector2<float>& point) {
  const KR::Vector2<float> local = mParent ? KR::Matrix3::inverse(mParent->mWorldMatrix).transformPoint(point) : point;
  mPosX = local.x;
  mPosY = local.y;
  updateTransform();
}

void ISceneNode::setWorldX(float x) { setWorldPosition(KR::Vector2<float>(x, mWorldOrigin.y)); }

void ISceneNode::setWorldY(float y) { setWorldPosition(KR::Vector2<float>(mWorldOrigin.x, y)); }

void ISceneNode::getWorldMatrixAtFrame(KR::Matrix3& out, int frame) const {
  const std::vector<uint32_t>& frames = mAnimation->mKeyFrames;
  if (frames.empty()) {
    out = KR::Matrix3();
    return;
  }
  // The key at or before the frame; the first key before it.
  uint32_t index = 0;
  for (uint32_t i = 0; i < frames.size(); ++i) {
    if (int64_t(frames[i]) <= frame) index = i;
  }
  const SceneNodeAnimation& a = *mAnimation;
  out = composeLocal(a.getKeyframe<float>("posX", index).value, a.getKeyframe<float>("posY", index).value, mPivot,
                     a.getKeyframe<float>("scaleX", index).value, a.getKeyframe<float>("scaleY", index).value, mShear,
                     a.getKeyframe<float>("rotation", index).value);
  if (mParent) {
    KR::Matrix3 parent;
    mParent->getWorldMatrixAtFrame(parent, frame);
    out = then(out, parent);
  }
}

KR::Vector2<float> ISceneNode::solveInEdgeBasis(const KR::Vector2<float>& point, const KR::Vector2<float>& edgeA,
                                                const KR::Vector2<float>& edgeB) {
  float det = edgeA.x * edgeB.y - edgeA.y * edgeB.x;
  if (std::fabs(det) < 0.00001f) det = 0.00001f;
  return KR::Vector2<float>((point.x * edgeB.y - point.y * edgeB.x) / det,
                            (edgeA.x * point.y - edgeA.y * point.x) / det);
}

void ISceneNode::setRotation(float degrees) {
  mRotation = degrees;
  updateTransform();
}

void ISceneNode::setScaleX(float s) {
  mScaleX = s;
  updateTransform();
}

void ISceneNode::setScaleY(float s) {
  mScaleY = s;
  updateTransform();
}

void ISceneNode::setPosition(const KR::Vector2<float>& position) {
  mPosX = position.x;
  mPosY = position.y;
}

KR::Vector2<float> ISceneNode::getWorldOrigin() const {
  const KR::Matrix3& m = mChildren.empty() ? mWorldMatrix : mChildren.front()->mWorldMatrix;
  return KR::Vector2<float>(m.m[6], m.m[7]);
}

KR::Vector2<float> ISceneNode::getSize() const {
  if (!mParent) return KR::Vector2<float>();
  return KR::Vector2<float>(mScaleX * 64.0f, mScaleY * 64.0f);
}

namespace {

void gatherBounds(const ISceneNode* node, KR::Vector2<float>& min, KR::Vector2<float>& max) {
  const KR::Vector2<float> size = node->getSize();
  const KR::Vector2<float> e(min.x + size.x, min.y + size.y);
  min = KR::Vector2<float>(std::min(min.x, node->mWorldOrigin.x), std::min(min.y, node->mWorldOrigin.y));
  max = KR::Vector2<float>(std::max(max.x, e.x), std::max(max.y, e.y));
  for (const ISceneNode* child : node->mChildren) gatherBounds(child, min, max);
}

}  // namespace

KR::Vector2<float> ISceneNode::getBoundsSize() const {
  KR::Vector2<float> min, max;
  gatherBounds(this, min, max);
  return max - min;
}

bool ISceneNode::hitTest(int x, int y, bool checkAlpha) {
  if (checkAlpha && mDerivedColor.alpha() == 0) return false;
  if (mChildren.empty() || mScaleX < 0.0001f || mScaleY < 0.0001f) return false;
  for (ISceneNode* child : mChildren) {
    if (child->hitTest(x, y, checkAlpha)) return true;
  }
  return false;
}

// ---- tree ----

void ISceneNode::addChild(ISceneNode* child, bool keepLocal) {
  if (!child || std::find(mChildren.begin(), mChildren.end(), child) != mChildren.end()) return;
  mChildren.push_back(child);
  child->setParent(this, keepLocal);
}

void ISceneNode::setParent(ISceneNode* parent, bool keepLocal) {
  if (parent == mParent) return;
  if (ISceneNode* old = mParent) {
    mParent = nullptr;
    if (!parent && !keepLocal) {
      // Keep the place on screen as a root.
      takeRelativePlacement(mWorldMatrix);
      updateTransform();
    }
    old->removeChild(this, keepLocal);
  }
  if (!parent) return;
  if (!keepLocal) takeRelativePlacement(then(mWorldMatrix, KR::Matrix3::inverse(parent->mWorldMatrix)));
  mParent = parent;
  parent->addChild(this, keepLocal);
}

void ISceneNode::removeChild(ISceneNode* child, bool keepLocal) {
  const auto it = std::find(mChildren.begin(), mChildren.end(), child);
  if (it == mChildren.end()) return;
  mChildren.erase(it);
  for (ISceneNode* node = this; node; node = node->mParent) node->removeMarkerEntriesOf(child);
  child->setParent(nullptr, keepLocal);
}

void ISceneNode::removeMarkerEntriesOf(ISceneNode* node) {
  for (Marker* marker : mMarkers) marker->removeEntriesOf(node);
}

ISceneNode* ISceneNode::getRoot() {
  ISceneNode* node = this;
  while (node->mParent) node = node->mParent;
  return node;
}

const ISceneNode* ISceneNode::getRoot() const {
  const ISceneNode* node = this;
  while (node->mParent) node = node->mParent;
  return node;
}

ISceneNode* ISceneNode::findChild(const char* name, ISceneNode* root) {
  if (!root || !name) return nullptr;
  std::vector<ISceneNode*> work{root};
  for (size_t i = 0; i < work.size(); ++i) {
    ISceneNode* node = work[i];
    if (node->mName == name) return node;
    work.insert(work.end(), node->mChildren.begin(), node->mChildren.end());
  }
  return nullptr;
}

ISceneNode* ISceneNode::findByPath(const char* path) {
  if (!path) return nullptr;
  const char* rest = nullptr;
  if (path[0] == '/') {
    if (path[1] == 0) return this;
    rest = path + 1;
  } else {
    size_t i = 0;
    const char* name = mName.c_str();
    while (name[i] && path[i] && name[i] == path[i]) ++i;
    if (name[i] != 0) return nullptr;
    if (path[i] == 0) return this;
    if (path[i] != '/') return nullptr;
    if (path[i + 1] == 0) return this;
    rest = path + i + 1;
  }
  for (ISceneNode* child : mChildren) {
    if (ISceneNode* found = child->findByPath(rest)) return found;
  }
  return nullptr;
}

// ---- markers ----

void ISceneNode::addMarker(Marker* marker) {
  if (marker) mMarkers.push_back(marker);
}

Marker* ISceneNode::findMarker(const std::string& name) const {
  for (Marker* marker : mMarkers) {
    if (marker->mName == name) return marker;
  }
  return nullptr;
}

Marker* ISceneNode::getMarker(const std::string& name) const {
  Marker* marker = findMarker(name);
  if (!marker) KR::log("ERROR: Can't find marker '%s' in node '%s'", name.c_str(), mName.c_str());
  return marker;
}

void ISceneNode::stopMarkers(bool recursive, bool restartFirst) {
  for (Marker* marker : mMarkers) {
    if (restartFirst) marker->play();
    marker->stop(true);
  }
  if (recursive) {
    for (ISceneNode* child : mChildren) child->stopMarkers(true, restartFirst);
  }
}

// ---- play control ----

void ISceneNode::setPlaying(bool playing, bool recursive) {
  mPlaying = playing;
  mAnimation->mRunning = true;
  if (recursive) {
    for (ISceneNode* child : mChildren) child->setPlaying(playing, true);
  }
}

void ISceneNode::play(bool recursive) { playInDirection(false, recursive); }

void ISceneNode::playInDirection(bool reverse, bool recursive) {
  mPlaying = true;
  mAnimation->mRunning = true;
  mRangeFrom = mRangeTo = 0;
  mReverse = reverse;
  if (recursive) {
    for (ISceneNode* child : mChildren) child->playInDirection(reverse, true);
  }
}

void ISceneNode::playRange(int a, int b, bool reverse, bool recursive) {
  mPlaying = true;
  mReverse = reverse;
  mRangeFrom = std::min(a, b);
  mRangeTo = std::max(a, b);
  mAnimation->setTime(float(reverse ? mRangeTo : mRangeFrom) / mAnimation->mFramesPerSecond);
  mAnimation->mRunning = true;
  if (recursive) {
    for (ISceneNode* child : mChildren) child->playRange(a, b, reverse, true);
  }
}

void ISceneNode::stop(bool recursive) {
  mPlaying = false;
  mAnimation->mRunning = false;
  mAnimation->mTime = 0.0f;
  stopDerived();
  if (recursive) {
    for (ISceneNode* child : mChildren) child->stop(true);
  }
}

void ISceneNode::halt(bool recursive) {
  mPlaying = false;
  mAnimation->mRunning = false;
  if (recursive) {
    for (ISceneNode* child : mChildren) child->stop(true);
  }
}

void ISceneNode::setTime(float t, bool recursive) {
  mAnimation->setTime(t);
  mAnimation->update(0.0f);
  update(0.0f);
  if (recursive) {
    for (ISceneNode* child : mChildren) child->setTime(t, true);
  }
}

void ISceneNode::setFrame(int frame) { setTime(float(frame) * mAnimation->mFrameTime, false); }

void ISceneNode::goToFrame(int frame) { setTime(float(frame) * mAnimation->mFrameTime, true); }

void ISceneNode::rewindToBegin() {
  setFrame(0);
  for (ISceneNode* child : mChildren) child->rewindToBegin();
}

void ISceneNode::rewindToEnd() {
  const std::vector<uint32_t>& frames = mAnimation->mKeyFrames;
  setFrame(frames.empty() ? 0 : int(frames.back()));
  for (ISceneNode* child : mChildren) child->rewindToEnd();
}

void ISceneNode::setEnabled(bool enabled) {
  mEnabled = enabled;
  for (ISceneNode* child : mChildren) child->setEnabled(enabled);
}

void ISceneNode::update(float dt) {
  if (!mEnabled) mAnimation->setTime(mAnimation->mTime + dt);
  advanceAnimation(dt);
  updateTransform();
  if (mEnabled) updateDerived(dt);
  for (ISceneNode* child : mChildren) child->derivedPass(dt);
  if (mCameraSelection) chooseCamera();
}

void ISceneNode::advanceAnimation(float dt) {
  SceneNodeAnimation& a = *mAnimation;
  if (dt == 0.0f) a.update(0.0f);
  if (mPlaying && mEnabled) {
    a.mLoop = mLoop;
    if (mRangeFrom == 0 && mRangeTo == 0) {
      a.update(mReverse ? -dt : dt);
    } else {
      const float from = float(mRangeFrom) / a.mFramesPerSecond;
      const float to = float(mRangeTo) / a.mFramesPerSecond;
      const bool loops = a.isLooping() && gLoopEnabled > 0;
      if (!mReverse ? a.mTime + dt < to : a.mTime - dt > from) {
        a.update(mReverse ? -dt : dt);
      } else if (loops) {
        // The overshoot is dropped: a loop restarts exactly on its first frame.
        a.setTime(mReverse ? to : from);
        a.update(0.0f);
      } else {
        mPlaying = false;
        a.mTime = mReverse ? from : to;
        a.update(0.0f);
        a.mRunning = false;
      }
    }
  }
  for (ISceneNode* child : mChildren) child->advanceAnimation(dt);
}

void ISceneNode::derivedPass(float dt) {
  if (mEnabled) updateDerived(dt);
  for (ISceneNode* child : mChildren) child->derivedPass(dt);
}

void ISceneNode::chooseCamera() {
  float best = 0.0f;
  MovieCamera* chosen = nullptr;
  for (ISceneNode* child : mChildren) {
    if (child->getNodeType() != kMovieCameraNode || !child->mPlaying) continue;
    MovieCamera* camera = static_cast<MovieCamera*>(child);
    if (camera->mLastActivationTime >= best) {
      best = camera->mLastActivationTime;
      chosen = camera;
    }
  }
  if (chosen) mActiveCamera = chosen;
}

void ISceneNode::updateDerived(float dt) {
  mDerivedColor = mParent ? mParent->mDerivedColor * mColor : mColor;
  for (size_t i = 0; i < mMarkers.size(); ++i) mMarkers[i]->update(dt);
}

// ---- camera ----

MovieCamera* ISceneNode::getActiveCamera() const { return getRoot()->mActiveCamera; }

bool ISceneNode::isCameraSelectionOn() const { return getRoot()->mCameraSelection; }

void ISceneNode::applyCamera() {
  MovieCamera* camera = getRoot()->mActiveCamera;
  mActiveCamera = camera;
  if (!camera) return;
  float view[KR::CAM_COUNT];
  camera->getView(view);
  if (mParallaxEnabled && camera->mParallaxEnabled) {
    const float z = mPosZ == 0.0f ? 1.0f : mPosZ;
    const float k = std::fabs(z) * camera->mParallaxCoef;
    // A coefficient of 0 leaves the offset as it is rather than dividing by zero.
    if (k != 0.0f && std::isfinite(k)) {
      view[KR::CAM_X] /= k;
      view[KR::CAM_Y] /= k;
    }
  }
  if (KR::RenderSystem* rs = KR::RenderSystem::getInstancePtr()) rs->setCamera(view);
}

// ---- keys ----

NodeKeyValues ISceneNode::currentKeyValues() const {
  NodeKeyValues v;
  v.posX = mPosX;
  v.posY = mPosY;
  v.rotation = mRotation;
  v.scaleX = mScaleX;
  v.scaleY = mScaleY;
  v.pivot = mPivot;
  v.posZ = mPosZ;
  v.color = mColor;
  v.shear = mShear;
  return v;
}

void ISceneNode::setKeyframeValues(int frame, const NodeKeyValues& v) {
  SceneNodeAnimation& a = *mAnimation;
  a.addKeyframe(frame);
  const uint32_t i = uint32_t(a.findKeyIndex(uint32_t(frame)));
  a.getKeyframe<float>("posX", i).value = v.posX;
  a.getKeyframe<float>("posY", i).value = v.posY;
  a.getKeyframe<float>("rotation", i).value = v.rotation;
  a.getKeyframe<float>("scaleX", i).value = v.scaleX;
  a.getKeyframe<float>("scaleY", i).value = v.scaleY;
  a.getKeyframe<KR::Vector2<float>>("pivotPoint", i).value = v.pivot;
  a.getKeyframe<float>("posZ", i).value = v.posZ;
  a.getKeyframe<KR::Color>("color", i).value = v.color;
  a.getKeyframe<float>("shear00", i).value = v.shear.m[0];
  a.getKeyframe<float>("shear01", i).value = v.shear.m[1];
  a.getKeyframe<float>("shear10", i).value = v.shear.m[3];
  a.getKeyframe<float>("shear11", i).value = v.shear.m[4];
}

void ISceneNode::storeKeyframe(int frame) { setKeyframeValues(frame, currentKeyValues()); }

void ISceneNode::storeFrameData(int frame, const IFrameData& r) {
  NodeKeyValues v;
  v.posX = r.x;
  v.posY = r.y;
  v.rotation = r.angle;
  v.scaleX = r.scaleX;
  v.scaleY = r.scaleY;
  v.pivot = r.pivot;
  v.posZ = r.z;
  v.color = r.color;
  v.shear = r.shear;
  setKeyframeValues(frame, v);
  // The curve settings of the five float tracks that carry them.
  const uint32_t i = uint32_t(mAnimation->findKeyIndex(uint32_t(frame)));
  auto curve = [&](const char* name, float handle, float position, bool bezier) {
    TrackKey<float>& key = mAnimation->getKeyframe<float>(name, i);
    key.handle = handle;
    key.handlePosition = position;
    key.bezier = bezier;
  };
  curve("posX", r.handleX, r.handlePositionX, r.positionBezier);
  curve("posY", r.handleY, r.handlePositionY, r.positionBezier);
  curve("rotation", r.angleHandle, r.angleHandlePosition, r.angleBezier);
  curve("scaleX", r.scaleHandleX, r.scaleHandlePositionX, r.scaleBezier);
  curve("scaleY", r.scaleHandleY, r.scaleHandlePositionY, r.scaleBezier);
}

void ISceneNode::removeKeyframe(int frame) {
  const int i = mAnimation->findKeyIndex(uint32_t(frame));
  if (i >= 0) mAnimation->removeKeyAt(uint32_t(i));
}

bool ISceneNode::moveKeyframe(int fromFrame, int toFrame) { return mAnimation->moveKeyframe(fromFrame, toFrame); }

void ISceneNode::copyKeyframe(uint32_t fromFrame, int toFrame) {
  SceneNodeAnimation& a = *mAnimation;
  a.addKeyframe(toFrame);
  const uint32_t from = uint32_t(a.findKeyIndex(fromFrame));
  const uint32_t to = uint32_t(a.findKeyIndex(uint32_t(toFrame)));
  for (SceneNodeAnimation::IContainer* track : a.mTracks) track->copyKeyValue(from, to);
}

void ISceneNode::syncKeyframe(int fromFrame, int toFrame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(toFrame)) || !a.isKeyframe(uint32_t(fromFrame))) return;
  copyKeyframe(uint32_t(fromFrame), toFrame);
}

void ISceneNode::applyKeyframe(int frame) {
  const SceneNodeAnimation& a = *mAnimation;
  if (a.isKeyframe(uint32_t(frame)) || a.mKeyFrames.empty()) return;
  copyKeyframe(a.mKeyFrames[a.getCurrentKeyIndex()], frame);
}

float ISceneNode::getCurrentFloatKey(const std::string& name) const {
  return mAnimation->getKeyframe<float>(name, mAnimation->getCurrentKeyIndex()).value;
}

KR::Vector2<float> ISceneNode::getCurrentVector2Key(const std::string& name) const {
  return mAnimation->getKeyframe<KR::Vector2<float>>(name, mAnimation->getCurrentKeyIndex()).value;
}

KR::Color ISceneNode::getCurrentColorKey(const std::string& name) const {
  return mAnimation->getKeyframe<KR::Color>(name, mAnimation->getCurrentKeyIndex()).value;
}

int32_t ISceneNode::getCurrentIntKey(const std::string& name) const {
  return mAnimation->getKeyframe<int32_t>(name, mAnimation->getCurrentKeyIndex()).value;
}

bool ISceneNode::getCurrentBoolValue(const std::string& name) const {
  return mAnimation->getKeyframe<bool>(name, mAnimation->getCurrentKeyIndex()).value;
}

IFrameData* ISceneNode::createFrameData(int frame, bool toWorld) const {
  IFrameData* record = new IFrameData();
  record->readFromNode(*this, frame, toWorld);
  return record;
}

// ---- node data ----

ISceneNodeData* ISceneNode::createNodeData(bool relativeToParent) const {
  ISceneNodeData* data = new ISceneNodeData();
  fillNodeData(*data, relativeToParent);
  return data;
}

void ISceneNode::fillNodeData(ISceneNodeData& d, bool relativeToParent) const {
  d.color = mColor;
  d.rotation = mRotation;
  d.pivot = mPivot;
  d.posX = mPosX;
  d.posY = mPosY;
  d.derivedColor = mDerivedColor;
  d.scaleX = mScaleX;
  d.scaleY = mScaleY;
  d.posZ = mPosZ;
  d.parallaxEnabled = mParallaxEnabled;
  d.worldMatrix = mWorldMatrix;
  d.shear = mShear;
  if (relativeToParent && mParent) {
    // Decompose on a scratch node so this one stays as it is.
    ISceneNode scratch;
    scratch.mPivot = mPivot;
    scratch.takeRelativePlacement(relativeToParentMatrix());
    d.posX = scratch.mPosX;
    d.posY = scratch.mPosY;
    d.rotation = scratch.mRotation;
    d.scaleX = scratch.mScaleX;
    d.scaleY = scratch.mScaleY;
    d.shear = scratch.mShear;
  }
  d.enabled = mEnabled;
  d.loop = mLoop;
}

void ISceneNode::assignNodeData(const ISceneNodeData& d) {
  mColor = d.color;
  mRotation = d.rotation;
  mPivot = d.pivot;
  mPosX = d.posX;
  mPosY = d.posY;
  mDerivedColor = d.derivedColor;
  mScaleX = d.scaleX;
  mScaleY = d.scaleY;
  mPosZ = d.posZ;
  mParallaxEnabled = d.parallaxEnabled;
  mWorldMatrix = d.worldMatrix;
  mShear = d.shear;
  mEnabled = d.enabled;
  mLoop = d.loop;
}

// ---- binary form ----

void ISceneNode::writeBinary(ISceneNodeStream& s, bool relativeToParent) const {
  writeString(s, mSourceFile);
  writeString(s, mName);
  writeString(s, mExtra2);
  const bool relative = relativeToParent && mParent;
  float x = mPosX, y = mPosY, rotation = mRotation, sx = mScaleX, sy = mScaleY;
  KR::Vector2<float> pivot = mPivot;
  KR::Matrix3 shear = mShear;
  if (relative) {
    ISceneNode scratch;
    scratch.mPivot = mPivot;
    scratch.mRotation = mRotation;
    scratch.takeRelativePlacement(relativeToParentMatrix());
    x = scratch.mPosX;
    y = scratch.mPosY;
    rotation = scratch.mRotation;
    pivot = scratch.mPivot;
    sx = scratch.mScaleX;
    sy = scratch.mScaleY;
    shear = scratch.mShear;
  }
  s.writeF32(x);
  s.writeF32(y);
  s.writeF32(rotation);
  s.writeVector2(pivot);
  s.writeF32(sx);
  s.writeF32(sy);
  s.writeMatrix(shear);
  s.writeF32(mPosZ);
  s.writeVector2(mExtraVector);
  s.writeBool(mParallaxEnabled);
  s.writeColor(mColor);
  s.writeColor(mDerivedColor);
  s.writeBool(mPlaying);
  s.writeBool(mEnabled);
  s.writeBool(mLoop);
  for (bool flag : {mFlag1, mFlag2, mFlag3, mFlag4, mFlag5}) s.writeBool(flag);
  s.writeBool(mReverse);
  s.writeI32(mRangeFrom);
  s.writeI32(mRangeTo);
  s.writeBool(mCameraSelection);
  s.writeMatrix(mWorldMatrix);
  mAnimation->writeBinary(s);
  s.writeBool(relative);
}

void ISceneNode::readBinary(ISceneNodeStream& s) {
  readString(s, mSourceFile);
  readString(s, mName);
  readString(s, mExtra2);
  s.readF32(&mPosX);
  s.readF32(&mPosY);
  s.readF32(&mRotation);
  s.readVector2(&mPivot);
  s.readF32(&mScaleX);
  s.readF32(&mScaleY);
  s.readMatrix(&mShear);
  s.readF32(&mPosZ);
  s.readVector2(&mExtraVector);
  s.readBool(&mParallaxEnabled);
  s.readColor(&mColor);
  s.readColor(&mDerivedColor);
  s.readBool(&mPlaying);
  s.readBool(&mEnabled);
  s.readBool(&mLoop);
  for (bool* flag : {&mFlag1, &mFlag2, &mFlag3, &mFlag4, &mFlag5}) s.readBool(flag);
  s.readBool(&mReverse);
  s.readI32(&mRangeFrom);
  s.readI32(&mRangeTo);
  s.readBool(&mCameraSelection);
  s.readMatrix(&mWorldMatrix);
  mAnimation->readBinary(s);
  bool relative = false;
  s.readBool(&relative);
}

}  // namespace AE
