#include "core/showcase/showcase_controls_page.h"

#include "fast_sprite.h"
#include "format_string.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "string_conversion.h"
#include "ui/ui_check_box.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_text_edit.h"

namespace HOG {

namespace {

const char* const kNameCommand = "controlsNameEntered";
const char* const kSaves[] = {"Autumn in the mill", "The lighthouse",  "Cellar, second try",
                              "Harbour at night",   "The clock tower", "Greenhouse"};

}  // namespace

ControlsShowcasePage::~ControlsShowcasePage() { release(); }

std::string ControlsShowcasePage::title() const {
  if (!screen) return "controls: scroll area, bars, check box, list, text edit, scene and particle widgets";
  auto* music = static_cast<KR::UICheckBox*>(screen->findDescendant("music"));
  auto* volume = static_cast<KR::UIProgressBar*>(screen->findDescendant("volume"));
  auto* saves = static_cast<KR::UIListView*>(screen->findDescendant("saves"));
  return KR::formatString(
      "controls: drag, fling or wheel the options; volume %d%%, music %s, line %d selected; "
      "type a name and press Enter",
      int(volume->value * 100.0f + 0.5f), music->ticked ? "on" : "off", saves->selected + 1);
}

bool ControlsShowcasePage::load() {
  if (screen) return true;
  if (!KR::UIManager::exists() || !KR::UIFontManager::exists() || !KR::SpriteManager<KR::FastSprite>::exists() ||
      !KR::SpriteManager<KR::Sprite>::exists() || !KR::RenderSystem::exists() ||
      !KR::LexBindedFunctionManager::exists())
    return false;
  KR::LexBindedFunctionManager* registry = KR::LexBindedFunctionManager::getInstance();
  if (!registry->findFunction(kNameCommand)) {
    registry->registerFunction(
        kNameCommand, new KR::LexBinder1<std::string, ControlsShowcasePage>(this, &ControlsShowcasePage::nameEntered));
    commandRegistered = true;
  }
  screen = KR::UIManager::getInstance()->loadUI("ui_controls_lua", "controls_demo", nullptr, "default");
  if (!screen) return false;
  auto* saves = static_cast<KR::UIListView*>(screen->findDescendant("saves"));
  for (const char* line : kSaves) saves->addLine()->setText(line);
  saves->selected = 0;
  screen->show();
  return true;
}

void ControlsShowcasePage::nameEntered(std::string) {
  if (!screen) return;
  auto* edit = static_cast<KR::UITextEdit*>(screen->findDescendant("name"));
  auto* greeting = static_cast<KR::UILabel*>(screen->findDescendant("greeting"));
  const std::wstring name = edit->getText();
  greeting->setText(name.empty() ? std::string() : "Hello, " + KR::toNarrowString(name) + "!");
}

void ControlsShowcasePage::release() {
  if (KR::UIManager::exists() && screen) KR::UIManager::getInstance()->destroyUI(screen);
  screen = nullptr;
  if (commandRegistered && KR::LexBindedFunctionManager::exists())
    KR::LexBindedFunctionManager::getInstance()->unregisterFunction(kNameCommand);
  commandRegistered = false;
}

void ControlsShowcasePage::leave() { release(); }

void ControlsShowcasePage::draw() {
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->render();
}

void ControlsShowcasePage::render(GameApplication& application) {
  presentPage(application, load(), [this] { draw(); });
}

}  // namespace HOG
