#pragma once
// Whole-file writes that a crash or a power cut cannot leave half done: the
// bytes go to a temporary file beside the target, which is flushed to disk,
// renamed over the target and the folder flushed in turn. A reader sees the
// old file or the new one, never a mixture.
#include <string>

namespace KR {
namespace Platform {

// False, with the reason in error, when any step fails; the target is then
// untouched and the temporary file removed. Without flush the bytes are not
// forced to disk (measurements only: a power cut may then lose them).
bool writeFileSafely(const std::string& path, const std::string& bytes, std::string* error, bool flush = true);
// The whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string* bytes);
bool fileExists(const std::string& path);

}  // namespace Platform
}  // namespace KR
