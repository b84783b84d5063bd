#pragma once
// Program paths and thread placement.
#include <cstdint>
#include <string>

namespace KR {
namespace Platform {

// The folder of the running executable without a trailing slash; empty when
// it cannot be found.
std::string executableFolder();

// Pins the calling thread to the CPUs in mask (bit n = CPU n). previous
// receives the mask in force before (may be null). False when refused.
bool setCurrentThreadAffinity(uint64_t mask, uint64_t* previous);
// The mask of CPUs the calling thread may run on.
uint64_t currentThreadAffinity();

}  // namespace Platform
}  // namespace KR
