#pragma once
#include <cstdint>
#include <string>

namespace KR {

// Volume groups of sounds.
enum SoundGroup : uint32_t {
  kSoundGroupSounds = 0,
  kSoundGroupMusic = 1,
  kSoundGroupAmbient = 2,
  kSoundGroupCount = 3,
};

// What a client fills to load a sound. The defaults are those of a sound
// played by name.
struct SoundDescriptor {
  std::string name;  // file name in package "default"; also the sound's key
  uint32_t group = kSoundGroupSounds;
  float volume = 1.0f;    // the resource's own volume factor
  bool loop = false;      // repeats without end
  uint32_t priority = 0;  // weight when plain effects are ranked
};

}  // namespace KR
