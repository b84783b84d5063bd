#pragma once
// The logo state, the first state of a run: it shows the game's title on
// black for a moment (a key or a click cuts it short) and passes on to
// "MainMenu". The logos themselves arrive with the front end.
#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

namespace HOG {

class LogoGameState : public KR::Singleton<LogoGameState>, public IAppState, public GameMessageListener {
 public:
  static constexpr float kShowTime = 1.0f;

  LogoGameState();
  ~LogoGameState() override;
  const char* getName() const override { return "LogoGameState"; }
  void update(float dt) override;
  void draw() override;
  void load() override {}
  void unload() override {}
  void onActivate() override { shownTime = 0.0f; }
  void onDeactivate() override {}

  float getShownTime() const { return shownTime; }

 private:
  float shownTime = 0.0f;
};

}  // namespace HOG
