#include "particle_class_registry.h"

#include <typeinfo>

#include "object_factory.h"
#include "particle_emitter_shapes.h"
#include "particle_movement_affectors.h"
#include "particle_rotation_affectors.h"

namespace KR {

namespace {

struct ParticleClass {
  const char* name;
  const std::type_info* type;
  ObjectCreatorInterface* (*makeCreator)();
};

template <typename T>
ObjectCreatorInterface* makeCreator() {
  return new ObjectCreator<T>();
}

template <typename T>
ParticleClass entry(const char* name) {
  return ParticleClass{name, &typeid(T), &makeCreator<T>};
}

const ParticleClass kParticleClasses[] = {
    entry<ParticlePointEmitter>("ParticlePointEmitter"),
    entry<ParticleBoxEmitter>("ParticleBoxEmitter"),
    entry<ParticleQuadEmitter>("ParticleQuadEmitter"),
    entry<ParticleCircleEmitter>("ParticleCircleEmitter"),
    entry<ParticleLinearMovementAffector>("ParticleLinearMovementAffector"),
    entry<ParticleGraphicMoveAffector>("ParticleGraphicMoveAffector"),
    entry<ParticleRotateAffector>("ParticleRotateAffector"),
    entry<ParticleRotateSpriteAffector>("ParticleRotateSpriteAffector"),
    entry<ParticleGravityAffector>("ParticleGravityAffector"),
    entry<ParticleGravityPointAffector>("ParticleGravityPointAffector"),
    entry<ParticleAutoRotateAffector>("ParticleAutoRotateAffector"),
};

// The copy made by the creator registered for the source's run-time class.
// Classes are matched by their type, which is what the creator reports by
// name; comparing type objects spares the name demangling on every copy.
template <typename Base>
Base* copyByClass(const Base& source) {
  ObjectFactory* factory = ObjectFactory::getInstancePtr();
  const std::type_info& type = typeid(source);
  for (const ParticleClass& particleClass : kParticleClasses) {
    if (*particleClass.type != type || !factory) continue;
    ObjectCreatorInterface* creator = factory->findCreator(particleClass.name);
    if (!creator) break;
    // The creator works on the whole object; the base part sits at the same
    // offset in the copy as in the source.
    const void* whole = dynamic_cast<const void*>(&source);
    const std::ptrdiff_t offset = reinterpret_cast<const char*>(&source) - static_cast<const char*>(whole);
    void* copy = creator->createCopy(whole);
    return copy ? reinterpret_cast<Base*>(static_cast<char*>(copy) + offset) : nullptr;
  }
  return new Base(source);
}

}  // namespace

void registerParticleClasses(ObjectFactory& factory) {
  for (const ParticleClass& particleClass : kParticleClasses)
    factory.registerCreator(particleClass.name, particleClass.makeCreator());
}

ParticleEmitter* copyParticleEmitter(const ParticleEmitter& source) { return copyByClass(source); }

ParticleAffector* copyParticleAffector(const ParticleAffector& source) { return copyByClass(source); }

}  // namespace KR
