#include "animation.h"

#include <cmath>

#include <lua.hpp>

#include "format_string.h"
#include "function.h"
#include "keyframe_container.h"
#include "lua_script_2.h"
#include "report_assert.h"

namespace KR {

Animation::Animation() = default;

Animation::~Animation() { clear(); }

void Animation::clear() {
  tracks.clear();
  tracks.shrink_to_fit();
  frameDurations.clear();
  frameDurations.shrink_to_fit();
  frameLoopCoeffs.clear();
  frameLoopCoeffs.shrink_to_fit();
  totalDuration = 0.0f;
}

Animation::IContainer* Animation::findTrack(const std::string& name) const {
  for (const auto& track : tracks) {
    if (track->name == name) return track.get();
  }
  return nullptr;
}

template <typename T>
Animation::Container<T>* Animation::findTypedTrack(const std::string& name) const {
  IContainer* track = findTrack(name);
  if (!track) return nullptr;
  // One name, one value type: a second type would write the wrong kind of
  // value into the variables.
  if (track->getValueType() != Container<T>::staticValueType())
    KR_FATAL(formatString("Animation parameter %s is used with another value type", name.c_str()));
  return static_cast<Container<T>*>(track);
}

template <typename T>
Animation::Container<T>* Animation::bindTarget(const std::string& name, T* target, bool interpolate) {
  Container<T>* track = findTypedTrack<T>(name);
  if (!track) {
    auto created = std::make_unique<Container<T>>(name);
    track = created.get();
    tracks.push_back(std::move(created));
    track->smooth = smoothNewTracks;
  }
  track->interpolate = interpolate;
  track->targets.push_back(target);
  return track;
}

void Animation::bindVector2Parameter(const std::string& name, Vector2<float>* target) {
  bindTarget(name, target, true);
}

void Animation::bindFloatTarget(const std::string& name, float* target) { bindTarget(name, target, true); }

void Animation::bindRectParameter(const std::string& name, Rect* target) { bindTarget(name, target, false); }

Animation::Container<Vector2<float>>* Animation::addVector2Parameter(const std::string& name) {
  tracks.push_back(std::make_unique<Container<Vector2<float>>>(name));
  return static_cast<Container<Vector2<float>>*>(tracks.back().get());
}

Animation::Container<float>* Animation::addFloatParameter(const std::string& name) {
  tracks.push_back(std::make_unique<Container<float>>(name));
  return static_cast<Container<float>*>(tracks.back().get());
}

Animation::Container<Rect>* Animation::addRectParameter(const std::string& name) {
  tracks.push_back(std::make_unique<Container<Rect>>(name));
  return static_cast<Container<Rect>*>(tracks.back().get());
}

template <typename T>
T* Animation::getKey(const std::string& name, uint32_t frame) {
  Container<T>* track = findTypedTrack<T>(name);
  if (!track) KR_FATAL("Failed to find parameter with specified name");
  if (frame >= track->keys.size()) KR_FATAL("Bad frameid specified");
  return &track->keys[frame];
}

Vector2<float>* Animation::getVector2Value(const std::string& name, uint32_t frame) {
  return getKey<Vector2<float>>(name, frame);
}

float* Animation::getFloatValue(const std::string& name, uint32_t frame) { return getKey<float>(name, frame); }

Rect* Animation::getRectKey(const std::string& name, uint32_t frameId) { return getKey<Rect>(name, frameId); }

void Animation::addFrame(float duration) {
  frameDurations.push_back(duration);
  frameLoopCoeffs.push_back(1.0f);
  totalDuration += duration;
  for (auto& track : tracks) track->addKey(-1);
}

void Animation::clearFrames() {
  frameDurations.clear();
  frameLoopCoeffs.clear();
  totalDuration = 0.0f;
  for (auto& track : tracks) track->clear();
}

bool Animation::loadFromScript(const std::string& fileName, const std::string& package, const std::string& tableName) {
  LuaScript script;
  if (!script.getState()) return false;
  if (!script.loadScript(fileName, package)) return false;
  if (!tableName.empty()) {
    if (!script.openTable(tableName)) return false;
  }
  const bool ok = readDescription(script);
  if (!tableName.empty()) script.closeTable();
  return ok;
}

namespace {

// A number field of the current table, or the fall-back when it is absent or
// not a number.
float readFloatField(LuaScript& script, const char* name, float fallback) {
  script.pushField(name);
  float value = 0.0f;
  if (!script.toFloat(&value)) value = fallback;
  script.pop();
  return value;
}

}  // namespace

bool Animation::readDescription(LuaScript& script) {
  if (!script.openTable("Animation")) return false;

  // An integer: Lua's own true is not a number and leaves looping off.
  script.pushField("loop");
  int32_t loopValue = 0;
  script.toInt(&loopValue);
  script.pop();
  loop = loopValue != 0;
  speed = readFloatField(script, "speedCoef", 1.0f);

  if (!script.openTable("Frames")) {
    script.closeTable();
    return false;
  }

  lua_State* state = script.getState();
  bool ok = true;
  for (LuaTableIteration entry = script.beginIteration(); entry.hasEntry; entry.hasEntry = lua_next(state, -2)) {
    // Stack: Frames, key, value.
    if (!script.openCurrentTable()) {
      script.pop(2);  // value and key: the iteration ends here
      ok = false;
      break;
    }
    const float duration = readFloatField(script, "duration", 0.0f);
    frameDurations.push_back(duration);
    totalDuration += duration;
    frameLoopCoeffs.push_back(readFloatField(script, "loopCoeff", 1.0f));
    for (auto& track : tracks) track->loadKeyValue(script);
    script.closeTable();
    script.pop();  // the value; the key stays for lua_next
  }

  script.closeTable();  // Frames
  script.closeTable();  // Animation
  return ok;
}

uint32_t Animation::findFrame(float at, float* frameStart) const {
  float start = 0.0f;
  float lastStart = 0.0f;
  const size_t count = frameDurations.size();
  for (size_t k = 0; k < count; ++k) {
    const float end = start + frameDurations[k];
    if (start <= at && at < end) {
      if (frameStart) *frameStart = start;
      return static_cast<uint32_t>(k);
    }
    lastStart = start;
    start = end;
  }
  if (frameStart) *frameStart = lastStart;
  return count == 0 ? 0 : static_cast<uint32_t>(count - 1);
}

void Animation::update(float dt) {
  if (frameDurations.empty()) return;

  const bool hasRange = startMarker >= 0.0f;
  float step = speed * dt;
  if (hasRange && endMarker < startMarker) step = -step;
  if (!playing) step = 0.0f;
  time += step;

  if (hasRange) {
    if (startMarker < endMarker) {
      if (time > endMarker) time = loop ? startMarker : endMarker;
    } else {
      if (time < endMarker) time = loop ? startMarker : endMarker;
    }
  } else if (loop && time > totalDuration) {
    if (totalDuration <= 0.0f) {
      time = 0.0f;
    } else {
      const float wraps = std::trunc(time / totalDuration);
      time -= wraps * totalDuration;
    }
  }

  float start = 0.0f;
  const uint32_t frame = findFrame(time, &start);
  const uint32_t last = static_cast<uint32_t>(frameDurations.size() - 1);
  const uint32_t next = frame < last ? frame + 1 : last;
  const float duration = frameDurations[frame];
  float t = 1.0f;
  if (duration > 0.0f) {
    t = (time - start) / duration;
    if (t > 1.0f) t = 1.0f;
  }

  for (auto& track : tracks) {
    track->getValue(frame, next, t);
    for (auto& callback : track->callbacks) callback->invoke();
  }
}

bool Animation::isFinished() const {
  if (loop) return false;
  if (startMarker < 0.0f) return time >= totalDuration;
  if (startMarker < endMarker) return time >= endMarker;
  return time <= endMarker;
}

bool Animation::isRunning() const {
  if (!playing) return false;
  if (startMarker < 0.0f) return time < totalDuration;
  if (startMarker < endMarker) return time < endMarker;
  return time > endMarker;
}

}  // namespace KR
