#include "core/main_menu_state/profile_system.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "log_system.h"
#include "platform/safe_file.h"
#include "sound_system/sound_manager.h"
#include "string_conversion.h"
#include "user_data_folder.h"

namespace HOG {

uint8_t* ProfileSystem::fullScreenFlag = nullptr;

namespace {

constexpr size_t kHeaderSize = 16;

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
void setU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
}
uint32_t getU32(const uint8_t* in) {
  return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}
void setF32(std::string& out, size_t at, float f) {
  uint32_t v = 0;
  std::memcpy(&v, &f, 4);
  setU32(out, at, v);
}
float getF32(const uint8_t* in) {
  const uint32_t v = getU32(in);
  float f = 0.0f;
  std::memcpy(&f, &v, 4);
  return f;
}
float storedVolume(float v, float fallback) {
  if (std::isnan(v)) return fallback;
  return std::min(1.0f, std::max(0.0f, v));
}
const uint8_t* bytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::string baseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Names are stored as UTF-16; characters beyond 0xFFFF take a surrogate pair.
std::vector<uint16_t> toUtf16(const std::wstring& name) {
  std::vector<uint16_t> units;
  for (wchar_t c : name) {
    const uint32_t code = uint32_t(c);
    if (code > 0xFFFF && code <= 0x10FFFF) {
      units.push_back(uint16_t(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(uint16_t(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(uint16_t(code));
    }
  }
  return units;
}
std::wstring fromUtf16(const std::vector<uint16_t>& units) {
  std::wstring name;
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t u = units[i];
    if (u == 0) continue;  // padding and stray zero units are not part of a name
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      name.push_back(wchar_t(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00)));
      ++i;
    } else {
      name.push_back(wchar_t(u));
    }
  }
  return name;
}

// In single precision, so that a stored 0.1 is silence.
float volumeCurve(float v) { return std::max(0.0f, v - 0.1f) / 0.9f; }

}  // namespace

std::string PlayerOptions::encode() const {
  std::string out(kSize, '\0');
  out[0] = char(fullScreen);
  setF32(out, 4, musicVolume);
  setF32(out, 8, soundVolume);
  setF32(out, 12, ambientVolume);
  out[16] = char(difficulty);
  out[17] = char(systemCursor);
  setU32(out, 20, amuletsButtonEnabled);
  setU32(out, 24, locationsMapButtonEnabled);
  setU32(out, 28, notebookButtonEnabled);
  out[36] = char(firstHintPending);
  out[37] = char(gameCompleted);
  return out;
}

PlayerOptions PlayerOptions::overlay(const uint8_t* data, size_t size) {
  const PlayerOptions defaults;
  std::string block = defaults.encode();
  if (data) std::memcpy(&block[0], data, std::min(size, kSize));
  const uint8_t* in = bytesOf(block);
  PlayerOptions read;
  read.fullScreen = in[0];
  read.musicVolume = storedVolume(getF32(in + 4), defaults.musicVolume);
  read.soundVolume = storedVolume(getF32(in + 8), defaults.soundVolume);
  read.ambientVolume = storedVolume(getF32(in + 12), defaults.ambientVolume);
  read.difficulty = in[16];
  read.systemCursor = in[17];
  read.amuletsButtonEnabled = getU32(in + 20);
  read.locationsMapButtonEnabled = getU32(in + 24);
  read.notebookButtonEnabled = getU32(in + 28);
  read.firstHintPending = in[36];
  read.gameCompleted = in[37];
  return read;
}

void PlayerProfile::applyVolumes(const PlayerProfile* profile) {
  if (!profile || !KR::SoundManager::exists()) return;
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  sounds->cancelGroupFades();
  // Without a device the volumes are not taken; while it opens they are kept.
  sounds->lock();
  sounds->setSoundGroupVolume(volumeCurve(profile->options.soundVolume));
  sounds->setMusicGroupVolume(volumeCurve(profile->options.musicVolume));
  sounds->setAmbientGroupVolume(volumeCurve(profile->options.ambientVolume));
  sounds->unlock();
}

void PlayerProfile::apply(const PlayerProfile* profile) {
  if (!profile) return;
  if (ProfileSystem::fullScreenFlag) *ProfileSystem::fullScreenFlag = profile->options.fullScreen ? 1 : 0;
  // The drawn cursor follows the current profile's systemCursor by itself.
  applyVolumes(profile);
}

ProfileSystem::ProfileSystem() : ProfileSystem(KR::getUserDataFolder("Quellmoor", "Marlowick")) {}

ProfileSystem::ProfileSystem(const std::string& folder_) : folder(folder_) {
  setInstance(this);
  addDefaultProfile();
}

ProfileSystem::~ProfileSystem() = default;

void ProfileSystem::addDefaultProfile() {
  auto profile = std::make_unique<PlayerProfile>();
  profile->name = L"Player";
  profile->id = nextId();
  profiles.push_back(std::move(profile));
  currentIndex = 0;
}

PlayerProfile* ProfileSystem::getCurrentProfile() {
  return currentIndex >= 0 && size_t(currentIndex) < profiles.size() ? profiles[size_t(currentIndex)].get() : nullptr;
}

bool ProfileSystem::idHasFiles(int32_t id) const {
  if (folder.empty()) return false;
  const std::string number = std::to_string(id);
  return KR::Platform::pathKind(folder + "profile" + number + ".opt") != KR::Platform::PathKind::Missing ||
         KR::Platform::pathKind(folder + "savegame" + number + ".sav") != KR::Platform::PathKind::Missing;
}

int32_t ProfileSystem::nextId() const {
  int32_t largest = -1;
  for (const auto& profile : profiles) largest = std::max(largest, profile->id);
  int32_t id = largest < std::numeric_limits<int32_t>::max() ? largest + 1 : 0;
  // At most ten ids are taken; files of unknown owners are passed over too.
  for (;;) {
    bool taken = idHasFiles(id);
    for (const auto& profile : profiles) taken = taken || profile->id == id;
    if (!taken) return id;
    id = id < std::numeric_limits<int32_t>::max() ? id + 1 : 0;
  }
}

std::string ProfileSystem::getProfileFilePath(int32_t index, const char* extension) const {
  if (folder.empty() || index < 0 || size_t(index) >= profiles.size()) return {};
  return folder + "profile" + std::to_string(profiles[size_t(index)]->id) + "." + extension;
}

std::string ProfileSystem::getSaveGamePath(int32_t index) const {
  if (folder.empty() || index < 0 || size_t(index) >= profiles.size()) return {};
  return folder + "savegame" + std::to_string(profiles[size_t(index)]->id) + ".sav";
}

std::string ProfileSystem::getListPath() const { return folder.empty() ? std::string() : folder + "profilelist.dat"; }

bool ProfileSystem::createProfile(const std::wstring& typed) {
  if (profiles.size() >= kMaxProfiles) return false;
  const std::wstring name = typed.substr(0, kMaxNameLength);
  for (const auto& profile : profiles)
    if (profile->persistent && profile->name == name) return false;
  if (!profiles.empty() && !profiles[0]->persistent) deleteProfile(0);
  auto profile = std::make_unique<PlayerProfile>();
  profile->name = name;
  profile->persistent = true;
  profile->id = nextId();
  profiles.push_back(std::move(profile));
  currentIndex = int32_t(profiles.size()) - 1;
  return true;
}

void ProfileSystem::deleteProfile(int32_t index) {
  if (index < 0 || size_t(index) >= profiles.size()) return;
  if (profiles.size() == 1 && profiles[0]->persistent) return;
  if (profiles[size_t(index)]->persistent)
    for (const std::string& path : {getProfileFilePath(index, "opt"), getSaveGamePath(index)})
      if (!path.empty()) std::remove(path.c_str());
  // The current player stays current: a line before it moves it up, as does
  // the deletion of the current last line.
  if (index < currentIndex || currentIndex == int32_t(profiles.size()) - 1) --currentIndex;
  profiles.erase(profiles.begin() + index);
}

int32_t ProfileSystem::profileChecksum(const uint8_t* bytes, size_t length) {
  uint32_t sum = 0;
  for (size_t i = 0; i < length; ++i) sum += uint32_t(int32_t(int8_t(bytes[i])));
  return int32_t(sum);
}

std::string ProfileSystem::encodeList(const std::vector<const PlayerProfile*>& list, int32_t current) {
  std::string records;
  for (const PlayerProfile* profile : list) {
    const std::vector<uint16_t> units = toUtf16(profile->name);
    putU32(records, uint32_t(units.size()));
    for (uint16_t unit : units) {
      records.push_back(char(unit & 0xFF));
      records.push_back(char(unit >> 8));
    }
    if (units.size() % 2) records.append(2, '\0');
    putU32(records, uint32_t(profile->id));
    putU32(records, profile->gameBegin);
    putU32(records, profile->reserved);
  }
  const uint32_t checksum =
      uint32_t(profileChecksum(bytesOf(records), records.size())) + uint32_t(list.size()) + uint32_t(current);
  std::string out;
  putU32(out, kListMagic);
  putU32(out, checksum);
  putU32(out, uint32_t(list.size()));
  putU32(out, uint32_t(current));
  return out + records;
}

bool ProfileSystem::decodeList(const std::string& bytes, std::vector<PlayerProfile>* out, int32_t* current,
                               int* namesCut) {
  int cut = 0;
  if (bytes.size() < kHeaderSize) return false;
  const uint8_t* in = bytesOf(bytes);
  const uint32_t count = getU32(in + 8);
  const int32_t index = int32_t(getU32(in + 12));
  const uint32_t checksum =
      uint32_t(profileChecksum(in + kHeaderSize, bytes.size() - kHeaderSize)) + count + uint32_t(index);
  if (getU32(in) != kListMagic || getU32(in + 4) != checksum) return false;
  // A list the store could not have written: nothing, too many, or not fitting its data.
  if (count == 0 || count > kMaxProfiles) return false;
  std::vector<PlayerProfile> read;
  size_t at = kHeaderSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 4) return false;
    const uint32_t length = getU32(in + at);
    at += 4;
    const size_t nameBytes = size_t(length) * 2 + (length % 2 ? 2 : 0);
    if (length > (bytes.size() - at) / 2 || bytes.size() - at < nameBytes + 12) return false;
    std::vector<uint16_t> units(length);
    for (uint32_t u = 0; u < length; ++u) units[u] = uint16_t(in[at + 2 * u] | in[at + 2 * u + 1] << 8);
    at += nameBytes;
    PlayerProfile profile;
    profile.name = fromUtf16(units);
    // A hand-edited name would be drawn across the menu.
    if (profile.name.size() > kMaxNameLength) {
      profile.name.resize(kMaxNameLength);
      ++cut;
    }
    profile.id = int32_t(getU32(in + at));
    profile.gameBegin = getU32(in + at + 4);
    profile.reserved = getU32(in + at + 8);
    profile.persistent = true;
    at += 12;
    for (const PlayerProfile& earlier : read)
      if (earlier.id == profile.id) return false;  // two profiles would share their files
    read.push_back(profile);
  }
  *out = std::move(read);
  *current = index >= 0 && uint32_t(index) < count ? index : 0;
  if (namesCut) *namesCut = cut;
  return true;
}

