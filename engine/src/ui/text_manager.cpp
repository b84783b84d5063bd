#include "ui/text_manager.h"

#include <utf8.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <memory>

#include "file_system.h"
#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"

namespace KR {

namespace {

// Decodes a whole UTF-8 text into wide characters; false when any sequence is
// bad or cut short.
bool decodeUtf8(const char* text, std::wstring* out) {
  const char* end = text + std::char_traits<char>::length(text);
  if (utf8::find_invalid(text, end) != end) return false;
  out->clear();
  for (const char* it = text; it != end;) {
    uint32_t cp = utf8::unchecked::next(it);
    if constexpr (sizeof(wchar_t) >= 4) {
      out->push_back(static_cast<wchar_t>(cp));
    } else if (cp > 0xFFFF) {
      cp -= 0x10000;
      out->push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out->push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out->push_back(static_cast<wchar_t>(cp));
    }
  }
  return true;
}

const std::wstring& missingText() {
  static const std::wstring text = L"!ERROR!";
  return text;
}

}  // namespace

TextManager::TextManager() { setInstance(this); }

TextManager::~TextManager() { strings.clear(); }

void TextManager::loadStrings() {
  strings.clear();
  loadStringsFile("strings_xml", "localization");
  // The numbered files are optional additions: the first number not there
  // ends them, which is no failure worth a log line at every start.
  for (int i = 0;; ++i) {
    if (readStringsFile(formatString("strings%i_xml", i), "localization", false) == 1) break;
  }
}

int TextManager::loadStringsFile(const std::string& name, const std::string& package) {
  return readStringsFile(name, package, true);
}

int TextManager::readStringsFile(const std::string& name, const std::string& package, bool logMissing) {
  std::unique_ptr<File> file(FileSystem::getInstance()->openFile(package, name));
  if (!file) {
    if (logMissing) log("Failed to load locale: %s", name.c_str());
    return 1;
  }
  int size = file->getSize();
  if (size < 0) size = 0;
  std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size) + 1]);
  int read = size > 0 ? file->read(buffer.get(), size) : 0;
  if (read < 0)
    KR_FATAL(formatString("Failed to parse XML %s in package %s: read error", name.c_str(), package.c_str()));

  pugi::xml_document document;
  pugi::xml_parse_result parsed = document.load_buffer(buffer.get(), static_cast<size_t>(read));
  buffer.reset();
  // A file with no element at all is an empty table, not a broken one.
  if (!parsed && parsed.status != pugi::status_no_document_element)
    KR_FATAL(formatString("Failed to parse XML %s in package %s: %s at byte %lld", name.c_str(), package.c_str(),
                          parsed.description(), static_cast<long long>(parsed.offset)));

  for (pugi::xml_node item : document.child("root").children()) {
    if (item.type() != pugi::node_element) continue;
    std::string key = item.child("text").child_value();
    std::wstring translation;
    if (!decodeUtf8(item.child("translate").child_value(), &translation))
      KR_FATAL(formatString("%s: the translation of \"%s\" is not valid UTF-8", name.c_str(), key.c_str()));
    strings.emplace(std::move(key), std::move(translation));
  }
  return 0;
}

const std::wstring& TextManager::getText(const std::string& key) const {
  auto found = strings.find(key);
  return found != strings.end() ? found->second : missingText();
}

}  // namespace KR
