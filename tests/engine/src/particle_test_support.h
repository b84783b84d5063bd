// Building blocks of the particle tests: curves through given keys, emitters
// with every curve set, and the factory with the particle classes.
#pragma once

#include <initializer_list>
#include <memory>
#include <utility>

#include "object_factory.h"
#include "particle_class_registry.h"
#include "particle_emitter.h"
#include "timed_value_interval.h"

namespace KR {
namespace Test {

inline TimedValueInterval<float> floatCurve(std::initializer_list<std::pair<int, float>> keys) {
  TimedValueInterval<float> curve;
  for (const auto& key : keys) curve.addValue(0, key.first, key.second);
  return curve;
}

inline TimedValueInterval<float> constantCurve(float value) { return floatCurve({{0, value}, {100, value}}); }

inline TimedValueInterval<Color> constantColor(uint32_t argb) {
  TimedValueInterval<Color> curve;
  curve.addValue(0, 0, Color::fromARGB(argb));
  return curve;
}

// An emitter at rest: rate, life and record count given, white, scale 1,
// endless and looped, no delay.
template <typename Emitter = ParticleEmitter>
std::unique_ptr<Emitter> makeEmitter(float rate, float life, int32_t maxParticles) {
  auto emitter = std::make_unique<Emitter>();
  emitter->mMaxParticlesCount = maxParticles;
  emitter->mEmitRate = constantCurve(rate);
  emitter->mInitialLifeTime = constantCurve(life);
  emitter->mParticleColor = constantColor(0xFFFFFFFF);
  emitter->mInitialScaleX = constantCurve(1.0f);
  emitter->mInitialScaleY = constantCurve(1.0f);
  emitter->mEmitterLifeTime = -1.0f;
  emitter->mLooped = true;
  return emitter;
}

inline int liveRecords(const ParticleEmitter& emitter) {
  int count = 0;
  for (int32_t i = 0; i < emitter.getAllocatedCount(); ++i) count += emitter.particle(i).dead ? 0 : 1;
  return count;
}

// The object factory with the particle classes registered.
struct ParticleFactory {
  ParticleFactory() { registerParticleClasses(factory); }
  ObjectFactory factory;
};

}  // namespace Test
}  // namespace KR
