#include "core/showcase/showcase_scene_lists_page.h"

#include "animationeditor/text_scene_node.h"
#include "fast_sprite.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"

namespace HOG {

SceneListsShowcasePage::~SceneListsShowcasePage() { release(); }

std::string SceneListsShowcasePage::title() const {
  return "scene lists: drag, fling, wheel or thumb the strip; the book turns by drag, buttons and dots; clicked: " +
         (lastClick.empty() ? std::string("nothing yet") : lastClick);
}

void SceneListsShowcasePage::onItemButtonClicked(KR::UISceneListItem* item, const std::string& element) {
  lastClick = item->name + " (" + element + ")";
}

void SceneListsShowcasePage::prepare(KR::UISceneList* list) {
  if (!list) return;
  for (KR::UISceneListItem* item : list->items) {
    item->listeners.push_back(this);
    KR::UISceneListItem::Element* label = item->findElement("label");
    if (!label || label->kind != KR::UISceneListItem::kTextElement) continue;
    auto* text = static_cast<KR::UISceneListItem::TElement<AE::TextSceneNode>*>(label)->typedNode();
    if (text) text->setText(item->name);
  }
}

bool SceneListsShowcasePage::load() {
  if (screen) return true;
  if (!KR::UIManager::exists() || !KR::UIFontManager::exists() || !KR::SpriteManager<KR::FastSprite>::exists() ||
      !KR::SpriteManager<KR::Sprite>::exists() || !KR::RenderSystem::exists())
    return false;
  screen = KR::UIManager::getInstance()->loadUI("ui_scene_lists_lua", "scene_lists_demo", nullptr, "default");
  if (!screen) return false;
  KR::UIWidget* found = screen->findDescendant("strip");
  strip = found && found->getType() == KR::kUISceneListType ? static_cast<KR::UISceneList*>(found) : nullptr;
  found = screen->findDescendant("book");
  book = found && found->getType() == KR::kUISceneListType ? static_cast<KR::UISceneList*>(found) : nullptr;
  prepare(strip);
  prepare(book);
  screen->show();
  return true;
}

void SceneListsShowcasePage::release() {
  if (KR::UIManager::exists() && screen) KR::UIManager::getInstance()->destroyUI(screen);
  screen = nullptr;
  strip = book = nullptr;
}

void SceneListsShowcasePage::leave() { release(); }

void SceneListsShowcasePage::draw() {
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->render();
}

void SceneListsShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
