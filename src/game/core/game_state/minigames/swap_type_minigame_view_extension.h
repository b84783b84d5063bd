#pragma once
// Gears and motors: every motor carries one gear; gears come in types and,
// within a type, in groups (a group node whose children are its gears). Two
// gears of one type picked in turn glide to each other's places over the move
// time and change motors. The start button runs the machine for just over a
// second (every gear turns with its motor's speed and direction, and can't be
// picked); if, while it runs, every motor carries a gear of the group it needs
// and none is gliding, the puzzle is solved: the machine keeps turning, the
// finish plays and is reported after the finish time. Main thread only.
//
// A gear node's first child is the part that turns and shows the picked frame
// (a gear node without children turns itself). Motor k needs the group of the
// k-th gear built (types in order, their groups in order, each group's gears
// in child order) and starts with the gear "gearid". A "gearid" out of range
// or taken already leaves that motor without a gear.
//
// Config keys: "finish", "finishTime" (3), "moveTime" (1), "breakFrame" (10),
// "startButton", "suspendable", "briefing", "selectedFrame" (20), "types"
// (per type a list of group node names), "motors" (entries with "forward",
// "gearid", "angle", "w" (rotation per second)), "clickSound", "gearsSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class SwapTypeMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Gear {
    AE::ISceneNode* node = nullptr;
    AE::ISceneNode* turning = nullptr;  // its first child, or the node itself
    int32_t type = 0;
    int32_t group = 0;
    bool selected = false;
    KR::Rect rect;
    bool locked = false;
    KR::Vector2<float> moveTarget{-100.0f, -100.0f};
    KR::Vector2<float> position{0.0f, 0.0f};
    bool moving = false;
    int32_t motor = -1;  // index into motors
    bool spinning = false;
    int32_t childIndex = 0;
  };
  struct Motor {
    int32_t requiredGroup = 0;
    int32_t gear = -1;  // index into gears
    int32_t gearid = 0;
    bool forward = false;
    float angle = 0.0f;
    float w = 0.0f;
  };

  // A click farther than this from every gear's centre picks nothing.
  static constexpr float kReach = 2048.0f;

  SwapTypeMinigameViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;

  AE::ISceneNode* startButtonNode = nullptr;
  KR::Rect startRect;
  bool running = false;
  std::string startButtonName;
  std::vector<std::vector<std::string>> types;
  std::vector<Gear> gears;
  std::vector<Motor> motors;
  bool solved = false;
  bool initialized = false;
  int32_t breakFrame = 10;
  int32_t selectedFrame = 20;
  TwoPicks picks;
  float moveTime = 1.0f;
  float runTimer = 0.0f;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;
  std::string gearsSoundName;
  AE::ISceneNode* gearsSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void buildGears();
  void bindMotors();
  void rebindGears();
  void pick(int32_t i);
  void showGear(Gear& gear, bool picked);
  void dropPicks();
  void pressStart();
  void turn(Gear& gear, float dt);
  void move(int32_t i, float dt);
  float motorAngle(const Gear& gear) const;
};

}  // namespace HOG
