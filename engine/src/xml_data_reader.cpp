#include "xml_data_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine_allocators.h"
#include "file_system.h"
#include "log_system.h"
#include "report_assert.h"

namespace KR {

namespace {

[[noreturn]] void fatalAt(int line, const std::string& description) {
  reportAssert("KR", description, "xml_data_reader", line);
  fatalTrap();
}

BuddyAllocator* buddyAllocator() { return EngineAllocators::getInstance()->getBuddyAllocator(); }

bool isTrueText(const char* text) {
  char c = text[0];
  return c == '1' || c == 't' || c == 'T' || c == 'y' || c == 'Y';
}

float parseFloat(const char* text) { return static_cast<float>(std::strtod(text, nullptr)); }

// Integers in data files are 32-bit: a value out of that range stops at the
// nearest limit, as a 32-bit strtol does, instead of wrapping to another number.
int32_t parseInt32(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// ArrayIterator

XmlDataReader::ArrayIterator::ArrayIterator(XmlDataReader* reader_, pugi::xml_node start_, int32_t index_)
    : reader(reader_), start(start_), index(index_) {}

XmlDataReader::ArrayIterator::ArrayIterator(ArrayIterator&& other) noexcept
    : reader(other.reader), start(other.start), index(other.index) {
  other.index = -1;
}

XmlDataReader::ArrayIterator::~ArrayIterator() {
  if (index >= 0 && reader) reader->cursor = start;
}

void XmlDataReader::ArrayIterator::next() {
  if (index < 0) return;
  nextUnchecked();
}

void XmlDataReader::ArrayIterator::nextUnchecked() {
  ++index;
  char name[16];
  std::snprintf(name, sizeof(name), "v%d", index);
  pugi::xml_node array = reader->cursor.parent();
  pugi::xml_node item = array.child(name);
  if (item) {
    reader->cursor = item;
  } else {
    reader->cursor = array;
    index = -1;
  }
}

// ---------------------------------------------------------------------------
// Opening

XmlDataReader::XmlDataReader() = default;

XmlDataReader::~XmlDataReader() {
  releaseBuffer();
  document.reset();
}

void XmlDataReader::releaseBuffer() {
  if (!buffer) return;
  buddyAllocator()->dealloc(buffer, bufferSize);
  buffer = nullptr;
  bufferSize = 0;
}

bool XmlDataReader::open(const std::string& package, const std::string& name) {
  // The document points into the old block: drop it before the block goes back.
  document.reset();
  cursor = pugi::xml_node();
  releaseBuffer();

  std::unique_ptr<File> file(FileSystem::getInstance()->openFile(package, name));
  if (!file) return false;

  int size = file->getSize();
  if (size < 0) size = 0;
  BuddyAllocator* allocator = buddyAllocator();
  uint8_t* block = allocator ? allocator->alloc(static_cast<uint32_t>(size)) : nullptr;
  if (!block) fatalAt(152, "XML file " + name + " is too large: " + std::to_string(size) + " bytes");
  buffer = block;
  bufferSize = static_cast<uint32_t>(size);

  int total = 0;
  int read = 0;
  while (total < size && (read = file->read(buffer + total, size - total)) > 0) total += read;
  // A file that reads short or fails (a damaged archive entry) would parse as
  // a shorter document that may well be valid: it is refused like bad XML.
  if (total < size) {
    const char* why = read < 0 ? "read error (damaged file)" : "the file ends before its size";
    log("Failed to parse XML file: %s", name.c_str());
    log("Error description: %s", why);
    fatalAt(161, "Failed to parse XML file " + name + ": " + why);
  }

  pugi::xml_parse_status status = parseHeldBuffer();
  if (status != pugi::status_ok) {
    log("Failed to parse XML file: %s", name.c_str());
    log("Error description: %s", describeStatus(status));
    fatalAt(161, "Failed to parse XML file " + name + ": " + describeStatus(status));
  }
  return true;
}

pugi::xml_parse_status XmlDataReader::parse(const void* data, size_t size) {
  document.reset();
  cursor = pugi::xml_node();
  releaseBuffer();
  if (size > BuddyAllocator::kArenaSize) return pugi::status_out_of_memory;
  BuddyAllocator* allocator = buddyAllocator();
  uint8_t* block = allocator ? allocator->alloc(static_cast<uint32_t>(size)) : nullptr;
  if (!block) return pugi::status_out_of_memory;
  buffer = block;
  bufferSize = static_cast<uint32_t>(size);
  if (size > 0) std::memcpy(buffer, data, size);
  pugi::xml_parse_status status = parseHeldBuffer();
  if (status != pugi::status_ok) {
    document.reset();
    cursor = pugi::xml_node();
    releaseBuffer();
  }
  return status;
}

pugi::xml_parse_status XmlDataReader::parseHeldBuffer() {
  pugi::xml_parse_result result = document.load_buffer_inplace(buffer, bufferSize);
  pugi::xml_parse_status status = result.status;
  // pugixml reports a document without any element (empty, or only comments
  // and declarations) as an error of its own; for data files it is simply an
  // empty document.
  if (status == pugi::status_no_document_element) status = pugi::status_ok;
  cursor = status == pugi::status_ok ? document.child("root") : pugi::xml_node();
  return status;
}

const char* XmlDataReader::describeStatus(pugi::xml_parse_status status) {
  if (status > pugi::status_end_element_mismatch) return "Unknown error";
  pugi::xml_parse_result result;
  result.status = status;
  return result.description();
}

// ---------------------------------------------------------------------------
// Navigation

bool XmlDataReader::enterChild(const std::string& name) {
  pugi::xml_node child = cursor.child(name.c_str());
  if (!child) return false;
  cursor = child;
  return true;
}

void XmlDataReader::leaveChild() {
  if (cursor) cursor = cursor.parent();
}

XmlDataReader::ArrayIterator XmlDataReader::arrayBegin() {
  pugi::xml_node start = cursor;
  pugi::xml_node first = cursor.child("v0");
  if (!first) return ArrayIterator(this, start, -1);
  cursor = first;
  return ArrayIterator(this, start, 0);
}

XmlDataReader::ArrayIterator XmlDataReader::arrayEnd() { return ArrayIterator(this, pugi::xml_node(), -1); }

// ---------------------------------------------------------------------------
// Getters

bool XmlDataReader::readInt(const char* key, int32_t* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key);
  *out = parseInt32(node.attribute("v").value());
  return bool(node);
}

bool XmlDataReader::readIntStr(const std::string& key, int32_t* out) const { return readInt(key.c_str(), out); }

bool XmlDataReader::readFloat(const std::string& key, float* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key.c_str());
  *out = parseFloat(node.attribute("v").value());
  return bool(node);
}

bool XmlDataReader::readBool(const char* key, bool* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key);
  *out = isTrueText(node.attribute("v").value());
  return bool(node);
}

