#include "timed_value_interval.h"

#include <cmath>
#include <limits>

#include "aux_archive.h"
#include "report_assert.h"
#include "xml_iarchive.h"

namespace KR {

namespace {

[[noreturn]] void badLine() {
  reportAssert("KR", "", "timed_value_interval", 213);
  fatalTrap();
}

// A key value read from a file: NaN and infinities would spread into every
// particle that samples the curve.
float finiteValue(float value) {
  if (std::isnan(value)) return 0.0f;
  const float limit = std::numeric_limits<float>::max();
  if (value > limit) return limit;
  if (value < -limit) return -limit;
  return value;
}
Color finiteValue(const Color& value) { return value; }

template <typename T>
T zeroValue() {
  return T();
}

// The default bounds: a float of that value, a colour with every channel at it.
template <typename T>
T fromPercent(int value);
template <>
float fromPercent<float>(int value) {
  return float(value);
}
template <>
Color fromPercent<Color>(int value) {
  return Color(int32_t(value));
}

// The mean of line values: floats summed in single precision, colours channel
// by channel as whole numbers, truncating.
template <typename T>
struct Mean;
template <>
struct Mean<float> {
  float sum = 0.0f;
  void add(float value) { sum += value; }
  float result(int count) const { return sum / float(count); }
};
template <>
struct Mean<Color> {
  int64_t sums[4] = {0, 0, 0, 0};
  void add(const Color& value) {
    sums[0] += value.red();
    sums[1] += value.green();
    sums[2] += value.blue();
    sums[3] += value.alpha();
  }
  Color result(int count) const {
    return Color::fromChannels(uint8_t(sums[0] / count), uint8_t(sums[1] / count), uint8_t(sums[2] / count),
                               uint8_t(sums[3] / count));
  }
};

// Line i of `count` flat lines between the bounds.
float flatLineValue(float minValue, float maxValue, int i, int count) {
  const float range = maxValue - minValue;
  const float step = range / float(count);
  return minValue + (range * 0.5f - float(i) * step);
}

// Colours divide per channel by the low byte of the count, and line i is offset
// by step x i / 255 per channel (a modulation).
Color flatLineValue(const Color& minValue, const Color& maxValue, int i, int count) {
  const Color range = maxValue - minValue;
  const Color step = range / Color(int32_t(count & 0xFF));
  const Color half = range / Color(2);
  return minValue + (half - step * Color(int32_t(i & 0xFF)));
}

float interpolate(float lower, float upper, float k) { return k * lower + (1.0f - k) * upper; }

// The two weights become grey colours (each channel the whole part of
// weight x 255, low byte kept); each end is modulated by its grey (x * y / 255,
// rounded down) and the two are added channel by channel, wrapping.
Color interpolate(const Color& lower, const Color& upper, float k) {
  const uint32_t towardsUpper = uint32_t(int32_t(double(1.0f - k) * 255.0)) & 0xFFu;
  const uint32_t towardsLower = uint32_t(int32_t(double(k) * 255.0)) & 0xFFu;
  uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t a = (upper.value >> shift) & 0xFFu;
    const uint32_t b = (lower.value >> shift) & 0xFFu;
    result |= (((a * towardsUpper) / 255u + (b * towardsLower) / 255u) & 0xFFu) << shift;
  }
  return Color::fromARGB(result);
}

}  // namespace

// ---------------------------------------------------------------------------
// Keys

template <typename T>
template <typename Member>
void TimedValueInterval<T>::timevalue::members(Member&& member) {
  member("time", time);
  member("value", value);
}

template <typename T>
void TimedValueInterval<T>::timevalue::serializeAux(AuxArchive& ar) {
  members(MemberVisitor{ar});
}

template <typename T>
void TimedValueInterval<T>::timevalue::serializeXmlIn(XmlIArchive& ar) {
  members(MemberLoader{ar});
  value = finiteValue(value);
}

template <typename T>
void TimedValueInterval<T>::timevalue::serializeXmlOut(XmlOArchive& ar) {
  members(MemberSaver{ar});
}

// ---------------------------------------------------------------------------
// Curve

template <typename T>
TimedValueInterval<T>::TimedValueInterval() : mMinValue(fromPercent<T>(0)), mMaxValue(fromPercent<T>(100)) {}

template <typename T>
TimedValueInterval<T>::TimedValueInterval(const TimedValueInterval& other) : TimedValueInterval() {
  *this = other;
}

