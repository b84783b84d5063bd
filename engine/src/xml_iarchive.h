#pragma once
// XML serialisation of objects that list their members as named values.
//
// File format: the top element "root" holds the object's members, one child
// element per member named after it. Scalars carry attribute "v"; a vector
// "x", "y"; a rectangle "left", "top", "right", "bottom"; a colour "r", "g",
// "b", "a"; an object its members as children and "class_name", the name its
// real class is registered under in KR::ObjectFactory (empty when it is not);
// a std::vector a count "sz" and items "e0", "e1", ...
//
// A serialised class provides
//   void serializeXmlIn(KR::XmlIArchive& archive);     // archive.load(KR::makeNvp("mPosition", mPosition)); ...
//   void serializeXmlOut(KR::XmlOArchive& archive);    // archive.save(KR::makeNvp("mPosition", mPosition)); ...
// (virtual in a base class whose objects are held by pointer).
#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "color.h"
#include "log_system.h"
#include "object_factory.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

// A member's name and a pointer to the caller's value.
template <typename T>
struct nvp : public std::pair<std::string, T*> {
  nvp(const std::string& name, T* value) : std::pair<std::string, T*>(name, value) {}
  nvp(const nvp&) = default;
  nvp& operator=(const nvp&) = default;
  virtual ~nvp() = default;
};

template <typename T>
nvp<T> makeNvp(const std::string& name, T& value) {
  return nvp<T>(name, &value);
}

class XmlIArchive {
 public:
  // A vector count above this is taken as damage and no item is loaded.
  static constexpr long kMaxVectorCount = 100000;
  // Items one archive makes in all vectors together (missing items included);
  // a vector that would pass it is refused, which stops nested counts from
  // multiplying into billions of objects.
  static constexpr long kMaxTotalItems = 1000000;

  // Opens (package, name) and makes its "root" the current element. A missing
  // file or malformed XML is fatal: the files read this way are required content.
  XmlIArchive(const std::string& package, const std::string& name);
  // An archive with nothing open; loadFromBuffer parses a document from memory.
  XmlIArchive();
  virtual ~XmlIArchive();
  XmlIArchive(const XmlIArchive&) = delete;
  XmlIArchive& operator=(const XmlIArchive&) = delete;

  // Parses bytes (a copy is kept) and makes "root" current; false, with
  // nothing open, when they are not well-formed XML.
  bool loadFromBuffer(const void* data, size_t size);
  bool isOpened() const { return opened != 0; }

  void loadInt(const nvp<int>& pair);
  void loadFloat(const nvp<float>& pair);
  void loadBool(const nvp<bool>& pair);
  void loadString(const nvp<std::string>& pair);
  // An absent element leaves the vector unchanged.
  void loadVector2(const nvp<Vector2<float>>& pair);
  void loadRect(const nvp<Rect>& pair);
  void loadColor(const nvp<Color>& pair);

  // Any member: the scalars above, objects held by value or by pointer, and
  // std::vector of any of these.
  template <typename T>
  void load(const nvp<T>& pair) {
    loadValue(pair.first, pair.second);
  }
  template <typename T>
  XmlIArchive& operator>>(const nvp<T>& pair) {
    load(pair);
    return *this;
  }

  // The element whose children are the members being read.
  pugi::xml_node currentNode() const { return nodes.empty() ? pugi::xml_node() : nodes.back(); }
  void pushNode(pugi::xml_node node) { nodes.push_back(node); }
  void popNode() {
    if (!nodes.empty()) nodes.pop_back();
  }

 private:
  void loadValue(const std::string& name, int* value) { loadInt(nvp<int>(name, value)); }
  void loadValue(const std::string& name, float* value) { loadFloat(nvp<float>(name, value)); }
  void loadValue(const std::string& name, bool* value) { loadBool(nvp<bool>(name, value)); }
  void loadValue(const std::string& name, std::string* value) { loadString(nvp<std::string>(name, value)); }
  void loadValue(const std::string& name, Vector2<float>* value) { loadVector2(nvp<Vector2<float>>(name, value)); }
  void loadValue(const std::string& name, Rect* value) { loadRect(nvp<Rect>(name, value)); }
  void loadValue(const std::string& name, Color* value) { loadColor(nvp<Color>(name, value)); }

  template <typename T>
  void loadValue(const std::string& name, T* object) {
    pushNode(childNamed(name));
    object->serializeXmlIn(*this);
    popNode();
  }

  template <typename T>
  void loadValue(const std::string& name, T** pointer) {
    *pointer = createPointee<T>(name);
    if (*pointer) loadValue(name, *pointer);
  }

  template <typename T>
  void loadValue(const std::string& name, std::vector<T>* items) {
    pugi::xml_node element = childNamed(name);
    pushNode(element);
    items->clear();
    long count = acceptedCount(name, element.attribute("sz").value());
    beginItems(element, count);
    for (long i = 0; i < count; ++i) {
      T item{};
      loadValue(itemName(i), &item);
      if constexpr (std::is_pointer_v<T>) {
        // A pointer item whose class could not be made is left out.
        if (!item) continue;
      }
      items->push_back(std::move(item));
    }
    endItems();
    popNode();
  }

