#include "core/game_state/minigames/minigame_view_extension.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/game.h"
#include "core/game_state/views/view.h"
#include "format_string.h"
#include "log_system.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "xml_data_reader.h"

namespace HOG {

MinigameViewExtension::MinigameViewExtension() {
  // The base state every puzzle starts from: hints on, not suspendable, and
  // suspended (which counts only once "suspendable" is set).
  announces = true;
  suspendable = false;
  finishReported = false;
  suspended = true;
}

void MinigameViewExtension::release() {
  finishNode = nullptr;
  forgetNodes();
}

void MinigameViewExtension::update(float dt) {
  if (!refused) updatePuzzle(dt);
}

int32_t MinigameViewExtension::processMouseEvent(const InputState* input) { return refused ? 0 : handleInput(input); }

void MinigameViewExtension::loadConfig(const std::string& file) {
  configName = file;
  refused = false;
  KR::XmlDataReader reader;
  // Without its configuration a puzzle would be solved at once or never.
  if (file.empty() || !reader.open("default", file)) {
    refuse("MinigameConfig", "the file can't be read as XML");
  } else if (!reader.enterChild("MinigameConfig")) {
    refuse("MinigameConfig", "is missing");
  } else {
    readConfig(reader);
    reader.leaveChild();
  }
  finishReported = false;
}

void MinigameViewExtension::loadConfigFromMemory(const void* data, size_t size, const std::string& name) {
  configName = name;
  refused = false;
  KR::XmlDataReader reader;
  if (reader.parse(data, size) != pugi::status_ok) {
    refuse("MinigameConfig", "the file can't be read as XML");
  } else if (!reader.enterChild("MinigameConfig")) {
    refuse("MinigameConfig", "is missing");
  } else {
    readConfig(reader);
    reader.leaveChild();
  }
  finishReported = false;
}

void MinigameViewExtension::refuse(const char* key, const std::string& reason) {
  if (!refused)
    KR::log("ERROR: Puzzle configuration '%s', key '%s': %s; the puzzle is refused", configName.c_str(), key,
            reason.c_str());
  refused = true;
  // No SKIP for a puzzle that can't be played.
  announces = false;
}

void MinigameViewExtension::warn(const char* key, const std::string& what) const {
  KR::log("WARNING: Puzzle configuration '%s', key '%s': %s", configName.c_str(), key, what.c_str());
}

int32_t MinigameViewExtension::bounded(const char* key, int32_t value, int32_t lo, int32_t hi) const {
  if (lo <= value && value <= hi) return value;
  const int32_t to = std::clamp(value, lo, hi);
  warn(key, KR::formatString("%d is outside %d to %d; %d is used", int(value), int(lo), int(hi), int(to)));
  return to;
}

void MinigameViewExtension::parseNumberList(const std::string& text, std::vector<int32_t>* out) {
  if (!out) return;
  for (size_t i = 0; i < text.size(); i += 2) out->push_back(int32_t(std::strtol(text.c_str() + i, nullptr, 10)));
}

void MinigameViewExtension::readIntList(KR::XmlDataReader& reader, const char* key, std::vector<int32_t>* out) {
  if (!reader.enterChild(key)) return;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    int32_t value = 0;
    readCurrentInt(reader, &value);
    out->push_back(value);
  }
  reader.leaveChild();
}

bool MinigameViewExtension::readCurrentInt(const KR::XmlDataReader& reader, int32_t* out) {
  if (!out) return false;
  const pugi::xml_node node = reader.getCursor();
  if (!node) {
    *out = 0;
    return false;
  }
  *out = int32_t(std::strtol(node.attribute("v").value(), nullptr, 10));
  return true;
}

void MinigameViewExtension::readSuspendable(KR::XmlDataReader& reader, bool* out) {
  if (!reader.readBool("suspendable", out)) *out = false;
}

void MinigameViewExtension::readBriefing(KR::XmlDataReader& reader) {
  std::string text;
  reader.readString("briefing", &text);
  if (text.empty()) {
    briefing.clear();
  } else if (text[0] == '#') {
    const std::string key = text.substr(1);
    briefing = KR::TextManager::exists() ? KR::TextManager::getInstance()->getText(key) : KR::toWideString(key);
  } else {
    briefing = KR::toWideString(text);
  }
}

void MinigameViewExtension::readText(KR::XmlDataReader& reader, const char* key, std::string* out) {
  if (!reader.readString(key, out)) out->clear();
}

void MinigameViewExtension::readInt(KR::XmlDataReader& reader, const char* key, int32_t* out, int32_t fallback) {
  if (!reader.readInt(key, out)) *out = fallback;
}

void MinigameViewExtension::readFloat(KR::XmlDataReader& reader, const char* key, float* out, float fallback) {
  if (!reader.readFloat(key, out)) *out = fallback;
}

void MinigameViewExtension::readFlag(KR::XmlDataReader& reader, const char* key, bool* out, bool fallback) {
  if (!reader.readBool(key, out)) *out = fallback;
}

