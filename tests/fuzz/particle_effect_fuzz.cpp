// Feeds arbitrary bytes to the effect file reader as the particle system reads
// an effect file, then makes the effect ready, copies it as the particle
// system hands effects out, and runs the copy for one second.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "log_system.h"
#include "object_factory.h"
#include "particle_class_registry.h"
#include "particle_fx.h"
#include "particle_system.h"

namespace {

struct Services {
  Services() { KR::registerParticleClasses(factory); }
  KR::LogSystem log;
  KR::ObjectFactory factory;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  // Read as the particle system reads a file, which refuses effects that
  // ask for more than an effect may allocate.
  std::unique_ptr<KR::ParticleFX> prototype(
      KR::ParticleSystem::readEffect(reinterpret_cast<const char*>(data), size, "fuzz_fx.xml"));
  if (!prototype) return 0;
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
