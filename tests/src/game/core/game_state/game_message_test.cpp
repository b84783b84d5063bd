// The message bus (registration order, the sender skipped, nested delivery
// finished first, text payloads cut and terminated) and the input record
// (edges across frames, the lowest key, the press position in a window that
// is not of design size).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../showcase_test_support.h"
#include "core/game_state/game_message.h"
#include "core/game_state/input_state.h"
#include "input_manager_win_mac.h"

namespace {

std::vector<std::string> gHeard;

class Recorder : public HOG::GameMessageListener {
 public:
  explicit Recorder(const char* name_) : name(name_) {}
  void onMessage(const HOG::GameMessage* message) override {
    gHeard.push_back(std::string(name) + ":" + std::to_string(message->kind));
    if (message->kind == replyTo) {
      HOG::GameMessage reply;
      reply.kind = replyKind;
      reply.sender = this;
      sendMessage(&reply);
    }
  }
  const char* name;
  uint32_t replyTo = 0, replyKind = 0;
};

}  // namespace

TEST(GameMessages, DeliveryKeepsOrderSkipsTheSenderAndFinishesNestedMessagesFirst) {
  gHeard.clear();
  HOG::GameMessageDispatcher bus;
  Recorder a("a"), b("b"), c("c");
  bus.addListener(&a);
  bus.addListener(&b);
  bus.addListener(&c);
  bus.addListener(&b);  // once only
  EXPECT_EQ(bus.getListeners().size(), 3u);
  // b answers kind 12 with kind 4 (as the play state does): the answer reaches
  // a and c before c hears the 12.
  b.replyTo = HOG::kMsgNotebookOpened;
  b.replyKind = HOG::kMsgHeldItemCleared;
  HOG::GameMessage message;
  message.kind = HOG::kMsgNotebookOpened;
  message.sender = nullptr;
  a.sendMessage(&message);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"a:12", "b:12", "a:4", "c:4", "c:12"}));

  gHeard.clear();
  message.kind = HOG::kMsgPlayStarted;
  message.sender = &a;
  a.sendMessage(&message);
  EXPECT_EQ(gHeard, (std::vector<std::string>{"b:30", "c:30"}));

  // A removed listener neither hears nor sends; a destroyed one leaves the bus.
  bus.removeListener(&c);
  bus.removeListener(&c);
  gHeard.clear();
  c.sendMessage(&message);
  EXPECT_TRUE(gHeard.empty());
  {
    Recorder d("d");
    bus.addListener(&d);
  }
  EXPECT_EQ(bus.getListeners().size(), 2u);

  // Pointers fill the payload's first word whole; texts are cut to 63 characters.
  static_assert(sizeof(HOG::GameMessage::Payload) == 64, "the payload is 64 bytes");
  message.setPointer(&bus);
  EXPECT_EQ(message.getPointer(), &bus);
  std::memset(message.payload.bytes, 'x', sizeof message.payload.bytes);
  message.setText(std::string(80, 'n').c_str());
  EXPECT_EQ(std::strlen(message.payload.text), 63u);
  EXPECT_EQ(message.payload.text[63], '\0');
}

namespace {

class InputRecordTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
  }
  void poll(uint8_t left, std::initializer_list<uint8_t> keys) {
    KR::MouseDevice* mouse = input.getMouseDevice();
    mouse->previousButtons[0] = mouse->buttons[0];
    mouse->buttons[0] = left;
    KR::KeyboardDevice* keyboard = input.getKeyboardDevice();
    std::memcpy(keyboard->previousKeys, keyboard->keys, sizeof keyboard->keys);
    std::memset(keyboard->keys, 0, sizeof keyboard->keys);
    for (uint8_t key : keys) keyboard->keys[key] = 0x80;
    HOG::InputState::capture(record);
  }
  KR::InputManager input{nullptr};
  HOG::InputState record;
};

}  // namespace

TEST_F(InputRecordTest, EdgesLowestKeyAndPressPointAtAnyWindowSize) {
  poll(0, {});
  EXPECT_EQ(record.valid, 1);
  EXPECT_EQ(record.hasEvent, 0);
  poll(0x80, {0x51, 0x41});
  EXPECT_EQ(record.leftPressed, 1);
  EXPECT_EQ(record.leftDown, 1);
  EXPECT_EQ(record.keyPressed, 0x41);
  EXPECT_EQ(record.keyDown, 0x41);
  EXPECT_EQ(record.hasEvent, 1);
  poll(0x80, {0x51});
  EXPECT_EQ(record.leftPressed, 0);
  EXPECT_EQ(record.leftDown, 1);
  EXPECT_EQ(record.keyPressed, 0);
  EXPECT_EQ(record.keyReleased, 0x41);
  poll(0, {});
  EXPECT_EQ(record.leftReleased, 1);
  EXPECT_EQ(record.leftDown, 0);
  EXPECT_EQ(record.keyReleased, 0x51);

  // A window of half the design size: window pixels map to twice as many
  // design pixels, and the press point stays where it was pressed however
  // often the record is captured.
  renderSystem->getWindowInfo().mWndWidth = KR::RenderSystem::getDesignWidth() / 2;
  renderSystem->getWindowInfo().mWndHeight = KR::RenderSystem::getDesignHeight() / 2;
  KR::MouseDevice* mouse = input.getMouseDevice();
  mouse->cursorX = mouse->pressX = 100;
  mouse->cursorY = mouse->pressY = 50;
  for (int frame = 0; frame < 3; ++frame) {
    poll(0x80, {});
    EXPECT_EQ(record.pressX, 200);
    EXPECT_EQ(record.pressY, 100);
  }
  EXPECT_EQ(record.x, 200);
  EXPECT_EQ(mouse->designX, 200);
  EXPECT_EQ(mouse->cursorX, 100);
  EXPECT_EQ(mouse->pressX, 100);
}
