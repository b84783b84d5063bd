#pragma once
// The inventory panel while a hidden-object scene is active: the names of the
// things still to find in a fixed row of text slots, one line per group with
// " x%i" while it holds more than one, the scene's caption with the count
// left. A line whose last thing is found fades out over 0.5 s and the next
// waiting name fades into its slot. A line whose things are all off the
// screen (design space, whatever the window's size) is drawn at 0.4 of its
// alpha. Main thread only; owned by the panel.
//
// Config section "Behaviour": "UIElement" (its children named "item..." are
// the slots, its child "Count" the caption), "UIItemSlotText",
// "canDisappear", "luminousColor", "regularColor".
#include <string>
#include <vector>

#include "color.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"

namespace HOG {

class HOSItemTrigger;
class View;

class HOSPanelBehaviour : public InventoryPanelBehaviour {
 public:
  static constexpr float kFadeTime = 0.5f;

  struct Entry {
    std::wstring name;
    int32_t state = 3;  // 1 found, 2 not yet findable, 3 findable
    int slot = -1;
    float fadeOut = -1.0f, fadeIn = -1.0f;  // clocks of the running fades, -1 idle
    std::vector<HOSItemTrigger*> objects;
  };

  using InventoryPanelBehaviour::InventoryPanelBehaviour;

  void loadConfig(const std::string& fileName) override;
  void parseConfig(KR::XmlDataReader& reader);
  void update(float dt) override;
  void activate() override;
  void deactivate() override;
  const char* getClassName() const override { return "HOSPanelBehaviour"; }
  void onMessage(const GameMessage* message) override;

  // Builds the lines from the triggers (the active view's, or the given ones in tests).
  void buildEntries(const std::vector<HOSItemTrigger*>& triggers);
  void assignSlots();
  // The line's text: the name and " x%i" for more than one object.
  std::wstring lineText(const Entry& entry) const;
  // The thing is findable and its scene node's bounds touch the design screen
  // (0, 0)-(W, H), edges included, through the view's pan and zoom (a thing
  // without a node of its own counts as seen).
  bool objectOnScreen(const HOSItemTrigger* trigger) const;

  KR::UIWidget* element = nullptr;
  KR::UIWidget* countLabel = nullptr;
  std::vector<KR::UIWidget*> slotWidgets;
  std::string slotTextName;
  KR::Color luminousColor = KR::Color::fromARGB(0xFFFFFF80u), regularColor = KR::Color::fromARGB(0xFFFFFFFFu);
  bool canDisappear = false;
  std::vector<Entry> entries;
  // The hidden-object view whose scene holds the listed things (null outside one).
  View* sceneView = nullptr;

 private:
  void refreshText(Entry& entry);
  // Lines at rest: luminous when nothing is findable, faint when all is off screen.
  void refreshColours();
  // Adds the active scene's new lines and gives waiting ones free slots.
  void rebuildFromActiveView();
  void showCaption();
};

}  // namespace HOG
