#include "string_conversion.h"

#include <utf8.h>

#include <cstdint>

namespace KR {

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendCodePoint(std::wstring& out, uint32_t cp) {
  if constexpr (sizeof(wchar_t) >= 4) {
    out.push_back(static_cast<wchar_t>(cp));
  } else {
    // 16-bit wide characters: characters beyond the first plane become a pair.
    if (cp > 0xFFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(cp));
    }
  }
}

}  // namespace

std::wstring toWideString(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  auto it = text.begin();
  const auto end = text.end();
  while (it != end) {
    uint32_t cp = 0;
    auto start = it;
    utf8::internal::utf_error error = utf8::internal::validate_next(it, end, cp);
    if (error == utf8::internal::UTF8_OK) {
      appendCodePoint(out, cp);
    } else {
      // Skip exactly one byte so that the following characters still decode.
      it = start + 1;
      appendCodePoint(out, kReplacementCharacter);
    }
  }
  return out;
}

std::string toNarrowString(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  auto sink = std::back_inserter(out);
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = static_cast<uint32_t>(text[i]);
    if constexpr (sizeof(wchar_t) < 4) cp &= 0xFFFF;
    if (isHighSurrogate(cp) && i + 1 < text.size() && isLowSurrogate(static_cast<uint32_t>(text[i + 1]) & 0xFFFF)) {
      uint32_t low = static_cast<uint32_t>(text[i + 1]) & 0xFFFF;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    if (cp > 0x10FFFF || isHighSurrogate(cp) || isLowSurrogate(cp)) {
      out.push_back('?');
      continue;
    }
    utf8::unchecked::append(cp, sink);
  }
  return out;
}

}  // namespace KR
