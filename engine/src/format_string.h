#pragma once
#include <cstdarg>
#include <cstdint>
#include <string>

namespace KR {

// Output longer than this many characters is cut without a report.
constexpr size_t kFormatStringLimit = 1096;

std::string formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

std::string intToString(int32_t value);
std::string uintToString(uint32_t value);

}  // namespace KR
