#include "core/main_menu_state/options_window.h"

#include "lex_binded_function_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

OptionsWindow::~OptionsWindow() { unload(); }

void OptionsWindow::setUIFiles(const std::string& file, const std::string& table) {
  uiFile = file;
  uiTable = table;
}

void OptionsWindow::load(const std::string& windowName) {
  if (loaded || !KR::UIManager::exists() || uiFile.empty()) return;
  name = windowName;
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands) commands->registerFunction("Hide", new KR::LexBinder<OptionsWindow>(this, &OptionsWindow::hide));
  widget = KR::UIManager::getInstance()->loadUI(uiFile, uiTable, nullptr, "default");
  if (commands) commands->unregisterFunction("Hide");
  if (!widget) return;
  widget->hideForcibly();
  loaded = true;
}

void OptionsWindow::unload() {
  if (!loaded) return;
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(widget);
  widget = nullptr;
  loaded = false;
}

void OptionsWindow::show() {
  if (!widget) return;
  widget->hideForcibly();
  widget->show();
}

void OptionsWindow::hide() {
  if (widget) widget->hide();
}

bool OptionsWindow::isShown() const { return widget && widget->shown; }

}  // namespace HOG
