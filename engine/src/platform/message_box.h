#pragma once
// Modal message boxes for fatal errors and crash reports.
//
// Contract: showMessageBox blocks the calling thread until the user answers.
// Where no display can show a box (no video driver, the offscreen driver, or
// the box itself fails), the same caption and text are written to stderr and
// the call answers as if the user had pressed Cancel, so an unattended run
// never waits for input that cannot come.
#include <string>

namespace KR {
namespace Platform {

enum class MessageBoxButtons { Ok, OkCancel };
enum class MessageBoxIcon { None, Error };
enum class MessageBoxResult { Ok, Cancel };

MessageBoxResult showMessageBox(const std::string& text, const std::string& caption, MessageBoxButtons buttons,
                                MessageBoxIcon icon = MessageBoxIcon::None);

// True when message boxes go to stderr instead of the screen.
bool isHeadless();

}  // namespace Platform
}  // namespace KR
