#pragma once
// Elements on closed paths that cross: a click on a path's control moves
// every element of that path one place on (the last to the first place) in
// "moveCoef" seconds; places where paths cross belong to both, so elements
// pass between paths. An element's home is its first posX/posY key, its
// starting place its position at "breakFrame". Solved when every required
// path holds the right elements: with "keys", each key element of the path
// stands within 5 points of its home; without, each element's home is a place
// the path's elements occupy. Solved (or SKIP): the finish node plays once
// and the play state's lock grows by the finish time, the elements play their
// final frames (0 to "lastFinalAnimFrame") again and again, and the finish is
// reported after the finish time. The arrangement survives leaving the view; a
// move under way ends on its place. Main thread only.
//
// Paths and button animations beyond the controls, elements without position
// keys and a "moveCoef" of 0 or below (50 then) are logged and left out.
//
// Config keys: "finish", "finishTime" (0), "suspendable", "controls",
// "pressedFrame" (0), "elements", "moveCoef" (50), "breakFrame" (5),
// "lastFinalAnimFrame" (0), "enableHint", "briefing", "pathes" (entries with
// "v" 1 for a required path and element names "v0", "v1", ... in path
// order), "keys" (element names), "buttonAnimation" (one node per control),
// "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "vector2.h"

namespace HOG {

class RotationMiniGameViewExtension : public MinigameViewExtension {
 public:
  struct Control {
    KR::Vector2<float> rectMin{0.0f, 0.0f};
    KR::Vector2<float> rectMax{0.0f, 0.0f};
    AE::ISceneNode* node = nullptr;
    AE::ISceneNode* animationNode = nullptr;
    std::vector<int32_t> pathCells;
    bool required = false;
  };
  struct Element {
    AE::ISceneNode* node = nullptr;
    std::string name;
    KR::Vector2<float> moveTarget{-100.0f, -100.0f};
    KR::Vector2<float> moveStart{-100.0f, -100.0f};
    KR::Vector2<float> home{0.0f, 0.0f};
    bool isKey = false;
  };
  struct Cell {
    KR::Vector2<float> place{0.0f, 0.0f};
    int32_t element = -1;
    std::string elementName;
    bool moving = false;
    bool matched = false;
  };

  RotationMiniGameViewExtension() { finishTime = 0.0f; }

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved();

  std::string controlsName;
  std::string elementsName;
  std::vector<Control> controls;
  std::vector<std::vector<std::string>> pathNames;
  std::vector<int32_t> pathRequired;
  std::vector<std::string> keyNames;
  bool hasKeys = false;
  std::vector<Element> elements;
  std::vector<Cell> cells;
  float moveCoef = 50.0f;
  int32_t breakFrame = 5;
  int32_t lastFinalAnimFrame = 0;
  int32_t pressedFrame = 0;
  size_t lastPressedControl = 0;
  std::vector<std::string> buttonAnimationNames;
  bool initialized = false;
  bool solved = false;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void bindControls(AE::ISceneNode* root, bool first);
  void bindElementsFirst(AE::ISceneNode* root);
  void bindPaths();
  void rotate(Control& control);
  void moveElements(float dt);
  bool pathPasses(Control& control);
};

}  // namespace HOG
