#pragma once
// The game's application: the engine start-up through the Application base,
// then the game's own singletons and, for now, the showcase of what the
// engine can do.
#include <memory>

#include "application.h"
#include "singleton.h"

namespace HOG {
class GameCursorManager;
class ProfileSystem;
class Showcase;
}  // namespace HOG

class GameApplication : public Application, public KR::Singleton<GameApplication> {
 public:
  // The update step never advances by more than this.
  static constexpr float kMaxTimeStep = 0.1f;

  GameApplication();
  ~GameApplication() override;

  void update() override;
  void render() override;
  void init() override;
  void shutdown() override;
  void updateWhileLoading() override;
  void renderWhileLoading() override;
  void onPostRender(float viewportScale) override;

  HOG::Showcase* getShowcase() { return showcase.get(); }

 private:
  std::unique_ptr<HOG::Showcase> showcase;
  HOG::GameCursorManager* cursorManager = nullptr;
  HOG::ProfileSystem* profileSystem = nullptr;
};
