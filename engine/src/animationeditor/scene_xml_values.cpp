#include "animationeditor/scene_xml_values.h"

#include <locale.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace AE {
namespace SceneXml {

namespace {

// Scene files are written with a decimal point whatever the process locale says.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

// Plain decimals ("-12.5") are read by from_chars, which rounds as strtod does;
// anything else (exponents, hex, inf, spaces, a leading '+', trailing text) by strtod.
bool plainDecimal(const char* text, size_t* length) {
  size_t i = text[0] == '-' ? 1 : 0;
  bool digits = false;
  while (text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  if (text[i] == '.') {
    ++i;
    while (text[i] >= '0' && text[i] <= '9') ++i, digits = true;
  }
  *length = i;
  return digits && text[i] == 0;
}

}  // namespace

float parseFloat(const char* text) {
  if (!text) return 0.0f;
  double value = 0.0;
  size_t length = 0;
  if (!plainDecimal(text, &length) || std::from_chars(text, text + length, value).ec != std::errc())
    value = cLocale() ? strtod_l(text, nullptr, cLocale()) : std::strtod(text, nullptr);
  // Out of float range becomes the infinity of its sign rather than an undefined conversion.
  if (value > double(FLT_MAX)) return HUGE_VALF;
  if (value < -double(FLT_MAX)) return -HUGE_VALF;
  return float(value);
}

int32_t parseInt(const char* text) {
  if (!text) return 0;
  const long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return int32_t(value);
}

uint32_t parseUnsigned(const char* text) {
  if (!text) return 0;
  const unsigned long long value = std::strtoull(text, nullptr, 10);
  return value > UINT32_MAX ? UINT32_MAX : uint32_t(value);
}

bool parseBool(const char* text) {
  const char c = text ? text[0] : 0;
  return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
}

Attributes::Attributes(const pugi::xml_node& element) {
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    const Entry entry{hashName(a.name()), a.name(), a.value()};
    if (count < kInline)
      inlineEntries[count++] = entry;
    else
      overflow.push_back(entry);
  }
}

const char* Attributes::find(Name name) const {
  // The first attribute of a name counts, as pugixml's lookup has it.
  for (size_t i = 0; i < count; ++i) {
    const Entry& e = inlineEntries[i];
    if (e.hash == name.hash && std::strcmp(e.name, name.text) == 0) return e.value;
  }
  for (const Entry& e : overflow) {
    if (e.hash == name.hash && std::strcmp(e.name, name.text) == 0) return e.value;
  }
  return nullptr;
}

const char* Attributes::readString(Name name) const {
  const char* value = find(name);
  return value ? value : "";
}

float Attributes::readFloat(Name name) const { return parseFloat(find(name)); }
int32_t Attributes::readInt(Name name) const { return parseInt(find(name)); }
uint32_t Attributes::readUnsigned(Name name) const { return parseUnsigned(find(name)); }
bool Attributes::readBool(Name name) const { return parseBool(find(name)); }

bool Attributes::readBoolDefaultTrue(Name name) const {
  const char* value = find(name);
  return value ? parseBool(value) : true;
}

KR::Color Attributes::readColor() const {
  return KR::Color::fromFloats(readFloat("R"), readFloat("G"), readFloat("B"), readFloat("A"));
}

KR::Matrix3 Attributes::readShear() const { return has("shear00") ? readShearValues() : KR::Matrix3(); }

KR::Matrix3 Attributes::readShearValues() const {
  KR::Matrix3 shear;
  shear.m[0] = readFloat("shear00");
  shear.m[1] = readFloat("shear01");
  shear.m[3] = readFloat("shear10");
  shear.m[4] = readFloat("shear11");
  return shear;
}

}  // namespace SceneXml
}  // namespace AE
