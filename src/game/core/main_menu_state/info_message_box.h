#pragma once
// The main menu's one-button message box ("info_message_ui", table
// "InfoMessageBox"): a text node "/root_group/text" showing a string-table
// key's text, with a detail after it when there is one (a file and a reason),
// and OK ("infoMessageBox_btnOkClicked"), which closes it and sets closed.
// Owned by the main menu; main thread only.
//
//   box.showMessage("empty_name");
//   box.showMessage("options_damaged", "profile3.opt: it is damaged");
//   ... box.closed once the player pressed OK
#include <string>

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

class InfoMessageBox {
 public:
  // Binds its OK handler at once (for the life of the process's registry).
  InfoMessageBox();
  ~InfoMessageBox();
  InfoMessageBox(const InfoMessageBox&) = delete;
  InfoMessageBox& operator=(const InfoMessageBox&) = delete;

  void load();
  void destroyTree();
  void onOk();
  // Text, closed cleared, shown at once; a second message replaces the first.
  void showMessage(const std::string& key, const std::string& detail = std::string());

  KR::UIWidget* root = nullptr;
  AE::ISceneNode* textNode = nullptr;
  bool closed = false;
};

}  // namespace HOG
