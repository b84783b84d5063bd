#include "krp_packer.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "krp_reader.h"

namespace KR {

namespace {

void putWord(std::string& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool readWhole(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  bytes = buffer.str();
  return true;
}

}  // namespace

std::vector<unsigned> krpSlotsFor(const std::vector<std::string>& names) {
  const size_t n = names.size();
  std::vector<bool> taken(n, false);
  std::vector<unsigned> slots(n, 0);
  for (size_t i = 0; i < n; ++i) {
    size_t slot = krpHash(names[i].c_str()) % n;
    while (taken[slot]) slot = (slot + 1) % n;
    taken[slot] = true;
    slots[i] = static_cast<unsigned>(slot);
  }
  return slots;
}

bool buildKRPArchive(const std::vector<KRPPackEntry>& entries, std::string& archive, std::string& error) {
  if (entries.empty()) {
    error = "an archive needs at least one entry";
    return false;
  }
  std::set<std::string> seen;
  std::vector<std::string> names;
  uint64_t total = kKRPHeaderSize + entries.size() * sizeof(TableEntry);
  for (const KRPPackEntry& entry : entries) {
    if (entry.name.empty() || entry.name.size() > kKRPMaxNameLength || entry.name.find('\0') != std::string::npos) {
      error = "entry name must be 1 to 127 bytes: '" + entry.name + "'";
      return false;
    }
    if (!seen.insert(entry.name).second) {
      error = "duplicate entry name '" + entry.name + "'";
      return false;
    }
    names.push_back(entry.name);
    total += entry.bytes.size();
  }
  if (total > 0x7FFFFFFF) {
    error = "archive would exceed 2 GiB";
    return false;
  }
  const uint32_t n = static_cast<uint32_t>(entries.size());
  std::vector<unsigned> slots = krpSlotsFor(names);
  archive.assign(kKRPHeaderSize + n * sizeof(TableEntry), '\0');
  putWord(archive, 8, n);
  for (size_t i = 0; i < entries.size(); ++i) {
    size_t at = kKRPHeaderSize + slots[i] * sizeof(TableEntry);
    std::copy(entries[i].name.begin(), entries[i].name.end(), archive.begin() + at);
    putWord(archive, at + 128, static_cast<uint32_t>(archive.size()));
    putWord(archive, at + 132, static_cast<uint32_t>(entries[i].bytes.size()));
    archive += entries[i].bytes;
  }
  return true;
}

bool collectKRPFolder(const std::string& folder, std::vector<KRPPackEntry>& entries, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    error = "not a folder: " + folder;
    return false;
  }
  std::vector<KRPPackEntry> found;
  for (auto it = fs::recursive_directory_iterator(folder, code); !code && it != fs::recursive_directory_iterator();
       it.increment(code)) {
    if (!it->is_regular_file()) continue;
    KRPPackEntry entry;
    entry.name = "/" + fs::relative(it->path(), folder).generic_string();
    if (!readWhole(it->path().string(), entry.bytes)) {
      error = "cannot read " + it->path().string();
      return false;
    }
    found.push_back(std::move(entry));
  }
  if (code) {
    error = "cannot walk " + folder + ": " + code.message();
    return false;
  }
  std::sort(found.begin(), found.end(), [](const KRPPackEntry& a, const KRPPackEntry& b) { return a.name < b.name; });
  entries.insert(entries.end(), found.begin(), found.end());
  return true;
}

bool collectKRPList(const std::string& listFile, std::vector<KRPPackEntry>& entries, std::string& error) {
  std::ifstream in(listFile);
  if (!in) {
    error = "cannot read list " + listFile;
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) {
      error = "list line without a tab: " + line;
      return false;
    }
    KRPPackEntry entry;
    entry.name = line.substr(0, tab);
    std::string source = line.substr(tab + 1);
    if (!readWhole(source, entry.bytes)) {
      error = "cannot read " + source;
      return false;
    }
    entries.push_back(std::move(entry));
  }
  return true;
}

bool writeKRPArchive(const std::vector<KRPPackEntry>& entries, const std::string& outPath, std::string& error) {
  std::string archive;
  if (!buildKRPArchive(entries, archive, error)) return false;
  std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
  out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
  out.close();
  if (!out) {
    error = "cannot write " + outPath;
    return false;
  }
  return true;
}

}  // namespace KR
