// Feeds arbitrary bytes to the XML archive and loads an object of every member
// kind from them: scalars, objects by value and by pointer, nested vectors.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "log_system.h"
#include "object_factory.h"
#include "xml_iarchive.h"

namespace {

struct Key {
  float time = 0;
  KR::Color color;
  void serializeXmlIn(KR::XmlIArchive& ar) {
    ar.load(KR::makeNvp("mTime", time));
    ar.load(KR::makeNvp("mColor", color));
  }
};

class Node {
 public:
  virtual ~Node() {
    for (Node* child : children) delete child;
  }
  virtual void serializeXmlIn(KR::XmlIArchive& ar) {
    ar.load(KR::makeNvp("mName", name));
    ar.load(KR::makeNvp("mKeys", keys));
  }
  std::string name;
  std::vector<Key> keys;
  std::vector<Node*> children;
};

class Group : public Node {
 public:
  void serializeXmlIn(KR::XmlIArchive& ar) override {
    Node::serializeXmlIn(ar);
    // Pointer members recurse only through the type structure, so depth is bounded.
    ar.load(KR::makeNvp("mBounds", bounds));
  }
  KR::Rect bounds;
};

struct Other {
  virtual ~Other() = default;
  void serializeXmlIn(KR::XmlIArchive&) {}
};

struct Root {
  int count = 0;
  float scale = 0;
  bool flag = false;
  KR::Vector2<float> position;
  Key key;
  Node* single = nullptr;
  std::vector<Node*> nodes;
  std::vector<std::vector<int>> grid;
  ~Root() {
    delete single;
    for (Node* node : nodes) delete node;
  }
  void serializeXmlIn(KR::XmlIArchive& ar) {
    ar >> KR::makeNvp("mCount", count) >> KR::makeNvp("mScale", scale) >> KR::makeNvp("mFlag", flag) >>
        KR::makeNvp("mPosition", position) >> KR::makeNvp("mKey", key) >> KR::makeNvp("mSingle", single) >>
        KR::makeNvp("mNodes", nodes) >> KR::makeNvp("mGrid", grid);
  }
};

struct Services {
  Services() {
    factory.registerCreator("Node", new KR::ObjectCreator<Node>());
    factory.registerCreator("Group", new KR::ObjectCreator<Group>());
    factory.registerCreator("Other", new KR::ObjectCreator<Other>());
  }
  KR::LogSystem log;
  KR::ObjectFactory factory;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  KR::XmlIArchive archive;
  if (!archive.loadFromBuffer(data, size)) return 0;
  Root root;
  root.serializeXmlIn(archive);
  return 0;
}