  // The object a pointer member is read into: an object of the declared class
  // when "class_name" is empty, else one made by the factory; null (with a
  // warning) when the name is unknown or its class is not a T.
  template <typename T>
  T* createPointee(const std::string& name) {
    pugi::xml_node element = childNamed(name);
    std::string className = element.attribute("class_name").value();
    if (className.empty()) {
      if constexpr (std::is_abstract_v<T> || !std::is_default_constructible_v<T>) {
        log("WARNING: XmlIArchive: member '%s' has no class_name and its class cannot be made; skipped", name.c_str());
        return nullptr;
      } else {
        return new T();
      }
    }
    ObjectCreatorInterface* creator = ObjectFactory::getInstance()->findCreator(className);
    if (!creator) {
      log("WARNING: XmlIArchive: unknown class_name '%s' of member '%s'; skipped", className.c_str(), name.c_str());
      return nullptr;
    }
    void* object = creator->create();
    T* typed = ObjectFactory::asKind<T>(*creator, object);
    if (!typed) {
      creator->destroy(object);
      log("WARNING: XmlIArchive: class_name '%s' of member '%s' is not a %s; skipped", className.c_str(), name.c_str(),
          objectTypeName(typeid(T)).c_str());
    }
    return typed;
  }

  long acceptedCount(const std::string& name, const char* sizeText);
  static std::string itemName(long index);
  // The index of an item name "e0", "e1", ... (decimal, no leading zero), or -1.
  static long parseItemName(const char* name);

  // The child `name` of the current element. While a vector is read, its
  // items are found through an index made in one pass over its children, so
  // that a vector of n items reads in linear time, not quadratic.
  pugi::xml_node childNamed(const std::string& name) const;
  void beginItems(pugi::xml_node vector, long count);
  void endItems();
  struct ItemIndex {
    pugi::xml_node vector;
    std::vector<pugi::xml_node> items;  // the first element of each item name
  };
  std::vector<ItemIndex> itemIndexes;

  std::string unused;
  pugi::xml_document document;
  std::deque<pugi::xml_node> nodes;
  uint8_t opened = 0;
  long totalItems = 0;
};

// The writing side: appends the same elements to an in-memory document.
class XmlOArchive {
 public:
  // A document with an empty "root" as the current element.
  XmlOArchive();
  virtual ~XmlOArchive();
  XmlOArchive(const XmlOArchive&) = delete;
  XmlOArchive& operator=(const XmlOArchive&) = delete;

  void saveInt(const nvp<int>& pair);
  void saveFloat(const nvp<float>& pair);
  void saveBool(const nvp<bool>& pair);
  void saveString(const nvp<std::string>& pair);
  void saveVector2(const nvp<Vector2<float>>& pair);
  void saveRect(const nvp<Rect>& pair);
  void saveColor(const nvp<Color>& pair);

  template <typename T>
  void save(const nvp<T>& pair) {
    saveValue(pair.first, const_cast<std::remove_const_t<T>*>(pair.second));
  }
  template <typename T>
  XmlOArchive& operator<<(const nvp<T>& pair) {
    save(pair);
    return *this;
  }

  // The document as text, and written to a file by path; false when the file
  // cannot be written.
  std::string saveToString() const;
  bool saveToFile(const std::string& path) const;
  const pugi::xml_document& getDocument() const { return document; }

  pugi::xml_node currentNode() const { return nodes.empty() ? pugi::xml_node() : nodes.back(); }
  void pushNode(pugi::xml_node node) { nodes.push_back(node); }
  void popNode() {
    if (!nodes.empty()) nodes.pop_back();
  }

 private:
  void saveValue(const std::string& name, int* value) { saveInt(nvp<int>(name, value)); }
  void saveValue(const std::string& name, float* value) { saveFloat(nvp<float>(name, value)); }
  void saveValue(const std::string& name, bool* value) { saveBool(nvp<bool>(name, value)); }
  void saveValue(const std::string& name, std::string* value) { saveString(nvp<std::string>(name, value)); }
  void saveValue(const std::string& name, Vector2<float>* value) { saveVector2(nvp<Vector2<float>>(name, value)); }
  void saveValue(const std::string& name, Rect* value) { saveRect(nvp<Rect>(name, value)); }
  void saveValue(const std::string& name, Color* value) { saveColor(nvp<Color>(name, value)); }

  // An object held by value also carries "class_name": its registered name,
  // or empty for a class that is not registered (curves, value ranges).
  template <typename T>
  void saveValue(const std::string& name, T* object) {
    pugi::xml_node element = currentNode().append_child(name.c_str());
    element.append_attribute("class_name") =
        ObjectFactory::getInstance()->findClassName(objectTypeName(typeid(*object))).c_str();
    pushNode(element);
    object->serializeXmlOut(*this);
    popNode();
  }

  template <typename T>
  void saveValue(const std::string& name, T** pointer) {
    T* object = *pointer;
    pugi::xml_node element = currentNode().append_child(name.c_str());
    std::string className =
        object ? ObjectFactory::getInstance()->findClassName(objectTypeName(typeid(*object))) : std::string();
    element.append_attribute("class_name") = className.c_str();
    if (!object) return;
    pushNode(element);
    object->serializeXmlOut(*this);
    popNode();
  }

  template <typename T>
  void saveValue(const std::string& name, std::vector<T>* items) {
    pugi::xml_node element = currentNode().append_child(name.c_str());
    pushNode(element);
    long count = 0;
    for (T& item : *items) {
      if constexpr (std::is_pointer_v<T>) {
        // A null item has nothing to store; the count says how many are written.
        if (!item) continue;
      }
      saveValue(itemName(count), &item);
      ++count;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%li", count);
    element.append_attribute("sz") = text;
    popNode();
  }

  static std::string itemName(long index);

  pugi::xml_document document;
  std::deque<pugi::xml_node> nodes;
};

}  // namespace KR
