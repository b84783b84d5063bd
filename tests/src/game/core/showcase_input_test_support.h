// A showcase test whose page is driven with pushed input events: the Lua
// function registry, the input manager and the UI manager on a started video
// subsystem, the engine tick's polls and UI update, and the frame's pixels.
// SetUp opens what the page needs, then openInput(); TearDown closes the UI
// manager before the showcase parts.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "font_maker.h"
#include "input_manager_win_mac.h"
#include "lex_binded_function_manager.h"
#include "platform/events.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "showcase_test_support.h"
#include "ui/ui_manager.h"

namespace KR {
namespace Test {

class ShowcaseInputTest : public ShowcaseTest {
 protected:
  struct Pixel {
    int r, g, b;
    int sum() const { return r + g + b; }
  };

  // The registry, input and UI managers, then the video subsystem with no
  // events or input state left over.
  void openInput() {
    registry = std::make_unique<LexBindedFunctionManager>();
    input = std::make_unique<InputManager>(nullptr);
    ui = std::make_unique<UIManager>();
    ASSERT_TRUE(Platform::initVideo()) << Platform::lastError();
    pump();
    Platform::clearInputState();
  }
  void TearDown() override {
    ui.reset();
    Platform::clearInputState();
    ShowcaseTest::TearDown();
  }

  void pump() {
    Platform::Message message;
    while (Platform::peekMessage(message)) {
    }
  }
  // The engine tick's part: the polls and the UI manager's update.
  void frames(int count = 1) {
    for (int i = 0; i < count; ++i) {
      pump();
      input->getMouseDevice()->update();
      input->getKeyboardDevice()->poll();
      ui->update(0.05f);
    }
  }
  // drawTwiceAndRead, keeping the frame as <prefix><n>.png when the
  // environment variable dumpVariable names a prefix.
  template <typename Draw>
  void drawAndDump(Draw draw, const char* dumpVariable) {
    ASSERT_TRUE(drawTwiceAndRead(draw));
    if (const char* dump = std::getenv(dumpVariable)) {
      std::string error;
      Tools::writePng(dump + std::to_string(dumps++) + ".png", width, height, frame, &error);
    }
  }
  Pixel pixel(int x, int y) const {
    const size_t i = (size_t(y) * width + size_t(x)) * 4;
    return Pixel{frame[i], frame[i + 1], frame[i + 2]};
  }

  std::unique_ptr<LexBindedFunctionManager> registry;
  std::unique_ptr<InputManager> input;
  std::unique_ptr<UIManager> ui;
  int dumps = 0;
};

}  // namespace Test
}  // namespace KR
