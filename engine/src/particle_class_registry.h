#pragma once
// The eleven particle classes effect files name by "class_name" (four emitter
// shapes, seven affectors), registered with the object factory, and the copy
// of an emitter or affector by its run-time class through those creators.
#include <string>

namespace KR {

class ObjectFactory;
class ParticleAffector;
class ParticleEmitter;

// Registers the creators under their names, emitters first.
void registerParticleClasses(ObjectFactory& factory);

// A new object of the source's run-time class, made by its registered
// creator; a plain base copy when the class has none.
ParticleEmitter* copyParticleEmitter(const ParticleEmitter& source);
ParticleAffector* copyParticleAffector(const ParticleAffector& source);

}  // namespace KR
