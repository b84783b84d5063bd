#include "object_factory.h"

#include <cxxabi.h>

#include <cstdlib>

namespace KR {

std::string objectTypeName(const std::type_info& type) {
  int status = 0;
  char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  std::string name = (status == 0 && demangled) ? demangled : type.name();
  std::free(demangled);
  return name;
}

ObjectFactory::ObjectFactory() { setInstance(this); }

ObjectFactory::~ObjectFactory() {
  for (auto& entry : creators) delete entry.second;
  creators.clear();
}

bool ObjectFactory::registerCreator(const std::string& name, ObjectCreatorInterface* creator) {
  if (!creator) return false;
  auto inserted = creators.emplace(name, creator);
  if (!inserted.second) {
    delete creator;
    return false;
  }
  return true;
}

ObjectCreatorInterface* ObjectFactory::findCreator(const std::string& name) const {
  auto found = creators.find(name);
  return found != creators.end() ? found->second : nullptr;
}

std::string ObjectFactory::findClassName(const std::string& typeName) const {
  for (const auto& entry : creators) {
    if (entry.second->getClassName() == typeName) return entry.first;
  }
  return std::string();
}

}  // namespace KR
