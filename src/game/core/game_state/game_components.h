#pragma once
// What the play state asks of the parts of play that arrive later (views and
// their stack, view streamer, HUD, inventory, music, trigger visualiser, cut
// scene, guide sequences). Each is a component with an update and a draw; the
// play state keeps one of each in its place in the frame order, and today's
// placeholders do nothing. A component is owned by the play state.
#include <string>

#include "core/game_state/input_state.h"

namespace HOG {

class IGameComponent {
 public:
  virtual ~IGameComponent() = default;
  virtual void update(float) {}
  virtual void draw() {}
  // Starting and stopping play (music, streamer, notebook, ...).
  virtual void start() {}
  virtual void stop() {}
};

// The open views: the top one is the active view. The play state's view-stack
// lock is held while the task manager reads isTopViewActivated.
class IViewStack : public IGameComponent {
 public:
  virtual bool hasTopView() const { return false; }
  // The top view has finished its activation (true without a top view).
  virtual bool isTopViewActivated() const { return true; }
  // Its resources have streamed in (the loading indicator fades out).
  virtual bool isTopViewLoaded() const { return true; }
  // A close-up view is among the visible ones: the background blurs.
  virtual bool hasVisibleCloseup() const { return false; }
  virtual void processInput(const InputState&) {}
  virtual void openView(const std::string&) {}
  virtual void closeAllViews() {}
  // Draws the visible views; blurBackground runs once the views beneath the
  // lowest close-up are drawn.
  virtual void drawViews() {}
};

// The in-game HUD: it gets the frame's input first.
class IHud : public IGameComponent {
 public:
  // True when the HUD took the event (no view sees it then).
  virtual bool processInput(const InputState&) { return false; }
  // The cursor the HUD or the trigger under the mouse asks for.
  virtual int requestedCursor() const { return 0; }
  virtual bool isPauseMenuUp() const { return false; }
  // Hides the HUD's widgets and panel while a dialogue runs.
  virtual void setHudVisible(bool) {}
};

// The cut scene: full-screen, its own input.
class ICutScene : public IGameComponent {
 public:
  virtual bool isActive() const { return false; }
  virtual void processInput(const InputState&) {}
};

}  // namespace HOG
