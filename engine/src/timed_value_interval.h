#pragma once
// A value over time in whole percent of some span (a particle's life, an
// emitter's life): one or more lines of keys, each read by linear
// interpolation between its keys, sampled one line at a time or as the mean
// of all lines.
//
//   KR::TimedValueInterval<float> size;    // no lines yet
//   size.mLinesCount = 1;
//   size.addValue(0, 0, 1.0f);             // line 0: 1.0 at birth ...
//   size.addValue(0, 100, 0.2f);           // ... 0.2 at death
//   float s = size.getValue(0, 50);        // 0.6
//
// Instances exist for float and KR::Color (channels interpolated as grey-
// weighted colour modulations).
#include <vector>

#include "color.h"

namespace KR {

class AuxArchive;
class XmlIArchive;
class XmlOArchive;

template <typename T>
class TimedValueInterval {
 public:
  // One key: a time in whole percent and the value there.
  class timevalue {
   public:
    timevalue() = default;
    timevalue(int t, const T& v) : time(t), value(v) {}
    virtual ~timevalue() = default;
    virtual void serializeAux(AuxArchive& ar);
    virtual void serializeXmlIn(XmlIArchive& ar);
    virtual void serializeXmlOut(XmlOArchive& ar);

    int time = 0;
    T value{};

   private:
    template <typename Member>
    void members(Member&& member);
  };
  using Line = std::vector<timevalue*>;

  // One line, bounds 0 and 100 (a colour curve 0x64646464), no keys.
  TimedValueInterval();
  TimedValueInterval(const TimedValueInterval& other);
  TimedValueInterval& operator=(const TimedValueInterval& other);
  virtual ~TimedValueInterval();

  // `count` flat lines spread over [minValue, maxValue] (resetLines).
  static TimedValueInterval makeDefault(int count, const T& minValue, const T& maxValue);

  // The value of one line at time t (fatal for a line the curve does not
  // have); 0 for a line without keys.
  T getValue(int line, int t) const;
  // The mean of the lines taking part (getValueCount) at time t; 0 without
  // lines. Colours are averaged channel by channel, truncating.
  T getAverageValue(int t) const;
  // mLinesCount, or at most 1 in single-line mode.
  int getValueCount() const;
  // Appends a key to a line (fatal for a line beyond mLinesCount).
  void addValue(int line, int time, const T& value);
  // Replaces every key by mLinesCount flat lines between the bounds.
  void resetLines();
  // Deletes every key and line.
  void clear();
  bool hasLines() const { return !mValues.empty(); }

  virtual void serializeAux(AuxArchive& ar);
  // Keys read replace all keys held; the line count becomes the number of
  // lines actually read.
  virtual void serializeXmlIn(XmlIArchive& ar);
  virtual void serializeXmlOut(XmlOArchive& ar);

  std::vector<Line> mValues;
  int mLinesCount = 1;
  T mMinValue;
  T mMaxValue;
  bool mSingleLine = false;
  // Set to 1.0 by owners building a default curve; nothing reads it.
  float mDefaultWeight = 0.0f;

 private:
  const Line& lineAt(int line) const;
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

extern template class TimedValueInterval<float>;
extern template class TimedValueInterval<Color>;

}  // namespace KR
