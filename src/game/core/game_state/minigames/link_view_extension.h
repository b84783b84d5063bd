#pragma once
// The linked toggles: each element is a two-state node with a click
// rectangle; a click flips every element under the point and, one level deep,
// the elements its links name. With every element on the finish node plays,
// clicks end and the finish is reported after the finish time. Every input
// result is 1: the view's triggers never see a click while it takes input.
// Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3),
// "onFrame" (10), "elements" (entries "id", "node", "startState",
// "actionArea" (v0 top, v1 left, v2 bottom, v3 right), "links" (entries "v")).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class LinkViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    int32_t id = 0;
    std::string nodeName;
    AE::ISceneNode* node = nullptr;
    bool state = false;
    KR::Rect actionArea;
    std::vector<int32_t> links;
  };

  LinkViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool allOn() const;

  std::vector<Element> elements;
  int32_t onFrame = 10;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void flip(Element& element);
  int32_t frameOf(bool state) const { return state ? onFrame : 0; }
};

}  // namespace HOG
