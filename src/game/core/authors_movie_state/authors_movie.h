#pragma once
// The credits state "AuthorsMovie". Until the front end's credits exist it
// passes on to "MainMenu" at its first update.
#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

namespace HOG {

class AuthorsMovie : public KR::Singleton<AuthorsMovie>, public IAppState, public GameMessageListener {
 public:
  AuthorsMovie() { KR::Singleton<AuthorsMovie>::setInstance(this); }
  const char* getName() const override { return "AuthorsMovie"; }
  void update(float) override {
    if (AppStateManager::exists()) AppStateManager::getInstance()->setState("MainMenu");
  }
  void draw() override {}
  void load() override {}
  void unload() override {}
  void onActivate() override {}
  void onDeactivate() override { openedFromGame = false; }

  // Set by the play state at the end of the game.
  bool openedFromGame = false;
};

}  // namespace HOG
