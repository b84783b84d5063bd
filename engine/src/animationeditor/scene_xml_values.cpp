#include "animationeditor/scene_xml_values.h"

#include <locale.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace AE {
namespace SceneXml {

namespace {

// Scene files are written with a decimal point whatever the process locale says.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

float readFloat(const pugi::xml_attribute& attribute) {
  if (!attribute) return 0.0f;
  const double value =
      cLocale() ? strtod_l(attribute.value(), nullptr, cLocale()) : std::strtod(attribute.value(), nullptr);
  // Out of float range becomes the infinity of its sign rather than an undefined conversion.
  if (value > double(FLT_MAX)) return HUGE_VALF;
  if (value < -double(FLT_MAX)) return -HUGE_VALF;
  return float(value);
}

int32_t readInt(const pugi::xml_attribute& attribute) {
  if (!attribute) return 0;
  const long long value = std::strtoll(attribute.value(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return int32_t(value);
}

uint32_t readUnsigned(const pugi::xml_attribute& attribute) {
  if (!attribute) return 0;
  const unsigned long long value = std::strtoull(attribute.value(), nullptr, 10);
  return value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
}

bool readBool(const pugi::xml_attribute& attribute) {
  const char c = attribute.value()[0];
  return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
}

bool readBoolDefaultTrue(const pugi::xml_attribute& attribute) { return attribute ? readBool(attribute) : true; }

KR::Color readColor(const pugi::xml_node& node) {
  return KR::Color::fromFloats(readFloat(node, "R"), readFloat(node, "G"), readFloat(node, "B"), readFloat(node, "A"));
}

KR::Matrix3 readShear(const pugi::xml_node& node) {
  KR::Matrix3 shear;
  if (!node.attribute("shear00")) return shear;
  shear.m[0] = readFloat(node, "shear00");
  shear.m[1] = readFloat(node, "shear01");
  shear.m[3] = readFloat(node, "shear10");
  shear.m[4] = readFloat(node, "shear11");
  return shear;
}

}  // namespace SceneXml
}  // namespace AE
