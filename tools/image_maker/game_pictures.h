#pragma once
// The game shell's pictures: five cursors (default arrow, hand, passage,
// look, take), the loading indicator ring and the loading screen's backdrop
// and spinner, drawn at build time.
#include <string>

#include "krt_writer.h"

namespace KR {
namespace Tools {

// The named game picture ("cursor_default", "cursor_hand", "cursor_passage",
// "cursor_look", "cursor_take", "loading_image", "loading_backdrop"); empty
// for any other name.
RgbaPicture makeGamePicture(const std::string& name);
// Writes every game picture as "<name>.png" into the folder.
bool writeGamePictures(const std::string& folder, std::string& error);

}  // namespace Tools
}  // namespace KR
