#pragma once
// Base of every engine and game manager: one static instance pointer per type,
// set by the derived constructor and cleared by this destructor. getInstance is
// guarded: reaching a manager outside its lifetime is a fatal error.
#include <string>
#include <typeinfo>

namespace KR {

// The class name as the fatal-error text spells it: "class " + qualified name.
std::string typeNameForReport(const std::type_info& info);

[[noreturn]] void reportMissingSingleton(const std::type_info& info);

template <typename T>
class Singleton {
 public:
  Singleton() = default;
  Singleton(const Singleton&) = delete;
  Singleton& operator=(const Singleton&) = delete;
  virtual ~Singleton() { sInstance = nullptr; }

  static T* getInstance() {
    if (!sInstance) reportMissingSingleton(typeid(T));
    return sInstance;
  }
  // Unchecked read, for code that must work whether or not the manager exists.
  static T* getInstancePtr() { return sInstance; }
  static bool exists() { return sInstance != nullptr; }

 protected:
  // Called by T's constructor once the object exists.
  void setInstance(T* instance) { sInstance = instance; }

 private:
  static inline T* sInstance = nullptr;
};

}  // namespace KR
