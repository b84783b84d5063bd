#pragma once
// A one-line text entry: the keys typed while it is on screen edit the text
// of its child label "caption" at a blinking caret "|" (letters and digits
// through the keyboard layout, as the platform reports what each press
// typed; Backspace, Delete, Left and Right), up to maxLength characters and
// optionally without punctuation. Enter queues the commands bound to its
// "textEntered" event.
//
//   edit = { id = "name", class = "UITextEdit", maxLength = 12, filterSpecialCharacters = 1,
//            fontPreset = "presets_lua:edit", childs = { ...background sprite... } }
//   events = { { element = "name", slot = "textEntered", command = "nameEntered" } }
#include <string>
#include <vector>

#include "ui/ui_widget.h"

namespace KR {

class UILabel;

class UITextEdit : public UIWidget {
 public:
  UITextEdit(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}
  // Deletes the commands (and drops any of their queued runs).
  ~UITextEdit() override;

  // "textEntered" binds the command (once per object); others delete it.
  void processEvent(const std::string& event, IFunction* function) override;
  // Key presses edit; a held press on the edit captures the pointer.
  int32_t processMessage(uint32_t event) override;
  int32_t getType() const override { return kUITextEditType; }
  // The caret.
  void drawAfterChildren() override;
  void onUpdate(float dt) override;
  // The common keys, then "maxLength" and "filterSpecialCharacters".
  void load(LuaScript& script) override;

  // The caption's text; empty without a caption.
  std::wstring getText();
  // Finds the caption and puts the caret after its text.
  void bindCaption();
  // Inserts one character at the caret when there is room (and it passes the
  // filter); false otherwise.
  bool insertCharacter(wchar_t character);

  std::vector<IFunction*> commands;
  UILabel* caption = nullptr;
  bool captionBound = false;
  uint32_t maxLength = 10;
  float blinkTime = 0.0f;
  uint32_t caret = 0;
  bool filterSpecialCharacters = false;

 private:
  void ensureCaption();
};

}  // namespace KR
