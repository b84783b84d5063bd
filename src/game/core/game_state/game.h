#pragma once
// The play state "Game": the hub of play. It owns the game's long-lived parts
// and runs them each frame in a fixed order (lock timer, tasks, input, blur,
// views, tasks again, on-screen messages, loading indicator, HUD, view
// effects, guides, music, trigger visualiser; the cut scene instead in its
// mode; then the autosave timer), draws them, saves on a timer and when play
// stops, and holds the lock that keeps input and deferred tasks out while
// something modal runs. Parts that later issues build are placeholder
// components (game_components.h) in their place and order.
//
// Main thread only, except the view-stack lock (recursive, outermost in the
// tree's lock order), which the view streamer takes while it reads the open
// views; the deferred tasks take it while they read the top view.
#include <pthread.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/app_state.h"
#include "core/game_state/countdown_timer.h"
#include "core/game_state/game_components.h"
#include "core/game_state/game_lua_state.h"
#include "core/game_state/game_message.h"
#include "core/game_state/game_task_manager.h"
#include "core/game_state/input_state.h"
#include "core/game_state/triggers/scene_node_state_list.h"
#include "core/game_state/ui_message_manager.h"
#include "core/game_state/views/view_effect.h"
#include "singleton.h"

namespace KR {
class Sprite;
}

namespace HOG {

class CutScene;
class GuideSequences;
class TriggerVisualizer;
class HOSItemDisapperenceEffectManager;
class Inventory;
class InventoryItemFactory;
class MusicPlayer;
class ViewRegistry;
class ViewStack;
class ViewStreamer;

// The frame's steps in their order, for observers (tests, tools).
enum class GameStep {
  EndOfGame,
  LockTimer,
  Tasks,
  Input,
  Blur,
  Views,
  TasksAgain,
  Messages,
  LoadingIndicator,
  Hud,
  ViewEffects,
  Guides,
  Music,
  TriggerVisualiser,
  CutScene,
  SavedCutScene,
  Autosave,
  MusicStart,
};

struct GeneralConfig {
  float closeupSystemScale = 1.0f;
  float inventoryPanelHeight = 150.0f;
  float globalTriggersScale = 1.0f;
  int32_t hosItemDissapearenceEffectQuality = 0;
};

class Game : public KR::Singleton<Game>, public IAppState, public GameMessageListener, public GameTaskHost {
 public:
  static constexpr float kAutosavePeriod = 60.0f;
  static constexpr float kBlurRate = 10.0f;
  // How far a location change zooms toward the passage taken: the camera's
  // zoom grows by this over a whole fade-out.
  static constexpr float kViewChangeZoom = 0.25f;

  Game();
  ~Game() override;

  // IAppState
  const char* getName() const override { return "Game"; }
  void update(float dt) override;
  void draw() override;
  void load() override;
  void unload() override;
  void onActivate() override;
  void onDeactivate() override;
  void saveProgress() override;

  void onMessage(const GameMessage* message) override;

  // GameTaskHost
  bool isLocked() const override;
  bool isTopViewActivated() override;

  // Locks the game for a time (view changes, Lua lock) or until released.
  void lockFor(float seconds) { lockTimer.remaining = seconds; }
  void setLocked(bool held) { lockTimer.held = held; }
  float getLockTimer() const { return lockTimer.remaining; }

  // Writes the saved game (the queued tasks run first); a failure is told to
  // the player with its reason (notifyPlayer) and false.
  bool saveGame();
  // False when there is no saved game or it is refused (the reason then in
  // refusal): play then starts a new game.
  bool restoreSavedGame(std::string* refusal = nullptr);
  // A message the player must read (a refused or failed save): shown in the
  // message band as soon as no other message is on it, so that the level
  // script's own messages do not hide it.
  void notifyPlayer(const std::string& text);
  const std::string& getPendingNotice() const { return pendingNotice; }
  // Closes the views, makes the Lua state anew and reloads what a new game reads.
  void resetForNewGame();
  // The end-of-game task sets this; the next update switches to "AuthorsMovie".
  void finishGame() { gameFinished = true; }

