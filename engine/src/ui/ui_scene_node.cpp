#include "ui/ui_scene_node.h"

#include <algorithm>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "ui/ui_state.h"

namespace KR {

void tintSceneNode(AE::ISceneNode* node, const UIWidget& widget) {
  float r = float(widget.color.red()) / 255.0f, g = float(widget.color.green()) / 255.0f;
  float b = float(widget.color.blue()) / 255.0f, a = std::min(1.0f, std::max(0.0f, widget.alpha));
  if (node->mParent) {
    const Color p = node->mParent->getColor();
    r *= float(p.red()) / 255.0f;
    g *= float(p.green()) / 255.0f;
    b *= float(p.blue()) / 255.0f;
    a *= float(p.alpha()) / 255.0f;
  }
  node->setColor(r, g, b, a);
}

AE::ISceneNode* findOwnedScene(UIWidget* tree) {
  if (!tree) return nullptr;
  if (tree->getType() == kUISceneNodeType) {
    auto* widget = static_cast<UISceneNode*>(tree);
    if (widget->owned && widget->node) return widget->node;
  }
  for (UIWidget* child : tree->children)
    if (AE::ISceneNode* found = findOwnedScene(child)) return found;
  return nullptr;
}

UISceneNode::UISceneNode(const std::string& name_, UIWidget* parent_, bool owned_, AE::ISceneNode* node_)
    : UIWidget(name_, parent_), node(node_), owned(owned_) {
  if (!node) return;
  size = node->getBoundsSize();
  node->play(true);
}

UISceneNode::~UISceneNode() {
  // Child widgets may hold nodes of this scene (or items hung into it): they
  // go first, while the scene is still there.
  deleteChildren();
  if (owned) delete node;
}

bool UISceneNode::hitTest(const Vector2<float>& point) {
  if (!node || !node->mEnabled) return false;
  if (clientRectSet && (point.x < clientRect.left || point.x > clientRect.right || point.y < clientRect.top ||
                        point.y > clientRect.bottom))
    return false;
  return node->hitTest(int(point.x), int(point.y), false);
}

void UISceneNode::setVisible(bool value) {
  visible = value;
  if (node) node->setEnabled(value);
}

void UISceneNode::draw() {
  if (node && owned) AE::renderScene(node);
}

void UISceneNode::onUpdate(float dt) {
  if (!node) return;
  tintSceneNode(node, *this);
  if (owned) {
    node->setPosition(getAbsolutePosition());
    node->update(dt);
    return;
  }
  // The other scene advances the node; here only its transforms follow the
  // widget's state offset for this frame.
  const Vector2<float> own(node->mPosX, node->mPosY);
  node->setPosition(own + offset);
  node->update(0.0f);
  node->setPosition(own);
}

void UISceneNode::onStateEntered(UIState* state) {
  if (!node || !state) return;
  if (AE::Marker* marker = node->findMarker(state->name)) marker->play();
}

}  // namespace KR