template <typename T>
TimedValueInterval<T>& TimedValueInterval<T>::operator=(const TimedValueInterval& other) {
  if (this == &other) return *this;
  mLinesCount = other.mLinesCount;
  mMinValue = other.mMinValue;
  mMaxValue = other.mMaxValue;
  mSingleLine = other.mSingleLine;
  clear();
  mValues.resize(other.mValues.size());
  for (size_t i = 0; i < other.mValues.size(); ++i) {
    mValues[i].reserve(other.mValues[i].size());
    for (const timevalue* key : other.mValues[i]) mValues[i].push_back(new timevalue(key->time, key->value));
  }
  return *this;
}

template <typename T>
TimedValueInterval<T>::~TimedValueInterval() {
  clear();
}

template <typename T>
TimedValueInterval<T> TimedValueInterval<T>::makeDefault(int count, const T& minValue, const T& maxValue) {
  TimedValueInterval curve;
  curve.mLinesCount = count;
  curve.mMinValue = minValue;
  curve.mMaxValue = maxValue;
  curve.mSingleLine = false;
  curve.mDefaultWeight = 1.0f;
  curve.resetLines();
  return curve;
}

template <typename T>
const typename TimedValueInterval<T>::Line& TimedValueInterval<T>::lineAt(int line) const {
  // Checked against the lines actually held, which a load keeps equal to mLinesCount.
  if (line < 0 || line >= mLinesCount || size_t(line) >= mValues.size()) badLine();
  return mValues[size_t(line)];
}

template <typename T>
T TimedValueInterval<T>::getValue(int line, int t) const {
  const Line& keys = lineAt(line);
  if (keys.empty()) return zeroValue<T>();
  if (keys.size() == 1) return keys[0]->value;
  // One walk finds all three: the first key of smallest time; the lower key,
  // the last in list order of the greatest time not after t (the first key of
  // smallest time when every key lies after t); the upper key, the first of
  // the smallest time after t.
  const timevalue* first = keys[0];
  const timevalue* lower = nullptr;
  const timevalue* upper = nullptr;
  for (const timevalue* key : keys) {
    if (key->time < first->time) first = key;
    if (key->time <= t) {
      if (!lower || key->time >= lower->time) lower = key;
    } else if (!upper || key->time < upper->time) {
      upper = key;
    }
  }
  if (!lower) lower = first;
  if (!upper) upper = lower;
  // Key times from a file may lie the whole int range apart: differences in double.
  const double span = double(upper->time) - double(lower->time);
  if (span == 0.0) return lower->value;
  const float k = float((double(upper->time) - double(t)) / span);
  return interpolate(lower->value, upper->value, k);
}

template <typename T>
T TimedValueInterval<T>::getAverageValue(int t) const {
  const int count = getValueCount();
  if (count <= 0 || mValues.empty()) return zeroValue<T>();
  Mean<T> mean;
  for (int i = 0; i < count; ++i) mean.add(getValue(i, t));
  return mean.result(count);
}

template <typename T>
int TimedValueInterval<T>::getValueCount() const {
  if (mSingleLine) return mLinesCount < 1 ? mLinesCount : 1;
  return mLinesCount;
}

template <typename T>
void TimedValueInterval<T>::addValue(int line, int time, const T& value) {
  if (line < 0 || line >= mLinesCount) badLine();
  while (mValues.size() <= size_t(line)) mValues.emplace_back();
  mValues[size_t(line)].push_back(new timevalue(time, value));
}

template <typename T>
void TimedValueInterval<T>::resetLines() {
  clear();
  if (mLinesCount <= 0) return;
  mValues.resize(size_t(mLinesCount));
  for (int i = 0; i < mLinesCount; ++i) {
    const T value = flatLineValue(mMinValue, mMaxValue, i, mLinesCount);
    addValue(i, 0, value);
    addValue(i, 100, value);
  }
}

template <typename T>
void TimedValueInterval<T>::clear() {
  for (Line& line : mValues) {
    for (timevalue* key : line) delete key;
    line.clear();
  }
  mValues.clear();
}

template <typename T>
template <typename Member>
void TimedValueInterval<T>::members(Member&& member) {
  member("mValues", mValues);
  member("mLinesCount", mLinesCount);
  member("mMinValue", mMinValue);
  member("mMaxValue", mMaxValue);
  member("mSingleLine", mSingleLine);
}

template <typename T>
void TimedValueInterval<T>::serializeAux(AuxArchive& ar) {
  members(MemberVisitor{ar});
}

template <typename T>
void TimedValueInterval<T>::serializeXmlIn(XmlIArchive& ar) {
  clear();
  members(MemberLoader{ar});
  // A damaged file may give any count: the lines that were read are the ones
  // there are, and every line index is checked against them.
  mLinesCount = int(mValues.size());
}

template <typename T>
void TimedValueInterval<T>::serializeXmlOut(XmlOArchive& ar) {
  members(MemberSaver{ar});
}

template class TimedValueInterval<float>;
template class TimedValueInterval<Color>;

}  // namespace KR