void MinigameViewExtension::readSeconds(KR::XmlDataReader& reader, const char* key, float* out, float fallback) {
  float value = fallback;
  if (!reader.readFloat(key, &value)) {
    *out = fallback;
    return;
  }
  if (std::isnan(value)) {
    warn(key, KR::formatString("is not a number; %g is used", double(fallback)));
    value = fallback;
  } else if (value < 0.0f || value > kMaxSeconds) {
    const float to = std::clamp(value, 0.0f, kMaxSeconds);
    warn(key,
         KR::formatString("%g s is outside 0 to %g s; %g is used", double(value), double(kMaxSeconds), double(to)));
    value = to;
  }
  *out = value;
}

void MinigameViewExtension::readBoundedInt(KR::XmlDataReader& reader, const char* key, int32_t* out, int32_t fallback,
                                           int32_t lo, int32_t hi, const char* shownKey) {
  int32_t value = fallback;
  if (!reader.readInt(key, &value)) value = fallback;
  *out = bounded(shownKey ? shownKey : key, value, lo, hi);
}

void MinigameViewExtension::readEnableHint(KR::XmlDataReader& reader) {
  bool enabled = true;
  readFlag(reader, "enableHint", &enabled, true);
  announces = enabled;
}

void MinigameViewExtension::readCommonKeys(KR::XmlDataReader& reader, float finishTimeFallback) {
  readSuspendable(reader, &suspendable);
  readBriefing(reader);
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, finishTimeFallback);
}

AE::ISceneNode* MinigameViewExtension::sceneRoot() const { return view && view->loaded ? view->scene : nullptr; }

AE::ISceneNode* MinigameViewExtension::findNode(const std::string& name, const char* key, const char* line) const {
  AE::ISceneNode* root = sceneRoot();
  if (!root || name.empty()) return nullptr;
  AE::ISceneNode* node = AE::ISceneNode::findChild(name.c_str(), root);
  if (!node && line)
    KR::log("%s (key '%s' of '%s')", KR::formatString(line, root->mName.c_str(), name.c_str()).c_str(), key,
            configName.c_str());
  return node;
}

AE::ISceneNode* MinigameViewExtension::findStoppedNode(const std::string& name, const char* key,
                                                       const char* line) const {
  AE::ISceneNode* node = findNode(name, key, line);
  if (node) node->stop(true);
  return node;
}

void MinigameViewExtension::bindFinishNode(const char* line, const char* key) {
  finishNode = findNode(finishName, key, line);
  if (!finishNode) return;
  if (!finishNode->mEnabled) finishNode->setEnabled(true);
  rest(finishNode);
}

void MinigameViewExtension::playSound(AE::ISceneNode* node) {
  if (!node) return;
  node->stop(true);
  node->play(true);
}

void MinigameViewExtension::rest(AE::ISceneNode* node) {
  if (!node) return;
  node->stop(true);
  node->setTime(0.0f, true);
}

void MinigameViewExtension::showFrame(AE::ISceneNode* node, int32_t frame) {
  if (!node) return;
  node->setTime(float(frame) * node->mAnimation->mFrameTime, true);
}

KR::Rect MinigameViewExtension::nodeRect(const AE::ISceneNode* node) {
  if (!node) return KR::Rect();
  const float x = node->mWorldMatrix.m[6], y = node->mWorldMatrix.m[7];
  const KR::Vector2<float> size = node->getSize();
  return KR::Rect(x, y, x + size.x, y + size.y);
}

float MinigameViewExtension::lockShare(float seconds) {
  // Written so that a time that is not a number adds nothing.
  if (!(seconds > 0.0f)) return 0.0f;
  return std::min(seconds, kMaxLockSeconds);
}

void MinigameViewExtension::lengthenLock(float seconds) {
  if (Game::exists()) Game::getInstance()->addLockTime(lockShare(seconds));
}

bool MinigameViewExtension::runFinishSequence(float dt, bool solved) {
  // A puzzle restored as finished shows its finish again.
  doneNow = solved || skipWanted() || finishReported;
  if (!doneNow) return false;
  if (finishNode) finishNode->play(true);
  if (!finishReported) {
    finishTimer += dt;
    if (finishTime <= finishTimer) reportFinish();
  }
  return true;
}

void MinigameViewExtension::holdFinish(float dt, bool* started) {
  finishTimer += dt;
  if (finishNode && !finishNode->mPlaying) {
    if (!*started)
      finishNode->play(true);
    else
      finishNode->rewindToEnd();
  }
  *started = true;
  // Written as "not short of" so that a finish time that is not a number
  // reports at once instead of holding the puzzle for good.
  if (!finishReported && !(finishTimer < finishTime)) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

void MinigameViewExtension::reportFinish() {
  if (finishReported || refused) return;
  finishReported = true;
  notifyFinished();
}

}  // namespace HOG
