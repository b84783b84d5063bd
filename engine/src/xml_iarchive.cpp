#include "xml_iarchive.h"

#include <cstdint>
#include <memory>
#include <sstream>

#include "file_system.h"
#include "format_string.h"
#include "report_assert.h"

namespace KR {

namespace {

[[noreturn]] void fatalAt(const std::string& description, int line) {
  reportAssert("KR", description, "xml_iarchive", line);
  fatalTrap();
}

bool isTrueText(const char* text) {
  char c = text[0];
  return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
}

float parseFloat(const char* text) { return static_cast<float>(std::strtod(text, nullptr)); }

// Integers in archives are 32-bit: a value out of that range stops at the
// nearest limit, as a 32-bit strtol does, instead of wrapping to another number.
int parseInt32(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

uint8_t parseChannel(const char* text) { return static_cast<uint8_t>(std::strtoul(text, nullptr, 10) & 0xFF); }

std::string formatFloat(float value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%f", static_cast<double>(value));
  return text;
}

std::string formatInt(int value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%i", value);
  return text;
}

// pugixml reports a document without any element as an error of its own; here
// it is an empty object, every member missing.
bool parsedWell(const pugi::xml_parse_result& result) {
  return result || result.status == pugi::status_no_document_element;
}

}  // namespace

// ---------------------------------------------------------------------------
// XmlIArchive

XmlIArchive::XmlIArchive() = default;

XmlIArchive::XmlIArchive(const std::string& package, const std::string& name) {
  std::unique_ptr<File> file(FileSystem::getInstance()->openFile(package, name));
  if (!file) {
    std::string text = formatString("Failed to open file to load xml_iarchive: %s", name.c_str());
    log("%s", text.c_str());
    fatalAt(text, 21);
  }
  opened = 1;
  int size = file->getSize();
  if (size < 0) size = 0;
  std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size) + 1]);
  int total = 0;
  int read = 0;
  while (total < size && (read = file->read(buffer.get() + total, size - total)) > 0) total += read;
  if (read < 0)
    fatalAt(formatString("Failed to parse xml %s in package %s: read error", name.c_str(), package.c_str()), 34);
  pugi::xml_parse_result result = document.load_buffer(buffer.get(), static_cast<size_t>(total));
  buffer.reset();
  if (!parsedWell(result))
    fatalAt(formatString("Failed to parse xml %s in package %s: %s at byte %lld", name.c_str(), package.c_str(),
                         result.description(), static_cast<long long>(result.offset)),
            34);
  pushNode(document.child("root"));
}

XmlIArchive::~XmlIArchive() {
  nodes.clear();
  document.reset();
}

bool XmlIArchive::loadFromBuffer(const void* data, size_t size) {
  nodes.clear();
  totalItems = 0;
  pugi::xml_parse_result result = document.load_buffer(data, size);
  if (!parsedWell(result)) {
    document.reset();
    opened = 0;
    return false;
  }
  opened = 1;
  pushNode(document.child("root"));
  return true;
}

void XmlIArchive::loadInt(const nvp<int>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  *pair.second = parseInt32(element.attribute("v").value());
}

void XmlIArchive::loadFloat(const nvp<float>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  *pair.second = parseFloat(element.attribute("v").value());
}

void XmlIArchive::loadBool(const nvp<bool>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  *pair.second = isTrueText(element.attribute("v").value());
}

void XmlIArchive::loadString(const nvp<std::string>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  *pair.second = element.attribute("v").value();
}

void XmlIArchive::loadVector2(const nvp<Vector2<float>>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  // An absent vector keeps the value it had (a default direction, a position).
  if (!element) return;
  pair.second->x = parseFloat(element.attribute("x").value());
  pair.second->y = parseFloat(element.attribute("y").value());
}

void XmlIArchive::loadRect(const nvp<Rect>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  pair.second->left = parseFloat(element.attribute("left").value());
  pair.second->top = parseFloat(element.attribute("top").value());
  pair.second->right = parseFloat(element.attribute("right").value());
  pair.second->bottom = parseFloat(element.attribute("bottom").value());
}

void XmlIArchive::loadColor(const nvp<Color>& pair) {
  pugi::xml_node element = childNamed(pair.first);
  *pair.second =
      Color::fromChannels(parseChannel(element.attribute("r").value()), parseChannel(element.attribute("g").value()),
                          parseChannel(element.attribute("b").value()), parseChannel(element.attribute("a").value()));
}

