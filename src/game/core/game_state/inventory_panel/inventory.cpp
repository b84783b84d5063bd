#include "core/game_state/inventory_panel/inventory.h"

#include <algorithm>
#include <cstring>

#include "core/game_state/game_parts.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/sound/event_sound_player.h"
#include "core/game_state/views/view_stack.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "sound_system/sound_manager.h"

namespace HOG {

namespace {

// inInventory is read by the streamer's icon pass.
void setHeld(InventoryItemFactory& factory, InventoryItem* item, bool held) {
  KR::ScopedLock guard(KR::ScopedLock::lock(factory.getIconLock()));
  item->inInventory = held;
}

InventoryItem* takenItem() {
  ViewStack* stack = gameViewStack();
  return stack ? stack->getTakenInventoryItem() : nullptr;
}

void clearTaken() {
  if (ViewStack* stack = gameViewStack()) stack->setTakenInventoryItem(nullptr);
}

}  // namespace

Inventory::Inventory(InventoryItemFactory& itemFactory) : factory(itemFactory) {}

Inventory::~Inventory() {
  clear();
  if (dispatcher) dispatcher->removeListener(this);
}

void Inventory::clear() {
  for (InventoryItem* item : items) setHeld(factory, item, false);
  items.clear();
}

bool Inventory::isItemPresent(const char* name) const {
  const bool present = findItemByName(items, name) != items.end();
  KR::log("Inventory::isItemPresent(%s) = %s", name ? name : "", present ? "true" : "false");
  return present;
}

void Inventory::addItemAsSingleObject(InventoryItem* item) {
  KR::log("Inventory::addItemAsSingleObject(%s) Success", item->name);
  setHeld(factory, item, true);
  item->usesLeft = item->multiUseCounter;
  items.push_back(item);
}

int32_t Inventory::addGroupMember(InventoryItem* member) {
  const char* groupName = member->partOfGroup;
  auto held = findItemByName(items, groupName);
  if (held != items.end()) {
    ++(*held)->groupItemCount;
    addItemAsSingleObject(member);
    return 0;
  }
  InventoryItem* group = factory.find(groupName);
  if (!group) {
    KR::log("Inventory::addItem(%s) ERROR: Item group is not exists!", groupName);
    return 1;
  }
  setHeld(factory, group, true);
  items.push_back(group);
  ++group->groupItemCount;
  addItemAsSingleObject(member);
  return 0;
}

int32_t Inventory::addItem(const char* name, bool announce) {
  if (!name || !name[0]) return 1;
  if (findItemByName(items, name) != items.end()) {
    KR::log("Inventory::addItem(%s) ERROR: Item is already exists!", name);
    return 1;
  }
  InventoryItem* item = factory.find(name);
  if (!item) {
    KR::log("Inventory::addItem(%s) ERROR: Item is not exists!", name);
    return 1;
  }
  if (item->partOfGroup[0]) {
    if (addGroupMember(item)) return 1;
  } else {
    addItemAsSingleObject(item);
  }
  if (announce) {
    GameMessage message;
    message.kind = kMsgItemAdded;
    message.setText(name);
    message.sender = this;
    sendMessage(&message);
    if (EventSoundPlayer::exists()) EventSoundPlayer::getInstance()->playEvent(SoundEventType::InventoryItemAdded);
  }
  return 0;
}

void Inventory::sendItem(uint32_t kind, InventoryItem* item) {
  GameMessage message;
  message.kind = kind;
  message.setPointer(item);
  message.sender = this;
  sendMessage(&message);
}

void Inventory::clearTakenIf(const char* name) {
  InventoryItem* taken = takenItem();
  if (taken && (strcmp(taken->name, name) == 0 || strcmp(taken->partOfGroup, name) == 0)) clearTaken();
}

int32_t Inventory::removeItem(const char* name) {
  if (!name || !name[0]) return 1;
  if (findItemByName(items, name) == items.end()) {
    clearTakenIf(name);
    return 1;
  }
  for (size_t i = 0; i < items.size();) {
    InventoryItem* item = items[i];
    if (item->partOfGroup[0] && strcmp(item->partOfGroup, name) == 0) {
      if (item == takenItem()) clearTaken();
      sendItem(kMsgItemRemoved, item);
      setHeld(factory, item, false);
      items.erase(items.begin() + long(i));
    } else {
      ++i;
    }
  }
  auto it = findItemByName(items, name);
  if (it == items.end()) return 1;
  InventoryItem* item = *it;
  if (--item->usesLeft >= 1) return 0;
  clearTakenIf(name);
  sendItem(kMsgItemRemoved, item);
  if (item->isGroup) item->groupItemCount = 0;
  setHeld(factory, item, false);
  items.erase(std::find(items.begin(), items.end(), item));
  return 0;
}

}  // namespace HOG