std::string ProfileSystem::encodeOptionsFile(const uint8_t* data, size_t size) {
  std::string out;
  putU32(out, uint32_t(profileChecksum(data, size)));
  out.append(reinterpret_cast<const char*>(data), size);
  return out;
}

bool ProfileSystem::decodeOptionsFile(const std::string& bytes, std::string* block) {
  if (bytes.size() <= 4) return false;
  const uint8_t* in = bytesOf(bytes);
  if (int32_t(getU32(in)) != profileChecksum(in + 4, bytes.size() - 4)) return false;
  *block = bytes.substr(4);
  return true;
}

bool ProfileSystem::writeFile(const std::string& path, const std::string& bytes) {
  if (path.empty()) return false;
  std::string error;
  if (!KR::Platform::writeFileSafely(path, bytes, &error)) {
    KR::log("ERROR: Profile file '%s' cannot be written: %s", path.c_str(), error.c_str());
    writeFailed = true;
    writeFailure = baseName(path) + ": " + error;
    return false;
  }
  return true;
}

void ProfileSystem::refuseFile(const std::string& path, const char* key, const std::string& reason) {
  loadFailed = true;
  loadFailure = key;
  loadFailureDetail = baseName(path) + ": " + reason;
  // Set aside, it is neither read again nor replaced by the next write.
  const std::string aside = path + ".damaged";
  if (std::rename(path.c_str(), aside.c_str()) != 0)
    KR::log("ERROR: Profile file '%s' cannot be set aside as '%s': %s", path.c_str(), aside.c_str(),
            std::strerror(errno));
  else
    KR::log("Profile file '%s' is kept as '%s'", path.c_str(), aside.c_str());
}

