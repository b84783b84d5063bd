#include "font_preset.h"

namespace KR {

const char* const kDefaultPresetFont = "system_font_fnt";

}  // namespace KR
