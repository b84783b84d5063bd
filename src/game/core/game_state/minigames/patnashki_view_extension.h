#pragma once
// Sliding tiles on a free graph of points: a click within 100 units of a
// point sends its tile to the first empty point of its neighbour list, and
// tiles glide there at 600 units per second. Solved when every point holding
// a tile holds the one that belongs there (an empty point counts as right);
// then clicks are ignored, the finish node plays and the finish is reported
// after the finish time. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "elements" (entries with "id", "nodeName"), "points" (entries with "id",
// "startNode" (a tile id; one no tile has leaves the point empty, use -1 for
// the hole), "center" (v0 x, v1 y), "correctNode", "neightbours" (a list of
// point ids in order of preference)).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "vector2.h"

namespace HOG {

class PatnashkiViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    std::string nodeName;
    int32_t id = 0;
  };
  struct Point {
    int32_t id = 0;
    AE::ISceneNode* node = nullptr;  // the tile standing here
    std::vector<int32_t> neightbours;
    int32_t elementId = 0;
    int32_t correctNode = 0;
    KR::Vector2<float> center{0.0f, 0.0f};
  };

  // Tiles travel this many scene units per second.
  static constexpr float kSpeed = 600.0f;
  // A click counts for a point this close to its centre.
  static constexpr float kReach = 100.0f;

  PatnashkiViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;

  std::vector<Point> points;
  std::vector<Element> elements;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;
};

}  // namespace HOG
