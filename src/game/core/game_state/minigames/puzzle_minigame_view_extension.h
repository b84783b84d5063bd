#pragma once
// A jigsaw whose pieces are the children of one node: its first keys show
// the solved picture, frame "breakFrame" the scattered one.
//
// Drag mode ("type" "puzzle"): a left click picks the front-most piece under
// the pointer up (it comes to the front and follows the pointer centred on
// it), a right click turns it a quarter, the next left click drops it; a
// piece dropped within "accuracy" of its place at its angle (whole turns
// aside) snaps in and, with "block", stays. Dropped and placed pieces keep
// their places and angles across leaving the view.
// Swap mode (any other "type"): a first click picks a piece, a second click
// on another makes both glide to each other's places in "time" seconds; a
// piece exactly on its place stays (with "block"); a click on nothing, on a
// placed piece or on the first pick again drops the pick; a right click
// drops it too.
// Every piece in place (or SKIP): the pieces snap to the picture, the finish
// plays, the play state's lock grows by the finish time, with "hideElements"
// the pictures fade two frames later, and the finish is reported after the
// finish time. A turned piece is hit where it is drawn. Main thread only.
//
// Config keys: "finish", "finishTime" (0), "enableHint", "briefing",
// "suspendable", "type", "accuracy" (0), "angleStep" (kept), "puzzleName",
// "hideElements", "breakFrame", "selectFrame", "blockFrame" (0), "block"
// (true), "time" (5), "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/drag_hold.h"
#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class PuzzleMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Piece {
    AE::ISceneNode* node = nullptr;
    size_t child = 0;
    KR::Vector2<float> correctPosition{0.0f, 0.0f};
    float correctRotation = 0.0f;
    bool placed = false;
    KR::Vector2<float> moveTarget{-100.0f, -100.0f};
    bool moving = false;
    KR::Vector2<float> savedPosition{0.0f, 0.0f};
    float savedRotation = 0.0f;
  };

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // The point lies on the piece as drawn (turned about its centre).
  bool hits(const Piece& piece, float x, float y) const;
  bool isSolved() const;

  std::string puzzleName;
  float breakFrame = 0.0f;
  float selectFrame = 0.0f;
  float blockFrame = 0.0f;
  std::vector<Piece> pieces;
  int32_t accuracy = 0;
  int32_t angleStep = 0;
  bool dragMode = false;
  TwoPicks picks;
  DragHold drag;
  bool block = true;
  float moveSpeed = 0.0f;
  float time = 5.0f;
  bool hideElements = false;
  bool piecesCreated = false;
  bool finishStarted = false;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;
  float hideTimer = 0.0f;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  AE::ISceneNode* picture(const Piece& piece) const;
  // A frame key (a float): bounded to 0 .. kMaxFrame with a warning.
  void readFrame(KR::XmlDataReader& reader, const char* key, float* out);
  // The look of a placed piece: greyed in drag mode, the block frame in swap mode.
  void showPlaced(Piece& piece);
  // Puts the carried piece centred on the pointer.
  void follow(Piece& piece, const InputState* input);
  void toFront(AE::ISceneNode* node);
  int32_t dragStep(const InputState* input);
  int32_t swapStep(const InputState* input);
  void swapMotion(float dt);
  void glide(Piece& piece, float dt);
};

}  // namespace HOG
