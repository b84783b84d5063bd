#pragma once
// The demo locations' pictures: backdrops of the hall, garden and desk, and
// the things on them (passages, stone, well, chest, gardener, key), the
// inventory icons, the paper of the notebook's pages and of the map, and the
// glow over the places a carried thing may go.
// Small pictures that the scenes stretch; the gardener and the paper, which
// are stretched far, are larger and soft at their rim.
#include <string>

namespace KR {
namespace Tools {

bool writeLocationPictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
