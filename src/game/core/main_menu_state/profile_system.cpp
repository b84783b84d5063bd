#include "core/main_menu_state/profile_system.h"

#include <algorithm>
#include <cstring>

#include "log_system.h"
#include "platform/safe_file.h"
#include "sound_system/sound_manager.h"
#include "user_data_folder.h"

namespace HOG {

namespace {

constexpr uint32_t kOptionsVersion = 1;
constexpr size_t kChecksumOffset = 44;

void putU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
uint32_t getU32(const std::string& in, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(in[at + size_t(i)])) << (8 * i);
  return v;
}
void putF32(std::string& out, size_t at, float f) {
  uint32_t v = 0;
  std::memcpy(&v, &f, 4);
  putU32(out, at, v);
}
float getF32(const std::string& in, size_t at) {
  const uint32_t v = getU32(in, at);
  float f = 0.0f;
  std::memcpy(&f, &v, 4);
  return f;
}
uint32_t byteSum(const std::string& bytes, size_t count) {
  uint32_t sum = 0;
  for (size_t i = 0; i < count; ++i) sum += uint8_t(bytes[i]);
  return sum;
}
// A stored volume within 0..1; anything else (NaN included) reads as full volume.
float storedVolume(float v) { return v >= 0.0f && v <= 1.0f ? v : (v > 1.0f ? 1.0f : (v < 0.0f ? 0.0f : 1.0f)); }
float volumeCurve(float v) { return std::max(0.0f, v - 0.1f) / 0.9f; }

}  // namespace

void PlayerProfile::applyVolumes() const {
  if (!KR::SoundManager::exists()) return;
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  sounds->lock();
  sounds->setMusicGroupVolume(volumeCurve(musicVolume));
  sounds->setSoundGroupVolume(volumeCurve(soundVolume));
  sounds->setAmbientGroupVolume(volumeCurve(ambientVolume));
  sounds->unlock();
}

ProfileSystem::ProfileSystem() { start(KR::getUserDataFolder("Quellmoor", "Marlowick")); }

ProfileSystem::ProfileSystem(const std::string& folder_) { start(folder_); }

void ProfileSystem::start(const std::string& folder_) {
  setInstance(this);
  folder = folder_;
  profiles.resize(1);
  current = 0;
  setDefaultOptions(0);
  const bool existed = !folder.empty() && KR::Platform::fileExists(getOptionsPath(0));
  if (existed) {
    // Only a new profile asks for the intro; a damaged file keeps the defaults otherwise.
    if (!loadOptions(0)) profiles[0].playIntro = 0;
  }
}

ProfileSystem::~ProfileSystem() = default;

std::string ProfileSystem::getOptionsPath(int32_t index) const {
  return folder.empty() ? std::string() : folder + "options" + std::to_string(index) + ".dat";
}

void ProfileSystem::setDefaultOptions(int32_t index) {
  if (index < 0 || size_t(index) >= profiles.size()) return;
  PlayerProfile defaults;
  defaults.saveNumber = uint32_t(index);
  profiles[size_t(index)] = defaults;
}

std::string ProfileSystem::encodeOptions(const PlayerProfile& p) {
  std::string out(kOptionsSize, '\0');
  std::memcpy(&out[0], "QOPT", 4);
  putU32(out, 4, kOptionsVersion);
  putF32(out, 8, p.musicVolume);
  putF32(out, 12, p.soundVolume);
  putF32(out, 16, p.ambientVolume);
  out[20] = char(p.hardDifficulty);
  out[21] = char(p.playIntro);
  out[22] = char(p.gameFinished);
  out[23] = char(p.systemCursor);
  putU32(out, 24, p.saveNumber);
  putU32(out, 28, p.firstHint);
  putU32(out, 32, p.amuletsButton);
  putU32(out, 36, p.mapButton);
  putU32(out, 40, p.notebookButton);
  putU32(out, kChecksumOffset, byteSum(out, kChecksumOffset));
  return out;
}

bool ProfileSystem::decodeOptions(const std::string& in, PlayerProfile* p) {
  if (in.size() != kOptionsSize || std::memcmp(in.data(), "QOPT", 4) != 0 || getU32(in, 4) != kOptionsVersion ||
      getU32(in, kChecksumOffset) != byteSum(in, kChecksumOffset))
    return false;
  PlayerProfile read;
  read.musicVolume = storedVolume(getF32(in, 8));
  read.soundVolume = storedVolume(getF32(in, 12));
  read.ambientVolume = storedVolume(getF32(in, 16));
  read.hardDifficulty = uint8_t(in[20]) ? 1 : 0;
  read.playIntro = uint8_t(in[21]) ? 1 : 0;
  read.gameFinished = uint8_t(in[22]) ? 1 : 0;
  read.systemCursor = uint8_t(in[23]) ? 1 : 0;
  read.saveNumber = getU32(in, 24);
  read.firstHint = getU32(in, 28);
  read.amuletsButton = getU32(in, 32);
  read.mapButton = getU32(in, 36);
  read.notebookButton = getU32(in, 40);
  *p = read;
  return true;
}

bool ProfileSystem::loadOptions(int32_t index) {
  if (index < 0 || size_t(index) >= profiles.size()) return false;
  const std::string path = getOptionsPath(index);
  if (path.empty()) return false;
  if (!KR::Platform::fileExists(path)) return false;
  std::string bytes, reason;
  // Options have one size: a larger file is damaged and is not read into memory.
  if (!KR::Platform::readWholeFile(path, &bytes, kOptionsSize, &reason)) {
    KR::log("ERROR: Options file '%s' is damaged: %s", path.c_str(), reason.c_str());
    return false;
  }
  PlayerProfile read;
  if (!decodeOptions(bytes, &read)) {
    KR::log("ERROR: Options file '%s' is damaged", path.c_str());
    return false;
  }
  profiles[size_t(index)] = read;
  return true;
}

bool ProfileSystem::saveProfileOptions(int32_t index) {
  if (index < 0 || size_t(index) >= profiles.size()) return false;
  const std::string path = getOptionsPath(index);
  if (path.empty()) return false;
  std::string error;
  if (!KR::Platform::writeFileSafely(path, encodeOptions(profiles[size_t(index)]), &error)) {
    KR::log("ERROR: Options file '%s' cannot be written: %s", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

void ProfileSystem::saveProfileList() { ++saveCount; }

}  // namespace HOG
