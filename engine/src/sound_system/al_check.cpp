#include "sound_system/al_check.h"

#include <AL/al.h>

#include "log_system.h"

namespace KR {

bool checkALError(const char* file, int line) {
  ALenum error = alGetError();
  if (error == AL_NO_ERROR) return true;
  const ALchar* text = alGetString(error);
  log("OpenAL Error: %i %s at %s:%i", static_cast<int>(error), text ? text : "", file, line);
  return false;
}

}  // namespace KR
