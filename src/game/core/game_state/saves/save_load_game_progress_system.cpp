#include "core/game_state/saves/save_load_game_progress_system.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/game_state/views/view_streamer.h"
#include "core/main_menu_state/profile_system.h"
#include "log_system.h"
#include "platform/safe_file.h"
#include "scoped_lock.h"

namespace HOG {

namespace {

using namespace SaveGame;

// Stored class index of each trigger type code (the order the kinds were
// registered in, not their type codes).
int32_t classIndexOf(int32_t type) {
  static const int32_t kIndex[] = {kAreaTrigger, kTriggerObject,    kTransitionTrigger,
                                   kItemTrigger, kAnimationTrigger, kHOSItemTrigger};
  return type >= 0 && type < 6 ? kIndex[type] : -1;
}

void put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}
uint32_t get32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// One visitor serves both directions, so the stored fields cannot drift apart.
struct SlotWriter {
  uint8_t* slot;
  void i32(size_t at, int32_t& v) { put32(slot + at, uint32_t(v)); }
  void u32(size_t at, uint32_t& v) { put32(slot + at, v); }
  void f32(size_t at, float& v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    put32(slot + at, bits);
  }
  void flag(size_t at, bool& v) { slot[at] = v ? 1 : 0; }
  void text(size_t at, char (&v)[kNameSize]) {
    std::memset(slot + at, 0, kNameSize);
    std::memcpy(slot + at, v, strnlen(v, kNameSize - 1));
  }
};

struct SlotReader {
  const uint8_t* slot;
  void i32(size_t at, int32_t& v) { v = int32_t(get32(slot + at)); }
  void u32(size_t at, uint32_t& v) { v = get32(slot + at); }
  void f32(size_t at, float& v) {
    const uint32_t bits = get32(slot + at);
    std::memcpy(&v, &bits, 4);
  }
  void flag(size_t at, bool& v) { v = slot[at] != 0; }
  void text(size_t at, char (&v)[kNameSize]) { copyName(v, kNameSize, reinterpret_cast<const char*>(slot + at)); }
};

template <typename V>
void visitTrigger(IBaseAreaTrigger* t, V& v) {
  namespace S = TriggerSlot;
  v.i32(S::kLocationId, t->locationId);
  v.i32(S::kTriggerId, t->triggerId);
  v.f32(S::kCenter, t->center.x);
  v.f32(S::kCenter + 4, t->center.y);
  v.f32(S::kSize, t->size.x);
  v.f32(S::kSize + 4, t->size.y);
  v.f32(S::kAngle, t->angle);
  v.i32(S::kEnabled, t->enabled);
  v.i32(S::kDead, t->dead);
  v.i32(S::kFlags, t->flag0);
  v.i32(S::kFlags + 4, t->flag1);
  v.i32(S::kFlags + 8, t->flag2);
  v.i32(S::kCursorType, t->cursorType);
  v.text(S::kBacklightParticleFX, t->backlightParticleFX);
  v.i32(S::kDebug, t->debug);
  v.flag(S::kUseByHints, t->useByHints);
  switch (t->getType()) {
    case 0: v.text(S::kAreaApplicableItem, static_cast<AreaTrigger*>(t)->applicableItemName); break;
    case 1: v.text(S::kObjectSceneNode, static_cast<TriggerObject*>(t)->sceneNode); break;
    case 2: {
      auto* x = static_cast<TransitionTrigger*>(t);
      v.text(S::kTransitionTarget, x->targetLocation);
      v.flag(S::kTransitionSingleUse, x->singleUse);
      v.text(S::kTransitionItemSceneNode, x->itemSceneNode);
      v.i32(S::kTransitionRelativeTrigger, x->relativeTrigger);
      break;
    }
    case 3: {
      auto* x = static_cast<ItemTrigger*>(t);
      v.text(S::kItemItemName, x->itemName);
      v.text(S::kItemApplicableItem, x->applicableItemName);
      v.i32(S::kItemApplicableObject, x->applicableObjectID);
      v.text(S::kItemAnimation, x->animation);
      v.text(S::kItemSceneNode, x->itemSceneNode);
      v.text(S::kItemMessage, x->message);
      v.f32(S::kItemDelay, x->delay);
      v.i32(S::kItemWrong0, x->wrongItemId[0]);
      v.i32(S::kItemWrong1, x->wrongItemId[1]);
      v.text(S::kItemWrongMessage0, x->wrongItemAppliedMessage[0]);
      v.text(S::kItemWrongMessage1, x->wrongItemAppliedMessage[1]);
      v.i32(S::kItemRelativeTrigger, x->relativeTrigger);
      v.flag(S::kItemEnableNodes, x->enableAnimationNodes);
      break;
    }
    case 4: {
      auto* x = static_cast<AnimationTrigger*>(t);
      v.text(S::kAnimAnimation, x->animation);
      v.flag(S::kAnimEnableNodes, x->enableAnimationNodes);
      v.flag(S::kAnimPlayReverse, x->playReverse);
      v.i32(S::kAnimRelativeTrigger, x->relativeTrigger);
      v.f32(S::kAnimDelay, x->delay);
      v.flag(S::kAnimMultipleUse, x->multipleUse);
      v.text(S::kAnimItemSceneNode, x->itemSceneNode);
      break;
    }
    case 5: {
      auto* x = static_cast<HOSItemTrigger*>(t);
      v.text(S::kHOSItemSceneNode, x->itemSceneNode);
      v.flag(S::kHOSActive, x->activeInHOS);
      v.i32(S::kHOSPartOfGroup, x->partOfGroup);
      for (int i = 0; i < HOSItemTrigger::kMaxRelativeTriggers; ++i)
        v.i32(S::kHOSRelativeTriggers + 4 * size_t(i), x->relativeTriggers[i]);
      v.i32(S::kHOSRelativeCount, x->relativeTriggerCount);
      break;
    }
    default: break;
  }
}

template <typename V>
void visitItem(InventoryItem* item, V& v) {
  namespace S = ItemSlot;
  v.i32(S::kId, item->id);
  v.text(S::kName, item->name);
  v.text(S::kSpriteFile, item->spriteFile);
  v.text(S::kSpriteTable, item->spriteTable);
  v.flag(S::kInInventory, item->inInventory);
  v.flag(S::kIsGroup, item->isGroup);
  v.i32(S::kGroupItemCount, item->groupItemCount);
  v.i32(S::kMaxItemsInGroup, item->maxItemsInGroupNum);
  v.text(S::kPartOfGroup, item->partOfGroup);
  v.i32(S::kUsesLeft, item->usesLeft);
  v.i32(S::kMultiUseCounter, item->multiUseCounter);
}

// The free slots chained in ascending order.
void chainFree(PoolImage& pool, const std::vector<bool>& live, size_t slotSize) {
  int32_t next = -1;
  for (int32_t i = int32_t(live.size()) - 1; i >= 0; --i) {
    if (live[size_t(i)]) continue;
    put32(pool.slot(i, slotSize), uint32_t(next));
    next = i;
  }
  pool.freeHead = next;
}

void logRefused(const std::string& path, const std::string& reason) {
  KR::log("ERROR: Saved game '%s' is refused: %s", path.c_str(), reason.c_str());
}

}  // namespace

