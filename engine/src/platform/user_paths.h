#pragma once
// Where the current user's data lives.
#include <string>

namespace KR {
namespace Platform {

// The user's data folder without a trailing slash: $XDG_DATA_HOME when it is an
// absolute path, else $HOME/.local/share. Empty when neither can be found.
std::string userDataHome();

// Creates the folder and any missing parents (mode 0755). True when the folder
// exists afterwards.
bool createFolders(const std::string& path);

}  // namespace Platform
}  // namespace KR
