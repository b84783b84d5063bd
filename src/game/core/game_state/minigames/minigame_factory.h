#pragma once
// Makes a puzzle by its class name (without the namespace) in a block of the
// view factory's extension pool; null for a name that is no puzzle class.
#include "core/game_state/extensions/view_extension.h"

namespace HOG {

class ViewFactory;

IViewExtension* createMinigameByName(ViewFactory& factory, const char* name);

}  // namespace HOG
