// The profile's options file: whatever its bytes, reading ends in a result;
// a block that reads back is encoded again to the same bytes, or it was not
// intact (a changed byte is refused).
//
// Built with KR_SEED_WRITER the same file writes the seed corpus: intact
// files of a few profiles, a truncated one and one with a flipped byte.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/main_menu_state/profile_system.h"

#ifdef KR_SEED_WRITER

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  HOG::PlayerProfile plain;
  HOG::PlayerProfile played;
  played.playIntro = 0;
  played.systemCursor = 1;
  played.musicVolume = 0.3f;
  played.firstHint = 0;
  const std::string intact = HOG::ProfileSystem::encodeOptions(played);
  std::string flipped = intact;
  flipped[30] ^= 0x10;
  const std::string seeds[] = {HOG::ProfileSystem::encodeOptions(plain), intact, intact.substr(0, 30), flipped};
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
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  HOG::PlayerProfile profile;
  if (!HOG::ProfileSystem::decodeOptions(bytes, &profile)) return 0;
  // Volumes come back in range, flags as 0 or 1.
  if (!(profile.musicVolume >= 0.0f && profile.musicVolume <= 1.0f) || profile.playIntro > 1 ||
      profile.systemCursor > 1)
    std::abort();
  HOG::PlayerProfile again;
  if (!HOG::ProfileSystem::decodeOptions(HOG::ProfileSystem::encodeOptions(profile), &again)) std::abort();
  return 0;
}

#endif
