#include "platform/system_info.h"

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

#include <vector>

namespace KR {
namespace Platform {

std::string executableFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) < buffer.size()) {
      std::string path(buffer.data(), static_cast<size_t>(length));
      size_t slash = path.find_last_of('/');
      if (slash == std::string::npos) return std::string();
      return slash == 0 ? std::string("/") : path.substr(0, slash);
    }
    buffer.resize(buffer.size() * 2);
  }
}

uint64_t currentThreadAffinity() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (pthread_getaffinity_np(pthread_self(), sizeof(set), &set) != 0) return 0;
  uint64_t mask = 0;
  for (int cpu = 0; cpu < 64; ++cpu)
    if (CPU_ISSET(cpu, &set)) mask |= uint64_t(1) << cpu;
  return mask;
}

bool setCurrentThreadAffinity(uint64_t mask, uint64_t* previous) {
  uint64_t before = currentThreadAffinity();
  if (mask == 0) return false;
  cpu_set_t set;
  CPU_ZERO(&set);
  for (int cpu = 0; cpu < 64; ++cpu)
    if (mask & (uint64_t(1) << cpu)) CPU_SET(cpu, &set);
  if (pthread_setaffinity_np(pthread_self(), sizeof(set), &set) != 0) return false;
  if (previous) *previous = before;
  return true;
}

}  // namespace Platform
}  // namespace KR
