#pragma once
// The player profiles: the list (names, file numbers, game state, which one
// is current) and each profile's options block, kept in the per-user folder
// as "profilelist.dat" and "profile<N>.opt". Every write is crash-safe (a
// reader sees the old file or the new one). A file that exists but cannot be
// used (damaged, or a folder, a pipe or a device in the file's place) is set
// aside as "<file>.damaged", never read again nor overwritten, and reported
// through loadFailed; a write that fails is reported through writeFailed. The
// main menu tells the player of both. Files whose owner is not known (those of
// an id no listed profile has) are never deleted nor reused: a new profile
// takes an id without files. Owned by the game application; main thread only.
//
// "profilelist.dat", little-endian u32 words: magic 83, checksum, count,
// current index, then per profile: name length L (UTF-16 units), the L units
// (UTF-16LE, one zero unit more when L is odd), id, gameBegin, reserved. The
// checksum is the signed-byte sum of everything after the header plus count
// plus current index. Names longer than kMaxNameLength are cut when read.
// "profile<N>.opt": the signed-byte sum of the block (u32), then the 40-byte
// options block (PlayerOptions::kSize; offsets in PlayerOptions::encode).
//
//   ProfileSystem profiles(folder);     // "Player" alone, current
//   profiles.loadProfileList();
//   profiles.createProfile(L"Ann");    // replaces "Player"
//   profiles.saveProfileOptions(profiles.getCurrentIndex());
//   profiles.saveProfileList();
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "singleton.h"

namespace HOG {

struct PlayerOptions {
  static constexpr size_t kSize = 40;

  uint8_t fullScreen = 1;
  float musicVolume = 0.5f;
  float soundVolume = 1.0f;
  float ambientVolume = 0.75f;
  uint8_t difficulty = 0;  // 0 casual, 1 hard
  uint8_t systemCursor = 0;
  // The HUD's buttons start available: the demo's level script only ever
  // hides the casket for a while and lets the map button out again.
  uint32_t amuletsButtonEnabled = 1;
  uint32_t locationsMapButtonEnabled = 1;
  uint32_t notebookButtonEnabled = 1;
  uint8_t firstHintPending = 1;
  uint8_t gameCompleted = 0;

  // The 40 bytes: 0 fullScreen, 4/8/12 music/sound/ambient volume (f32),
  // 16 difficulty, 17 systemCursor, 20/24/28 amulets/map/notebook button
  // (u32), 36 firstHintPending, 37 gameCompleted; the rest zero.
  std::string encode() const;
  // The defaults with the first min(size, 40) bytes of data laid over them.
  // A volume outside 0..1 is clamped; one that is not a number keeps its
  // default.
  static PlayerOptions overlay(const uint8_t* data, size_t size);
};

struct PlayerProfile {
  // Marks a profile whose intro has still to play (new profile, restart).
  static constexpr uint32_t kFreshGame = 0xDEAD;

  std::wstring name;
  int32_t id = 0;
  bool persistent = false;
  uint32_t gameBegin = 1;
  uint32_t reserved = kFreshGame;
  PlayerOptions options;

  // Each volume v goes to its sound group as max(0, v - 0.1) / 0.9, after the
  // running group fades are cancelled; nothing for null.
  static void applyVolumes(const PlayerProfile* profile);
  // Display mode, drawn cursor and volumes of the profile.
  static void apply(const PlayerProfile* profile);
};

class ProfileSystem : public KR::Singleton<ProfileSystem> {
 public:
  static constexpr size_t kMaxProfiles = 10;
  // As many characters as the name window takes.
  static constexpr size_t kMaxNameLength = 16;
  static constexpr uint32_t kListMagic = 83;
  // Files beyond these sizes are damaged and are not read: the options file
  // is its checksum and its block; a list holds ten names of some thousand
  // characters at most.
  static constexpr size_t kOptionsFileSize = 4 + PlayerOptions::kSize;
  static constexpr size_t kMaxListFileSize = 64 * 1024;

  // The per-user folder ("Marlowick/Quellmoor/" under the user's data folder).
  ProfileSystem();
  // Files in the given folder (ending in "/"); none are read or written when
  // it is empty.
  explicit ProfileSystem(const std::string& folder);
  ~ProfileSystem() override;

