#pragma once
// Reader of the engine's XML data files. The top element is "root"; a value is
// a child element named after its key with attribute "v"; a vector has "v0"
// (x) and "v1" (y); a rectangle "v0" top, "v1" left, "v2" bottom, "v3" right;
// a colour "r", "g", "b", "a"; an array's items are children "v0", "v1", ...
// up to the first missing index. Getters report whether the key exists;
// callers put their own defaults in place of missing keys.
//
//   KR::XmlDataReader reader;
//   if (reader.open("default", "views_xml") && reader.enterChild("streamer")) {
//     int32_t count = 16;
//     if (!reader.readInt("maxLoadedViewCount", &count)) count = 16;
//     for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) { ... }
//     reader.leaveChild();
//   }
//
// The file is read into one block of the engine's buddy allocator and parsed
// in place; the block lives as long as the document. The arena's size is the
// largest file; one that fits but finds the arena too full (other readers
// hold blocks) is read into a heap block instead. An array's items are
// indexed once when its iteration begins, so a list is read in linear time.
#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

class XmlDataReader {
 public:
  class ArrayIterator {
   public:
    ArrayIterator(XmlDataReader* reader, pugi::xml_node start, int32_t index);
    ArrayIterator(ArrayIterator&& other) noexcept;
    ArrayIterator(const ArrayIterator&) = delete;
    ArrayIterator& operator=(const ArrayIterator&) = delete;
    ArrayIterator& operator=(ArrayIterator&&) = delete;
    // A loop left early puts the reader's cursor back on the array element.
    ~ArrayIterator();

    void next();
    // The same step without the end test.
    void nextUnchecked();

    int32_t getIndex() const { return index; }
    bool operator==(const ArrayIterator& other) const { return index == other.index; }
    bool operator!=(const ArrayIterator& other) const { return index != other.index; }

   private:
    friend class XmlDataReader;
    // The item after `index` by name among the children of `array`.
    pugi::xml_node itemAfter(pugi::xml_node array) const;

    XmlDataReader* reader;
    pugi::xml_node start;
    int32_t index;
    // Items 0, 1, ... of the array `start`, the first of each name, up to the first missing one.
    std::vector<pugi::xml_node> items;
  };

  XmlDataReader();
  ~XmlDataReader();
  XmlDataReader(const XmlDataReader&) = delete;
  XmlDataReader& operator=(const XmlDataReader&) = delete;

  // True when the file was read and parsed (a document without "root" opens
  // with an empty cursor); false when the file system has no such file.
  // Malformed XML, or a file larger than the buddy arena
  // (BuddyAllocator::kArenaSize), is fatal and names the file.
  bool open(const std::string& package, const std::string& name);

  // The parse step of open over bytes already in memory, which are copied into
  // a buddy block. Returns pugixml's status instead of failing: status_ok for
  // a well-formed document, including one without any element.
  pugi::xml_parse_status parse(const void* data, size_t size);

  bool enterChild(const std::string& name);
  void leaveChild();

  ArrayIterator arrayBegin();
  ArrayIterator arrayEnd();

  bool readInt(const char* key, int32_t* out) const;
  bool readIntStr(const std::string& key, int32_t* out) const;
  bool readFloat(const std::string& key, float* out) const;
  bool readBool(const char* key, bool* out) const;
  bool readString(const std::string& key, std::string* out) const;
  bool readCurrentString(std::string* out) const;
  bool readVector2(const char* key, Vector2<float>* out) const;
  bool readRect(const char* key, Rect* out) const;
  bool readColor(const char* key, Color* out) const;

  // Direct cursor access for callers that walk the tree themselves.
  pugi::xml_node getCursor() const { return cursor; }
  void setCursor(pugi::xml_node node) { cursor = node; }
  const pugi::xml_document& getDocument() const { return document; }

  // pugixml's description of a parse status; "Unknown error" for statuses
  // beyond the ones the reader describes.
  static const char* describeStatus(pugi::xml_parse_status status);

 private:
  void releaseBuffer();
  // A block of `size` bytes for the document; null only beyond the arena's size.
  uint8_t* takeBuffer(uint32_t size);
  pugi::xml_parse_status parseHeldBuffer();

  pugi::xml_document document;
  pugi::xml_node cursor;
  uint8_t* buffer = nullptr;
  uint32_t bufferSize = 0;
  bool bufferOnHeap = false;  // the arena had no room: the block is the heap's
};

}  // namespace KR
