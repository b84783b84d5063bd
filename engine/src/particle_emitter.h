#pragma once
// An emitter of one particle effect: a fixed array of particle records that it
// fills at a rate read from a curve, ages, colours and scales over their life,
// hands to its affectors and draws with one sprite (or as tails). Where a new
// particle starts is its shape's business (particle_emitter_shapes.h); the
// base places it at the emitter.
//
// Emitters are read from effect files and copied with their effect; the
// effect sets itself as owner and initialises them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "color.h"
#include "particle_tail.h"
#include "timed_value_interval.h"
#include "vector2.h"

namespace KR {

class AuxArchive;
class ParticleAffector;
class ParticleFX;
class RenderData;
class Sprite;
class XmlIArchive;
class XmlOArchive;

struct Particle {
  bool dead = true;
  // Relative to the emitter, or absolute with global coordinates.
  Vector2<float> position;
  // Degrees; the sprite's rotation.
  float angle = 0.0f;
  // Seconds of life left and lived.
  float remaining = 0.0f;
  float age = 0.0f;
  Color color;
  Vector2<float> scale = Vector2<float>(1.0f, 1.0f);
  // min(age, 1) x min(remaining, 1).
  float fade = 0.0f;
  std::unique_ptr<ParticleTail> tail;
};

class ParticleEmitter {
 public:
  // The most records one emitter allocates; a file asking for more gets this many.
  static constexpr int32_t kMaxParticles = 100000;
  // The most tail segments a file may ask for.
  static constexpr int32_t kMaxTailSegments = 1000;

  // For loading: scalars 0, curves of one line, bounds 0 and 100, no keys.
  ParticleEmitter();
  // Starts from the running defaults and takes the source's members; the
  // sprite is copied, the affectors too. No records until initialize.
  ParticleEmitter(const ParticleEmitter& source);
  ParticleEmitter& operator=(const ParticleEmitter&) = delete;
  virtual ~ParticleEmitter();

  // Allocates the records, makes the sprite, attaches the affectors, resets.
  virtual void initialize();
  virtual void serializeAux(AuxArchive& ar);
  virtual void serializeXmlIn(XmlIArchive& ar);
  virtual void serializeXmlOut(XmlOArchive& ar);
  virtual std::string getClassName() const { return "ParticleEmitter"; }
  // Places a new particle in record `index`; the base leaves it where it is.
  virtual void spawnParticle(int32_t index);
  // Reallocates the records to mMaxParticlesCount (a negative count takes
  // the allocated one back).
  virtual void setParticleCount();

  // Clocks to 0, every record free, tails set up afresh.
  void reset();
  void update(float dt);
  // Draws every live particle; `base` is added for particles in local coordinates.
  void render(const Vector2<float>& base);
  void setAlpha(float alpha) { mAlpha = alpha; }
  void setEmitRateScale(float scale) { mEmitRateScale = scale; }
  // Not looped, its time has run out and no particle lives.
  bool isDead() const;

  // The emitter's life percentage: whole percent of mEmitterLifeTime, or
  // tenths of seconds without a lifetime.
  int getLifePercent() const;
  int32_t getLiveCount() const { return mLiveCount; }
  int32_t getAllocatedCount() const { return int32_t(mParticles.size()); }
  // A record to change in place (affectors, holders).
  Particle& particle(int32_t index) {
    mRecordsFresh = false;
    return mParticles[size_t(index)];
  }
  const Particle& particle(int32_t index) const { return mParticles[size_t(index)]; }
  Sprite* getSprite() const { return mSprite; }
  ParticleFX* getOwner() const { return mOwner; }
  void setOwner(ParticleFX* owner) { mOwner = owner; }
  const ParticleTailSettings& getTailSettings() const { return mTail; }
  ParticleTailSettings& getTailSettings() { return mTail; }
  float getEmitAccumulator() const { return mEmitAccumulator; }

  std::vector<ParticleAffector*> mParticleAffectors;
  int32_t mMinParticlesCount = 0;
  int32_t mMaxParticlesCount = 0;
  Vector2<float> mPosition;
  TimedValueInterval<float> mEmitRate;
  std::string mSpriteFileName;
  std::string mSpriteTableName;
  float mEmitRateScale = 1.0f;
  int32_t mLiveLimit = -1;
  TimedValueInterval<float> mInitialLifeTime;
  TimedValueInterval<Color> mParticleColor;
  TimedValueInterval<float> mInitialScaleX;
  TimedValueInterval<float> mInitialScaleY;
  float mEmitterLifeTime = 0.0f;
  float mTime = 0.0f;
  bool mLooped = false;
  bool mGlobalCoords = false;
  float mEmitterDelay = 0.0f;
  int32_t mBlendMode = 0;
  bool mUseTails = false;
  float mAlpha = 1.0f;
  bool mEnabled = true;

 protected:
  // Shapes write into the records they are handed.
  std::vector<Particle> mParticles;

 private:
  void emit(float dt, int percent);
  void spawnInto(int32_t index, int percent);
  void updateParticles(float dt);
  void rebuildTails();
  void destroySprite();
  // Every live particle as quads of one render item, placed and coloured as
  // the sprite would place each: the sprite's own work per particle was most
  // of a particle frame's main-thread time. False (nothing drawn) where the
  // sprite is not one plain quad (a grid, clipped, tails): it draws then.
  bool renderAsOneItem(const Vector2<float>& base);
  // Curves a damaged file left without lines take the running defaults.
  void restoreEmptyCurves();

  int32_t mLiveCount = 0;
  int32_t mParticleCount = 0;
  ParticleFX* mOwner = nullptr;
  ParticleTailSettings mTail;
  int32_t mAppliedMaxSegments = 0;
  float mEmitAccumulator = 0.0f;
  Sprite* mSprite = nullptr;
  // The quads of renderAsOneItem, made on the main thread's first draw.
  std::unique_ptr<RenderData> mBatch;
  // Every record is as allocated (free, nothing written since): reset and the
  // particle update have nothing to do on them. Effects are made often.
  bool mRecordsFresh = false;

  // Colour and scale at each whole percentage of a particle's life, filled
  // as particles of one update ask for them: many particles share a percentage.
  struct LifeSample {
    uint32_t update = 0;
    Color color;
    Vector2<float> scale;
  };
  LifeSample mLifeSamples[101];
  uint32_t mUpdateCount = 0;

 private:
  // The stored members, in file order, handed to one archive's operation.
  template <typename Member>
  void members(Member&& member);
};

// A random fraction 0..1 (both included) from the shared generator.
double randomFraction();
// trunc(value) as a whole percentage; NaN gives 0, values beyond the int range stop at its ends.
int wholePercent(double value);

}  // namespace KR
