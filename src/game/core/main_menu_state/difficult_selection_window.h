#pragma once
// The difficulty window: two check boxes (casual, hard) that act as one radio
// choice and OK. In start-game mode OK stores the choice in the current
// profile and switches to "Game"; in settings mode it stores it and closes.
// The main menu owns one ("MMDiff"), each options window another ("OPDiff",
// "IGDiff"); its handlers are the name followed by "Hide" and "OK". Main
// thread only.
//
//   window.name = "MMDiff";
//   window.setUIFiles("selectdiff_ui", "selectdif_window");
//   window.load();
//   window.startGame = true;
//   window.show();
#include <cstdint>
#include <string>

namespace KR {
class UICheckBox;
class UIWidget;
}  // namespace KR

namespace HOG {

class DifficultSelectionWindow {
 public:
  DifficultSelectionWindow() = default;
  ~DifficultSelectionWindow();
  DifficultSelectionWindow(const DifficultSelectionWindow&) = delete;
  DifficultSelectionWindow& operator=(const DifficultSelectionWindow&) = delete;

  void setUIFiles(const std::string& file, const std::string& table);
  void load();
  void unload();
  // Opens on the stored difficulty (nothing without a current profile).
  void show();
  // Handler name + "Hide": closes without storing.
  void hide();
  // Handler name + "OK".
  void onOk();
  // The radio behaviour on a release of the left button pressed while the
  // window was open; per frame while shown.
  void update();

  KR::UIWidget* root = nullptr;
  KR::UICheckBox* hardButton = nullptr;
  KR::UICheckBox* casualButton = nullptr;
  uint8_t choice = 0;
  bool loaded = false;
  bool shown = false;
  bool startGame = true;
  std::string name;
  std::string uiFile, uiTable;

 private:
  void choose(uint8_t value);
  bool pressedWhileShown = false;
};

}  // namespace HOG
