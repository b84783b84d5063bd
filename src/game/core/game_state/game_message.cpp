#include "core/game_state/game_message.h"

#include <algorithm>
#include <cstring>

#include "core/game_state/game_parts.h"

namespace HOG {

void GameMessage::setText(const char* text) {
  size_t length = text ? std::strlen(text) : 0;
  if (length > kMaxTextLength) length = kMaxTextLength;
  if (length) std::memcpy(payload.text, text, length);
  payload.text[length] = '\0';
}

GameMessageListener::~GameMessageListener() {
  if (dispatcher) dispatcher->removeListener(this);
}

void GameMessageListener::sendMessage(const GameMessage* message) {
  if (dispatcher) dispatcher->dispatchMessage(message);
}

GameMessageDispatcher::~GameMessageDispatcher() {
  for (GameMessageListener* listener : listeners) listener->dispatcher = nullptr;
}

void GameMessageDispatcher::addListener(GameMessageListener* listener) {
  if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end()) return;
  listeners.push_back(listener);
  listener->dispatcher = this;
}

void GameMessageDispatcher::removeListener(GameMessageListener* listener) {
  auto it = std::find(listeners.begin(), listeners.end(), listener);
  if (it == listeners.end()) return;
  listener->dispatcher = nullptr;
  listeners.erase(it);
}

void GameMessageDispatcher::dispatchMessage(const GameMessage* message) {
  // The end is read again after every call: a listener's own sends may not
  // change the list, but nested deliveries run inside this loop.
  for (size_t i = 0; i < listeners.size(); ++i) {
    GameMessageListener* listener = listeners[i];
    if (listener != message->sender) listener->onMessage(message);
  }
}

void sendGameMessage(uint32_t kind, const void* pointer, GameMessageListener* sender) {
  GameMessageDispatcher* dispatcher = gameDispatcher();
  if (!dispatcher) return;
  GameMessage message;
  message.kind = kind;
  message.setPointer(pointer);
  message.sender = sender;
  dispatcher->dispatchMessage(&message);
}

}  // namespace HOG