std::string SaveLoadGameProgressSystem::getSavePath() {
  if (!ProfileSystem::exists()) return {};
  ProfileSystem* profiles = ProfileSystem::getInstance();
  return profiles->getSaveGamePath(profiles->getCurrentIndex());
}

namespace {

NotebookUI* notebookOf(Game& game) {
  auto* ui = dynamic_cast<InGameUI*>(game.getHud());
  return ui ? ui->getNotebook() : nullptr;
}

}  // namespace

SaveGame::Data SaveLoadGameProgressSystem::capture(Game& game) {
  Data data;
  ViewRegistry& registry = game.getRegistry();
  ViewFactory& factory = registry.getFactory();

  data.triggers.slots.assign(size_t(kTriggerSlots) * kTriggerSlotSize, 0);
  std::vector<bool> live(size_t(kTriggerSlots), false);
  for (IBaseAreaTrigger* trigger : registry.getTriggers()) {
    const int32_t index = factory.triggerPool().indexOf(trigger);
    if (index < 0 || index >= kTriggerSlots) continue;
    live[size_t(index)] = true;
    SlotWriter writer{data.triggers.slot(index, kTriggerSlotSize)};
    put32(writer.slot, uint32_t(classIndexOf(trigger->getType())));
    visitTrigger(trigger, writer);
  }
  chainFree(data.triggers, live, kTriggerSlotSize);

  const SceneNodeStateList& states = game.getNodeStates();
  data.nodeCapacity = uint32_t(states.getCapacity());
  for (int32_t i = 0; i < states.getCount(); ++i) {
    const SceneNodeStateRecord& r = states.getRecords()[i];
    NodeStateRecord stored;
    stored.viewId = r.viewId;
    stored.kind = r.kind;
    std::memcpy(stored.nodeName, r.nodeName, sizeof stored.nodeName);
    stored.nodeName[kNodeNameSize - 1] = 0;
    stored.value = r.value;
    stored.nameHash = r.nameHash;
    data.nodeStates.push_back(stored);
  }

  InventoryItemFactory& items = game.getItemFactory();
  data.items.slots.assign(size_t(kItemSlots) * kItemSlotSize, 0);
  std::vector<bool> liveItems(size_t(kItemSlots), false);
  for (InventoryItem* item : items.getItems()) {
    const int32_t index = items.slotOf(item);
    if (index < 0 || index >= kItemSlots) continue;
    liveItems[size_t(index)] = true;
    SlotWriter writer{data.items.slot(index, kItemSlotSize)};
    visitItem(item, writer);
  }
  chainFree(data.items, liveItems, kItemSlotSize);

  data.arena.assign(factory.getArena(), factory.getArena() + factory.getArenaUsed());
  for (View* view : game.getViewStack().getViews()) data.viewStack.push_back(view->id);
  for (IViewExtension* extension : registry.getExtensions()) {
    // Every extension is made for a view; one without is a broken registry.
    if (!extension->view) {
      KR::reportAssert("KR", "SaveLoadGameProgressSystem::saveViewExtensionsData() parentView is NULL", __FILE__,
                       __LINE__);
      KR::fatalTrap();
    }
    data.extensions.push_back(
        {extension->view->id, extension->suspended, extension->finishReported, extension->suspendable});
  }
  if (NotebookUI* book = notebookOf(game)) data.notebook = book->capture();
  data.cutScene.mode = uint32_t(game.getMode() == 1 ? 1 : 0);
  data.cutScene.name = game.savedCutSceneName;
  data.cutScene.value = game.savedCutSceneValue;
  return data;
}

