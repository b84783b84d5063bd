#pragma once
// An affector changes the live particles of one emitter: it keeps one entry
// per particle record, fills it when the emitter spawns a particle there and
// moves or turns the particles every update. The emitter owns its affectors
// and calls them in list order (attach, initParticle, update,
// setParticleCount). The base does nothing; concrete affectors are in
// particle_movement_affectors.h and particle_rotation_affectors.h.
#include <cstdint>
#include <string>
#include <vector>

#include "aux_archive.h"
#include "particle_emitter.h"

namespace KR {

class ParticleAffector {
 public:
  ParticleAffector() = default;
  // A copy is bound to no emitter until it is attached.
  ParticleAffector(const ParticleAffector&) {}
  ParticleAffector& operator=(const ParticleAffector&) = delete;
  virtual ~ParticleAffector() = default;

  virtual void update(float) {}
  virtual void initParticle(int32_t) {}
  virtual void attach(ParticleEmitter*) {}
  virtual void setParticleCount(int32_t) {}
  virtual void serializeAux(AuxArchive&) {}
  virtual void serializeXmlIn(XmlIArchive&) {}
  virtual void serializeXmlOut(XmlOArchive&) {}
  virtual std::string getClassName() const { return "ParticleAffector"; }

  ParticleEmitter* getEmitter() const { return mEmitter; }

 protected:
  ParticleEmitter* mEmitter = nullptr;
};

// The per-particle entries every concrete affector keeps, one per record of
// its emitter, each starting at Entry's own initial value; and the three
// serialisers, handing the members that Derived lists in `members` to each archive.
template <typename Derived, typename Entry>
class ParticleAffectorWithEntries : public ParticleAffector {
 public:
  ParticleAffectorWithEntries() = default;
  // Entries belong to the emitter the affector is attached to: not copied.
  ParticleAffectorWithEntries(const ParticleAffectorWithEntries& other) : ParticleAffector(other) {}

  void attach(ParticleEmitter* emitter) override {
    mEmitter = emitter;
    mEntries.assign(size_t(emitter && emitter->mMaxParticlesCount > 0 ? emitter->mMaxParticlesCount : 0), Entry());
  }
  void setParticleCount(int32_t count) override { mEntries.resize(size_t(count > 0 ? count : 0), Entry()); }
  void serializeAux(AuxArchive& ar) override { self().members(MemberVisitor{ar}); }
  void serializeXmlIn(XmlIArchive& ar) override { self().members(MemberLoader{ar}); }
  void serializeXmlOut(XmlOArchive& ar) override { self().members(MemberSaver{ar}); }

  const Entry& entry(int32_t index) const { return mEntries[size_t(index)]; }
  size_t getEntryCount() const { return mEntries.size(); }

 protected:
  // Records that have an entry: the records walked by update.
  int32_t walkedCount() const {
    if (!mEmitter) return 0;
    const size_t records = size_t(mEmitter->getAllocatedCount());
    return int32_t(records < mEntries.size() ? records : mEntries.size());
  }
  // The entry of a record the emitter just spawned; null without one.
  Entry* entryFor(int32_t index) {
    return mEmitter && index >= 0 && size_t(index) < mEntries.size() && index < mEmitter->getAllocatedCount()
               ? &mEntries[size_t(index)]
               : nullptr;
  }
  // The particle's life percentage: 100 x age / (age + remaining).
  static int lifePercent(const Particle& p) {
    const float total = p.age + p.remaining;
    return total != 0.0f ? wholePercent(100.0 * double(p.age) / double(total)) : 0;
  }

  std::vector<Entry> mEntries;

 private:
  Derived& self() { return static_cast<Derived&>(*this); }
};

}  // namespace KR
