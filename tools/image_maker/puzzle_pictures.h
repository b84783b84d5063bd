#pragma once
// The puzzle gallery's pictures: its backdrop and plaques, and the pieces the
// puzzle close-ups share (backdrop, button, light, ring, back arrow, the
// solved banner, the telescope's lens and stars), and the jigsaws' picture
// whole ("puzzle_picture") and in its four quarters ("puzzle_picture0" top
// left to "puzzle_picture3" bottom right; "puzzle_picture0_turned" the first turned a quarter back, for a tile
// that stands right at a quarter turn). Light pieces are drawn near white
// so that a scene's colour keys tint them.
#include <string>

namespace KR {
namespace Tools {

bool writePuzzlePictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
