#pragma once
// Pieces dropped into zones: the pieces are the children of one container
// node, the zones rectangles of the configuration. A press takes the first
// piece under the pointer (it shows the selected frame and its zone is free
// again), the piece follows the pointer centred on it, and on the release it
// snaps into a free zone under the pointer with the drop sound, or glides home
// in 0.5 s (to where it last rested) and takes its zone back. A piece holds
// the zone it rests in, also while it glides home: taking it frees that zone,
// wherever the press is. After every drop
// each combination whose zones are exactly the occupied ones is reached once
// and plays its node; every combination reached (or SKIP) plays the finish,
// reported after the finish time. A press on the book turns its page (frame
// page x bookStep, its second child the page sound). Pieces keep their places
// across leaving the view; a piece held when the view was left glides home.
// Main thread only.
//
// A piece node without children is its own picture (frames and draw order).
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "selectedFrame" (5), "elements" (the container node), "activeZones"
// (entries with "rect": v0 top, v1 left, v2 bottom, v3 right), "combinations"
// (entries with "value" (zone numbers as "v0", "v1", ...) and "finish"),
// "dropSound", "book", "frames" (5 pages), "bookStep" (5).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/drag_hold.h"
#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class CombPuzzleMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    std::string name;
    AE::ISceneNode* node = nullptr;
    KR::Vector2<float> home{0.0f, 0.0f};
    KR::Vector2<float> position{0.0f, 0.0f};
    KR::Rect rect;
    TimedGlide glide;
    float restDepth = 0.0f;
    int32_t zone = -1;  // the zone it holds (rests in or glides home to), -1 none
  };
  struct Zone {
    KR::Rect rect;
    bool occupied = false;
  };
  struct Combination {
    std::vector<int32_t> zones;
    bool reached = false;
    std::string finishName;
    AE::ISceneNode* finishNode = nullptr;
    // Zone i is occupied exactly when i is one of the combination's zones.
    bool matches(const std::vector<Zone>& all) const;
  };

  // The most pages the book may have.
  static constexpr int32_t kMaxPages = 1000;

  CombPuzzleMinigameViewExtension() { finishTime = 5.0f; }

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // The first zone holding the point, -1 for none.
  int32_t zoneAt(const KR::Vector2<float>& point) const;
  bool isSolved() const;

  std::string elementsName;
  int32_t selectedFrame = 5;
  std::vector<Element> elements;
  std::vector<Zone> zones;
  std::vector<Combination> combinations;
  std::string dropSoundName;
  AE::ISceneNode* dropSound = nullptr;
  std::string bookName;
  AE::ISceneNode* bookNode = nullptr;
  KR::Rect bookRect;
  int32_t page = 0;
  int32_t frames = 5;
  int32_t bookStep = 5;
  DragHold drag;
  bool boundOnce = false;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void bindElementsFirst();
  void turnPage();
  void returnHome(Element& element);
  // Frees the zone a piece holds, unless another piece holds it too.
  void freeZone(const Element& taken);
  void checkCombinations();
};

}  // namespace HOG
