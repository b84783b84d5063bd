#pragma once
// The main menu state "MainMenu". Until the front end's menu exists it is the
// showcase of what the engine can do (Right, Space and Left turn its pages)
// with P to start play (setState "Game").
#include <memory>

#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

class GameApplication;

namespace HOG {

class Showcase;

class MainMenu : public KR::Singleton<MainMenu>, public IAppState, public GameMessageListener {
 public:
  explicit MainMenu(GameApplication& application);
  ~MainMenu() override;
  const char* getName() const override { return "MainMenu"; }
  void update(float dt) override;
  void draw() override;
  void load() override;
  void unload() override;
  void onActivate() override;
  void onDeactivate() override;
  bool presentsOwnFrame() const override { return true; }

  Showcase* getShowcase() { return showcase.get(); }

 private:
  GameApplication& application;
  std::unique_ptr<Showcase> showcase;
};

}  // namespace HOG
