// Feeds arbitrary bytes to the effect file reader as the particle system reads
// an effect file, then makes the effect ready, copies it as the particle
// system hands effects out, and runs the copy for one second.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "log_system.h"
#include "object_factory.h"
#include "particle_class_registry.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "xml_iarchive.h"

namespace {

struct Services {
  Services() { KR::registerParticleClasses(factory); }
  KR::LogSystem log;
  KR::ObjectFactory factory;
};

// Records (tail segments counted) the effect would allocate: inputs asking for
// more than a fuzzing process should hold are not run.
bool withinBudget(const KR::ParticleFX& effect) {
  double units = 0.0;
  for (const KR::ParticleEmitter* emitter : effect.mParticleEmitters) {
    const double records = emitter->mMaxParticlesCount < 0 ? 0.0 : double(emitter->mMaxParticlesCount);
    const int32_t segments = emitter->getTailSettings().mMaxSegments;
    const double perRecord = emitter->mUseTails ? 110.0 + (segments > 0 ? double(segments) : 0.0) : 1.0;
    units += (records < KR::ParticleEmitter::kMaxParticles ? records : KR::ParticleEmitter::kMaxParticles) * perRecord;
  }
  return units <= 400000.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  KR::XmlIArchive archive;
  if (!archive.loadFromBuffer(data, size)) return 0;
  KR::ParticleFX* loaded = nullptr;
  archive.load(KR::makeNvp("ParticleFX", loaded));
  std::unique_ptr<KR::ParticleFX> prototype(loaded);
  if (!prototype || !withinBudget(*prototype)) return 0;
  // Path animations are Lua files read through the file system, fuzzed with
  // the frame descriptions; here the effect runs without one.
  prototype->mAnimationFilename.clear();
  prototype->initialize();
  KR::ParticleFX copy(*prototype);
  for (int i = 0; i < 30; ++i) copy.update(1.0f / 30.0f);
  copy.start();
  copy.update(0.0f);
  copy.setAlpha(0.5f);
  return 0;
}
