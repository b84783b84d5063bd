#include "singleton.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "report_assert.h"

namespace KR {

std::string typeNameForReport(const std::type_info& info) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(info.name(), nullptr, nullptr, &status),
                                                   std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : info.name();
  return "class " + name;
}

void reportMissingSingleton(const std::type_info& info) {
  char buffer[256];
  std::snprintf(buffer, sizeof(buffer), "Singleton not initialized: %s", typeNameForReport(info).c_str());
  reportAssert("KR", buffer, "singleton", 40);
  fatalTrap();
}

}  // namespace KR
