#pragma once
// The credits state "AuthorsMovie": the authored credits window
// ("authors_ui", table "authors_wnd") plays its scene until its
// "changeState" button or a release of Esc returns to the main menu or to the
// game, as the opener set returnToMainMenu; once the scene has played to its
// end they return by themselves. Coming from the game it starts the menu
// music; going back to the game stops it. Main thread only.
#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

class AuthorsMovie : public IAppState, public KR::Singleton<AuthorsMovie>, public GameMessageListener {
 public:
  AuthorsMovie();
  ~AuthorsMovie() override;
  const char* getName() const override { return "AuthorsMovie"; }
  void update(float dt) override;
  void draw() override;
  void load() override;
  void unload() override;
  void onActivate() override;
  void onDeactivate() override;

  // Handler "changeState".
  void changeState();

  // Set by whoever opens the credits: true returns to "MainMenu", false to "Game".
  bool returnToMainMenu = false;
  KR::UIWidget* getRoot() const { return root; }
  bool isSceneLoaded() const { return sceneLoaded; }

 private:
  AE::ISceneNode* scene = nullptr;
  bool sceneLoaded = false;
  KR::UIWidget* root = nullptr;
  // Seconds since the scene played out.
  float finishedFor = 0.0f;
};

}  // namespace HOG
