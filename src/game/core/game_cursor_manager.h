#pragma once
// The game's cursor manager. The cursors themselves join it with the game
// core; the window procedure already clears its flag on every cursor message.
#include <cstdint>

#include "singleton.h"

namespace HOG {

class GameCursorManager : public KR::Singleton<GameCursorManager> {
 public:
  GameCursorManager() { setInstance(this); }

  // 1 while the system cursor is in use.
  uint8_t windowCursorInUse = 0;
};

}  // namespace HOG