bool XmlDataReader::readString(const std::string& key, std::string* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key.c_str());
  *out = node.attribute("v").value();
  return bool(node);
}

bool XmlDataReader::readCurrentString(std::string* out) const {
  if (!out) return false;
  *out = cursor.attribute("v").value();
  return bool(cursor);
}

bool XmlDataReader::readVector2(const char* key, Vector2<float>* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key);
  out->x = parseFloat(node.attribute("v0").value());
  out->y = parseFloat(node.attribute("v1").value());
  return bool(node);
}

bool XmlDataReader::readRect(const char* key, Rect* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key);
  out->top = parseFloat(node.attribute("v0").value());
  out->left = parseFloat(node.attribute("v1").value());
  out->bottom = parseFloat(node.attribute("v2").value());
  out->right = parseFloat(node.attribute("v3").value());
  return bool(node);
}

bool XmlDataReader::readColor(const char* key, Color* out) const {
  if (!out) return false;
  pugi::xml_node node = cursor.child(key);
  if (!node) {
    *out = Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f);
    return false;
  }
  auto channel = [&node](const char* name) {
    return static_cast<uint8_t>(parseInt32(node.attribute(name).value()) & 0xFF);
  };
  *out = Color::fromChannels(channel("r"), channel("g"), channel("b"), channel("a"));
  return true;
}

}  // namespace KR
