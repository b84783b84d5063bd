#pragma once
// Chains of neighbouring symbols: the symbols are the children of one group
// node per type. A click selects the first unselected symbol under the pointer
// of each type; a symbol beside the last one selected lengthens the chain (up
// to "selectCount", beyond which a new chain begins), any other starts a new
// chain. Every combination the chain has begun (its types so far, in order)
// lights one glow node per chain symbol; a chain that begins with a
// combination's whole sequence finds it and plays its animation. A chain that
// begins nothing is cut back to its newest symbol. A click on nothing or on a
// selected symbol clears the chain. Every combination found (or SKIP): after
// "finishDelay" the finish node plays and the play state's lock grows by the
// finish time; the finish is reported "finishTime" after the solution. Main
// thread only.
//
// Beside means: probes from the symbol's centre (its own position plus half
// its size) along +x, -x, +y, -y in 5-point steps within one symbol size reach
// the last symbol's world rectangle; group nodes stand at the scene's origin
// so that own and world positions agree.
//
// Config keys: "finish", "finishTime" (2), "finishDelay" (3), "selectFrame"
// (10), "selectCount" (5), "enableHint", "suspendable", "briefing", "types"
// (group node names), "combinations" (lists of type numbers), "symbolsGlow"
// (lists of glow node names, one list per combination), "combinationAnim"
// (one node per combination), "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class QueueMinigameViewExtension : public MinigameViewExtension {
 public:
  // The longest chain "selectCount" may allow.
  static constexpr int32_t kMaxChain = 1000;
  struct Symbol {
    AE::ISceneNode* node = nullptr;
    bool selected = false;
    KR::Rect rect;
    int32_t type = 0;
  };
  struct Glow {
    std::string name;
    AE::ISceneNode* node = nullptr;
  };
  struct Combination {
    std::vector<int32_t> sequence;
    std::vector<Glow> glow;
    bool found = false;
  };
  struct Pick {
    int32_t type = -1;
    int32_t index = -1;
  };

  QueueMinigameViewExtension() { finishTime = 2.0f; }

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;
  bool isAdjacentToLast(const Symbol& symbol) const;

  std::vector<std::string> typeNames;
  std::vector<std::vector<Symbol>> symbols;
  int32_t selectCount = 5;
  int32_t chainLength = 0;
  std::vector<Pick> chain;
  int32_t lastType = -1;
  int32_t lastIndex = -1;
  std::vector<Combination> combinations;
  std::vector<std::string> combinationAnimNames;
  std::vector<AE::ISceneNode*> combinationAnimNodes;
  int32_t selectFrame = 10;
  float finishDelay = 3.0f;
  bool finishStarted = false;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  Symbol& at(const Pick& pick) { return symbols[size_t(pick.type)][size_t(pick.index)]; }
  void clearSelection();
  void keepLastSelected();
  bool matchPrefix(size_t i);
  void setGlow(size_t i, bool on);
  void glowsOff();
};

}  // namespace HOG
