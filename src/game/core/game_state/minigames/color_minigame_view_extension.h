#pragma once
// The colour buttons: main buttons offer colours (a frame of their node each,
// with an id); the player selects one and clicks places (secondary buttons)
// to give them that colour or take it back; a colour stands on one place at a
// time. All places coloured right solve the puzzle; all coloured with one
// wrong clear the board after "delay". The finish node plays once under the
// play state's lock and the finish is reported after the finish time. Clicks
// never consume the event. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3), "delay"
// (1), "selectedFrame" (5), "mainButtons" (entries "node", "frame", "id"),
// "secondaryButtons" (entries "node", "id"), "selectFrameOffset" (10),
// "upclickSound", "downclickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class ColorMinigameViewExtension : public MinigameViewExtension {
 public:
  struct MainButton {
    std::string nodeName;
    AE::ISceneNode* node = nullptr;
    int32_t frame = 0;
    int32_t id = 0;
    KR::Rect rect;
  };
  struct SecondaryButton {
    std::string nodeName;
    AE::ISceneNode* node = nullptr;
    int32_t id = 0;
    KR::Rect rect;
    int32_t assignedId = -1;
    bool filled = false;
  };

  ColorMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // Also sets resetPending for a full board with a wrong colour.
  bool isSolved();
  void clearBoard();

  bool boundOnce = false;
  int32_t selectedFrame = 5;
  std::vector<MainButton> mainButtons;
  std::vector<SecondaryButton> secondaryButtons;
  int32_t selectFrameOffset = 10;
  int32_t selectedMain = -1;
  float delay = 1.0f;
  bool resetPending = false;
  // Counts the delay of a full wrong board; each puzzle has its own.
  float wrongComboTimer = 0.0f;
  bool finishStarted = false;
  std::string upClickSoundName, downClickSoundName;
  AE::ISceneNode* upClickSound = nullptr;
  AE::ISceneNode* downClickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void bindSounds();
  void bindButtons(bool first);
  void showSolution();
  // The frame of the first main button with this id, -1 for none.
  int32_t frameOfId(int32_t id) const;
  void pressMain(size_t index);
  void pressSecondary(size_t index);
  void deselect();
};

}  // namespace HOG
