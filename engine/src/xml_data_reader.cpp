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
    : reader(other.reader), start(other.start), index(other.index), items(std::move(other.items)) {
  other.index = -1;
}

XmlDataReader::ArrayIterator::~ArrayIterator() {
  if (index >= 0 && reader) reader->cursor = start;
}

void XmlDataReader::ArrayIterator::next() {
  if (index < 0) return;
  nextUnchecked();
}

pugi::xml_node XmlDataReader::ArrayIterator::itemAfter(pugi::xml_node array) const {
  // A body that left the cursor on an item of this array: the index answers.
  if (array == start) return size_t(index) < items.size() ? items[size_t(index)] : pugi::xml_node();
  char name[16];
  std::snprintf(name, sizeof(name), "v%d", index);
  return array.child(name);
}

void XmlDataReader::ArrayIterator::nextUnchecked() {
  ++index;
  pugi::xml_node array = reader->cursor.parent();
  pugi::xml_node item = itemAfter(array);
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
  if (bufferOnHeap)
    std::free(buffer);
  else
    buddyAllocator()->dealloc(buffer, bufferSize);
  buffer = nullptr;
  bufferSize = 0;
  bufferOnHeap = false;
}

uint8_t* XmlDataReader::takeBuffer(uint32_t size) {
  if (size > BuddyAllocator::kArenaSize) return nullptr;
  BuddyAllocator* allocator = buddyAllocator();
  uint8_t* block = allocator ? allocator->alloc(size) : nullptr;
  bufferOnHeap = block == nullptr;
  // A file over half the arena needs all of it free, which it seldom is while
  // other readers (a loading job, the view streamer) hold their blocks.
  if (!block) block = static_cast<uint8_t*>(std::malloc(size > 0 ? size : 1));
  if (!block) bufferOnHeap = false;
  return block;
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
  uint8_t* block = takeBuffer(static_cast<uint32_t>(size));
  if (!block)
    fatalAt(152, "XML file " + name + " is too large: " + std::to_string(size) + " bytes, more than the " +
                     std::to_string(BuddyAllocator::kArenaSize) + " an XML data file may have");
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
  uint8_t* block = takeBuffer(static_cast<uint32_t>(size));
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

namespace {

// The index of an item name "v0", "v1", ... (decimal, no leading zero), or -1.
int64_t itemIndex(const char* name) {
  if (name[0] != 'v' || name[1] < '0' || name[1] > '9' || (name[1] == '0' && name[2] != 0)) return -1;
  int64_t index = 0;
  for (const char* digit = name + 1; *digit; ++digit) {
    if (*digit < '0' || *digit > '9' || index > INT32_MAX / 10) return -1;
    index = index * 10 + (*digit - '0');
  }
  return index <= INT32_MAX ? index : -1;
}

}  // namespace

XmlDataReader::ArrayIterator XmlDataReader::arrayBegin() {
  pugi::xml_node start = cursor;
  // One pass over the children instead of a search by name per item: items
  // 0..n-1 without a gap need n children, so higher indices never count.
  size_t children = 0;
  for (pugi::xml_node child = cursor.first_child(); child; child = child.next_sibling()) ++children;
  std::vector<pugi::xml_node> found(children);
  for (pugi::xml_node child = cursor.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    const int64_t index = itemIndex(child.name());
    if (index >= 0 && size_t(index) < children && !found[size_t(index)]) found[size_t(index)] = child;
  }
  size_t count = 0;
  while (count < found.size() && found[count]) ++count;
  found.resize(count);
  if (found.empty()) return ArrayIterator(this, start, -1);
  cursor = found.front();
  ArrayIterator iterator(this, start, 0);
  iterator.items = std::move(found);
  return iterator;
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
