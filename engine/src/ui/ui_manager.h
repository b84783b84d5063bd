#pragma once
// The UI manager. Widgets, the controller and Lua-described screens join it
// with their own subsystem; the engine frame already creates, ticks and
// deletes it.
#include "singleton.h"

namespace KR {

class UIManager : public Singleton<UIManager> {
 public:
  UIManager();
  ~UIManager() override;

  // Once per tick while no job runs and no video plays, before the game's update.
  void update();
};

}  // namespace KR
