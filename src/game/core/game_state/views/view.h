#pragma once
// One location of the game: a background, an animated scene, the clickable
// triggers, an optional view extension and its pan/zoom state. Built from the
// view descriptions in a pool block (the registry owns it, its triggers and
// its extension), loaded and released by the view streamer's thread, shown by
// the play state's view stack.
//
// Threads: load and release run on the streamer's thread under the view's
// lock. Update and render try the lock and skip the frame's work for a busy
// view, so a load never stalls a frame. Input, take and drop run on the main
// thread and also try the lock (a busy view ignores them). Nothing of a view
// is touched while it is not loaded; every resource pointer is null then.
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/game_state/views/transformation_controller.h"
#include "core/game_state/views/variant_data_provider.h"
#include "core/game_state/views/view_description.h"
#include "matrix3.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class ParticleFX;
class Sprite;
class UIWidget;
}  // namespace KR

namespace HOG {

class IBaseAreaTrigger;
class IViewExtension;
class PictureKey;
struct InputState;

class View {
 public:
  static constexpr uint32_t kMaxNeighbours = 15;
  static constexpr size_t kMaxBacklights = 16;

  // A particle effect drawn over a trigger while the trigger can be used.
  struct Backlight {
    KR::ParticleFX* effect;
    IBaseAreaTrigger* trigger;
  };

  View();
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  void setDescription(const ViewDescription& description);
  void addTrigger(IBaseAreaTrigger* trigger) { triggers.push_back(trigger); }
  IBaseAreaTrigger* findTrigger(uint32_t triggerId) const;
  // False when the view holds its 15 neighbours already.
  bool addNeighbour(View* neighbour);

  // Streamer thread (and teardown): under the view's lock.
  void load();
  void release();

  void activate();
  void deactivate();
  void update(float dt);
  // 0 whole view, 1 back layer, 2 front layer. False when the streamer held
  // the view and nothing was drawn.
  bool render(int layer);
  // Adds to the key all that a whole-view render now draws from, and answers
  // whether that is all: false for a view that is not loaded, is activating,
  // is held by the streamer, or shows anything that changes without a change
  // of the key (an extension, its widget tree, backlights, a return flight,
  // particle or camera nodes, masks, the distortion pass, a localised text
  // not looked up yet).
  bool addStillPicture(PictureKey& key);
  // 0, 1 (handled) or 2 (a release over nothing).
  int32_t processInput(const InputState* input);
  void takeObject(IBaseAreaTrigger* trigger);
  void dropObject(bool immediate, IBaseAreaTrigger* trigger);
  void applyRenderTransform();
  void restoreRenderTransform();
  bool containsPoint(const KR::Vector2<float>& screenPoint) const;
  float getBaseScale() const;
  bool isCloseup() const { return type == 1; }
  // The trigger's rectangle holds the point (view coordinates; the border is outside).
  bool triggerContains(const IBaseAreaTrigger* trigger, const KR::Vector2<float>& point) const;
  bool isReturnFlightRunning() const { return flightRunning; }
  AE::ISceneNode* getTakenNode() const { return takenNode; }
  // The trigger's scene object is on the pointer or flying back to its place.
  bool isCarried(const IBaseAreaTrigger* trigger) const;

  // Main-thread work outside update and draw: false when the streamer holds the view.
  bool tryLock() { return pthread_mutex_trylock(&lock) == 0; }
  void unlock() { pthread_mutex_unlock(&lock); }

  std::vector<IBaseAreaTrigger*> triggers;
  uint32_t id = 0;
  std::atomic<bool> loaded{false};
  bool keepLoaded = false;  // streamer thread only
  View* neighbours[kMaxNeighbours] = {};
  uint32_t neighbourCount = 0;
  int32_t type = 0;
  IViewExtension* extension = nullptr;
  pthread_mutex_t lock;
  char name[kNameSize] = {};
  char backgroundFile[kNameSize] = {}, backgroundTable[kNameSize] = {};
  char sceneFile[kNameSize] = {};
  char uiFile[kNameSize] = {}, uiTable[kNameSize] = {};
  KR::Vector2<float> position, size;
  KR::Sprite* background = nullptr;
  AE::ISceneNode* scene = nullptr;
  // The view's own widget tree: a root of the UI manager that its drawing
  // pass skips (owner-drawn); the view draws it over its front layer.
  KR::UIWidget* ui = nullptr;
  // Up to kMaxBacklights, made at load (out of line: a view must fit its pool block).
  std::unique_ptr<Backlight[]> backlights;
  bool activationPending = false;
  bool activated = false;
  bool closeOnOutsideClick = false;
  bool doNotUnloadResources = false;
  int32_t lastInputResult = 0;
  AE::ISceneNode* takenNode = nullptr;
  IBaseAreaTrigger* dropTarget = nullptr;
  KR::Vector2<float> takenOrigin;
  float takenSaved[3] = {};
  VariantDataProvider<3, 4> state;
  float time = 0.0f;
  KR::Matrix3 transform, inverseTransform;
  float userScale = 1.0f;
  KR::Vector2<float> scrollOffset, dragOffset;
  float savedCamera[5] = {};
  KR::Vector2<float> clampedOffset, appliedScale;
  TransformationController controller;
  uint32_t visitCount = 0;
  uint32_t hintDepth = 0;
  uint32_t backlightCount = 0;

 private:
  void updateTransform();
  KR::Vector2<float> clampedPan() const;
  void applyTakenObject(const std::vector<IBaseAreaTrigger*>& candidates);
  void applyInventoryItem(IBaseAreaTrigger* winner, const std::vector<IBaseAreaTrigger*>& candidates);
  void startReturnFlight();
  void advanceReturnFlight(float dt);
  void finishReturnFlight();
  void disableDeadNode(IBaseAreaTrigger* trigger);
  void loadUI();
  void releaseUI();
  void updateUI();
  // The effect emits only while its trigger is enabled and alive.
  void advanceBacklight(const Backlight& backlight, float dt);

  // The return flight: five keys of "p" over 0.6, 0.4, 0.2, 0.15 s.
  KR::Vector2<float> flightKeys[5];
  float flightTime = 0.0f, flightSpeed = 1.0f;
  bool flightRunning = false;
};

}  // namespace HOG
