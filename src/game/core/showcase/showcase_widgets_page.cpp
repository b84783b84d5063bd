#include "core/showcase/showcase_widgets_page.h"

#include <algorithm>

#include "fast_sprite.h"
#include "format_string.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

const char* const kKindNames[] = {"none",     "left pressed", "left held",     "left released", "key pressed",
                                  "key held", "key released", "wheel forward", "wheel back"};

}  // namespace

std::string describeInputEvent(uint32_t event) {
  const uint32_t kind = KR::uiEventKind(event);
  const char* name = kind < sizeof(kKindNames) / sizeof(kKindNames[0]) ? kKindNames[kind] : "other";
  if (KR::isKeyEvent(event)) return KR::formatString("%s 0x%02X", name, unsigned(KR::uiEventKey(event)));
  return name;
}

WidgetsShowcasePage::~WidgetsShowcasePage() { release(); }

std::string WidgetsShowcasePage::title() const {
  std::string text = "widgets from Lua tables; event: ";
  if (screen && KR::UIManager::exists()) {
    auto* controller = static_cast<KR::UIPCController*>(KR::UIManager::getInstance()->getController());
    text += describeInputEvent(controller->lastEvent);
    if (controller->taken) text += " (taken)";
  } else {
    text += "none";
  }
  return text;
}

bool WidgetsShowcasePage::load() {
  if (screen) return true;
  if (!KR::UIManager::exists() || !KR::UIFontManager::exists() || !KR::SpriteManager<KR::FastSprite>::exists() ||
      !KR::RenderSystem::exists())
    return false;
  KR::UIManager* manager = KR::UIManager::getInstance();
  const std::vector<KR::UIWidget*> before = manager->getRoots();
  screen = manager->loadUI("ui_demo_lua", "widgets_demo", nullptr, "default");
  for (KR::UIWidget* root : manager->getRoots()) {
    if (std::find(before.begin(), before.end(), root) == before.end()) roots.push_back(root);
    if (root->name == "dialog") dialog = root;
  }
  if (screen) screen->show();
  return screen != nullptr;
}

void WidgetsShowcasePage::release() {
  if (KR::UIManager::exists()) {
    for (KR::UIWidget* root : roots) KR::UIManager::getInstance()->destroyUI(root);
  }
  roots.clear();
  screen = nullptr;
  dialog = nullptr;
}

void WidgetsShowcasePage::leave() { release(); }

void WidgetsShowcasePage::draw() {
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->render();
}

void WidgetsShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
