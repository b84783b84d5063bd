#pragma once
// What the front end's screens and windows share: binding their handler names,
// finding the nodes of a window's scene, showing a text key on a text node,
// and the menu music. Main thread only.
#include <string>

#include "lex_binded_function_manager.h"

namespace AE {
class ISceneNode;
class Marker;
}  // namespace AE
namespace KR {
class UIWidget;
}

namespace HOG {

// Registers the member under the name (a name already registered keeps its
// first binder).
template <typename T>
void bindHandler(const std::string& name, T* object, void (T::*member)()) {
  if (!KR::LexBindedFunctionManager::exists() || name.empty()) return;
  KR::LexBindedFunctionManager::getInstance()->registerFunction(name, new KR::LexBinder<T>(object, member));
}
// Removes the name (deleting its binder) when this object's binder holds it.
template <typename T>
void unbindHandler(const std::string& name, T* object) {
  if (!KR::LexBindedFunctionManager::exists() || name.empty()) return;
  KR::LexBindedFunctionManager* registry = KR::LexBindedFunctionManager::getInstance();
  KR::ILexBinder* binder = registry->findFunction(name);
  auto* function = binder ? dynamic_cast<KR::Function<T>*>(binder->getFunction()) : nullptr;
  if (function && function->object == object) registry->unregisterFunction(name);
}

// The scene a window's tree shows (its first owned scene), or null.
AE::ISceneNode* sceneOf(KR::UIWidget* root);
// The node at the path under the window's scene, or null.
AE::ISceneNode* sceneNodeAt(KR::UIWidget* root, const char* path);
// The marker of the node at the path, or null.
AE::Marker* markerAt(KR::UIWidget* root, const char* path, const char* marker);
// Sets the text node's text (a string-table key when the node localises).
void setNodeText(AE::ISceneNode* node, const std::string& text);
// The node's pivot point carried through its world transform.
void placeAtPivot(KR::UIWidget* widget, AE::ISceneNode* node);

// Starts "menu_sound" in the music group.
void playMenuMusic();

}  // namespace HOG
