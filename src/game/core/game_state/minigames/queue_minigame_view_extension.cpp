#include "core/game_state/minigames/queue_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
constexpr double kProbeStep = 5.0;

void readTextList(KR::XmlDataReader& reader, std::vector<std::string>* out) {
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string text;
    reader.readCurrentString(&text);
    out->push_back(text);
  }
}
}  // namespace

void QueueMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 2.0f);
  readSeconds(reader, "finishDelay", &finishDelay, 3.0f);
  readBoundedInt(reader, "selectFrame", &selectFrame, 10, 0, kMaxFrame);
  readBoundedInt(reader, "selectCount", &selectCount, 5, 1, kMaxChain);
  readEnableHint(reader);
  readSuspendable(reader, &suspendable);
  readBriefing(reader);
  typeNames.clear();
  if (reader.enterChild("types")) {
    readTextList(reader, &typeNames);
    reader.leaveChild();
  }
  combinations.clear();
  if (reader.enterChild("combinations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Combination combination;
      for (auto v = reader.arrayBegin(); v != reader.arrayEnd(); v.next()) {
        int32_t type = 0;
        readCurrentInt(reader, &type);
        combination.sequence.push_back(type);
      }
      combinations.push_back(combination);
    }
    reader.leaveChild();
  }
  if (reader.enterChild("symbolsGlow")) {
    size_t i = 0;
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next(), ++i) {
      std::vector<std::string> names;
      readTextList(reader, &names);
      // Glow lists beyond the combinations have no combination to light.
      if (i >= combinations.size()) {
        warn("symbolsGlow", KR::formatString("list %u has no combination", unsigned(i)));
        continue;
      }
      for (const std::string& name : names) combinations[i].glow.push_back(Glow{name, nullptr});
    }
    reader.leaveChild();
  }
  combinationAnimNames.clear();
  if (reader.enterChild("combinationAnim")) {
    readTextList(reader, &combinationAnimNames);
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  if (typeNames.empty()) refuse("types", "has no entry");
  if (combinations.empty()) refuse("combinations", "has no entry");
  for (size_t i = 0; i < combinations.size(); ++i) {
    const std::vector<int32_t>& sequence = combinations[i].sequence;
    // Found with the first symbol picked, as any chain begins it.
    if (sequence.empty()) warn("combinations", KR::formatString("combination v%u has no types", unsigned(i)));
    if (std::any_of(sequence.begin(), sequence.end(),
                    [this](int32_t type) { return type < 0 || size_t(type) >= typeNames.size(); }))
      refuse("combinations", KR::formatString("combination v%u names a type that is not listed", unsigned(i)));
    if (sequence.size() > size_t(selectCount))
      refuse("combinations", KR::formatString("combination v%u is longer than selectCount", unsigned(i)));
  }
  symbols.clear();
  chain.clear();
  chainLength = 0;
  lastType = lastIndex = -1;
  finishStarted = false;
  finishTimer = 0.0f;
}

void QueueMinigameViewExtension::forgetNodes() {
  clickSound = nullptr;
  symbols.clear();
  chain.clear();
  chainLength = 0;
  lastType = lastIndex = -1;
  combinationAnimNodes.clear();
  for (Combination& combination : combinations)
    for (Glow& glow : combination.glow) glow.node = nullptr;
}

void QueueMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  clickSound = findNode(clickSoundName, "clickSound");
  if (clickSound) clickSound->stop(true);
  // The symbol lists are built anew: a chain of the last visit is dropped.
  symbols.assign(typeNames.size(), std::vector<Symbol>());
  chain.clear();
  chainLength = 0;
  lastType = lastIndex = -1;
  for (size_t t = 0; t < typeNames.size(); ++t) {
    AE::ISceneNode* group = findNode(typeNames[t], "types");
    if (!group) {
      // Its symbols can't be picked: a combination that needs them is never found.
      for (const Combination& combination : combinations)
        if (std::count(combination.sequence.begin(), combination.sequence.end(), int32_t(t)) > 0)
          refuse("types", KR::formatString("type %u has no node", unsigned(t)));
      continue;
    }
    for (AE::ISceneNode* child : group->mChildren) {
      if (!child) continue;
      child->stop(true);
      Symbol symbol;
      symbol.node = child;
      symbol.rect = nodeRect(child);
      symbol.type = int32_t(t);
      symbols[t].push_back(symbol);
    }
  }
  for (Combination& combination : combinations) {
    for (Glow& glow : combination.glow) {
      glow.node = findNode(glow.name, "symbolsGlow");
      if (glow.node) glow.node->setEnabled(false);
    }
  }
  combinationAnimNodes.clear();
  for (const std::string& name : combinationAnimNames) {
    AE::ISceneNode* node = findNode(name, "combinationAnim");
    if (node) node->stop(true);
    combinationAnimNodes.push_back(node);
  }
}

