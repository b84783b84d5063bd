#pragma once
// Localised display text: string tables in UTF-8 XML ("strings_xml", then
// "strings0_xml", "strings1_xml", ... of package "localization") merged into
// one map from key to wide text. The first definition of a key wins. The
// numbered files end silently at the first number missing; a missing
// "strings_xml" is logged.
#include <map>
#include <string>

#include "singleton.h"

namespace KR {

class TextManager : public Singleton<TextManager> {
 public:
  TextManager();
  ~TextManager() override;

  // Empties the table and loads every string file of the current language.
  void loadStrings();
  // 0 when the file was read, 1 when it cannot be opened ("Failed to load
  // locale: %s" is logged). Malformed XML or a translation that is not UTF-8
  // is fatal.
  int loadStringsFile(const std::string& name, const std::string& package);

  // The translation of key, or the shared text "!ERROR!" when the table lacks
  // it. The reference stays valid until the table is reloaded.
  const std::wstring& getText(const std::string& key) const;

  size_t getStringCount() const { return strings.size(); }

 private:
  int readStringsFile(const std::string& name, const std::string& package, bool logMissing);

  std::map<std::string, std::wstring> strings;
};

}  // namespace KR
