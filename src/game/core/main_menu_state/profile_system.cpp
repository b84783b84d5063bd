#include "core/main_menu_state/profile_system.h"

namespace HOG {

ProfileSystem::ProfileSystem() { setInstance(this); }

ProfileSystem::~ProfileSystem() = default;

void ProfileSystem::saveProfileList() {
  // "profilelist.dat" is written here once profiles exist.
  ++saveCount;
}

}  // namespace HOG
