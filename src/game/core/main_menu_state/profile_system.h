#pragma once
// The player profiles. Until the front end's profile windows exist there is
// one profile (save number 0); its options block lives in "options0.dat" in
// the per-user folder, written crash-safe (a reader sees the old file or the
// new one). A profile whose options file is new asks for the intro. Main
// thread only.
//
// Options file, little-endian, 48 bytes:
//   0 magic "QOPT"; 4 version (u32, 1); 8, 12, 16 music, sound and ambient
//   volumes (f32); 20 hard difficulty, 21 play intro, 22 game finished,
//   23 system cursor (u8 each); 24 save number, 28 first hint, 32 amulets
//   button, 36 map button, 40 notebook button (u32 each); 44 checksum (u32, the
//   byte sum of bytes 0 to 43).
#include <cstdint>
#include <string>
#include <vector>

#include "singleton.h"

namespace HOG {

struct PlayerProfile {
  float musicVolume = 1.0f;
  float soundVolume = 1.0f;
  float ambientVolume = 1.0f;
  uint8_t hardDifficulty = 0;
  uint8_t playIntro = 1;
  uint8_t gameFinished = 0;
  uint8_t systemCursor = 0;  // the platform arrow beside the game's cursor
  uint32_t saveNumber = 0;
  uint32_t firstHint = 1;
  uint32_t amuletsButton = 1;
  uint32_t mapButton = 1;
  uint32_t notebookButton = 1;

  // The three volumes to the sound manager's groups, each v as max(0, v - 0.1) / 0.9.
  void applyVolumes() const;
};

class ProfileSystem : public KR::Singleton<ProfileSystem> {
 public:
  static constexpr size_t kOptionsSize = 48;

  // One profile, its options read from its file (or the defaults).
  ProfileSystem();
  // The same with the options file in the given folder (ending in "/"); no
  // file is kept when the folder is empty.
  explicit ProfileSystem(const std::string& folder);
  ~ProfileSystem() override;

  PlayerProfile* getCurrentProfile() { return current >= 0 ? &profiles[size_t(current)] : nullptr; }
  int32_t getCurrentIndex() const { return current; }
  // Writes the profile's options block; false when it could not be written.
  bool saveProfileOptions(int32_t index);
  // Reads the profile's options file; false (defaults kept) when it is
  // missing or damaged.
  bool loadOptions(int32_t index);
  void setDefaultOptions(int32_t index);
  // The profile list itself is the front end's; counted for now.
  void saveProfileList();
  int getSaveCount() const { return saveCount; }

  std::string getOptionsPath(int32_t index) const;

  static std::string encodeOptions(const PlayerProfile& profile);
  // False when the bytes are not a whole, intact options block.
  static bool decodeOptions(const std::string& bytes, PlayerProfile* profile);

 private:
  void start(const std::string& folder_);

  std::vector<PlayerProfile> profiles;
  int32_t current = -1;
  std::string folder;
  int saveCount = 0;
};

}  // namespace HOG
