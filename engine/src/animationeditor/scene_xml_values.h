#pragma once
// How scene files spell their values: floats as strtod reads them in the "C"
// locale, integers in base 10 only ("0x10" reads 0), booleans by their first
// character (1, t, T, y, Y), colours as four fractions whose channels are
// truncated to their low 8 bits. An absent attribute reads 0, false or "".
//
// An element's attributes are gathered once (scene frames ask for some thirty
// names, most of them absent), then each name is found by its hash.
//
//   AE::SceneXml::Attributes a(frameElement);
//   float x = a.readFloat("X");
#include <pugixml.hpp>

#include <cstdint>
#include <vector>

#include "color.h"
#include "matrix3.h"

namespace AE {
namespace SceneXml {

// FNV-1a of a name; the names asked for are literals, hashed at compile time.
constexpr uint32_t hashName(const char* name) {
  uint32_t h = 2166136261u;
  for (; *name; ++name) h = (h ^ uint8_t(*name)) * 16777619u;
  return h;
}

// An attribute name with its hash, made where a literal is passed, so that
// the hash is worked out while compiling.
struct Name {
  constexpr Name(const char* name) : text(name), hash(hashName(name)) {}  // NOLINT: literals convert
  const char* text;
  uint32_t hash;
};

class Attributes {
 public:
  explicit Attributes(const pugi::xml_node& element);

  // The attribute's text, or null when it is absent.
  const char* find(Name name) const;
  bool has(Name name) const { return find(name) != nullptr; }
  const char* readString(Name name) const;
  float readFloat(Name name) const;
  int32_t readInt(Name name) const;
  uint32_t readUnsigned(Name name) const;
  bool readBool(Name name) const;
  // A bool whose absence means true.
  bool readBoolDefaultTrue(Name name) const;
  // "A", "R", "G", "B".
  KR::Color readColor() const;
  // "shear00" .. "shear11" when "shear00" is there; the identity otherwise.
  KR::Matrix3 readShear() const;
  // The four shear elements whatever is there, each 0 when absent.
  KR::Matrix3 readShearValues() const;

 private:
  struct Entry {
    uint32_t hash;
    const char* name;
    const char* value;
  };
  // Frames carry a few dozen attributes at most; more go to the overflow.
  static constexpr size_t kInline = 40;
  Entry inlineEntries[kInline];
  size_t count = 0;
  std::vector<Entry> overflow;
};

float parseFloat(const char* text);
int32_t parseInt(const char* text);
uint32_t parseUnsigned(const char* text);
bool parseBool(const char* text);

}  // namespace SceneXml
}  // namespace AE
