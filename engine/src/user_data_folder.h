#pragma once
// The folder where the game keeps what it writes (profiles, saved games).
#include <string>

namespace KR {

// The user's data folder followed by the company folder and the game folder,
// each followed by "/" (with the callers' words: ".../Marlowick/Quellmoor/").
// The company folder may hold several levels separated by "/" or "\". The
// folders are created when missing. Empty when the user's data folder cannot
// be found; then the caller keeps nothing.
std::string getUserDataFolder(const char* gameFolder, const char* companyFolder);

}  // namespace KR
