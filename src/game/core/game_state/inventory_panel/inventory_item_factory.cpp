#include "core/game_state/inventory_panel/inventory_item_factory.h"

#include <cstring>
#include <new>

#include "fast_sprite.h"
#include "log_system.h"
#include "report_assert.h"
#include "scoped_lock.h"
#include "sprite_manager.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
KR::SpriteManager<KR::FastSprite>* fastSprites() { return KR::SpriteManager<KR::FastSprite>::getInstancePtr(); }
}  // namespace

std::vector<InventoryItem*>::const_iterator findItemByName(const std::vector<InventoryItem*>& list, const char* name) {
  for (auto it = list.begin(); it != list.end(); ++it)
    if (*it && name && strcmp((*it)->name, name) == 0) return it;
  return list.end();
}

void InventoryItem::loadSprite() {
  if (spriteLoaded || !spriteFile[0] || !spriteTable[0]) return;
  if (KR::SpriteManager<KR::FastSprite>* manager = fastSprites()) {
    sprite = manager->createSprite(spriteFile, spriteTable, "default");
    spriteLoaded = sprite != nullptr;
  }
}

InventoryItemFactory::InventoryItemFactory() {
  static_assert(sizeof(InventoryItem) <= 288, "an item record stays near its stored size");
  KR::initRecursiveMutex(&iconLock);
  pool = static_cast<Slot*>(::operator new(sizeof(Slot) * kPoolSize));
  for (int32_t i = 0; i < kPoolSize; ++i) pool[i].nextFree = i + 1 < kPoolSize ? i + 1 : -1;
  firstFree = 0;
  freeCount = kPoolSize;
}

InventoryItemFactory::~InventoryItemFactory() {
  releaseAll();
  ::operator delete(pool);
  pthread_mutex_destroy(&iconLock);
}

InventoryItem* InventoryItemFactory::allocateItem() {
  if (firstFree < 0) {
    KR::reportAssert("KR", "ERROR: Failed to allocate memory on pool for inventory item", "inventory_item_factory",
                     108);
    KR::fatalTrap();
  }
  Slot* slot = &pool[firstFree];
  firstFree = slot->nextFree;
  --freeCount;
  InventoryItem* item = new (slot->bytes) InventoryItem();
  items.push_back(item);
  return item;
}

void InventoryItemFactory::destroySprite(InventoryItem* item) {
  if (item->sprite)
    if (KR::SpriteManager<KR::FastSprite>* manager = fastSprites()) manager->destroySprite(item->sprite);
  item->sprite = nullptr;
  item->spriteLoaded = false;
}

void InventoryItemFactory::releaseAll() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&iconLock));
  for (InventoryItem* item : items) {
    destroySprite(item);
    item->~InventoryItem();
    Slot* slot = reinterpret_cast<Slot*>(item);
    slot->nextFree = firstFree;
    firstFree = int32_t(slot - pool);
    ++freeCount;
  }
  items.clear();
  // With nothing left the chain starts over in index order, so every load of
  // the list puts each item in the same slot (saved games store them by slot).
  if (freeCount == kPoolSize) {
    for (int32_t i = 0; i < kPoolSize; ++i) pool[i].nextFree = i + 1 < kPoolSize ? i + 1 : -1;
    firstFree = 0;
  }
}

void InventoryItemFactory::unloadSprites() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&iconLock));
  for (InventoryItem* item : items) destroySprite(item);
}

void InventoryItemFactory::loadItems() {
  releaseAll();
  KR::XmlDataReader reader;
  if (!reader.open("default", "inventory_items_xml")) {
    KR::log("ERROR: Inventory items file 'inventory_items_xml' does not exist; there are no items");
    return;
  }
  if (!reader.enterChild("items")) {
    KR::log(
        "ERROR: Inventory items file 'inventory_items_xml' is damaged: it holds no \"items\" list; there are no items");
    return;
  }
  parseItems(reader);
}

void InventoryItemFactory::parseItems(KR::XmlDataReader& reader) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&iconLock));
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string text;
    InventoryItem* item = allocateItem();
    reader.readString("name", &text);
    copyName(item->name, text);
    reader.readInt("id", &item->id);
    text.clear();
    reader.readString("spriteFile", &text);
    copyName(item->spriteFile, text);
    text.clear();
    reader.readString("spriteTable", &text);
    copyName(item->spriteTable, text);
    reader.readBool("isGroup", &item->isGroup);
    reader.readInt("maxItemsInGroupNum", &item->maxItemsInGroupNum);
    text.clear();
    reader.readString("partOfGroup", &text);
    copyName(item->partOfGroup, text);
    int32_t uses = 1;
    if (!reader.readInt("multiUseCounter", &uses)) uses = 1;
    item->multiUseCounter = item->usesLeft = uses;
  }
}

InventoryItem* InventoryItemFactory::find(const char* name) const {
  auto it = findItemByName(items, name);
  return it == items.end() ? nullptr : *it;
}

void InventoryItemFactory::loadHeldSprites() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&iconLock));
  for (InventoryItem* item : items)
    if (item->inInventory && !item->spriteLoaded) item->loadSprite();
}

void InventoryItemFactory::releaseUnheldSprites() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&iconLock));
  for (InventoryItem* item : items)
    if (!item->inInventory && item->spriteLoaded) destroySprite(item);
}

}  // namespace HOG
