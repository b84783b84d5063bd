// The profile store's two readers: whatever the bytes, reading the list and
// the options file ends in a result; a list that reads back holds at most 10
// profiles with distinct ids and a current index inside it, and is written
// again to a list that reads the same; an options block read back keeps its
// volumes within 0 to 1. The first byte chooses: 'L' a list as it is, 'C' a
// list whose header checksum the target puts right first (so that changes to
// the count, the index and the records are read past the checksum), 'O' an
// options file.
//
// Built with KR_SEED_WRITER the same file writes the seed corpus: lists and
// options files as the store writes them, a truncated and a flipped one.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/main_menu_state/profile_system.h"

#ifdef KR_SEED_WRITER

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  HOG::PlayerProfile ann, bo;
  ann.name = L"Ann";
  ann.persistent = true;
  bo.name = std::wstring(L"B\u00F6") + wchar_t(0x1F600);
  bo.id = 3;
  bo.gameBegin = 0;
  bo.persistent = true;
  const std::string list = HOG::ProfileSystem::encodeList({&ann, &bo}, 1);
  HOG::PlayerOptions options;
  options.musicVolume = 0.3f;
  options.difficulty = 1;
  const std::string block = options.encode();
  const std::string optionsFile =
      HOG::ProfileSystem::encodeOptionsFile(reinterpret_cast<const uint8_t*>(block.data()), block.size());
  std::string flipped = list;
  flipped[20] ^= 0x10;
  // The first byte tells the target which reader gets the rest.
  const std::string seeds[] = {"L" + list,
                               "C" + list,
                               "L" + HOG::ProfileSystem::encodeList({&ann}, 0),
                               "L" + list.substr(0, 30),
                               "L" + flipped,
                               "O" + optionsFile,
                               "O" + optionsFile.substr(0, 10)};
  int index = 0;
  for (const std::string& seed : seeds) {
    const std::string path = std::string(argv[1]) + "/seed" + std::to_string(index++) + ".dat";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return 1;
    std::fwrite(seed.data(), 1, seed.size(), out);
    std::fclose(out);
  }
  return 0;
}

#else

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] == 'C' && bytes.size() >= 16) {
    uint32_t sum = 0;
    for (size_t i = 8; i < 16; ++i) sum += uint32_t(uint8_t(bytes[i])) << (8 * ((i - 8) % 4));
    sum += uint32_t(
        HOG::ProfileSystem::profileChecksum(reinterpret_cast<const uint8_t*>(bytes.data()) + 16, bytes.size() - 16));
    for (int i = 0; i < 4; ++i) bytes[size_t(4 + i)] = char(sum >> (8 * i));
  }
  if (data[0] == 'L' || data[0] == 'C') {
    std::vector<HOG::PlayerProfile> profiles;
    int32_t current = -1;
    if (!HOG::ProfileSystem::decodeList(bytes, &profiles, &current)) return 0;
    if (profiles.empty() || profiles.size() > 10 || current < 0 || size_t(current) >= profiles.size()) std::abort();
    for (size_t i = 0; i < profiles.size(); ++i)
      for (size_t j = i + 1; j < profiles.size(); ++j)
        if (profiles[i].id == profiles[j].id) std::abort();
    std::vector<const HOG::PlayerProfile*> list;
    for (const HOG::PlayerProfile& profile : profiles) list.push_back(&profile);
    std::vector<HOG::PlayerProfile> again;
    int32_t againCurrent = -1;
    if (!HOG::ProfileSystem::decodeList(HOG::ProfileSystem::encodeList(list, current), &again, &againCurrent) ||
        again.size() != profiles.size() || againCurrent != current)
      std::abort();
  } else {
    std::string block;
    if (!HOG::ProfileSystem::decodeOptionsFile(bytes, &block)) return 0;
    const HOG::PlayerOptions options =
        HOG::PlayerOptions::overlay(reinterpret_cast<const uint8_t*>(block.data()), block.size());
    for (float v : {options.musicVolume, options.soundVolume, options.ambientVolume})
      if (!(v >= 0.0f && v <= 1.0f)) std::abort();
  }
  return 0;
}

#endif
