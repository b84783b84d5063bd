#pragma once
// The puzzle gallery's pictures: its backdrop and plaques, and the pieces the
// puzzle close-ups share (backdrop, button, light, finish star, back arrow).
// Light pieces are drawn near white so that a scene's colour keys tint them.
#include <string>

namespace KR {
namespace Tools {

bool writePuzzlePictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
