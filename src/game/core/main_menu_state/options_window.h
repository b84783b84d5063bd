#pragma once
// The options window: music, sound and ambient volume bars, "Diff" (the
// difficulty window in its settings mode), "Authors" (the credits) and "Hide"
// (writes the profile's options file and closes). The bars edit the current
// profile's volumes as they move and apply them at once, with a test sound at
// most once a second for the sound and ambient bars. One class for both
// owners: the main menu's "MMOptions" and the pause menu's "IGOptions"; the
// handlers are the name followed by "Hide", "Authors" and "Diff". Main thread
// only.
//
//   window.setUIFiles("ingame_options_ui", "OptionsWindow");
//   window.name = "IGOptions";
//   window.load();
//   window.openedFromMainMenu = false;
//   window.show();
#include <cstdint>
#include <memory>
#include <string>

namespace AE {
class Marker;
}
namespace KR {
class UIProgressBar;
class UIWidget;
}  // namespace KR

namespace HOG {

class DifficultSelectionWindow;
struct PlayerProfile;

class OptionsWindow {
 public:
  OptionsWindow();
  ~OptionsWindow();
  OptionsWindow(const OptionsWindow&) = delete;
  OptionsWindow& operator=(const OptionsWindow&) = delete;

  void setUIFiles(const std::string& file, const std::string& table);
  void load();
  void unload();
  // Takes the current profile and puts its volumes on the bars.
  void syncWithProfile();
  // The owner's opening: sync, then the show animation from hidden.
  void show();
  // Closes without writing (the owner's own closing).
  void hide();
  void update(float dt);
  bool isShown() const;

  void onHide();
  void onAuthors();
  void onDiff();

  KR::UIWidget* root = nullptr;
  KR::UIProgressBar* musicBar = nullptr;
  AE::Marker* musicMarker = nullptr;
  KR::UIProgressBar* soundsBar = nullptr;
  AE::Marker* soundMarker = nullptr;
  KR::UIProgressBar* ambientBar = nullptr;
  AE::Marker* ambientMarker = nullptr;
  KR::UIWidget* blackQuad = nullptr;
  std::string uiFile, uiTable;
  bool loaded = false;
  bool openedFromMainMenu = false;
  PlayerProfile* profile = nullptr;
  std::unique_ptr<DifficultSelectionWindow> difficultyWindow;
  std::string name;
  uint32_t soundTestId = 0;
  uint32_t ambientTestId = 0;
  float testSoundTimer = 0.0f;

 private:
  bool bound = false;
};

}  // namespace HOG
