#pragma once
// A widget that turns a press and a release on itself into a click: the
// commands bound to its "clicked" event are queued for the controller to run
// after routing, and the click sound plays. Its look comes from its children
// (sprites, the caption) and its states ("onSelect", "onPress", ...).
#include <vector>

#include "ui/ui_widget.h"

namespace KR {

class UIButton : public UIWidget {
 public:
  UIButton(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}
  // Deletes the commands (and drops any of their queued runs).
  ~UIButton() override;

  // "clicked" binds the command (once per object); other events delete it.
  void processEvent(const std::string& event, IFunction* function) override;
  // 1 when the event was taken (press, held or release; kind 9 clicks at once).
  int32_t processMessage(uint32_t event) override;
  int32_t getType() const override { return kUIButtonType; }

  // Queues the commands and plays the click sound.
  void click();

  std::vector<IFunction*> commands;
};

}  // namespace KR
