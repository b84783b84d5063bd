#include "animationeditor/scene_render.h"

#include <algorithm>
#include <vector>

#include "animationeditor/scene_node.h"
#include "render_system_dx8.h"

namespace AE {

namespace {

constexpr size_t kReservedNodes = 1024;

void collect(ISceneNode* node, std::vector<ISceneNode*>& list) {
  list.push_back(node);
  for (ISceneNode* child : node->mChildren) collect(child, list);
}

// A stable sort keeps the collection order among equal depths at any tree
// size, which draws them the way small trees have always been drawn.
void drawSorted(std::vector<ISceneNode*>& list, bool ranged, float zMin, float zMax) {
  KR::RenderSystem* rs = KR::RenderSystem::getInstance();
  float saved[KR::CAM_COUNT];
  std::copy(rs->mCamera, rs->mCamera + KR::CAM_COUNT, saved);
  std::stable_sort(list.begin(), list.end(),
                   [](const ISceneNode* a, const ISceneNode* b) { return a && b && a->mPosZ < b->mPosZ; });
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    ISceneNode* node = *it;
    if (ranged && !(zMin <= node->mPosZ && node->mPosZ < zMax)) continue;
    node->renderDerived();
  }
  rs->setCamera(saved);
}

}  // namespace

ISceneNode*& lastStencilMaskNode() {
  static ISceneNode* node = nullptr;
  return node;
}

void renderScene(ISceneNode* root) {
  if (!root) return;
  static std::vector<ISceneNode*> list;
  list.clear();
  list.reserve(kReservedNodes);
  lastStencilMaskNode() = nullptr;
  collect(root, list);
  drawSorted(list, false, 0.0f, 0.0f);
  list.clear();
}

void renderSceneDepthRange(ISceneNode* root, float zMin, float zMax) {
  if (!root) return;
  std::vector<ISceneNode*> list;
  list.reserve(kReservedNodes);
  collect(root, list);
  drawSorted(list, true, zMin, zMax);
}

}  // namespace AE
