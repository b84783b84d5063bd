#include "core/game_state/minigames/drag_hold.h"

#include "animationeditor/scene_node.h"

namespace HOG {

KR::Vector2<float> DragHold::follow(const KR::Vector2<float>& pointer, const KR::Vector2<float>& halfSize) {
  return KR::Vector2<float>(pointer.x - halfSize.x, pointer.y - halfSize.y);
}

int32_t DragHold::letGo() {
  const int32_t was = piece;
  piece = -1;
  return was;
}

AE::ISceneNode* DragHold::picture(AE::ISceneNode* node) {
  if (!node) return nullptr;
  if (!node->mChildren.empty() && node->mChildren[0]) return node->mChildren[0];
  return node;
}

}  // namespace HOG