SaveGame::Expected SaveLoadGameProgressSystem::expectation(Game& game) {
  const Data data = capture(game);
  Expected expected;
  expected.arenaSize = data.arena.size();
  for (View* view : game.getRegistry().getViews()) expected.viewIds.push_back(view->id);
  for (const ExtensionFlags& e : data.extensions) expected.extensionViewIds.push_back(e.viewId);
  expected.triggers = data.triggers;
  expected.items = data.items;
  return expected;
}

bool SaveLoadGameProgressSystem::save(Game& game, bool flush, std::string* reason) {
  const auto start = std::chrono::steady_clock::now();
  const std::string path = getSavePath();
  if (path.empty()) return false;
  KR::ScopedLock pass(KR::ScopedLock::lock(game.getStreamer().getQueueLock()));
  game.getTasks().runAll();
  std::string why;
  if (!SaveGame::writeFile(path, capture(game), &why, flush)) {
    KR::log("ERROR: Saved game '%s' cannot be written: %s", path.c_str(), why.c_str());
    if (reason) *reason = why;
    return false;
  }
  KR::log("savegame in %.2f msec",
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  return true;
}

int SaveLoadGameProgressSystem::checkSaveGame() {
  const std::string path = getSavePath();
  if (path.empty()) return 2;
  // The arena's length comes from the view descriptions: with it the file
  // must be exactly as long as its sections say.
  if (!Game::exists()) return SaveGame::checkFile(path);
  Game* game = Game::getInstance();
  game->ensureViewsLoaded();
  return SaveGame::checkFile(path, nullptr, game->getRegistry().getFactory().getArenaUsed());
}

bool SaveLoadGameProgressSystem::setAsideDamaged(const std::string& path) {
  const std::string aside = path + ".damaged";
  if (std::rename(path.c_str(), aside.c_str()) != 0) {
    KR::log("ERROR: Saved game '%s' cannot be set aside as '%s': %s", path.c_str(), aside.c_str(),
            std::strerror(errno));
    return false;
  }
  KR::log("Saved game '%s' is kept as '%s'", path.c_str(), aside.c_str());
  return true;
}

bool SaveLoadGameProgressSystem::load(Game& game, std::string* refusal) {
  const std::string path = getSavePath();
  if (path.empty()) return false;
  std::string bytes;
  std::string reason;
  auto refuse = [&]() {
    logRefused(path, reason);
    setAsideDamaged(path);
    if (refusal) *refusal = reason;
    return false;
  };
  const int read = SaveGame::readFile(path, &bytes, &reason);
  if (read == 2) return false;
  if (read != 0) return refuse();
  // What needs no description is checked before the game is touched.
  if (SaveGame::checkBytes(bytes, &reason) != 0) return refuse();
  // The rest needs the descriptions: with them loaded, the file is checked
  // against them before the game is touched (a reset would lose what no save
  // holds: Lua globals, visit counts, queued tasks).
  const bool hadViews = !game.getRegistry().getViews().empty();
  // Before the first game the item list is not read yet; the file is checked against it all the same.
  if (hadViews && game.getItemFactory().getItems().empty()) game.getItemFactory().loadItems();
  if (hadViews && !SaveGame::decode(bytes, std::make_unique<Expected>(expectation(game)).get(), nullptr, &reason))
    return refuse();
  // Checked again as they load afresh; a file refused then gives the game
  // back as far as a save holds it.
  const Data before = capture(game);
  game.getViewStack().resetBeforeRestore();
  game.resetForNewGame();
  Data data;
  if (!SaveGame::decode(bytes, std::make_unique<Expected>(expectation(game)).get(), &data, &reason)) {
    if (hadViews) apply(game, before);
    return refuse();
  }
  apply(game, data);
  return true;
}

void SaveLoadGameProgressSystem::apply(Game& game, const SaveGame::Data& data) {
  ViewRegistry& registry = game.getRegistry();
  {
    KR::ScopedLock pass(KR::ScopedLock::lock(game.getStreamer().getQueueLock()));
    ViewFactory& factory = registry.getFactory();
    for (IBaseAreaTrigger* trigger : registry.getTriggers()) {
      const int32_t index = factory.triggerPool().indexOf(trigger);
      SlotReader reader{data.triggers.slot(index, kTriggerSlotSize)};
      visitTrigger(trigger, reader);
      trigger->loadLocalizedName();
    }
    std::vector<SceneNodeStateRecord> records;
    for (const NodeStateRecord& r : data.nodeStates) {
      SceneNodeStateRecord record;
      record.viewId = r.viewId;
      record.kind = r.kind;
      std::memcpy(record.nodeName, r.nodeName, sizeof record.nodeName);
      record.value = r.value;
      record.nameHash = r.nameHash;
      records.push_back(record);
    }
    game.getNodeStates().assign(records.data(), int32_t(records.size()), int32_t(data.nodeCapacity));

    InventoryItemFactory& items = game.getItemFactory();
    items.unloadSprites();
    std::vector<InventoryItem*> held;
    for (InventoryItem* item : items.getItems()) {
      SlotReader reader{data.items.slot(items.slotOf(item), kItemSlotSize)};
      visitItem(item, reader);
      item->sprite = nullptr;
      item->spriteLoaded = false;
    }
    // The inventory's order is the pool's slot order.
    std::vector<InventoryItem*> bySlot(items.getItems());
    std::sort(bySlot.begin(), bySlot.end(),
              [&](const InventoryItem* a, const InventoryItem* b) { return items.slotOf(a) < items.slotOf(b); });
    for (InventoryItem* item : bySlot)
      if (item->inInventory) held.push_back(item);
    game.getInventory().restore(held);

    std::memcpy(factory.getArena(), data.arena.data(), data.arena.size());
    for (size_t i = 0; i < data.extensions.size(); ++i) {
      IViewExtension* extension = registry.getExtensions()[i];
      extension->suspended = data.extensions[i].suspended;
      extension->finishReported = data.extensions[i].finishReported;
      extension->suspendable = data.extensions[i].suspendable;
    }
  }
  if (NotebookUI* book = notebookOf(game)) book->restore(data.notebook);
  game.savedCutSceneName = data.cutScene.name;
  game.savedCutSceneValue = data.cutScene.value;
  if (data.cutScene.mode == 1) game.requestSavedCutScene();

  // The open views up to the last that is not a close-up; close-ups above it are not reopened.
  size_t last = 0;
  for (size_t i = data.viewStack.size(); i-- > 0;) {
    const View* view = registry.findViewById(int32_t(data.viewStack[i]));
    if (view && !view->isCloseup()) {
      last = i;
      break;
    }
  }
  for (size_t i = 0; i < data.viewStack.size() && i <= last; ++i)
    if (View* view = registry.findViewById(int32_t(data.viewStack[i]))) game.getViewStack().openView(view->name);
}

}  // namespace HOG
