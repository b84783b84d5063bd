#pragma once
// Keyframe tracks of a frame animation: one key per animation frame and the
// variables that receive the evaluated value. Three value types exist:
// Vector2<float> (positions), float (alpha, texture offsets) and Rect (source
// rectangles).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animation.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

class IFunction;
class LuaScript;
class XmlDataReader;

// a x (1 - t) + b x t, component-wise in single precision.
Vector2<float> lerpVector2(const Vector2<float>& a, const Vector2<float>& b, float t);

class Animation::IContainer {
 public:
  // Told apart by code, not by run-time type information.
  enum class ValueType { Vector2, Float, Rect };

  explicit IContainer(const std::string& trackName);
  virtual ~IContainer();
  IContainer(const IContainer&) = delete;
  IContainer& operator=(const IContainer&) = delete;

  // Read the next key: from the element named after the track (XML), or from
  // the field named after the track in the script's current table (Lua). A
  // parameter that the first frame lacks disables the track for good; one that
  // a later frame lacks is fatal.
  virtual void loadKeyFromXml(XmlDataReader& reader) = 0;
  virtual void loadKeyValue(LuaScript& script) = 0;
  // Evaluate between key i and key j (j is i or the next key) at fraction t
  // (at most 1) and write the value to every target.
  virtual void getValue(uint32_t i, uint32_t j, float t) = 0;
  // Empty track: append the zero value. index < 0: append a copy of the last
  // key. Otherwise insert a copy of key `index` before it (index < key count).
  virtual void addKey(int32_t index) = 0;
  virtual void clear() = 0;
  // Ignored past the end.
  virtual void removeKey(uint32_t index) = 0;
  // Name, flags and keys; no targets and no callbacks.
  virtual std::unique_ptr<IContainer> clone() const = 0;
  virtual ValueType getValueType() const = 0;
  virtual uint32_t getKeyCount() const = 0;

  std::string name;
  // Invoked after every evaluation by the animation's update; owned.
  std::vector<std::unique_ptr<IFunction>> callbacks;
  // Quadratic Bezier through the key midpoints instead of straight lines.
  bool smooth = false;
  // False: the value jumps from key to key.
  bool interpolate = true;
};

template <typename T>
class Animation::Container final : public Animation::IContainer {
 public:
  explicit Container(const std::string& trackName);

  void loadKeyFromXml(XmlDataReader& reader) override;
  void loadKeyValue(LuaScript& script) override;
  void getValue(uint32_t i, uint32_t j, float t) override;
  void addKey(int32_t index) override;
  void clear() override;
  void removeKey(uint32_t index) override;
  std::unique_ptr<IContainer> clone() const override;
  ValueType getValueType() const override { return staticValueType(); }
  static ValueType staticValueType();
  uint32_t getKeyCount() const override { return static_cast<uint32_t>(keys.size()); }

  // The value between key i and key j at fraction t, without writing it.
  // Requires both indices to be keys.
  T evaluate(uint32_t i, uint32_t j, float t) const;

  // Not owned; their owner keeps them alive while the animation may update.
  std::vector<T*> targets;
  std::vector<T> keys;
  // Cleared when the first frame lacks the parameter; nothing loads or writes then.
  bool enabled = true;
  // True until the first key-load attempt.
  bool firstKey = true;

 private:
  void storeLoadedKey(bool readOk, const T& value);
};

extern template class Animation::Container<Vector2<float>>;
extern template class Animation::Container<float>;
extern template class Animation::Container<Rect>;

}  // namespace KR
