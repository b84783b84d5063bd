#include "animationeditor/frame_data.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"

namespace AE {

void IFrameData::readFromNode(const ISceneNode& node, int frame, bool toWorld) {
  const SceneNodeAnimation& a = *node.mAnimation;
  const int index = frame >= 0 ? a.findKeyIndex(uint32_t(frame)) : -1;
  if (index < 0) {
    const NodeKeyValues v = node.currentKeyValues();
    x = v.posX;
    y = v.posY;
    pivot = v.pivot;
    angle = v.rotation;
    scaleX = v.scaleX;
    scaleY = v.scaleY;
    z = v.posZ;
    color = v.color;
    shear = v.shear;
  } else {
    const uint32_t i = uint32_t(index);
    const TrackKey<float>& kx = a.getKeyframe<float>("posX", i);
    const TrackKey<float>& ky = a.getKeyframe<float>("posY", i);
    const TrackKey<float>& kr = a.getKeyframe<float>("rotation", i);
    const TrackKey<float>& ksx = a.getKeyframe<float>("scaleX", i);
    const TrackKey<float>& ksy = a.getKeyframe<float>("scaleY", i);
    x = kx.value;
    y = ky.value;
    handleX = kx.handle;
    handleY = ky.handle;
    handlePositionX = kx.handlePosition;
    handlePositionY = ky.handlePosition;
    positionBezier = kx.bezier;
    pivot = a.getKeyframe<KR::Vector2<float>>("pivotPoint", i).value;
    angle = kr.value;
    angleHandle = kr.handle;
    angleHandlePosition = kr.handlePosition;
    angleBezier = kr.bezier;
    scaleX = ksx.value;
    scaleY = ksy.value;
    scaleHandleX = ksx.handle;
    scaleHandleY = ksy.handle;
    scaleHandlePositionX = ksx.handlePosition;
    scaleHandlePositionY = ksy.handlePosition;
    scaleBezier = ksx.bezier;
    z = a.getKeyframe<float>("posZ", i).value;
    color = a.getKeyframe<KR::Color>("color", i).value;
    shear = KR::Matrix3();
    shear.m[0] = a.getKeyframe<float>("shear00", i).value;
    shear.m[1] = a.getKeyframe<float>("shear01", i).value;
    shear.m[3] = a.getKeyframe<float>("shear10", i).value;
    shear.m[4] = a.getKeyframe<float>("shear11", i).value;
  }
  if (toWorld && node.mParent) {
    angle += node.mParent->getWorldRotation();
    const KR::Vector2<float> parentScale = KR::Matrix3::getScale(node.mParent->mWorldMatrix);
    scaleX *= parentScale.x;
    scaleY *= parentScale.y;
  }
}

void TextFrameData::readFromNode(const ISceneNode& node, int frame, bool toWorld) {
  IFrameData::readFromNode(node, frame, toWorld);
  const SceneNodeAnimation& a = *node.mAnimation;
  const int index = frame >= 0 ? a.findKeyIndex(uint32_t(frame)) : -1;
  if (index < 0 || node.getNodeType() != kTextNode) return;
  const uint32_t i = uint32_t(index);
  textArea = a.getKeyframe<KR::Vector2<float>>("textArea", i).value;
  clipLT = a.getKeyframe<KR::Vector2<float>>("clipLT", i).value;
  clipRB = a.getKeyframe<KR::Vector2<float>>("clipRB", i).value;
  xcoeff = a.getKeyframe<float>("xcoeff", i).value;
  ycoeff = a.getKeyframe<float>("ycoeff", i).value;
  halign = a.getKeyframe<int32_t>("halign", i).value;
  valign = a.getKeyframe<int32_t>("valign", i).value;
  maxChar = a.getKeyframe<int32_t>("maxChar", i).value;
}

}  // namespace AE
