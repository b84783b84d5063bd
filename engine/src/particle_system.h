#pragma once
// The particle system's manager: hands out particle effects by effect file
// name, copied from one loaded prototype per file or taken back from a pool of
// released effects, and advances once a frame the effects nobody else advances.
//
//   KR::ParticleFX* fx = KR::ParticleSystem::getInstance()->createEffect("sparkles_fx");
//   ...                                   // the holder updates and renders it
//   KR::ParticleSystem::getInstance()->releaseEffect(fx);
//
// Every operation takes the manager's recursive lock: effects are also made
// on loading threads. Effect files are read without the lock held. In the lock
// order (CONVENTIONS.md) it comes after the game's locks and the UI font
// manager and before the sprite managers, the texture manager and the file
// system, which copying an effect takes under it.
#include <pthread.h>

#include <map>
#include <string>
#include <vector>

#include "singleton.h"

namespace KR {

class ParticleFX;

class ParticleSystem : public Singleton<ParticleSystem> {
 public:
  // Registers the particle classes with the object factory.
  ParticleSystem();
  ~ParticleSystem() override;

  // A started effect of the file (package "default"), or null: when the file
  // is missing (nothing is logged), cannot be read or holds no effect (an
  // "ERROR: " line names it), or asks for more than an effect may allocate (a
  // "WARNING: " line names it).
  ParticleFX* createEffect(const std::string& fileName);
  // Gives an effect back (to the pool); the caller must not touch it again.
  void releaseEffect(ParticleFX* effect);
  // A started copy of a live effect.
  ParticleFX* cloneEffect(const ParticleFX& source);
  // Once per active tick, after input and before sound: advances the tracked
  // effects that no holder advances (by the frame time, at most 0.1 s) and
  // destroys those of them that are finished and ask for it, unless they were
  // handed out and not yet given back: a holder that has not advanced its
  // effect yet (a hidden widget) still owns it and releases it later.
  void update();
  void clearEffectPool();
  void clearPrototypes();

  // Called by every new copy of an effect: enters it in the tracked list.
  void track(ParticleFX* effect);

  size_t getPoolSize();
  size_t getPrototypeCount();
  size_t getActiveCount();
  bool isTracked(const ParticleFX* effect);

  // An effect file's bytes parsed and read, not yet initialised; null (logged
  // with the file name) when they hold no effect, or when it asks for more
  // records and tail segments than ParticleFX::kMaxAllocation.
  static ParticleFX* readEffect(const char* bytes, size_t size, const std::string& fileName);

  // Whether update advances the tracked effects at all. Particle scene nodes
  // switch it off as they are made, also on loading threads.
  void setUpdateEffects(bool on);
  bool getUpdateEffects();
  // The most effects of one name the pool keeps; negative: no limit.
  int mPoolLimit = -1;

 private:
  // Marks the effect as held by the caller it is returned to (under the lock).
  static ParticleFX* handOut(ParticleFX* effect);
  // The effect file read through readEffect; null when it cannot be.
  static ParticleFX* loadEffect(const std::string& fileName);

  std::multimap<std::string, ParticleFX*> mEffectPool;
  std::vector<ParticleFX*> mActiveEffects;
  std::map<std::string, ParticleFX*> mPrototypes;
  bool mUpdateEffects = true;
  pthread_mutex_t mLock;
};

}  // namespace KR
