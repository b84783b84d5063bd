#pragma once
// Memory pairs: face-down cards open two at a time on a click (the range 0 to
// the open frame); two cards of one pair id stay open and play on, two others
// close again (that range backwards) once the second card's animation and the
// visible time have passed. When at most one card is left the rest open by
// themselves, the finish node plays with the play state locked, and the finish
// is reported after the finish time. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (0),
// "enableHint" (true), "openFrame" (0), "blockedFrame" (0), "visibleTime"
// (0), "elements" (entries with "id" and "name"), "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class PairesMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    AE::ISceneNode* node = nullptr;
    int32_t id = 0;
    KR::Rect rect;
    bool opened = false;
    std::string name;
    bool blocked = false;
  };

  PairesMinigameViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Element> elements;
  int32_t openFrame = 0;
  int32_t blockedFrame = 0;
  float visibleTime = 0.0f;
  int32_t firstSelect = -1, secondSelect = -1;
  int32_t firstSelectId = -1, secondSelectId = -1;
  bool finishStarted = false;
  // How long both cards of the pair have been open; each puzzle its own.
  float revealTimer = 0.0f;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void pairStep(float dt);
  void clearSelection();
};

}  // namespace HOG