bool QueueMinigameViewExtension::isAdjacentToLast(const Symbol& symbol) const {
  if (lastType < 0 || size_t(lastType) >= symbols.size() || lastIndex < 0 ||
      size_t(lastIndex) >= symbols[size_t(lastType)].size() || !symbol.node)
    return false;
  const Symbol& last = symbols[size_t(lastType)][size_t(lastIndex)];
  if (!last.selected) return false;
  const KR::Vector2<float> size = symbol.node->getSize();
  // In doubles: the probe's points, c + 5k along each direction, k = 1 up to
  // the first step beyond the symbol's own size (that one too), met the last
  // rectangle when some k of that run lands within it. Worked out rather than
  // walked, so that no position or size makes it long or endless.
  const double cx = double(symbol.node->mPosX) + double(size.x) * 0.5;
  const double cy = double(symbol.node->mPosY) + double(size.y) * 0.5;
  const KR::Rect& r = last.rect;
  // Along one axis from c: some k in 1..steps with lo <= c + sign * 5k <= hi.
  auto probeMeets = [](double c, double sign, double extent, double lo, double hi) {
    const double steps = std::floor(std::fabs(extent) / kProbeStep) + 1.0;
    const double from = sign > 0 ? (lo - c) / kProbeStep : (c - hi) / kProbeStep;
    const double to = sign > 0 ? (hi - c) / kProbeStep : (c - lo) / kProbeStep;
    return std::max(std::ceil(from), 1.0) <= std::min(std::floor(to), steps);
  };
  const bool rowHolds = r.top <= cy && cy <= r.bottom, columnHolds = r.left <= cx && cx <= r.right;
  return (rowHolds &&
          (probeMeets(cx, 1.0, size.x, r.left, r.right) || probeMeets(cx, -1.0, size.x, r.left, r.right))) ||
         (columnHolds &&
          (probeMeets(cy, 1.0, size.y, r.top, r.bottom) || probeMeets(cy, -1.0, size.y, r.top, r.bottom)));
}

void QueueMinigameViewExtension::setGlow(size_t i, bool on) {
  std::vector<Glow>& glow = combinations[i].glow;
  // A glow list shorter than the chain lights what it has.
  const size_t lit = on ? std::min(chain.size(), glow.size()) : 0;
  for (size_t k = 0; k < glow.size(); ++k)
    if (glow[k].node) glow[k].node->setEnabled(k < lit);
}

void QueueMinigameViewExtension::glowsOff() {
  for (size_t i = 0; i < combinations.size(); ++i) setGlow(i, false);
}

void QueueMinigameViewExtension::clearSelection() {
  for (const Pick& pick : chain) {
    Symbol& symbol = at(pick);
    if (symbol.node) symbol.node->setFrame(0);
    symbol.selected = false;
  }
  chain.clear();
  chainLength = 0;
  lastType = lastIndex = -1;
}

void QueueMinigameViewExtension::keepLastSelected() {
  if (chain.empty()) return;
  const Pick newest = chain.back();
  chain.pop_back();
  for (const Pick& pick : chain) {
    Symbol& symbol = at(pick);
    if (symbol.node) symbol.node->setFrame(0);
    symbol.selected = false;
  }
  chain.assign(1, newest);
  chainLength = 1;
}

bool QueueMinigameViewExtension::matchPrefix(size_t i) {
  const Combination& combination = combinations[i];
  if (combination.found || chain.size() > combination.sequence.size()) return false;
  for (size_t k = 0; k < chain.size(); ++k)
    if (at(chain[k]).type != combination.sequence[k]) return false;
  setGlow(i, true);
  return true;
}

int32_t QueueMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  glowsOff();
  const float x = float(input->x), y = float(input->y);
  bool hit = false;
  for (size_t t = 0; t < symbols.size(); ++t) {
    for (size_t j = 0; j < symbols[t].size(); ++j) {
      Symbol& symbol = symbols[t][j];
      if (symbol.selected || !contains(symbol.rect, x, y)) continue;
      hit = true;
      if (chainLength > 0 && !isAdjacentToLast(symbol)) chainLength = selectCount;
      if (++chainLength > selectCount) {
        clearSelection();
        chainLength = 1;
      }
      playSound(clickSound);
      symbol.selected = true;
      if (symbol.node) symbol.node->setFrame(selectFrame);
      lastType = int32_t(t);
      lastIndex = int32_t(j);
      chain.push_back(Pick{int32_t(t), int32_t(j)});
      break;
    }
  }
  if (!hit) {
    clearSelection();
    glowsOff();
    return 0;
  }
  bool begun = false;
  for (size_t i = 0; i < combinations.size(); ++i) {
    begun = matchPrefix(i) || begun;
    Combination& combination = combinations[i];
    if (chain.size() < combination.sequence.size()) continue;
    bool whole = true;
    for (size_t k = 0; k < combination.sequence.size(); ++k)
      whole = whole && at(chain[k]).type == combination.sequence[k];
    if (!whole) continue;
    combination.found = true;
    if (i < combinationAnimNodes.size() && combinationAnimNodes[i]) combinationAnimNodes[i]->play(true);
    setGlow(i, false);
  }
  if (!begun) {
    keepLastSelected();
    for (size_t i = 0; i < combinations.size(); ++i) {
      setGlow(i, false);
      matchPrefix(i);
    }
  }
  return 1;
}

bool QueueMinigameViewExtension::isSolved() const {
  if (finishReported) return true;
  for (const Combination& combination : combinations)
    if (!combination.found) return false;
  return true;
}

void QueueMinigameViewExtension::updatePuzzle(float dt) {
  if (!isSolved() && !skipWanted()) return;
  doneNow = true;
  if (finishNode) {
    if (finishReported || finishStarted) {
      if (!finishNode->mPlaying) finishNode->rewindToEnd();
    } else if (finishTimer >= finishDelay) {
      finishNode->play(true);
      lengthenLock(finishTime);
      finishStarted = true;
    }
  }
  for (Combination& combination : combinations) combination.found = true;
  if (finishReported) return;
  finishTimer += dt;
  if (finishTimer >= finishTime) reportFinish();
}

}  // namespace HOG
