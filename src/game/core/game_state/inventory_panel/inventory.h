#pragma once
// The items the player holds, in order of arrival: pointers to the item
// factory's records. Adds by name (alone or as a member of a group item, the
// group standing just before its first member), removes by name counting down
// multi-use items, and announces each change on the play state's bus (kind 1
// added, 3 removed). Results: 0 done, 1 refused (with its log line).
// Main thread only.
#include <cstdint>
#include <vector>

#include "core/game_state/game_message.h"

namespace HOG {

struct InventoryItem;
class InventoryItemFactory;

class Inventory : public GameMessageListener {
 public:
  explicit Inventory(InventoryItemFactory& factory);
  ~Inventory() override;

  bool isItemPresent(const char* name) const;
  int32_t addItem(const char* name, bool announce);
  void addItemAsSingleObject(InventoryItem* item);
  int32_t removeItem(const char* name);
  // A new game or a loaded one: nothing held (records keep their icons until
  // the streamer's pass releases them).
  void clear();
  // A loaded game: exactly these records are held, in this order (no messages).
  void restore(const std::vector<InventoryItem*>& held) { items = held; }

  const std::vector<InventoryItem*>& getItems() const { return items; }

 private:
  int32_t addGroupMember(InventoryItem* member);
  void sendItem(uint32_t kind, InventoryItem* item);
  void clearTakenIf(const char* name);

  InventoryItemFactory& factory;
  std::vector<InventoryItem*> items;
};

}  // namespace HOG
