#include "keyframe_container.h"

#include "format_string.h"
#include "function.h"
#include "lua_script_2.h"
#include "report_assert.h"
#include "xml_data_reader.h"

namespace KR {

namespace {

// Component-wise arithmetic on the three key types, in single precision.
inline float addKeys(float a, float b) { return a + b; }
inline float subKeys(float a, float b) { return a - b; }
inline float scaleKey(float a, float s) { return a * s; }

inline Vector2<float> addKeys(const Vector2<float>& a, const Vector2<float>& b) { return a + b; }
inline Vector2<float> subKeys(const Vector2<float>& a, const Vector2<float>& b) { return a - b; }
inline Vector2<float> scaleKey(const Vector2<float>& a, float s) { return a * s; }

inline Rect addKeys(const Rect& a, const Rect& b) {
  return Rect(a.left + b.left, a.top + b.top, a.right + b.right, a.bottom + b.bottom);
}
inline Rect subKeys(const Rect& a, const Rect& b) {
  return Rect(a.left - b.left, a.top - b.top, a.right - b.right, a.bottom - b.bottom);
}
inline Rect scaleKey(const Rect& a, float s) { return Rect(a.left * s, a.top * s, a.right * s, a.bottom * s); }

template <typename T>
T midKey(const T& p, const T& q) {
  return addKeys(p, scaleKey(subKeys(q, p), 0.5f));
}

template <typename T>
T lerpKeys(const T& a, const T& b, float t) {
  return addKeys(scaleKey(a, 1.0f - t), scaleKey(b, t));
}

// Readers of one key, named after the track.
bool readLuaKey(LuaScript& script, const std::string& name, Vector2<float>* out) {
  return luaReadVector2(script, name, out);
}

bool readLuaKey(LuaScript& script, const std::string& name, float* out) {
  script.pushField(name);
  const bool ok = script.toFloat(out);
  script.pop();
  return ok;
}

bool readLuaKey(LuaScript& script, const std::string& name, Rect* out) { return script.getRect(name, out); }

bool readXmlKey(XmlDataReader& reader, const std::string& name, Vector2<float>* out) {
  return reader.readVector2(name.c_str(), out);
}

bool readXmlKey(XmlDataReader& reader, const std::string& name, float* out) { return reader.readFloat(name, out); }

bool readXmlKey(XmlDataReader& reader, const std::string& name, Rect* out) {
  return reader.readRect(name.c_str(), out);
}

template <typename T>
Animation::IContainer::ValueType valueTypeOf();
template <>
Animation::IContainer::ValueType valueTypeOf<Vector2<float>>() {
  return Animation::IContainer::ValueType::Vector2;
}
template <>
Animation::IContainer::ValueType valueTypeOf<float>() {
  return Animation::IContainer::ValueType::Float;
}
template <>
Animation::IContainer::ValueType valueTypeOf<Rect>() {
  return Animation::IContainer::ValueType::Rect;
}

}  // namespace

Vector2<float> lerpVector2(const Vector2<float>& a, const Vector2<float>& b, float t) { return lerpKeys(a, b, t); }

Animation::IContainer::IContainer(const std::string& trackName) : name(trackName) {}

Animation::IContainer::~IContainer() = default;

template <typename T>
Animation::Container<T>::Container(const std::string& trackName) : IContainer(trackName) {}

template <typename T>
void Animation::Container<T>::storeLoadedKey(bool readOk, const T& value) {
  enabled = enabled && readOk;
  // A parameter the first frame had cannot go missing later: the frames of the
  // track would no longer line up with the animation's frames.
  if (!firstKey && !enabled) KR_FATAL(formatString("Failed to load animation parameter %s", name.c_str()));
  if (enabled) keys.push_back(value);
  firstKey = false;
}

template <typename T>
void Animation::Container<T>::loadKeyFromXml(XmlDataReader& reader) {
  if (!enabled) return;
  T value{};
  const bool ok = readXmlKey(reader, name, &value);
  storeLoadedKey(ok, value);
}

template <typename T>
void Animation::Container<T>::loadKeyValue(LuaScript& script) {
  if (!enabled) return;
  T value{};
  const bool ok = readLuaKey(script, name, &value);
  storeLoadedKey(ok, value);
}

template <typename T>
T Animation::Container<T>::evaluate(uint32_t i, uint32_t j, float t) const {
  if (!interpolate) return keys[i];
  const size_t n = keys.size();
  if (!smooth || n < 3 || i == j) return lerpKeys(keys[i], keys[j], t);

  // Quadratic Bezier from the midpoint before key i through the middle of the
  // segment to the midpoint after key j; the ends of the track are the first
  // and last keys. Consecutive segments meet, so the curve is continuous and
  // cuts the corners at the inner keys.
  const T a = (i == 0) ? keys[0] : midKey(midKey(keys[i - 1], keys[i]), midKey(keys[i], keys[j]));
  const T b = midKey(keys[i], keys[j]);
  const T c = (j >= n - 1) ? keys[j] : midKey(midKey(keys[i], keys[j]), midKey(keys[j], keys[j + 1]));
  const float u = 1.0f - t;
  return addKeys(addKeys(scaleKey(a, u * u), scaleKey(b, 2.0f * u * t)), scaleKey(c, t * t));
}

template <typename T>
void Animation::Container<T>::getValue(uint32_t i, uint32_t j, float t) {
  if (!enabled) return;
  // A track without keys for these frames (never given any, or bound after the
  // frames were loaded) leaves its variables at their own values.
  if (i >= keys.size() || j >= keys.size()) return;
  const T value = evaluate(i, j, t);
  for (T* target : targets) *target = value;
}

template <typename T>
void Animation::Container<T>::addKey(int32_t index) {
  if (keys.empty()) {
    keys.push_back(T{});
    return;
  }
  if (index < 0) {
    const T last = keys.back();
    keys.push_back(last);
    return;
  }
  if (static_cast<size_t>(index) >= keys.size())
    KR_FATAL(formatString("Bad key index %d for animation parameter %s", index, name.c_str()));
  const T copy = keys[static_cast<size_t>(index)];
  keys.insert(keys.begin() + index, copy);
}

template <typename T>
void Animation::Container<T>::clear() {
  keys.clear();
}

template <typename T>
void Animation::Container<T>::removeKey(uint32_t index) {
  if (index >= keys.size()) return;
  keys.erase(keys.begin() + index);
}

template <typename T>
std::unique_ptr<Animation::IContainer> Animation::Container<T>::clone() const {
  auto copy = std::make_unique<Container<T>>(name);
  copy->smooth = smooth;
  copy->interpolate = interpolate;
  copy->enabled = enabled;
  copy->firstKey = firstKey;
  copy->keys = keys;
  return copy;
}

template <typename T>
Animation::IContainer::ValueType Animation::Container<T>::staticValueType() {
  return valueTypeOf<T>();
}

template class Animation::Container<Vector2<float>>;
template class Animation::Container<float>;
template class Animation::Container<Rect>;

}  // namespace KR