  void playCutScene();
  // The level script's cut scene over the top view (nothing without a top view with a scene).
  void startCutScene(const std::string& name, uint32_t value);
  // The loaded game's cut scene starts again once its view has activated.
  void requestSavedCutScene() { savedCutScenePending = true; }
  // The running (or last) cut scene's description and number, kept for saves.
  std::string savedCutSceneName;
  uint32_t savedCutSceneValue = 0;
  void onCutSceneFinished();
  // Ends a running cut scene at once, before the views' scenes it plays on go.
  void dropCutScene();

  // Parts.
  GameLuaState& getLuaState() { return luaState; }
  GameTaskManager& getTasks() { return tasks; }
  GameMessageDispatcher& getDispatcher() { return dispatcher; }
  // Built on first use when the application has not built it yet.
  UIMessageManager* getMessages();
  ViewFadeInEffect& getFadeIn() { return fadeIn; }
  ViewFadeOutEffect& getFadeOut() { return fadeOut; }
  const InputState& getFrameInput() const { return frameInput; }
  const GeneralConfig& getGeneralConfig() const { return generalConfig; }
  pthread_mutex_t* getViewStackLock() { return &viewStackLock; }

  // Locations, their streaming, the inventory and the music.
  ViewRegistry& getRegistry() { return *registry; }
  ViewStack& getViewStack() { return *viewStack; }
  ViewStreamer& getStreamer() { return *viewStreamer; }
  InventoryItemFactory& getItemFactory() { return *itemFactory; }
  Inventory& getInventory() { return *inventory; }
  MusicPlayer& getMusic() { return *musicPlayer; }
  SceneNodeStateList& getNodeStates() { return nodeStates; }
  // Adds seconds to the lock time (view changes, item triggers' delays).
  void addLockTime(float seconds) { lockTimer.remaining += seconds; }
  // Loads the descriptions when no view exists yet (play without autosave).
  void ensureViewsLoaded();

  // The placeholders' slots; a replacement is owned by the play state.
  IViewStack* getViews() { return views.get(); }
  // The HUD is built on first need (entering play at the latest): the launch
  // shows the logos without waiting for it.
  IHud* getHud();
  // The real view stack stays alive behind a stand-in (the streamer and the
  // triggers keep using it).
  void setViews(std::unique_ptr<IViewStack> replacement) {
    if (views.get() == realViews) retiredViews = std::move(views);
    views = std::move(replacement);
  }
  void setHud(std::unique_ptr<IHud> replacement) { hud = std::move(replacement); }
  void setMusic(std::unique_ptr<IGameComponent> replacement) {
    if (music.get() == realMusic) retiredMusic = std::move(music);
    music = std::move(replacement);
  }
  // The game's own visualiser stays alive (and on the bus) behind a stand-in.
  void setTriggerVisualiser(std::unique_ptr<IGameComponent> replacement) {
    if (triggerVisualiser.get() == realVisualiser) retiredVisualiser = std::move(triggerVisualiser);
    triggerVisualiser = std::move(replacement);
  }
  void setGuides(std::unique_ptr<IGameComponent> replacement) {
    realGuides = nullptr;
    guidesBuilt = true;
    guides = std::move(replacement);
  }
  // The game's own guide sequences (null once a stand-in replaced them);
  // built on first use when the application has not built them yet.
  GuideSequences* getGuides();

  // The parts play needs but the launch does not (the on-screen messages with
  // their font, the found items' effect, the guide sequences) are left out of the constructor, so the
  // first frame comes sooner. The application builds them one a frame while
  // the logos show; entering play, a new game and the getters build whatever
  // is still missing. One part per call; false when all are built.
  bool buildDeferredPart();
  void buildAllDeferredParts();
  void setCutScene(std::unique_ptr<ICutScene> replacement) { cutScene = std::move(replacement); }
  // The game's own cut scene (null once a stand-in replaced it).
  CutScene* getCutScene();

