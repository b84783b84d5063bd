#include "animationeditor/scene_node_animation.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node_stream.h"
#include "format_string.h"
#include "lua_script_2.h"
#include "report_assert.h"

namespace AE {

namespace {

constexpr float kEpsilon = 1.1920929e-07f;

// Per value type: reading from a script table, blending and the key record
// of the binary form.
template <typename T>
struct TrackTraits;

template <>
struct TrackTraits<float> {
  static TrackType type() { return TrackType::Float; }
  static bool read(KR::LuaScript& script, const std::string& name, float* out) {
    // Pops what it pushed at any table depth, globals included.
    script.pushField(name);
    const bool ok = script.toFloat(out);
    script.pop();
    return ok;
  }
  static float lerp(float a, float b, float t) { return a * (1.0f - t) + t * b; }
  static float lead(float value, float s, float handle) { return value + s * handle; }
  static float trail(float value, float s, float handle) { return value - s * handle; }
  static float blend(const float w[4], const float p[4]) {
    return w[0] * p[0] + w[1] * p[1] + w[2] * p[2] + w[3] * p[3];
  }
  static void writeKey(ISceneNodeStream& s, const TrackKey<float>& k) {
    s.writeF32(k.value);
    s.writeF32(k.handle);
  }
  static void readKey(ISceneNodeStream& s, TrackKey<float>& k) {
    s.readF32(&k.value);
    s.readF32(&k.handle);
  }
};

// A real value as an int, clamped to the int range (NaN gives 0), so that
// damaged keys or clocks cannot overflow a conversion.
int32_t clampToInt(double v) {
  if (!(v == v)) return 0;
  return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

template <>
struct TrackTraits<int32_t> {
  static TrackType type() { return TrackType::Int; }
  static bool read(KR::LuaScript& script, const std::string& name, int32_t* out) {
    script.pushField(name);
    const bool ok = script.toInt(out);
    script.pop();
    return ok;
  }
  // In thousandths with a 64-bit intermediate, so large values (a long text's
  // character count) cannot overflow; in-range results are the 32-bit ones.
  static int32_t lerp(int32_t a, int32_t b, float t) {
    const int64_t k = std::clamp<int64_t>(clampToInt(double(t) * 1000.0), 0, 1000);
    return clampToInt(double(((1000 - k) * int64_t(a) + k * int64_t(b)) * 1000 / 1000000));
  }
  static int32_t lead(int32_t value, float s, int32_t handle) {
    return clampToInt(double(value) + double(clampToInt(double(s) * handle)));
  }
  static int32_t trail(int32_t value, float s, int32_t handle) {
    return clampToInt(double(value) - double(clampToInt(double(s) * handle)));
  }
  static int32_t blend(const float w[4], const int32_t p[4]) {
    return clampToInt(double(w[0]) * p[0] + double(w[1]) * p[1] + double(w[2]) * p[2] + double(w[3]) * p[3]);
  }
  static void writeKey(ISceneNodeStream& s, const TrackKey<int32_t>& k) {
    s.writeI32(k.value);
    s.writeI32(k.handle);
  }
  static void readKey(ISceneNodeStream& s, TrackKey<int32_t>& k) {
    s.readI32(&k.value);
    s.readI32(&k.handle);
  }
};

template <>
struct TrackTraits<KR::Color> {
  static TrackType type() { return TrackType::Color; }
  static bool read(KR::LuaScript& script, const std::string& name, KR::Color* out) {
    return script.getColor(name, out);
  }
  static KR::Color lerp(KR::Color a, KR::Color b, float t) {
    return KR::Color::fromScalar(t) * b + KR::Color::fromScalar(1.0f - t) * a;
  }
  static KR::Color lead(KR::Color value, float s, KR::Color handle) {
    return value + KR::Color::fromScalar(s) * handle;
  }
  static KR::Color trail(KR::Color value, float s, KR::Color handle) {
    return value - KR::Color::fromScalar(s) * handle;
  }
  static KR::Color blend(const float w[4], const KR::Color p[4]) {
    return KR::Color::fromScalar(w[0]) * p[0] + KR::Color::fromScalar(w[1]) * p[1] +
           KR::Color::fromScalar(w[2]) * p[2] + KR::Color::fromScalar(w[3]) * p[3];
  }
  static void writeKey(ISceneNodeStream& s, const TrackKey<KR::Color>& k) {
    s.writeColor(k.value);
    s.writeColor(k.handle);
  }
  static void readKey(ISceneNodeStream& s, TrackKey<KR::Color>& k) {
    s.readColor(&k.value);
    s.readColor(&k.handle);
  }
};

template <>
struct TrackTraits<KR::Vector2<float>> {
  using V = KR::Vector2<float>;
  static TrackType type() { return TrackType::Vector2; }
  static bool read(KR::LuaScript& script, const std::string& name, V* out) {
    return KR::luaReadVector2(script, name, out);
  }
  static V lerp(const V& a, const V& b, float t) { return V(a.x * (1.0f - t) + b.x * t, a.y * (1.0f - t) + b.y * t); }
  static V lead(const V& value, float s, const V& handle) { return V(value.x + s * handle.x, value.y + s * handle.y); }
  static V trail(const V& value, float s, const V& handle) { return V(value.x - s * handle.x, value.y - s * handle.y); }
  static V blend(const float w[4], const V p[4]) {
    return V(w[0] * p[0].x + w[1] * p[1].x + w[2] * p[2].x + w[3] * p[3].x,
             w[0] * p[0].y + w[1] * p[1].y + w[2] * p[2].y + w[3] * p[3].y);
  }
  static void writeKey(ISceneNodeStream& s, const TrackKey<V>& k) {
    s.writeVector2(k.value);
    s.writeVector2(k.handle);
  }
  static void readKey(ISceneNodeStream& s, TrackKey<V>& k) {
    s.readVector2(&k.value);
    s.readVector2(&k.handle);
  }
};

template <>
struct TrackTraits<bool> {
  static TrackType type() { return TrackType::Bool; }
  static bool read(KR::LuaScript& script, const std::string& name, bool* out) {
    script.pushField(name);
    int32_t v = 0;
    const bool ok = script.toInt(&v);
    script.pop();
    *out = v != 0;
    return ok;
  }
};

template <typename T>
T bezierOrLinear(const std::vector<TrackKey<T>>& keys, uint32_t a, uint32_t b, float t) {
  const TrackKey<T>& ka = keys[a];
  const TrackKey<T>& kb = keys[b];
  if ((!ka.bezier && !kb.bezier) || keys.size() < 2 || a == b) return TrackTraits<T>::lerp(ka.value, kb.value, t);
  const float u = 1.0f - t;
  const float position = ka.handlePosition;
  T p[4] = {ka.value, ka.value, kb.value, kb.value};
  // The handles have their full size where t meets the key's position and
  // shrink linearly on either side; both take their position from key a.
  if (ka.bezier) p[1] = TrackTraits<T>::lead(ka.value, 1.0f - std::fabs(1.0f - position - t), ka.handle);
  if (kb.bezier) p[2] = TrackTraits<T>::trail(kb.value, 1.0f - std::fabs(position - t), kb.handle);
  const float w[4] = {u * u * u, 3.0f * t * u * u, 3.0f * u * t * t, t * t * t};
  return TrackTraits<T>::blend(w, p);
}

}  // namespace

void failMissingParameter() { KR_FATAL("Failed to find parameter with specified name"); }
void failBadType() { KR_FATAL("Bad type specified"); }
void failBadFrameIndex() { KR_FATAL("Bad frameIndex specified"); }

// ---- Container<T> ----

template <typename T>
TrackType SceneNodeAnimation::Container<T>::staticType() {
  return TrackTraits<T>::type();
}

template <typename T>
void SceneNodeAnimation::Container<T>::loadKey(KR::LuaScript& script, uint32_t frame) {
  if (!enabled) return;
  T value{};
  const bool ok = TrackTraits<T>::read(script, name, &value);
  enabled = enabled && ok;
  if (!enabled && !firstLoad) KR_FATAL(KR::formatString("Failed to load animation parameter %s", name.c_str()));
  if (enabled) {
    TrackKey<T> key;
    key.value = value;
    key.frame = frame;
    keys.push_back(key);
  }
  firstLoad = false;
}

template <typename T>
T SceneNodeAnimation::Container<T>::evaluate(uint32_t a, uint32_t b, float t) const {
  if (!interpolate) return keys[a].value;
  return bezierOrLinear(keys, a, b, t);
}

// Bool keys blend as booleans: a Bezier of four control booleans, or true
// wherever the linear blend is not zero.
template <>
bool SceneNodeAnimation::Container<bool>::evaluate(uint32_t a, uint32_t b, float t) const {
  const TrackKey<bool>& ka = keys[a];
  const TrackKey<bool>& kb = keys[b];
  if (!interpolate) return ka.value;
  if ((ka.bezier || kb.bezier) && keys.size() >= 2 && a != b) {
    const float s = 1.0f - t;
    bool p1 = ka.value;
    bool p2 = kb.value;
    if (ka.bezier && (1.0f - std::fabs(1.0f - ka.handlePosition - t)) * float(ka.handle) != 0.0f) p1 = true;
    if (kb.bezier && (1.0f - std::fabs(ka.handlePosition - t)) * float(kb.handle) != 0.0f) p2 = !p2;
    return float(ka.value) * s * s * s != 0.0f || float(p1) * 3.0f * s * s * t != 0.0f ||
           float(p2) * 3.0f * s * t * t != 0.0f || float(kb.value) * t * t * t != 0.0f;
  }
  return float(ka.value) * (1.0f - t) + float(kb.value) * t != 0.0f;
}

template <typename T>
void SceneNodeAnimation::Container<T>::getValue(uint32_t a, uint32_t b, float t) {
  if (!enabled) return;
  const T value = evaluate(a, b, t);
  for (T* target : targets) *target = value;
}

template <typename T>
void SceneNodeAnimation::Container<T>::addKey(uint32_t frame, bool noSort) {
  TrackKey<T> key;
  if (!keys.empty()) key.value = keys.back().value;
  key.frame = frame;
  keys.push_back(key);
  // Keys are mostly added in frame order; only one out of order needs the sort.
  if (!noSort && keys.size() > 1 && keys[keys.size() - 2].frame > frame) sortKeys();
}

template <typename T>
void SceneNodeAnimation::Container<T>::removeKey(uint32_t index) {
  if (index < keys.size()) keys.erase(keys.begin() + index);
  sortKeys();
}

template <typename T>
SceneNodeAnimation::IContainer* SceneNodeAnimation::Container<T>::clone() const {
  Container<T>* copy = new Container<T>(name);
  copy->nested = nested;
  copy->interpolate = interpolate;
  copy->enabled = enabled;
  copy->firstLoad = firstLoad;
  copy->keys = keys;
  return copy;
}

template <typename T>
bool SceneNodeAnimation::Container<T>::moveKey(uint32_t from, uint32_t to) {
  for (TrackKey<T>& key : keys) {
    if (key.frame == from) {
      key.frame = to;
      sortKeys();
      return true;
    }
  }
  return false;
}

template <typename T>
void SceneNodeAnimation::Container<T>::sortKeys() {
  std::sort(keys.begin(), keys.end(), [](const TrackKey<T>& a, const TrackKey<T>& b) { return a.frame < b.frame; });
}

namespace {

void writeKeyTail(ISceneNodeStream& s, float handlePosition, uint32_t frame, bool bezier) {
  s.writeF32(handlePosition);
  s.writeU32(frame);
  s.writeBool(bezier);
  const uint8_t padding[3] = {0, 0, 0};
  s.write(padding, 3);
}

void readKeyTail(ISceneNodeStream& s, float* handlePosition, uint32_t* frame, bool* bezier) {
  s.readF32(handlePosition);
  s.readU32(frame);
  s.readBool(bezier);
  uint8_t padding[3];
  s.read(padding, 3);
}

}  // namespace

template <typename T>
void SceneNodeAnimation::Container<T>::writeKeys(ISceneNodeStream& stream) const {
  stream.writeU32(static_cast<uint32_t>(keys.size()));
  for (const TrackKey<T>& key : keys) {
    TrackTraits<T>::writeKey(stream, key);
    writeKeyTail(stream, key.handlePosition, key.frame, key.bezier);
  }
  stream.writeBool(enabled);
  stream.writeBool(firstLoad);
}

// Bool records: value byte, weight byte, 2 bytes padding, position, frame,
// flag byte, 3 bytes padding (16 bytes).
template <>
void SceneNodeAnimation::Container<bool>::writeKeys(ISceneNodeStream& stream) const {
  stream.writeU32(static_cast<uint32_t>(keys.size()));
  for (const TrackKey<bool>& key : keys) {
    const uint8_t head[4] = {uint8_t(key.value), uint8_t(key.handle), 0, 0};
    stream.write(head, 4);
    writeKeyTail(stream, key.handlePosition, key.frame, key.bezier);
  }
  stream.writeBool(enabled);
  stream.writeBool(firstLoad);
}

template <typename T>
void SceneNodeAnimation::Container<T>::readKeys(ISceneNodeStream& stream) {
  keys.clear();
  uint32_t count = 0;
  stream.readU32(&count);
  // Records are appended as they arrive, so a damaged count cannot make the
  // track reserve more than the stream holds.
  for (uint32_t i = 0; i < count && !stream.failed(); ++i) {
    TrackKey<T> key;
    TrackTraits<T>::readKey(stream, key);
    readKeyTail(stream, &key.handlePosition, &key.frame, &key.bezier);
    if (stream.failed()) break;
    keys.push_back(key);
  }
  stream.readBool(&enabled);
  stream.readBool(&firstLoad);
}

template <>
void SceneNodeAnimation::Container<bool>::readKeys(ISceneNodeStream& stream) {
  keys.clear();
  uint32_t count = 0;
  stream.readU32(&count);
  for (uint32_t i = 0; i < count && !stream.failed(); ++i) {
    TrackKey<bool> key;
    uint8_t head[4] = {0, 0, 0, 0};
    stream.read(head, 4);
    key.value = head[0] != 0;
    key.handle = head[1] != 0;
    readKeyTail(stream, &key.handlePosition, &key.frame, &key.bezier);
    if (stream.failed()) break;
    keys.push_back(key);
  }
  stream.readBool(&enabled);
  stream.readBool(&firstLoad);
}

template class SceneNodeAnimation::Container<float>;
template class SceneNodeAnimation::Container<KR::Vector2<float>>;
template class SceneNodeAnimation::Container<KR::Color>;
template class SceneNodeAnimation::Container<int32_t>;
template class SceneNodeAnimation::Container<bool>;

// ---- SceneNodeAnimation ----

SceneNodeAnimation::SceneNodeAnimation(bool withLerpAnimation) {
  if (withLerpAnimation) makeLerpAnimation();
}

void SceneNodeAnimation::makeLerpAnimation() {
  mLerpAnimation = new SceneNodeAnimation(false);
  mLerpAnimation->mIsLerpAnimation = true;
  mLerpAnimation->bindFloat("mLerpCoeff", &mLerpCoeff);
}

SceneNodeAnimation::SceneNodeAnimation(const SceneNodeAnimation& other)
    : mKeyFrames(other.mKeyFrames),
      mLoop(other.mLoop),
      mRunning(other.mRunning),
      mFramesPerSecond(other.mFramesPerSecond),
      mIsLerpAnimation(other.mIsLerpAnimation),
      mTime(other.mTime),
      mCurrentKeyFrame(other.mCurrentKeyFrame),
      mDuration(other.mDuration),
      mFrameTime(other.mFrameTime),
      mLerpCoeff(other.mLerpCoeff) {
  mTracks.reserve(other.mTracks.size());
  for (const IContainer* track : other.mTracks) mTracks.push_back(track->clone());
  if (other.mLerpAnimation) {
    mLerpAnimation = new SceneNodeAnimation(*other.mLerpAnimation);
    mLerpAnimation->bindFloat("mLerpCoeff", &mLerpCoeff);
  }
}

SceneNodeAnimation::~SceneNodeAnimation() {
  for (IContainer* track : mTracks) delete track;
  delete mLerpAnimation;
}

float SceneNodeAnimation::getDuration() const {
  return mKeyFrames.empty() ? 0.0f : float(mKeyFrames.back()) * mFrameTime;
}

int SceneNodeAnimation::findCurrentKey() const {
  const size_t count = mKeyFrames.size();
  if (count <= 1) return 0;
  float ti = float(mKeyFrames[0]) * mFrameTime;
  if (mTime < ti) return -1;
  for (size_t i = 0; i + 1 < count; ++i) {
    const float tn = float(mKeyFrames[i + 1]) * mFrameTime;
    if (ti <= mTime && mTime < tn) return int(i);
    ti = tn;
  }
  return int(count - 1);
}

int SceneNodeAnimation::findKeyIndex(uint32_t frame) const {
  const auto it = std::lower_bound(mKeyFrames.begin(), mKeyFrames.end(), frame);
  if (it == mKeyFrames.end() || *it != frame) return -1;
  return int(it - mKeyFrames.begin());
}

uint32_t SceneNodeAnimation::getCurrentKeyIndex() const {
  const int k = findCurrentKey();
  return k < 1 ? 0u : uint32_t(k);
}

float SceneNodeAnimation::getLerp(int k, bool before) {
  const float elapsed = mTime - float(mCurrentKeyFrame) * mFrameTime;
  float span = 0.0f;
  if (size_t(k) < mKeyFrames.size()) {
    const size_t next = size_t(k) + 1 < mKeyFrames.size() ? size_t(k) + 1 : size_t(k);
    span = (float(mKeyFrames[next]) - float(mKeyFrames[size_t(k)])) / mFramesPerSecond;
  }
  float c = std::fabs(span) <= kEpsilon ? 1.0f : std::min(elapsed / span, 1.0f);
  if (before) c = 0.0f;
  if (!mLerpAnimation) return c;
  if (mLerpAnimation->mKeyFrames.empty()) {
    // No easing curve: the coefficient stands as it is.
    mLerpCoeff = 1.0f;
    return std::clamp(c, 0.0f, 1.0f);
  }
  mLerpAnimation->mTime = std::max(mTime, 0.0f);
  mLerpAnimation->update(0.0f);
  return std::clamp(mLerpCoeff * c, 0.0f, 1.0f);
}

void SceneNodeAnimation::update(float dt) {
  if (mKeyFrames.empty()) return;
  mDuration = float(mKeyFrames.back()) * mFrameTime;
  mTime += mRunning ? dt : 0.0f;
  if (mLoop && mTime > mDuration) {
    if (mDuration > 0.0f) {
      const float n = std::trunc(mTime / mDuration);
      mTime -= n * mDuration;
    } else {
      mTime = 0.0f;
    }
  }
  const int cur = findCurrentKey();
  const uint32_t last = uint32_t(mKeyFrames.size() - 1);
  const bool before = cur < 0;
  const uint32_t k = before ? 0u : uint32_t(cur);
  const uint32_t next = std::min(k + 1, last);
  mCurrentKeyFrame = mKeyFrames[k];
  const float c = getLerp(int(k), before);
  for (IContainer* track : mTracks) {
    track->getValue(k, next, c);
    if (!track->observers.empty()) {
      for (ITrackObserver* observer : track->observers) observer->onTrackEvaluated();
    }
  }
}

void SceneNodeAnimation::sortKeyFrames() { std::sort(mKeyFrames.begin(), mKeyFrames.end()); }

bool SceneNodeAnimation::addKeyframe(int frame) {
  const uint32_t f = static_cast<uint32_t>(frame);
  // Loaders add frames in order: a frame past the last one is new without a search.
  const bool appended = mKeyFrames.empty() || mKeyFrames.back() < f;
  if (!appended && std::find(mKeyFrames.begin(), mKeyFrames.end(), f) != mKeyFrames.end()) return false;
  for (IContainer* track : mTracks) track->addKey(f, false);
  mKeyFrames.push_back(f);
  if (mKeyFrames.size() > 1 && mKeyFrames[mKeyFrames.size() - 2] > f) sortKeyFrames();
  return true;
}

void SceneNodeAnimation::removeKeyAt(uint32_t position) {
  if (position >= mKeyFrames.size()) return;
  mKeyFrames.erase(mKeyFrames.begin() + position);
  for (IContainer* track : mTracks) track->removeKey(position);
  sortKeyFrames();
}

bool SceneNodeAnimation::moveKeyframe(int from, int to) {
  const uint32_t f = static_cast<uint32_t>(from);
  if (from == to) return false;
  const auto it = std::find(mKeyFrames.begin(), mKeyFrames.end(), f);
  if (it == mKeyFrames.end()) return false;
  uint32_t target = static_cast<uint32_t>(to);
  while (std::find(mKeyFrames.begin(), mKeyFrames.end(), target) != mKeyFrames.end()) ++target;
  *it = target;
  for (IContainer* track : mTracks) track->moveKey(f, target);
  sortKeyFrames();
  return true;
}

SceneNodeAnimation::IContainer* SceneNodeAnimation::findTrack(const std::string& name) const {
  // Scene files look a track up for every key they write: the last character
  // tells most names of one length apart ("posX", "posY") before a full compare.
  for (IContainer* track : mTracks) {
    const std::string& n = track->name;
    if (n.size() == name.size() && (n.empty() || n.back() == name.back()) && n == name) return track;
  }
  return nullptr;
}

template <typename T>
SceneNodeAnimation::Container<T>* SceneNodeAnimation::bind(const std::string& name, T* target) {
  Container<T>* track = nullptr;
  if (IContainer* found = findTrack(name)) {
    if (found->getType() != Container<T>::staticType()) failBadType();
    track = static_cast<Container<T>*>(found);
    track->interpolate = true;
  } else {
    track = new Container<T>(name);
    track->nested = mIsLerpAnimation;
    mTracks.push_back(track);
  }
  track->targets.push_back(target);
  return track;
}

template <typename T>
void SceneNodeAnimation::unbind(const std::string& name, T* target) {
  IContainer* found = findTrack(name);
  if (!found) return;
  if (found->getType() != Container<T>::staticType()) failBadType();
  std::vector<T*>& targets = static_cast<Container<T>*>(found)->targets;
  for (size_t i = 0; i < targets.size();) {
    if (targets[i] == target) {
      targets[i] = targets.back();
      targets.pop_back();
    } else {
      ++i;
    }
  }
}

void SceneNodeAnimation::bindFloat(const std::string& name, float* target) { bind(name, target); }
void SceneNodeAnimation::bindVector2(const std::string& name, KR::Vector2<float>* target) { bind(name, target); }
void SceneNodeAnimation::bindColor(const std::string& name, KR::Color* target) { bind(name, target); }
void SceneNodeAnimation::bindInt(const std::string& name, int32_t* target, bool interpolate) {
  bind(name, target)->interpolate = interpolate;
}
void SceneNodeAnimation::bindBool(const std::string& name, bool* target) { bind(name, target); }
void SceneNodeAnimation::unbindFloat(const std::string& name, float* target) { unbind(name, target); }
void SceneNodeAnimation::unbindVector2(const std::string& name, KR::Vector2<float>* target) { unbind(name, target); }
void SceneNodeAnimation::unbindInt(const std::string& name, int32_t* target) { unbind(name, target); }

void SceneNodeAnimation::writeBinary(ISceneNodeStream& stream) const {
  for (const IContainer* track : mTracks) track->writeKeys(stream);
  stream.writeU32(static_cast<uint32_t>(mKeyFrames.size()));
  for (uint32_t frame : mKeyFrames) stream.writeU32(frame);
  stream.writeBool(mLoop);
  stream.writeBool(mRunning);
  stream.writeF32(mFramesPerSecond);
  stream.writeBool(mIsLerpAnimation);
  stream.writeF32(mTime);
  stream.writeU32(mCurrentKeyFrame);
  stream.writeF32(mDuration);
  stream.writeF32(mFrameTime);
  stream.writeF32(mLerpCoeff);
  stream.writeBool(mLerpAnimation != nullptr);
  if (mLerpAnimation) mLerpAnimation->writeBinary(stream);
}

void SceneNodeAnimation::readBinary(ISceneNodeStream& stream) {
  for (IContainer* track : mTracks) track->readKeys(stream);
  uint32_t count = 0;
  stream.readU32(&count);
  mKeyFrames.clear();
  for (uint32_t i = 0; i < count && !stream.failed(); ++i) {
    uint32_t frame = 0;
    if (stream.readU32(&frame)) mKeyFrames.push_back(frame);
  }
  stream.readBool(&mLoop);
  stream.readBool(&mRunning);
  stream.readF32(&mFramesPerSecond);
  stream.readBool(&mIsLerpAnimation);
  stream.readF32(&mTime);
  stream.readU32(&mCurrentKeyFrame);
  stream.readF32(&mDuration);
  stream.readF32(&mFrameTime);
  stream.readF32(&mLerpCoeff);
  bool nestedFollows = false;
  stream.readBool(&nestedFollows);
  if (nestedFollows && !stream.failed()) {
    delete mLerpAnimation;
    makeLerpAnimation();
    mLerpAnimation->readBinary(stream);
  }
  // A damaged stream must not leave tracks and key frames out of step: the
  // evaluation indexes every track by key-frame position.
  bool consistent = !stream.failed();
  for (const IContainer* track : mTracks)
    consistent = consistent && (!track->enabled || track->getKeyCount() == mKeyFrames.size());
  if (!consistent) {
    mKeyFrames.clear();
    for (IContainer* track : mTracks) track->clear();
  }
}

}  // namespace AE
