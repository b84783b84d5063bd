#pragma once
// The window that asks for a player name and creates a profile with it. The
// main menu owns two: one opened from the profile list (its list set, so the
// new profile is selected there) and one opened on the first run, offering
// "Player". An empty name shows "empty_name" and keeps the window open; a
// refused one "name_exist". Either way the list file is written at once. Handlers: the configured OK name and
// "closeClick" (the first window loaded keeps that name). Main thread only.
#include <string>

namespace KR {
class UIListView;
class UITextEdit;
class UIWidget;
}  // namespace KR

namespace HOG {

class MainMenu;

class EnterProfileNameWindow {
 public:
  EnterProfileNameWindow() = default;
  ~EnterProfileNameWindow();
  EnterProfileNameWindow(const EnterProfileNameWindow&) = delete;
  EnterProfileNameWindow& operator=(const EnterProfileNameWindow&) = delete;

  void setUIFiles(const std::string& file, const std::string& table, const std::string& ok);
  void load();
  // Destroys the tree and unbinds the handlers; the window can load again.
  void unload();
  void show();
  // Handler "closeClick".
  void close();
  // Handler named by the configuration.
  void onOk();
  // The list's selected profile becomes current, is written and applied.
  void selectFromList();

  std::wstring name;
  KR::UIWidget* root = nullptr;
  KR::UITextEdit* textEdit = nullptr;
  bool loaded = false;
  std::string uiFile, uiTable, okAction;
  bool shown = false;
  MainMenu* menu = nullptr;
  KR::UIListView* userList = nullptr;
};

}  // namespace HOG