  // The running view fade's opacity (0 without a fade).
  float getFadeValue() const;
  // The brief window is up (the held item is not drawn then).
  bool briefWindowShown = false;

  int32_t getMode() const { return mode; }
  float getBlurAmount() const { return blurAmount; }
  float getAutosaveTimer() const { return autosaveTimer; }
  bool isAutosaveEnabled() const { return autosaveEnabled; }
  void setAutosaveEnabled(bool enabled) { autosaveEnabled = enabled; }
  int getSaveCount() const { return saveCount; }
  float getLoadingIndicatorAlpha() const { return loadingAlpha; }
  KR::Sprite* getDimSprite() const { return dimSprite; }
  // Writes a close-up's stencil mask.
  KR::Sprite* getMaskSprite() const { return maskSprite; }

  // Called before every step of the frame, when set.
  std::function<void(GameStep)> stepObserver;

  // Reads "general_config_xml" (package "default").
  static GeneralConfig readGeneralConfig();

 private:
  void step(GameStep s) {
    if (stepObserver) stepObserver(s);
  }
  void updatePlay(float dt);
  void updateLoadingIndicator(float dt);
  void updateAutosave(float dt);
  void sendSimple(uint32_t kind);

  int32_t mode = 0;
  std::unique_ptr<InventoryItemFactory> itemFactory;
  std::unique_ptr<ViewRegistry> registry;
  SceneNodeStateList nodeStates;
  GameLuaState luaState;
  std::unique_ptr<Inventory> inventory;
  std::unique_ptr<UIMessageManager> messages;
  std::unique_ptr<HOSItemDisapperenceEffectManager> foundItemEffect;
  std::unique_ptr<IGameComponent> streamer;
  std::unique_ptr<IHud> hud;
  std::unique_ptr<IGameComponent> music;
  std::unique_ptr<IViewStack> views;
  ViewStack* viewStack = nullptr;
  IViewStack* realViews = nullptr;  // viewStack, seen as the component
  std::unique_ptr<IViewStack> retiredViews;
  IGameComponent* realMusic = nullptr;  // musicPlayer, seen as the component
  std::unique_ptr<IGameComponent> retiredMusic;
  ViewStreamer* viewStreamer = nullptr;
  MusicPlayer* musicPlayer = nullptr;
  pthread_mutex_t viewStackLock;
  InputState frameInput;
  // The last left press went to the views: its release goes there too, also
  // over the HUD, so that a drag a puzzle took always ends.
  bool pressInViews = false;
  KR::Sprite* dimSprite = nullptr;
  KR::Sprite* maskSprite = nullptr;
  KR::Sprite* loadingIndicator = nullptr;
  float loadingAlpha = 0.0f;
  float loadingAngle = 0.0f;
  CountdownTimer lockTimer;
  GameTaskManager tasks;
  GameMessageDispatcher dispatcher;
  ViewFadeInEffect fadeIn;
  ViewFadeOutEffect fadeOut;
  ViewEffect* effects[2] = {&fadeIn, &fadeOut};
  std::unique_ptr<ICutScene> cutScene;
  CutScene* realCutScene = nullptr;
  TriggerVisualizer* visualizer = nullptr;   // owned through triggerVisualiser, or retired with it
  IGameComponent* realVisualiser = nullptr;  // cutScene until a stand-in replaces it
  bool savedCutScenePending = false;
  float autosaveTimer = 0.0f;
  float autosavePeriod = kAutosavePeriod;
  bool autosaveEnabled = true;
  bool gameFinished = false;
  float blurAmount = 0.0f;
  float blurTarget = 0.0f;
  GeneralConfig generalConfig;
  std::unique_ptr<IGameComponent> triggerVisualiser;
  std::unique_ptr<IGameComponent> guides;
  GuideSequences* realGuides = nullptr;  // guides until a stand-in replaces them
  bool guidesBuilt = false;
  int saveCount = 0;
  std::string pendingNotice;
  std::unique_ptr<IGameComponent> retiredVisualiser;
};

}  // namespace HOG
