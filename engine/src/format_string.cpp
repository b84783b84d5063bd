#include "format_string.h"

#include <cstdio>
#include <sstream>

namespace KR {

std::string formatStringV(const char* format, va_list args) {
  char buffer[kFormatStringLimit + 1];
  int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
  if (written < 0) return std::string();
  size_t length = static_cast<size_t>(written) < kFormatStringLimit ? static_cast<size_t>(written) : kFormatStringLimit;
  return std::string(buffer, length);
}

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string result = formatStringV(format, args);
  va_end(args);
  return result;
}

std::string intToString(int32_t value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

std::string uintToString(uint32_t value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace KR
