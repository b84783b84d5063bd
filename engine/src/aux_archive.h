#pragma once
// The visiting archive: hands every member of a particle effect, by name and
// address and typed, to a visitor (an editor's property panel, a checker).
// Serialised particle classes list their members to it in the same order as
// to the XML archives:
//
//   void serializeAux(KR::AuxArchive& ar) { ar.visit(KR::makeNvp("mPosition", mPosition)); ... }
//
// A vector opens a group and visits its entries "e0", "e1", ... before closing
// it; an emitter or affector entry is visited whole inside a group of its own,
// a curve key through its own members inside two groups.
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"
#include "xml_iarchive.h"

namespace KR {

class AuxArchive;
class ParticleAffector;
class ParticleEmitter;
class ParticleFX;
template <typename T>
class TimedValueInterval;
template <typename T>
class ValueRange;

class IAuxVisitor {
 public:
  virtual ~IAuxVisitor() = default;
  virtual void beginGroup() = 0;
  virtual void endGroup() = 0;
  virtual void visit(AuxArchive& archive, nvp<TimedValueInterval<Color>> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<ValueRange<Vector2<float>>> member) = 0;
  // A whole effect; the effect's own members never come here, it is there for
  // a visitor handed the root.
  virtual void visit(AuxArchive& archive, nvp<ParticleFX> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<TimedValueInterval<float>> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<ParticleAffector> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<ParticleEmitter> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<bool> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<Color> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<Rect> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<Vector2<float>> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<std::string> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<float> member) = 0;
  virtual void visit(AuxArchive& archive, nvp<int> member) = 0;
};

class AuxArchive {
 public:
  explicit AuxArchive(IAuxVisitor* visitor) : mVisitor(visitor) {}
  IAuxVisitor* getVisitor() const { return mVisitor; }

  // Scalars, curves and value ranges go to the visitor as they are.
  template <typename T>
  void visit(const nvp<T>& member) {
    mVisitor->visit(*this, member);
  }

  template <typename T>
  void visit(const nvp<std::vector<T>>& member) {
    mVisitor->beginGroup();
    std::vector<T>& items = *member.second;
    for (size_t i = 0; i < items.size(); ++i) visitEntry(entryName(i), &items[i]);
    mVisitor->endGroup();
  }

 private:
  static std::string entryName(size_t index) { return "e" + std::to_string(index); }

  void visitEntry(const std::string& name, ParticleEmitter** entry) {
    mVisitor->beginGroup();
    mVisitor->visit(*this, nvp<ParticleEmitter>(name, *entry));
    mVisitor->endGroup();
  }
  void visitEntry(const std::string& name, ParticleAffector** entry) {
    mVisitor->beginGroup();
    mVisitor->visit(*this, nvp<ParticleAffector>(name, *entry));
    mVisitor->endGroup();
  }
  // A key of a curve: its own members, two levels down.
  template <typename T>
  void visitEntry(const std::string&, T** entry) {
    mVisitor->beginGroup();
    mVisitor->beginGroup();
    (*entry)->serializeAux(*this);
    mVisitor->endGroup();
    mVisitor->endGroup();
  }
  template <typename T>
  void visitEntry(const std::string& name, std::vector<T>* entry) {
    visit(nvp<std::vector<T>>(name, entry));
  }

  IAuxVisitor* mVisitor;
};

// A class that lists its members once, in a member template
//   template <typename Member> void members(Member&& member) { member("mRect", mRect); ... }
// hands them to each of the three archives in that one order:
//   void serializeXmlIn(XmlIArchive& ar) { members(MemberLoader{ar}); }
struct MemberLoader {
  XmlIArchive& archive;
  template <typename T>
  void operator()(const char* name, T& value) const {
    archive.load(makeNvp(name, value));
  }
};
struct MemberSaver {
  XmlOArchive& archive;
  template <typename T>
  void operator()(const char* name, T& value) const {
    archive.save(makeNvp(name, value));
  }
};
struct MemberVisitor {
  AuxArchive& archive;
  template <typename T>
  void operator()(const char* name, T& value) const {
    archive.visit(makeNvp(name, value));
  }
};

}  // namespace KR
