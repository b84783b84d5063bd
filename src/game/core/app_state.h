#pragma once
// The game's application states (logo, main menu, play, credits) and the
// manager that switches between them by name. Every state loads on the main
// thread when it is activated, so the frame that switches blocks until the new
// state is loaded. The manager owns the registered states and deletes them at
// shutdown. Main thread only; no locks.
//
//   auto* states = new HOG::AppStateManager();
//   states->registerState(new LogoGameState());  // the first one is activated at once
//   states->registerState(new MainMenu());
//   states->setState("MainMenu");                // also the bound command "setState"
#include <string>
#include <vector>

#include "singleton.h"

namespace HOG {

class IAppState {
 public:
  virtual const char* getName() const = 0;
  virtual ~IAppState() = default;
  virtual void update(float dt) = 0;
  virtual void draw() = 0;
  virtual void load() = 0;
  virtual void unload() = 0;
  virtual void onActivate() = 0;
  virtual void onDeactivate() = 0;
  // Saves the game's progress; only the play state has any.
  virtual void saveProgress() {}
  // True for a state whose draw ends the frame itself (the showcase menu);
  // the application then adds neither the frame's end nor the present.
  virtual bool presentsOwnFrame() const { return false; }

  // Loads the state unless it is loaded, then starts it.
  void activate();
  // load, loaded, onActivate and the log line.
  void loadingThreadFunc();

  bool loaded = false;
};

class AppStateManager : public KR::Singleton<AppStateManager> {
 public:
  // Binds "setState" in the bound-function registry when it exists.
  AppStateManager();
  ~AppStateManager() override;

  // The first state registered becomes current and is activated before it is stored.
  void registerState(IAppState* state);
  IAppState* findState(const char* name) const;
  // Leaves the current state (onDeactivate, unload) and activates the named
  // one; the current state's own name only runs its onActivate again. An
  // unknown name changes nothing.
  void setState(std::string name);
  // Stops the current state and deletes every registered state.
  void shutdown();

  IAppState* getCurrentState() const { return current; }
  // The state the last switch left (read during the next state's activation)
  // and the state a switch goes to (read during the old state's deactivation).
  IAppState* getPreviousState() const { return previous; }
  IAppState* getNextState() const { return next; }
  const std::vector<IAppState*>& getStates() const { return states; }

 private:
  std::vector<IAppState*> states;
  IAppState* current = nullptr;
  IAppState* previous = nullptr;
  IAppState* next = nullptr;
  bool bound = false;
};

}  // namespace HOG