  PlayerProfile* getCurrentProfile();
  int32_t getCurrentIndex() const { return currentIndex; }
  void setCurrentIndex(int32_t index) { currentIndex = index; }
  const std::vector<std::unique_ptr<PlayerProfile>>& getProfiles() const { return profiles; }
  size_t getProfileCount() const { return profiles.size(); }
  // Only the built-in "Player" is in the list.
  bool onlyDefaultProfile() const { return profiles.size() == 1 && !profiles[0]->persistent; }

  // False with 10 profiles or when a persistent profile has the name (cut to
  // kMaxNameLength); else the new profile, with an id that has no files,
  // replaces a lone "Player" and is current.
  bool createProfile(const std::wstring& name);
  // Removes the profile with its options file and saved game; nothing for an
  // index outside the list or the last persistent profile. The current
  // profile stays current; when it is the one removed, the next line (the
  // line before, for the last) becomes current. The built-in
  // "Player" leaves the files of its id alone: they may be another's.
  void deleteProfile(int32_t index);

  bool loadProfileList();
  bool saveProfileList();
  // The options file's block (its size in *size), or null when the file is
  // missing or damaged (damaged sets loadFailed).
  std::unique_ptr<uint8_t[]> loadOptions(int32_t index, size_t* size);
  // Nothing is written for the built-in "Player" (false).
  bool saveOptions(int32_t index, const uint8_t* data, size_t size);
  bool saveProfileOptions(int32_t index);
  void setDefaultOptions(int32_t index, const uint8_t* data, size_t size);
  // Reads the profile's options file over its block, when there is one.
  void readOptionsOf(int32_t index);
  // Makes the index current (another value leaves it), writes the list, reads
  // the current profile's options and applies it.
  void selectProfile(int32_t index);
  // The current profile's game starts anew: progress flags, intro and saved game.
  void resetGameProgress();

  std::string getProfileFilePath(int32_t index, const char* extension) const;
  std::string getSaveGamePath(int32_t index) const;
  std::string getListPath() const;
  const std::string& getFolder() const { return folder; }

  // The list file's bytes for the profiles in order and the current index.
  static std::string encodeList(const std::vector<const PlayerProfile*>& profiles, int32_t current);
  // False when the bytes are not a whole, intact list (empty, foreign magic,
  // checksum off, records running past the data, a count of 0 or above 10,
  // ids twice); the profiles come back persistent with default options, names
  // cut to kMaxNameLength (how many were cut in *namesCut).
  static bool decodeList(const std::string& bytes, std::vector<PlayerProfile>* profiles, int32_t* current,
                         int* namesCut = nullptr);
  // The options file's bytes for a block.
  static std::string encodeOptionsFile(const uint8_t* data, size_t size);
  // The block of an options file; false when it is 4 bytes or less or its
  // checksum is off.
  static bool decodeOptionsFile(const std::string& bytes, std::string* block);
  static int32_t profileChecksum(const uint8_t* bytes, size_t length);

  // A list or options file was there but could not be used (set aside as
  // "<file>.damaged"): what to tell the player (a string-table key, with the
  // file and the reason as detail). The main menu reports it once and clears it.
  bool loadFailed = false;
  std::string loadFailure;
  std::string loadFailureDetail;
  // A list or options file could not be written: the file and the reason.
  // Cleared by whoever tells the player.
  bool writeFailed = false;
  std::string writeFailure;
  // The host's full-screen request, which applying a profile sets; null
  // where no host window follows it (tests).
  static uint8_t* fullScreenFlag;
  // Calls of saveProfileList so far.
  int getSaveCount() const { return saveCount; }

 private:
  // The lowest id from 1 + the largest (0 when that overflows) that no profile
  // has and that has neither an options file nor a saved game.
  int32_t nextId() const;
  bool idHasFiles(int32_t id) const;
  void addDefaultProfile();
  bool writeFile(const std::string& path, const std::string& bytes);
  // Reports the unusable file and moves it to "<path>.damaged".
  void refuseFile(const std::string& path, const char* key, const std::string& reason);

  std::vector<std::unique_ptr<PlayerProfile>> profiles;
  int32_t currentIndex = -1;
  std::string folder;
  int saveCount = 0;
};

}  // namespace HOG
