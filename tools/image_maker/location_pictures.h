#pragma once
// The demo locations' pictures: backdrops of the hall, garden and desk, and
// the things on them (passages, stone, well, chest, gardener, key) and the
// inventory icons. Small pictures that the scenes stretch.
#include <string>

namespace KR {
namespace Tools {

bool writeLocationPictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
