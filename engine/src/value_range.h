#pragma once
// A pair of bounds read and written with the particle effects: a value is
// drawn between mMinVal and mMaxVal by whoever holds the range.
#include "aux_archive.h"
#include "xml_iarchive.h"

namespace KR {

template <typename T>
class ValueRange {
 public:
  ValueRange() = default;
  ValueRange(const T& minValue, const T& maxValue) : mMinVal(minValue), mMaxVal(maxValue) {}
  virtual ~ValueRange() = default;
  ValueRange(const ValueRange&) = default;
  ValueRange& operator=(const ValueRange&) = default;

  virtual void serializeAux(AuxArchive& ar) { members(MemberVisitor{ar}); }
  virtual void serializeXmlIn(XmlIArchive& ar) { members(MemberLoader{ar}); }
  virtual void serializeXmlOut(XmlOArchive& ar) { members(MemberSaver{ar}); }

  // mMinVal + t x (mMaxVal - mMinVal).
  T lerp(float t) const { return mMinVal + (mMaxVal - mMinVal) * t; }

  T mMinVal{};
  T mMaxVal{};

 private:
  template <typename Member>
  void members(Member&& member) {
    member("mMinVal", mMinVal);
    member("mMaxVal", mMaxVal);
  }
};

}  // namespace KR
