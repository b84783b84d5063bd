#pragma once
// The play state's message bus. A component announces what happened (a view
// became active, an item was taken, the notebook opened) and every other
// registered listener hears it at once, in registration order, on the calling
// thread. A listener may send from its onMessage: the nested message is
// delivered whole before the outer delivery goes on. The dispatcher does not
// own its listeners; a listener leaves its dispatcher when it is destroyed.
// Main thread only; register and remove outside a delivery.
//
//   HOG::GameMessage message;
//   message.kind = HOG::kMsgViewActivated;
//   message.setPointer(view);
//   message.sender = nullptr;        // null: every listener, this one included
//   listener->sendMessage(&message);
#include <cstddef>
#include <cstdint>
#include <vector>

namespace HOG {

// Message kinds; 5, 9, 10 and 11 are not used.
enum GameMessageKind : uint32_t {
  kMsgItemAdded = 1,         // text: the item's name
  kMsgItemTakenFromRow = 2,  // pointer: the item
  kMsgItemRemoved = 3,       // pointer: the item
  kMsgHeldItemCleared = 4,
  kMsgItemFlyToRow = 6,      // floats x, y in the payload; the item in `item`
  kMsgItemWindowOpened = 7,  // first payload byte 1
  kMsgItemWindowOpenedAfter = 8,
  kMsgNotebookOpened = 12,
  kMsgNotebookClosed = 13,
  kMsgExtensionChanged = 14,  // pointer: the extension or null
  kMsgHosItemsRefilled = 15,
  kMsgTriggerObjectTaken = 16,    // pointer: the trigger
  kMsgTriggerObjectDropped = 17,  // pointer: the trigger
  kMsgTriggerChanged = 18,        // pointer: the trigger
  kMsgViewActivated = 19,         // pointer: the view
  kMsgViewDeactivated = 20,       // pointer: the view
  kMsgHosItemFound = 21,          // pointer: the trigger
  kMsgTransitionUsed = 22,        // pointer: the trigger
  kMsgAnimationTriggerUsed = 23,  // pointer: the trigger
  kMsgItemActionDone = 24,        // pointer: the trigger
  kMsgPauseMenuOpened = 25,
  kMsgPauseMenuClosed = 26,
  kMsgViewStackChanged = 27,
  kMsgExtensionResumed = 28,
  kMsgExtensionSuspended = 29,
  kMsgPlayStarted = 30,
  kMsgMapOpened = 31,
  kMsgMapClosed = 32,
};

class GameMessageListener;

// One message. Senders write the kind, the sender and the fields their kind
// uses; the rest is not cleared.
struct GameMessage {
  static constexpr size_t kPayloadSize = 64;
  static constexpr size_t kMaxTextLength = kPayloadSize - 1;

  uint32_t kind = 0;
  // A pointer in its first word (a whole pointer, whatever its size), a text
  // of at most 63 characters with its terminator, or two floats.
  union Payload {
    void* pointer;
    char text[kPayloadSize];
    float xy[2];
    uint8_t bytes[kPayloadSize];
  } payload;
  uint32_t firstArgument = 0;
  uint32_t secondArgument = 0;
  // The item of kind 6, pointer-sized.
  void* item = nullptr;
  // Delivery skips this listener; null reaches every listener.
  GameMessageListener* sender = nullptr;

  void setPointer(const void* p) { payload.pointer = const_cast<void*>(p); }
  void* getPointer() const { return payload.pointer; }
  // Copies at most 63 characters and always terminates.
  void setText(const char* text);
};

class GameMessageDispatcher;

class GameMessageListener {
 public:
  GameMessageListener() = default;
  GameMessageListener(const GameMessageListener&) = delete;
  GameMessageListener& operator=(const GameMessageListener&) = delete;
  // Leaves the dispatcher it is registered with.
  virtual ~GameMessageListener();
  virtual void onMessage(const GameMessage*) {}

  // Delivers through the dispatcher; nothing without one.
  void sendMessage(const GameMessage* message);

  GameMessageDispatcher* dispatcher = nullptr;
};

class GameMessageDispatcher {
 public:
  GameMessageDispatcher() { listeners.reserve(16); }
  virtual ~GameMessageDispatcher();

  // Appends the listener unless it is registered already.
  void addListener(GameMessageListener* listener);
  void removeListener(GameMessageListener* listener);
  void dispatchMessage(const GameMessage* message);

  const std::vector<GameMessageListener*>& getListeners() const { return listeners; }

 private:
  std::vector<GameMessageListener*> listeners;
};

// A pointer message on the play state's bus (nothing without a play state);
// a null sender reaches every listener.
void sendGameMessage(uint32_t kind, const void* pointer, GameMessageListener* sender = nullptr);

}  // namespace HOG
