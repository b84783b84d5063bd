// Feeds arbitrary bytes to the XML data reader's parse step and, when they
// parse, walks every element with every getter and the array iterator.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine_allocators.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace {

struct Services {
  Services() { allocators.init(); }
  KR::LogSystem log;
  KR::EngineAllocators allocators;
};

void readEverything(KR::XmlDataReader& reader, int depth) {
  pugi::xml_node cursor = reader.getCursor();
  if (!cursor || depth > 32) return;
  std::string text;
  reader.readCurrentString(&text);
  int children = 0;
  for (pugi::xml_node child : cursor.children()) {
    if (child.type() != pugi::node_element || ++children > 64) continue;
    const char* key = child.name();
    int32_t i;
    float f;
    bool b;
    KR::Vector2<float> v;
    KR::Rect r;
    KR::Color c;
    reader.readInt(key, &i);
    reader.readFloat(key, &f);
    reader.readBool(key, &b);
    reader.readString(key, &text);
    reader.readVector2(key, &v);
    reader.readRect(key, &r);
    reader.readColor(key, &c);
    if (reader.enterChild(key)) {
      readEverything(reader, depth + 1);
      int items = 0;
      for (auto it = reader.arrayBegin(); it != reader.arrayEnd() && items < 64; it.next(), ++items) {
        readEverything(reader, depth + 1);
      }
      reader.leaveChild();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  KR::XmlDataReader reader;
  if (reader.parse(data, size) == pugi::status_ok) readEverything(reader, 0);
  return 0;
}
