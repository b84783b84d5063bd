#pragma once
// Input pushed into the platform's event queue as if the system had sent it,
// for tests and tools that drive the engine without a person at the keys.
// The events are translated by the next message pump like real ones. Needs
// the video subsystem (initVideo); the main window, when there is one, is
// named as the events' window.
#include <cstdint>
#include <string>

namespace KR {
namespace Platform {

// button: 0 left, 1 right. Position in client pixels (may lie outside).
bool pushMouseMotion(int32_t x, int32_t y);
bool pushMouseButton(int button, bool down, int32_t x, int32_t y);
// Forward notches above 0.
bool pushMouseWheel(int32_t notches);
// The key of a virtual-key code; false when no scancode maps to it.
bool pushKey(uint8_t virtualKey, bool down);
// What a press typed (UTF-8), sent right after the press like SDL does.
bool pushText(const std::string& utf8);

}  // namespace Platform
}  // namespace KR
