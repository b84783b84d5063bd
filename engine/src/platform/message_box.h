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

// While one lives, a process forked from this one ends when this one does:
// the windowing library shows its box from a forked child, which must not
// outlive a game that was ended (killed, or ended by the termination
// watchdog) and stay on screen. showMessageBox holds one around the box.
class MessageBoxChildren {
 public:
  MessageBoxChildren();
  ~MessageBoxChildren();
  MessageBoxChildren(const MessageBoxChildren&) = delete;
  MessageBoxChildren& operator=(const MessageBoxChildren&) = delete;
};

}  // namespace Platform
}  // namespace KR