bool ProfileSystem::saveProfileList() {
  ++saveCount;
  if (onlyDefaultProfile()) return false;
  std::vector<const PlayerProfile*> list;
  for (const auto& profile : profiles)
    if (profile->persistent) list.push_back(profile.get());
  return writeFile(getListPath(), encodeList(list, currentIndex));
}

bool ProfileSystem::loadProfileList() {
  const std::string path = getListPath();
  if (path.empty()) return false;
  std::string what;
  const KR::Platform::PathKind kind = KR::Platform::pathKind(path, &what);
  if (kind == KR::Platform::PathKind::Missing) return false;
  std::string bytes, reason;
  std::vector<PlayerProfile> read;
  int32_t current = 0;
  int cut = 0;
  if (kind != KR::Platform::PathKind::File) {
    // A pipe would block the read and a device never end it.
    KR::log("ERROR: Profile list '%s' is not a file but %s", path.c_str(), what.c_str());
    reason = "it is " + what;
  } else if (!KR::Platform::readWholeFile(path, &bytes, kMaxListFileSize, &reason)) {
    // The largest list is not read into memory.
    KR::log("ERROR: Profile list '%s' is damaged: %s", path.c_str(), reason.c_str());
  } else if (!decodeList(bytes, &read, &current, &cut)) {
    KR::log("ERROR: Profile list '%s' is damaged", path.c_str());
    reason = "it is damaged";
  } else {
    if (cut > 0)
      KR::log("WARNING: Profile list '%s': %d names are longer than %d characters and are cut", path.c_str(), cut,
              int(kMaxNameLength));
    profiles.clear();
    for (PlayerProfile& profile : read) profiles.push_back(std::make_unique<PlayerProfile>(std::move(profile)));
    currentIndex = current;
    return true;
  }
  refuseFile(path, "profile_list_damaged", reason);
  // The built-in "Player" stays, with an id that has no files: those of the
  // list's profiles are kept for them.
  currentIndex = 0;
  return false;
}

