#pragma once
// The right zone: elements stand on numbered places (place k is where the
// k-th element stood at the first activation). A first click picks an element
// (its piece shows the selected frame and its highlight lights), a second
// click swaps the two place numbers and both glide there in 0.5 s. An element
// at rest on one of its correct places is locked there and shows the correct
// frame; when every element is locked the finish plays and is reported after
// the finish time. Clicks are never taken from the view (result 0). Main
// thread only.
//
// An element node's first child is its piece, the piece's first child its
// highlight; a piece without a highlight plays without one, an element without
// a piece is left out of picks and moves.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "elements" (entries with "node", "currentPositionID" (its starting place
// number, from 1) and "currectPositionID" (its correct place numbers, "2,5")).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class RightZoneViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    AE::ISceneNode* node = nullptr;
    AE::ISceneNode* piece = nullptr;
    AE::ISceneNode* highlight = nullptr;
    std::string name;
    KR::Vector2<float> position{0.0f, 0.0f};
    KR::Rect rect;
    bool moving = false;
    int32_t placeId = 0;
    std::vector<int32_t> correctPlaceIds;
    float restZ = 0.0f;
    bool inPlace = false;
    float speed = 0.0f;  // the distance of its last swap: a swap takes 0.5 s
  };
  struct Place {
    int32_t id = 0;
    KR::Vector2<float> at{0.0f, 0.0f};
  };

  RightZoneViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // Every comma-separated piece of the text as a number ("2,5" gives 2, 5;
  // an empty text gives one 0).
  static void parseCommaList(const std::string& text, std::vector<int32_t>* out);
  bool isSolved();

  std::vector<Element> elements;
  std::vector<Place> places;
  TwoPicks picks;
  int32_t selectedFrame = 10;
  int32_t correctFrame = 15;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  const Place* findPlace(int32_t id) const;
  void showPicked(Element& element);
  void moveElements(float dt);
};

}  // namespace HOG
