#pragma once
// The strip along the bottom of the play screen. It slides between a hidden
// and a shown position (a slide reversed halfway goes on from the mirrored
// point), comes out when the cursor nears it, hides itself when idle, can be
// locked away by the script, and hosts one of its behaviours, which decides
// what the strip shows: the held items ("ObjectsListPanelBehaviour"), what
// to find in a hidden-object scene ("HOSPanelBehaviour") or a minigame's
// brief ("BriefPanelBehaviour"); kind 14 switches between them.
// Owned by the HUD; main thread only; a listener on the play state's bus.
//
// Config "inventory_panel_config_xml" (package "default"), section
// "InventoryPanelConfig": "UIfilename", "UItable", "position",
// "hiddenPosition", "animationTime", "disappearTime", "appearCursorYPos",
// "UIBackElement", "Behaviours" (entries "config", "class"). While the panel
// lives, the commands "showBriefWindow" and "closeBriefWindow" open and close
// the brief behaviour's window.
#include <memory>
#include <string>

#include "core/game_state/game_message.h"
#include "vector2.h"

namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

class BriefPanelBehaviour;
class InventoryPanelUI;
struct InputState;

class InventoryPanelBehaviour : public GameMessageListener {
 public:
  explicit InventoryPanelBehaviour(InventoryPanelUI* panel) : panel(panel) {}
  virtual void loadConfig(const std::string& fileName) = 0;
  virtual void update(float) {}
  virtual void activate() = 0;
  virtual void deactivate() = 0;
  virtual void draw() {}
  virtual void drawUnderPanel() {}
  virtual int32_t processInput(const InputState&) { return 0; }
  virtual const char* getClassName() const = 0;
  virtual void setContentVisible(bool) {}

 protected:
  // Hides a behaviour's element when another takes the panel, and makes it invisible: the UI
  // manager still routes the pointer into a hidden subtree of the shown panel, and a hover
  // there would put it back into its idle, shown state.
  static void hideElement(KR::UIWidget* element);

  InventoryPanelUI* panel;
};

class InventoryPanelUI : public GameMessageListener {
 public:
  static constexpr int kBehaviours = 3;

  InventoryPanelUI();
  ~InventoryPanelUI() override;

  void loadConfig();
  // Reads the section under the reader's cursor (the file's root).
  void parseConfig(KR::XmlDataReader& reader);
  void show();
  void setShown(bool show);
  void setLocked(bool lock);
  InventoryPanelBehaviour* findBehaviour(const char* className) const;
  void switchTo(InventoryPanelBehaviour* behaviour);
  // The commands "showBriefWindow" and "closeBriefWindow": the brief behaviour's window.
  void showBriefWindow();
  void closeBriefWindow();
  bool handleInput(const InputState& input);
  void update(float dt);
  void draw();
  void onMessage(const GameMessage* message) override;
  // The root's position now (sliding or at rest).
  KR::Vector2<float> currentPosition() const;
  bool isSliding() const { return appearRunning || disappearRunning; }

  KR::UIWidget* root = nullptr;
  KR::UIWidget* backElement = nullptr;
  bool shown = false;
  bool autoHide = false;
  bool cursorOver = false;
  float animationTime = 0.3f;
  float disappearTime = 3.0f;
  float appearCursorYPos = 0.0f;
  bool locked = false;
  std::unique_ptr<InventoryPanelBehaviour> behaviours[kBehaviours];
  InventoryPanelBehaviour* activeBehaviour = nullptr;
  KR::UIWidget* currentElement = nullptr;
  float idleTime = 0.0f;
  // The two slides: their clocks and whether they run.
  float appearClock = 0.0f, disappearClock = 0.0f;
  bool appearRunning = false, disappearRunning = false;
  KR::Vector2<float> shownPosition, hiddenPosition;

 private:
  void applyPosition();
  BriefPanelBehaviour* briefBehaviour() const;

  bool commandsBound = false;
  // The left button went down while the brief window was open and is not up yet.
  bool pressOnBriefWindow = false;
};

}  // namespace HOG
