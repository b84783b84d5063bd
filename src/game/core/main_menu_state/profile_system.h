#pragma once
// The player profiles. Profiles and their files join it with the front end;
// the window procedure already saves the list when the window goes away.
#include "singleton.h"

namespace HOG {

class ProfileSystem : public KR::Singleton<ProfileSystem> {
 public:
  ProfileSystem();
  ~ProfileSystem() override;

  // Writes the profile list to the user's data folder.
  void saveProfileList();
  // How many times the list was written in this run.
  int getSaveCount() const { return saveCount; }

 private:
  int saveCount = 0;
};

}  // namespace HOG
