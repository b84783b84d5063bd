#pragma once
// Whole-file writes that a crash or a power cut cannot leave half done: the
// bytes go to a temporary file of a new name beside the target ("<target>.
// XXXXXX.tmp", so that nothing lying at a fixed name can block every write),
// which is flushed to disk, renamed over the target and the folder flushed in
// turn. A reader sees the old file or the new one, never a mixture.
#include <cstddef>
#include <cstdint>
#include <string>

namespace KR {
namespace Platform {

// False, with the reason in error, when any step fails; the target is then
// untouched and the temporary file removed. Without flush the bytes are not
// forced to disk (measurements only: a power cut may then lose them).
bool writeFileSafely(const std::string& path, const std::string& bytes, std::string* error, bool flush = true);
// The whole file; false when it cannot be opened or read, or holds more than
// maxSize bytes: the size is asked before anything is read, so an oversized
// file costs no memory. The reason, for the log and the player: "it cannot be
// opened: ...", "it is larger than N bytes" or "it cannot be read: ...".
bool readWholeFile(const std::string& path, std::string* bytes, size_t maxSize = SIZE_MAX,
                   std::string* reason = nullptr);
// A regular file (also through a link).
bool fileExists(const std::string& path);
// What lies at a path: nothing (a dangling link too), a regular file, a
// folder, or another thing (a named pipe, a device, a socket), which a reader
// must not open (a pipe blocks, a device never ends). For the log and the
// player, what names it: "a folder", "a named pipe", "a device", "a socket".
enum class PathKind { Missing, File, Folder, Other };
PathKind pathKind(const std::string& path, std::string* what = nullptr);
// Removes the temporary files ("*.tmp") that writeFileSafely leaves in folder
// when the process dies inside a write; the number removed. Only for a folder
// no other process writes into.
int removeStaleTemporaries(const std::string& folder);

}  // namespace Platform
}  // namespace KR
