#include "core/main_menu_state/front_end_support.h"

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "sound_system/sound_descriptor.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_widget.h"

namespace HOG {

AE::ISceneNode* sceneOf(KR::UIWidget* root) { return root ? KR::findOwnedScene(root) : nullptr; }

AE::ISceneNode* sceneNodeAt(KR::UIWidget* root, const char* path) {
  AE::ISceneNode* scene = sceneOf(root);
  return scene ? scene->findByPath(path) : nullptr;
}

AE::Marker* markerAt(KR::UIWidget* root, const char* path, const char* marker) {
  AE::ISceneNode* node = sceneNodeAt(root, path);
  return node ? node->getMarker(marker) : nullptr;
}

void setNodeText(AE::ISceneNode* node, const std::string& text) {
  if (auto* label = dynamic_cast<AE::TextSceneNode*>(node)) label->setText(text);
}

void placeAtPivot(KR::UIWidget* widget, AE::ISceneNode* node) {
  if (!widget || !node) return;
  KR::Vector2<float> at = node->getWorldPivot();
  if (widget->parent) {
    const KR::Vector2<float> parent = widget->parent->getAbsolutePosition();
    at = KR::Vector2<float>(at.x - parent.x, at.y - parent.y);
  }
  widget->position = at;
}

void playMenuMusic() {
  if (!KR::SoundManager::exists()) return;
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  KR::SoundDescriptor music;
  music.name = "menu_sound";
  music.group = KR::kSoundGroupMusic;
  music.volume = 1.0f;
  music.loop = true;
  music.priority = 0;
  uint32_t id = sounds->acquireSoundId(music.name);
  if (!id) id = sounds->loadSound(music);
  sounds->playSound(id);
}

}  // namespace HOG
