#pragma once
// Creators of serialised classes by registered name, so that an object held by
// a pointer to its base class can be stored with the name of its real class
// and made again when it is read back.
//
//   factory->registerCreator("ParticleBoxEmitter", new KR::ObjectCreator<ParticleBoxEmitter>());
//   ParticleEmitter* e = factory->createAs<ParticleEmitter>("ParticleBoxEmitter");
#include <map>
#include <string>
#include <typeinfo>

#include "singleton.h"

namespace KR {

// The type name of a class as the factory compares it: the demangled,
// namespace-qualified name ("KR::ParticleFX").
std::string objectTypeName(const std::type_info& type);

class ObjectCreatorInterface {
 public:
  virtual ~ObjectCreatorInterface() = default;
  // A new default-constructed object of the creator's class.
  virtual void* create() = 0;
  // A new object copied from `source`, which must be of the creator's class.
  virtual void* createCopy(const void* source) = 0;
  // The type name of the class it creates (objectTypeName).
  virtual std::string getClassName() const = 0;

  // Deletes an object this creator made.
  virtual void destroy(void* object) const = 0;
  // Raises the object as a pointer of the creator's class, so that a handler
  // for a base-class pointer can tell whether the object is of that kind.
  virtual void raisePointer(void* object) const = 0;
};

template <typename T>
class ObjectCreator : public ObjectCreatorInterface {
 public:
  void* create() override { return new T(); }
  void* createCopy(const void* source) override { return new T(*static_cast<const T*>(source)); }
  std::string getClassName() const override { return objectTypeName(typeid(T)); }
  void destroy(void* object) const override { delete static_cast<T*>(object); }
  void raisePointer(void* object) const override { throw static_cast<T*>(object); }
};

class ObjectFactory : public Singleton<ObjectFactory> {
 public:
  ObjectFactory();
  ~ObjectFactory() override;

  // Takes ownership of the creator. A name registered already keeps its first
  // creator; the new one is deleted and false returned.
  bool registerCreator(const std::string& name, ObjectCreatorInterface* creator);
  // The creator registered under name, or null.
  ObjectCreatorInterface* findCreator(const std::string& name) const;
  // The registered name whose creator reports typeName (in key order, first
  // match), or the empty string.
  std::string findClassName(const std::string& typeName) const;

  // A new object of the class registered under name, seen as a Base. Null when
  // the name is unknown or its class is not a Base (the object is not kept).
  template <typename Base>
  Base* createAs(const std::string& name) const {
    ObjectCreatorInterface* creator = findCreator(name);
    if (!creator) return nullptr;
    void* object = creator->create();
    Base* result = asKind<Base>(*creator, object);
    if (!result) creator->destroy(object);
    return result;
  }

  // The object made by creator, as a Base, or null when it is not one.
  template <typename Base>
  static Base* asKind(const ObjectCreatorInterface& creator, void* object) {
    try {
      creator.raisePointer(object);
    } catch (Base* asBase) {
      return asBase;
    } catch (...) {
    }
    return nullptr;
  }

 private:
  std::map<std::string, ObjectCreatorInterface*> creators;
};

}  // namespace KR