long XmlIArchive::acceptedCount(const std::string& name, const char* sizeText) {
  long count = std::strtol(sizeText, nullptr, 10);
  if (count < 0) {
    log("WARNING: XmlIArchive: vector '%s' has a negative size %ld; no item loaded", name.c_str(), count);
    return 0;
  }
  if (count > kMaxVectorCount || count > kMaxTotalItems - totalItems) {
    log("WARNING: XmlIArchive: vector '%s' has an implausible size %ld; no item loaded", name.c_str(), count);
    return 0;
  }
  totalItems += count;
  return count;
}

pugi::xml_node XmlIArchive::childNamed(const std::string& name) const {
  const pugi::xml_node current = currentNode();
  if (itemIndexes.empty() || itemIndexes.back().vector != current) return current.child(name.c_str());
  const long index = parseItemName(name.c_str());
  if (index < 0) return current.child(name.c_str());
  const std::vector<pugi::xml_node>& items = itemIndexes.back().items;
  return size_t(index) < items.size() ? items[size_t(index)] : pugi::xml_node();
}

long XmlIArchive::parseItemName(const char* name) {
  if (name[0] != 'e' || name[1] < '0' || name[1] > '9' || (name[1] == '0' && name[2] != 0)) return -1;
  long index = 0;
  for (const char* digit = name + 1; *digit; ++digit) {
    if (*digit < '0' || *digit > '9' || index > kMaxVectorCount) return -1;
    index = index * 10 + (*digit - '0');
  }
  return index;
}

void XmlIArchive::beginItems(pugi::xml_node vector, long count) {
  // One pass over the children instead of a search by name per item.
  ItemIndex index{vector, std::vector<pugi::xml_node>(size_t(count))};
  for (pugi::xml_node child = vector.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    const long at = parseItemName(child.name());
    if (at >= 0 && at < count && !index.items[size_t(at)]) index.items[size_t(at)] = child;
  }
  itemIndexes.push_back(std::move(index));
}

void XmlIArchive::endItems() { itemIndexes.pop_back(); }

std::string XmlIArchive::itemName(long index) {
  char text[32];
  std::snprintf(text, sizeof(text), "e%li", index);
  return text;
}

// ---------------------------------------------------------------------------
// XmlOArchive

XmlOArchive::XmlOArchive() { pushNode(document.append_child("root")); }

XmlOArchive::~XmlOArchive() {
  nodes.clear();
  document.reset();
}

void XmlOArchive::saveInt(const nvp<int>& pair) {
  currentNode().append_child(pair.first.c_str()).append_attribute("v") = formatInt(*pair.second).c_str();
}

void XmlOArchive::saveFloat(const nvp<float>& pair) {
  currentNode().append_child(pair.first.c_str()).append_attribute("v") = formatFloat(*pair.second).c_str();
}

void XmlOArchive::saveBool(const nvp<bool>& pair) {
  currentNode().append_child(pair.first.c_str()).append_attribute("v") = *pair.second ? "true" : "false";
}

void XmlOArchive::saveString(const nvp<std::string>& pair) {
  currentNode().append_child(pair.first.c_str()).append_attribute("v") = pair.second->c_str();
}

void XmlOArchive::saveVector2(const nvp<Vector2<float>>& pair) {
  pugi::xml_node element = currentNode().append_child(pair.first.c_str());
  element.append_attribute("x") = formatFloat(pair.second->x).c_str();
  element.append_attribute("y") = formatFloat(pair.second->y).c_str();
}

void XmlOArchive::saveRect(const nvp<Rect>& pair) {
  pugi::xml_node element = currentNode().append_child(pair.first.c_str());
  element.append_attribute("left") = formatFloat(pair.second->left).c_str();
  element.append_attribute("top") = formatFloat(pair.second->top).c_str();
  element.append_attribute("right") = formatFloat(pair.second->right).c_str();
  element.append_attribute("bottom") = formatFloat(pair.second->bottom).c_str();
}

void XmlOArchive::saveColor(const nvp<Color>& pair) {
  pugi::xml_node element = currentNode().append_child(pair.first.c_str());
  const Color& color = *pair.second;
  element.append_attribute("r") = formatInt(color.red()).c_str();
  element.append_attribute("g") = formatInt(color.green()).c_str();
  element.append_attribute("b") = formatInt(color.blue()).c_str();
  element.append_attribute("a") = formatInt(color.alpha()).c_str();
}

std::string XmlOArchive::saveToString() const {
  std::ostringstream out;
  document.save(out);
  return out.str();
}

bool XmlOArchive::saveToFile(const std::string& path) const { return document.save_file(path.c_str()); }

std::string XmlOArchive::itemName(long index) {
  char text[32];
  std::snprintf(text, sizeof(text), "e%li", index);
  return text;
}

}  // namespace KR