std::unique_ptr<uint8_t[]> ProfileSystem::loadOptions(int32_t index, size_t* size) {
  const std::string path = getProfileFilePath(index, "opt");
  if (path.empty()) return nullptr;
  std::string what;
  const KR::Platform::PathKind kind = KR::Platform::pathKind(path, &what);
  if (kind == KR::Platform::PathKind::Missing) return nullptr;
  std::string bytes, block, reason;
  if (kind != KR::Platform::PathKind::File) {
    KR::log("ERROR: Options file '%s' is not a file but %s", path.c_str(), what.c_str());
    reason = "it is " + what;
  } else if (!KR::Platform::readWholeFile(path, &bytes, kOptionsFileSize, &reason)) {
    // Options have one size: a larger file is damaged and is not read into memory.
    KR::log("ERROR: Options file '%s' is damaged: %s", path.c_str(), reason.c_str());
  } else if (!decodeOptionsFile(bytes, &block)) {
    KR::log("ERROR: Options file '%s' is damaged", path.c_str());
    reason = "it is damaged";
  } else {
    auto data = std::make_unique<uint8_t[]>(block.size());
    std::memcpy(data.get(), block.data(), block.size());
    if (size) *size = block.size();
    return data;
  }
  refuseFile(path, "options_damaged", reason);
  return nullptr;
}

bool ProfileSystem::saveOptions(int32_t index, const uint8_t* data, size_t size) {
  if (!data || index < 0 || size_t(index) >= profiles.size()) return false;
  // The built-in "Player" is in no list: a file of its id would be nobody's,
  // and would only keep the next profiles from that id.
  if (!profiles[size_t(index)]->persistent) return false;
  return writeFile(getProfileFilePath(index, "opt"), encodeOptionsFile(data, size));
}

bool ProfileSystem::saveProfileOptions(int32_t index) {
  if (index < 0 || size_t(index) >= profiles.size()) return false;
  const std::string block = profiles[size_t(index)]->options.encode();
  return saveOptions(index, bytesOf(block), block.size());
}

void ProfileSystem::setDefaultOptions(int32_t index, const uint8_t* data, size_t size) {
  if (index < 0 || size_t(index) >= profiles.size()) return;
  profiles[size_t(index)]->options = PlayerOptions::overlay(data, size);
}

void ProfileSystem::readOptionsOf(int32_t index) {
  size_t size = 0;
  if (std::unique_ptr<uint8_t[]> data = loadOptions(index, &size)) setDefaultOptions(index, data.get(), size);
}

void ProfileSystem::selectProfile(int32_t index) {
  if (index >= 0 && size_t(index) < profiles.size()) currentIndex = index;
  saveProfileList();
  if (currentIndex >= 0 && size_t(currentIndex) < profiles.size()) readOptionsOf(currentIndex);
  PlayerProfile::apply(getCurrentProfile());
}

void ProfileSystem::resetGameProgress() {
  PlayerProfile* profile = getCurrentProfile();
  if (!profile) return;
  profile->options.firstHintPending = 1;
  profile->options.gameCompleted = 0;
  const PlayerOptions fresh;
  profile->options.amuletsButtonEnabled = fresh.amuletsButtonEnabled;
  profile->options.locationsMapButtonEnabled = fresh.locationsMapButtonEnabled;
  profile->options.notebookButtonEnabled = fresh.notebookButtonEnabled;
  profile->gameBegin = 1;
  profile->reserved = PlayerProfile::kFreshGame;
  const std::string save = getSaveGamePath(currentIndex);
  if (!save.empty()) std::remove(save.c_str());
}

}  // namespace HOG
