#pragma once
// One particle effect: the emitters of one effect file placed at a common
// position, optionally moved along a path animation. Effects come from
// KR::ParticleSystem by file name and go back to it; their holder advances
// and draws them every frame:
//
//   KR::ParticleFX* fx = KR::ParticleSystem::getInstance()->createEffect("fountain_fx");
//   fx->mPosition = KR::Vector2<float>(200, 500);
//   fx->update(dt);    // every frame, then
//   fx->render();
//   KR::ParticleSystem::getInstance()->releaseEffect(fx);
//
// An effect that nobody advances is advanced by ParticleSystem::update.
// Only copies that nobody holds are destroyed there once finished.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vector2.h"

namespace KR {

class Animation;
class AuxArchive;
class ParticleEmitter;
class XmlIArchive;
class XmlOArchive;

class ParticleFX {
 public:
  // The most particle records and tail segments one effect may allocate over
  // all its emitters: a small file could otherwise ask for gigabytes.
  static constexpr int64_t kMaxAllocation = 2000000;

  // Empty, for loading.
  ParticleFX();
  // The copy the particle system hands out: the source's emitters copied by
  // class and initialised, its position and path; entered in the particle
  // system's list of effects. Ready to run without start().
  ParticleFX(const ParticleFX& source);
  ParticleFX& operator=(const ParticleFX&) = delete;
  virtual ~ParticleFX();

  // Makes a freshly read effect ready: path loaded, emitters initialised.
  virtual void initialize();
  virtual void serializeAux(AuxArchive& ar);
  virtual void serializeXmlIn(XmlIArchive& ar);
  virtual void serializeXmlOut(XmlOArchive& ar);

  // Back to the beginning: path time 0, every emitter reset, started.
  void start();
  // Advances the path and the emitters by dt (by 0 while not started). Marks
  // the effect as advanced by its holder, so the particle system leaves it alone.
  void update(float dt);
  // Every emitter draws at mPosition.
  void render();
  void setAlpha(float alpha);

  // What the emitters allocate once initialised: every record, and with
  // tails each record's ring of segments (counts as the emitters clamp them).
  int64_t getAllocation() const;
  // Every emitter is dead (an effect without emitters is).
  bool isDead() const;
  // Live particles over all emitters, as of their last update.
  int getLiveCount() const;
  bool isAdvancedByHolder() const { return mAdvancedByHolder; }

  Vector2<float> mPosition;
  bool mDestroyIfDead = false;
  std::string mAnimationFilename;
  bool mPathFinished = false;
  bool mLoopedAnimation = true;
  std::string mFileName;
  bool mStarted = true;
  std::vector<ParticleEmitter*> mParticleEmitters;
  std::unique_ptr<Animation> mPathAnimation;

 private:
  friend class ParticleSystem;
  // The update itself, without marking the holder.
  void advance(float dt);
  void loadPathAnimation();

  bool mAdvancedByHolder = false;
  // Handed out by the particle system and not yet given back: its holder may
  // still touch it, so the particle system never destroys it.
  bool mHeld = false;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

}  // namespace KR
