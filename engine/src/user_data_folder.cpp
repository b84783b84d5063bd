#include "user_data_folder.h"

#include "platform/user_paths.h"
#include "report_assert.h"

namespace KR {

namespace {
// Longest user data folder taken; anything longer is a broken environment.
constexpr size_t kMaxDataHome = 4096;
}  // namespace

std::string getUserDataFolder(const char* gameFolder, const char* companyFolder) {
  std::string home = Platform::userDataHome();
  if (home.empty()) return std::string();
  if (home.size() >= kMaxDataHome) KR_FATAL("");

  std::string company = companyFolder ? companyFolder : "";
  for (char& c : company)
    if (c == '\\') c = '/';
  if (company.empty() || company.front() != '/') company.insert(company.begin(), '/');
  if (company.back() != '/') company.push_back('/');

  std::string folder = home + company + (gameFolder ? gameFolder : "") + "/";
  // Creation failures surface when the caller opens its files.
  Platform::createFolders(folder.substr(0, folder.size() - 1));
  return folder;
}

}  // namespace KR
