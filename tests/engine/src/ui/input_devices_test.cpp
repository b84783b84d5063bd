// Input pushed as platform events, polled by the devices once a frame and
// turned by the PC controller into the frame's one event.
#include "ui_test_support.h"

namespace KR {
namespace {

using namespace Platform;

class InputTest : public Test::UITest {
 protected:
  uint32_t kinds(uint32_t event) { return uiEventKind(event); }
};

TEST_F(InputTest, HoldingTheLeftButtonGivesPressHeldRelease) {
  ASSERT_TRUE(pushMouseMotion(300, 200));
  ASSERT_TRUE(pushMouseButton(0, true, 310, 205));
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftPressed));
  MouseDevice* mouse = input->getMouseDevice();
  EXPECT_EQ(mouse->buttons[0], 0x80);
  EXPECT_EQ(mouse->pressX, 310);
  EXPECT_EQ(controller()->pressPosition.x, 310.0f);
  EXPECT_TRUE(controller()->leftDown);
  // A key pressed while the button is held is not reported on that frame ...
  pushKey('A', true);
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftHeld));
  pushMouseMotion(400, 250);
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftHeld));
  EXPECT_EQ(controller()->position.x, 400.0f);
  EXPECT_EQ(controller()->pressPosition.x, 310.0f);  // the press stays where it began
  pushMouseButton(0, false, 400, 250);
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftReleased));
  // ... it shows as held on the first frame without a button event.
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyHeld, 'A'));
  pushKey('A', false);
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyReleased, 'A'));
  EXPECT_EQ(frame(), uint32_t(kUIEventNone));
  // The right button only moves the press position.
  pushMouseButton(1, true, 50, 60);
  EXPECT_EQ(frame(), uint32_t(kUIEventNone));
  EXPECT_EQ(controller()->pressPosition.x, 50.0f);
  pushMouseButton(1, false, 50, 60);
  frame();
}

TEST_F(InputTest, TheLowestKeyWinsAndQuickTapsAreSeen) {
  pushKey('Z', true);
  pushKey('B', true);
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyPressed, 'B'));
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyHeld, 'B'));
  pushKey('B', false);
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyReleased, 'B'));
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyHeld, 'Z'));
  pushKey('Z', false);
  frame();
  frame();

  // Down and up between two polls: down in the first, up in the next.
  pushKey(kVkRight, true);
  pushKey(kVkRight, false);
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyPressed, kVkRight));
  EXPECT_TRUE(input->getKeyboardDevice()->wentDown(kVkRight));
  EXPECT_EQ(frame(), makeKeyEvent(kUIEventKeyReleased, kVkRight));
  EXPECT_EQ(frame(), uint32_t(kUIEventNone));
  // The same for a click of the left button.
  pushMouseButton(0, true, 10, 10);
  pushMouseButton(0, false, 10, 10);
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftPressed));
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftReleased));
  EXPECT_EQ(frame(), uint32_t(kUIEventNone));
}

TEST_F(InputTest, TheWheelCountsForOneFrame) {
  pushMouseWheel(1);
  EXPECT_EQ(frame(), uint32_t(kUIEventWheelForward));
  EXPECT_EQ(input->getMouseDevice()->wheel, 1);
  EXPECT_EQ(frame(), uint32_t(kUIEventNone));
  EXPECT_EQ(input->getMouseDevice()->wheel, 0);
  pushMouseWheel(-1);
  pushMouseWheel(-2);
  EXPECT_EQ(frame(), uint32_t(kUIEventWheelBack));
  EXPECT_EQ(input->getMouseDevice()->wheel, -3);
}

TEST_F(InputTest, AReleaseOutsideTheWindowArrivesBeyondItsEdges) {
  pushMouseButton(0, true, 20, 30);
  frame();
  pushMouseMotion(-45, 900);
  pushMouseButton(0, false, -45, 900);
  EXPECT_EQ(frame(), uint32_t(kUIEventLeftReleased));
  EXPECT_EQ(input->getMouseDevice()->cursorX, -45);
  EXPECT_EQ(input->getMouseDevice()->cursorY, 900);
  EXPECT_EQ(controller()->position.x, -45.0f);
  EXPECT_FALSE(controller()->leftDown);
}

TEST_F(InputTest, EachPressKeepsWhatItTypedForItsFrame) {
  pushKey('A', true);
  pushText("\xC3\xA9");  // é under the current layout
  pushKey('A', false);
  pushKey('Q', true);  // a dead key's own press types nothing
  pushKey('Q', false);
  pushKey('E', true);
  pushText("\xC3\xAA");  // ... and the next press types the composed character
  poll();
  EXPECT_EQ(input->getKeyboardDevice()->typedCharacter('A'), L'\u00E9');
  EXPECT_EQ(input->getKeyboardDevice()->typedCharacter('Q'), 0);
  EXPECT_EQ(input->getKeyboardDevice()->typedCharacter('E'), L'\u00EA');
  poll();
  EXPECT_EQ(input->getKeyboardDevice()->typedCharacter('A'), 0);  // for that frame only
  pushKey('E', false);
  poll();
}

}  // namespace
}  // namespace KR
