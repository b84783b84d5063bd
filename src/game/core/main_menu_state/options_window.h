#pragma once
// The options window, as far as play needs it: built from a UI file and
// table, shown from the pause menu and hidden again by its "Hide" command.
// Main thread only.
//
//   window.setUIFiles("ingame_options_ui", "OptionsWindow");
//   window.load("IGOptions");
//   window.show();
#include <string>

namespace KR {
class UIWidget;
}

namespace HOG {

class OptionsWindow {
 public:
  OptionsWindow() = default;
  ~OptionsWindow();
  OptionsWindow(const OptionsWindow&) = delete;
  OptionsWindow& operator=(const OptionsWindow&) = delete;

  void setUIFiles(const std::string& file, const std::string& table);
  // Builds the window under the name; binds "Hide" while it loads.
  void load(const std::string& name);
  void unload();
  void show();
  void hide();
  void update(float) {}
  bool isShown() const;

  bool loaded = false;
  // Set by the main menu when it opens the window; the pause menu clears it.
  bool openedFromMainMenu = false;
  KR::UIWidget* widget = nullptr;
  std::string uiFile, uiTable, name;
};

}  // namespace HOG
