#pragma once
// The game's application: the engine start-up through the Application base,
// then the game's own start-up (font, loading-screen scene, cursors, blur
// shaders, application states and singletons). Every frame goes to the
// current application state; while the engine runs a job the loading-screen
// scene is drawn instead. The cursor is drawn last, over everything.
#include "application.h"
#include "singleton.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class Font;
}
namespace HOG {
class GameCursorManager;
class ProfileSystem;
class Showcase;
}  // namespace HOG

class GameApplication : public Application, public KR::Singleton<GameApplication> {
 public:
  // The update step never advances by more than this.
  static constexpr float kMaxTimeStep = 0.1f;
  static float clampTimeStep(float dt) { return dt < kMaxTimeStep ? dt : kMaxTimeStep; }

  // How a run starts: on the logos (the game), on the engine showcase
  // ("--showcase"), or straight in play on the current profile ("--play").
  enum class LaunchMode { Game, Showcase, Play };
  static LaunchMode launchMode;

  GameApplication();
  ~GameApplication() override;

  void update() override;
  void render() override;
  void readSettings() override;
  void init() override;
  void shutdown() override;
  void updateWhileLoading() override;
  void renderWhileLoading() override;
  void onPostRender(float viewportScale) override;

  // Creates the game's singletons and registers the states (logo first, which
  // is activated at once).
  void initGame();
  // The showcase while it is the current state, else null.
  HOG::Showcase* getShowcase();
  AE::ISceneNode* getLoadingScreen() const { return loadingScreen; }

 private:
  // The frame time of this tick, clamped.
  float frameStep() const;

  AE::ISceneNode* loadingScreen = nullptr;
  KR::Font* gameFont = nullptr;
  // Frames presented so far: work left out of the launch waits for the first.
  uint32_t framesPresented = 0;
  HOG::ProfileSystem* profileSystem = nullptr;
};
