#pragma once
// Every item the player can ever hold, read once from "inventory_items_xml"
// into fixed 284-byte records of a 512-slot pool that live as long as the play
// state; the inventory, panels, triggers and saved games hold plain pointers
// to them. The icon of an item is loaded on the view streamer's thread while
// the item is held and released on the main thread (releaseUnheldSprites)
// once it is not, so no screen meets a freed icon.
//
// Locks: the icon lock guards sprite and spriteLoaded; taken before the
// fast-sprite manager's. Everything else is main thread only.
#include <pthread.h>

#include <cstdint>
#include <vector>

#include "core/game_state/views/view_description.h"

namespace KR {
class FastSprite;
}

namespace HOG {

struct InventoryItem {
  int32_t id = 0;
  char name[kNameSize] = {};
  char spriteFile[kNameSize] = {};
  char spriteTable[kNameSize] = {};
  bool inInventory = false;
  bool spriteLoaded = false;
  bool isGroup = false;
  int32_t groupItemCount = 0;
  int32_t maxItemsInGroupNum = 0;
  char partOfGroup[kNameSize] = {};
  int32_t usesLeft = 1;
  int32_t multiUseCounter = 1;
  KR::FastSprite* sprite = nullptr;

  // Loads the icon when the record has a sprite file and table (icon lock held).
  void loadSprite();
};

// First record of the list whose name equals name, or list.end().
std::vector<InventoryItem*>::const_iterator findItemByName(const std::vector<InventoryItem*>& list, const char* name);

class InventoryItemFactory {
 public:
  static constexpr int32_t kPoolSize = 512;

  InventoryItemFactory();
  ~InventoryItemFactory();
  InventoryItemFactory(const InventoryItemFactory&) = delete;
  InventoryItemFactory& operator=(const InventoryItemFactory&) = delete;

  void loadItems();
  // Reads the "items" table under the reader's cursor.
  void parseItems(KR::XmlDataReader& reader);
  InventoryItem* allocateItem();
  void releaseAll();
  void unloadSprites();
  InventoryItem* find(const char* name) const;

  // Streamer thread: icons for held items that have none.
  void loadHeldSprites();
  // Main thread, between frames: icons of items no longer held are destroyed.
  void releaseUnheldSprites();

  const std::vector<InventoryItem*>& getItems() const { return items; }
  // The pool slot of a record (saved games store records by slot).
  int32_t slotOf(const InventoryItem* item) const { return int32_t(reinterpret_cast<const Slot*>(item) - pool); }
  int32_t getFreeCount() const { return freeCount; }
  pthread_mutex_t* getIconLock() { return &iconLock; }

 private:
  void destroySprite(InventoryItem* item);

  union Slot {
    int32_t nextFree;
    alignas(InventoryItem) unsigned char bytes[sizeof(InventoryItem)];
  };
  Slot* pool = nullptr;
  int32_t firstFree = 0;
  int32_t freeCount = kPoolSize;
  std::vector<InventoryItem*> items;
  pthread_mutex_t iconLock;
};

}  // namespace HOG
