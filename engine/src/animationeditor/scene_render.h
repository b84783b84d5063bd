#pragma once
// Drawing a scene tree: all its nodes in one list ordered by depth (mPosZ),
// the largest depth first and the smallest last, on top; nodes of equal depth
// keep their tree order, the one collected later drawn earlier (so a parent
// covers its child of the same depth, an earlier sibling a later one). The
// render camera is saved before and restored after, whatever the nodes set.
//
//   AE::renderScene(root);                      // the whole tree
//   AE::renderSceneDepthRange(root, 0.f, 10.f); // 0 <= mPosZ < 10 only
//
// Main thread only; renderScene is not re-entrant.
namespace AE {

class ISceneNode;

void renderScene(ISceneNode* root);
void renderSceneDepthRange(ISceneNode* root, float zMin, float zMax);

// The node whose stencil mask the stencil buffer holds now: masked nodes
// redraw their mask only when another mask is needed. renderScene resets it.
ISceneNode*& lastStencilMaskNode();

}  // namespace AE
