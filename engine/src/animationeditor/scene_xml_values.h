#pragma once
// How scene files spell their values: floats as strtod reads them in the "C"
// locale, integers in base 10 only ("0x10" reads 0), booleans by their first
// character (1, t, T, y, Y), colours as four fractions whose channels are
// truncated to their low 8 bits. An absent attribute reads 0, false or "".
#include <pugixml.hpp>

#include <cstdint>

#include "color.h"
#include "matrix3.h"

namespace AE {
namespace SceneXml {

float readFloat(const pugi::xml_attribute& attribute);
int32_t readInt(const pugi::xml_attribute& attribute);
uint32_t readUnsigned(const pugi::xml_attribute& attribute);
bool readBool(const pugi::xml_attribute& attribute);
// A bool whose absence means true.
bool readBoolDefaultTrue(const pugi::xml_attribute& attribute);

inline float readFloat(const pugi::xml_node& node, const char* name) { return readFloat(node.attribute(name)); }
inline int32_t readInt(const pugi::xml_node& node, const char* name) { return readInt(node.attribute(name)); }
inline bool readBool(const pugi::xml_node& node, const char* name) { return readBool(node.attribute(name)); }

// "A", "R", "G", "B" of the element.
KR::Color readColor(const pugi::xml_node& node);
// "shear00" .. "shear11" when the element has "shear00"; the identity otherwise.
KR::Matrix3 readShear(const pugi::xml_node& node);

}  // namespace SceneXml
}  // namespace AE
