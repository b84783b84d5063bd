#pragma once
// The profile list window ("user_dialog_ui", table "UserDialog"): every
// profile on a line (its name as typed), the current one selected and
// scrolled into view; Create opens the name window (refused with
// "too_many_profiles" at 10), Delete asks, naming the player
// ("confirm_delete_ui", "conf_delete" with %s for the name), and removes the
// selected profile with its files (refused with "profile_cant_be_removed" for
// the last one), OK makes the selected profile current, Exit leaves it. Its
// handler names are bound when it is made. Owned by the main menu; main
// thread only.
namespace AE {
class Marker;
}
namespace KR {
class UIListView;
class UIProgressBar;
class UIWidget;
}  // namespace KR

namespace HOG {

class UserDialog {
 public:
  UserDialog();
  ~UserDialog();
  UserDialog(const UserDialog&) = delete;
  UserDialog& operator=(const UserDialog&) = delete;

  void load();
  void destroyTrees();
  void update();
  void refreshList();
  // Scrolls the list the least that shows the selected line whole.
  void scrollToSelected();
  // The selected line's profile becomes current, is written and applied.
  void selectProfile();

  void onCreate();
  void onDelete();
  void onOk();
  void onExit();
  void onConfirmDelete();
  void onConfirmDeleteCancel();

  KR::UIWidget* root = nullptr;
  KR::UIWidget* confirmDeleteDialog = nullptr;
  KR::UIListView* userList = nullptr;
  KR::UIProgressBar* scrollBar = nullptr;
  AE::Marker* scrollMarker = nullptr;
};

}  // namespace HOG
