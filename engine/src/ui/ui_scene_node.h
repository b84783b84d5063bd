#pragma once
// A widget that shows an animated scene: one it owns (loaded for it from its
// "scene" key, placed at the widget and advanced with the frame) or a node of
// an enclosing scene widget's scene ("@parent/path"), which that scene
// advances and draws while this widget only follows it with its state offset.
// Entering a widget state plays the node's marker of the same name, when it
// has one; hiding the widget disables the node tree.
//
//   { id = "play", class = "UISceneNode", scene = "menu_button_xml",
//     states = { { id = "onSelect", propertyChanges = { ... } } } }   -- plays the marker "onSelect"
#include <string>

#include "ui/ui_widget.h"

namespace AE {
class ISceneNode;
}

namespace KR {

class UISceneNode : public UIWidget {
 public:
  // Sized to the node's bounds; a given node starts playing at once.
  UISceneNode(const std::string& name, UIWidget* parent, bool owned, AE::ISceneNode* node);
  // Deletes the node when owned.
  ~UISceneNode() override;

  // The node's own hit test, within the client rectangle when one is set.
  bool hitTest(const Vector2<float>& point) override;
  // Also enables or disables the node tree.
  void setVisible(bool value) override;
  int32_t getType() const override { return kUISceneNodeType; }
  void draw() override;
  void onUpdate(float dt) override;
  // Plays the node's marker named like the state, when there is one.
  void onStateEntered(UIState* state) override;

  AE::ISceneNode* node = nullptr;
  bool owned = false;
};

// The scene of a widget tree: that of the first scene widget, depth first,
// that owns its scene; null when there is none.
AE::ISceneNode* findOwnedScene(UIWidget* tree);

// The scene tint a widget gives its node: the widget's colour with the
// widget's alpha, modulated by the node's parent's colour when it has one.
void tintSceneNode(AE::ISceneNode* node, const UIWidget& widget);

}  // namespace KR
