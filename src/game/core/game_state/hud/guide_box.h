#pragma once
// Guide sequences: ordered steps, each a short text in a box beside the place
// the player should use, optionally with an arrow at a trigger and up to three
// buttons. While a step that names a trigger is up, clicks are restricted to
// that trigger and no view opens or closes. The game ships no sequences; a
// build (or a test) that wants the guide supplies them. Main thread only.
//
// The box on screen (package "default"): the widget tree "guide_box_ui" table
// "GuideBox" with its label "text" and buttons "button1".."button3" (a step's
// bit 0 shows the first, bit 2 the second, bit 1 the third), drawn in the UI
// pass over the HUD; the arrow is the scene "guide_arrow_xml", drawn by the
// play state beneath the HUD and pointing left at angle 0. A step ends when
// its item is in the inventory, when the player clicks the trigger it points
// at, or when a button of the box is clicked; the sequence then moves on.
//
//   HOG::GuideSequences guides;
//   guides.load();           // the box's widgets and arrow
//   guides.sequences.push_back(sequence);
//   guides.start();          // a new game: reset, active unless hard mode
//   guides.processInput(input);  // before the views see the frame's input
//   guides.update(dt);       // each frame
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/game_components.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

struct GuideStep {
  std::string text, itemName, viewName;
  bool done = false, shown = false;
  bool waitFlag = false, waitSatisfied = false;
  int32_t blockingId = -1;
  int32_t triggerId = -1;
  bool arrow = false;
  int32_t anchorMode = 0;
  KR::Vector2<float> position;
  uint32_t buttons = 0;    // bit 0, bit 1, bit 2
  bool pressHint = false;  // showing the step presses the hint button
};

struct GuideSequence {
  std::vector<GuideStep> steps;
  int32_t current = -1;  // index of the current step, -1 none
  int32_t next = 0;
  bool active = false;
};

// Where the box, its arrow and its buttons go on the design screen.
struct GuideLayout {
  KR::Vector2<float> boxTopLeft;
  KR::Vector2<float> arrowCentre;
  float arrowAngle = 0.0f;
  std::vector<KR::Vector2<float>> buttonTopLefts;  // visible buttons in the order bit 0, bit 1, bit 2
};

struct GuideBoxGeometry {
  float screenWidth = 0.0f, screenHeight = 0.0f, aspect = 4.0f / 3.0f;
  KR::Vector2<float> boxSize;
  float arrowLength = 0.0f;
  // Directions (degrees, folded into 0..180) in which the box's height counts instead of its width.
  float angleRange[2] = {45.0f, 135.0f};
  KR::Vector2<float> buttonSizes[3];
};

// The box's place for a target point (hasTarget false: no trigger and no arrow, the box is centred).
GuideLayout layoutGuideBox(const GuideBoxGeometry& geometry, bool hasTarget, const KR::Vector2<float>& target,
                           bool arrow, uint32_t buttons);

class GuideSequences : public IGameComponent {
 public:
  // The length of the arrow in guide_arrow.xml, from its tip to its tail.
  static constexpr float kArrowLength = 100.0f;

  GuideSequences();
  ~GuideSequences() override;
  GuideSequences(const GuideSequences&) = delete;
  GuideSequences& operator=(const GuideSequences&) = delete;

  // Loads the box's widget tree and arrow and takes their sizes, and the game
  // area's aspect from the configuration, into the geometry.
  void load();
  // A new game: every sequence back to its first step, active unless the profile plays hard.
  void start() override;
  void update(float dt) override;
  // The arrow, while the box shows it.
  void draw() override;
  // Before the views: true when the click lies on the box (no view sees it);
  // a full click on the pointed trigger ends the step first, so the view
  // change it asks for is no longer locked out.
  bool processInput(const InputState& input);
  // Shows or hides the box for a step (the click restriction and the view-change lock come and go with it).
  void showStep(GuideStep& step);
  void hideBox();
  // The shown step is done: the box goes and the sequence moves on at the next update.
  void completeShownStep();

  std::vector<GuideSequence> sequences;
  GuideBoxGeometry geometry;
  GuideLayout lastLayout;
  bool boxShown = false;
  // The step the box shows (null when hidden); sequences stay as they are while play runs.
  GuideStep* shownStep = nullptr;
  KR::UIWidget* widget = nullptr;
  KR::UIWidget* label = nullptr;
  KR::UIWidget* buttonWidgets[3] = {};
  AE::ISceneNode* arrowScene = nullptr;

 private:
  void updateSequences();
  void updateStep(GuideStep& step);
  void placeWidgets(const GuideStep& step);
};

}  // namespace HOG
