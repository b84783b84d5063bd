#pragma once
// Builds packed archives: a header (two zero words and the entry count), the
// directory as a full open-addressing table in hash-slot order (each entry at
// its home slot hash % N or the next free slot after it, wrapping), then the
// entries' data in the order given.
#include <string>
#include <vector>

namespace KR {

struct KRPPackEntry {
  std::string name;   // as the package index holds it, e.g. "/config.lua"
  std::string bytes;  // the entry's contents
};

// The slot each entry takes, in input order.
std::vector<unsigned> krpSlotsFor(const std::vector<std::string>& names);

// The whole archive in memory. False, with error set, for no entries, a
// duplicate name, or a name longer than 127 bytes.
bool buildKRPArchive(const std::vector<KRPPackEntry>& entries, std::string& archive, std::string& error);

// Every regular file under folder, named "/" + its path relative to folder,
// sorted by name.
bool collectKRPFolder(const std::string& folder, std::vector<KRPPackEntry>& entries, std::string& error);

// A list file of lines "entry name<TAB>source path"; empty lines are skipped.
bool collectKRPList(const std::string& listFile, std::vector<KRPPackEntry>& entries, std::string& error);

bool writeKRPArchive(const std::vector<KRPPackEntry>& entries, const std::string& outPath, std::string& error);

}  // namespace KR
