#pragma once
// The chains: elements stand on fixed places and change places in pairs. A
// first click picks an element (it shows the select frame), a second click on
// another one sends both gliding to each other's places over the move time;
// on arrival each place's chain node plays from the frame it showed to the
// frame its new element gives it (backwards when lower). Clicks wait while a
// chain node plays. Solved when every chain node shows the correct frame; the
// finish node plays while the play state is locked. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3),
// "selectFrame" (10), "moveTime" (1), "targetNodes" (entries with "node",
// "addnode" and "elementsFrame", a list whose entry i is the chain frame of
// element i on that place), "elements" (entries with "node" and "target", the
// index of the starting place), "correctframe" (100), "clickSound",
// "endMoveSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class ChainsMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Place {
    std::string name;
    std::string chainName;
    AE::ISceneNode* node = nullptr;
    AE::ISceneNode* chain = nullptr;
    int32_t occupant = -1;  // index of the element standing here
    int32_t currentFrame = 0;
    std::vector<int32_t> elementFrames;
  };
  struct Element {
    std::string name;
    AE::ISceneNode* node = nullptr;
    KR::Rect rect;
    KR::Vector2<float> position{0.0f, 0.0f};
    KR::Vector2<float> moveStart{-100.0f, -100.0f};
    bool moving = false;
    bool pickable = false;  // has a valid place and a child to click
    int32_t place = 0;      // index into places
  };

  ChainsMinigameViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;
  bool chainPlaying() const;

  std::vector<Place> places;
  std::vector<Element> elements;
  TwoPicks picks;
  int32_t selectFrame = 10;
  int32_t correctFrame = 100;
  float moveTime = 1.0f;
  bool setUp = false;
  bool finishStarted = false;
  std::string clickSoundName;
  std::string arrivalSoundName;
  AE::ISceneNode* clickSound = nullptr;
  AE::ISceneNode* arrivalSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void select(int32_t i);
  void glide(int32_t i, float dt);
  void arrive(int32_t i);
};

}  // namespace HOG
