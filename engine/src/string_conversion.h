#pragma once
// Conversions between narrow text (UTF-8, the engine's "ANSI" text: names,
// keys, paths) and wide display text (std::wstring, one wchar_t per Unicode
// character on this platform).
#include <string>

namespace KR {

// Decodes UTF-8. Bytes that do not form a valid sequence each become U+FFFD,
// as the system conversion does with its default flags. Embedded zeros are kept.
std::wstring toWideString(const std::string& text);

// Encodes to UTF-8. A surrogate pair (wide text that came from UTF-16) is
// joined into its character; values that are no character (lone surrogates,
// beyond U+10FFFF) come out as '?', the default character.
std::string toNarrowString(const std::wstring& text);

}  // namespace KR
