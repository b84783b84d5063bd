#pragma once
// The front end's pictures: the three start-up logos (the studio's, the
// engine's and the localised title) and the main menu's backdrop.
#include <string>

namespace KR {
namespace Tools {

bool writeFrontEndPictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
