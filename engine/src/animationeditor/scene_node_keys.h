#pragma once
// Keys that the particle and sound kinds write the same way at every key
// frame they store: scale 1 and the node's current shear.
#include <cstdint>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"

namespace AE {

inline void keyUnitScaleAndShear(ISceneNode& node, uint32_t index) {
  SceneNodeAnimation& a = *node.mAnimation;
  a.getKeyframe<float>("scaleX", index).value = 1.0f;
  a.getKeyframe<float>("scaleY", index).value = 1.0f;
  a.getKeyframe<float>("shear00", index).value = node.mShear.m[0];
  a.getKeyframe<float>("shear01", index).value = node.mShear.m[1];
  a.getKeyframe<float>("shear10", index).value = node.mShear.m[3];
  a.getKeyframe<float>("shear11", index).value = node.mShear.m[4];
}

}  // namespace AE
