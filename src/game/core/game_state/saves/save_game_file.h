#pragma once
// The saved game's file: its eight sections read and written field by field at
// their stored offsets, little-endian, whatever the objects look like in
// memory. The game and tools/savetool share it; it knows nothing of views or
// triggers as objects, only of their stored form.
//
// File: u32 magic 83; u64 checksum (byte sum of everything from offset 12);
// then, back to back: 1 trigger pool (u32 free head, 2048 slots of 768 bytes,
// a live slot's first word its class index 0..5); 2 scene-node states (u32
// count, u32 capacity, capacity records of 84 bytes); 3 inventory item pool
// (u32 free head, 512 slots of 284 bytes); 4 the view state arena (its length
// is the arena's fill level, stored nowhere); 5 open views (u32 n, n ids); 6
// notebook (u32 pages; per page u32 records, u32 flag, u32 word, 128-byte
// keys); 7 view extensions (u32 n; per entry u32 view id, suspended,
// finishReported, suspendable); 8 cut scene (u32 mode, char[255] name, u32
// value). Pointer fields are stored as zero.
//
// Reading validates the whole file before anything is handed out: a refused
// file yields no data, only the reason. Pure functions; any thread.
//
//   SaveGame::Data data = ...;           // filled from the live game
//   std::string bytes = SaveGame::encode(data);
//   SaveGame::Data back;
//   std::string reason;
//   if (!SaveGame::decode(bytes, &expected, &back, &reason)) log(reason);
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace HOG {
namespace SaveGame {

constexpr uint32_t kMagic = 83;
constexpr size_t kHeaderSize = 12;
constexpr int32_t kTriggerSlots = 2048;
constexpr size_t kTriggerSlotSize = 768;
constexpr int32_t kItemSlots = 512;
constexpr size_t kItemSlotSize = 284;
constexpr size_t kNodeRecordSize = 84;
constexpr size_t kNodeNameSize = 64;
constexpr size_t kNotebookKeySize = 128;
constexpr size_t kCutSceneNameSize = 255;
constexpr size_t kCutSceneSectionSize = 4 + kCutSceneNameSize + 4;
constexpr size_t kMaxViewStack = 64;
constexpr size_t kArenaCapacity = 4096;
constexpr int32_t kTriggerClassCount = 6;
// Far beyond any game, small enough that a damaged count cannot ask for gigabytes.
constexpr uint32_t kMaxNodeCapacity = 1u << 20;
constexpr uint32_t kMaxNotebookPages = 4096;
constexpr uint32_t kMaxExtensions = 64;
// Notebook records over all pages; far beyond any game.
constexpr uint32_t kMaxNotebookRecords = 1u << 16;
// The largest file the format allows: a larger one is refused unread.
constexpr size_t kMaxFileSize = kHeaderSize + 4 + size_t(kTriggerSlots) * kTriggerSlotSize + 8 +
                                kNodeRecordSize * kMaxNodeCapacity + 4 + size_t(kItemSlots) * kItemSlotSize +
                                kArenaCapacity + 4 + 4 * kMaxViewStack + 4 + 12 * size_t(kMaxNotebookPages) +
                                kNotebookKeySize * kMaxNotebookRecords + 4 + 16 * kMaxExtensions + kCutSceneSectionSize;

// Stored class indices of the trigger kinds, fixed by the order of registration.
enum TriggerClass : int32_t {
  kAnimationTrigger = 0,
  kAreaTrigger = 1,
  kHOSItemTrigger = 2,
  kItemTrigger = 3,
  kTransitionTrigger = 4,
  kTriggerObject = 5,
};

// Offsets inside a stored trigger slot.
namespace TriggerSlot {
constexpr size_t kClass = 0, kLocationId = 4, kTriggerId = 8, kCenter = 12, kSize = 20, kAngle = 28, kEnabled = 32,
                 kDead = 36, kFlags = 40, kCursorType = 52, kBacklightParticleFX = 56, kDebug = 120, kUseByHints = 124,
                 kKindData = 128;
// Per kind, from kKindData on.
constexpr size_t kAnimAnimation = 128, kAnimEnableNodes = 192, kAnimPlayReverse = 193, kAnimRelativeTrigger = 196,
                 kAnimDelay = 200, kAnimMultipleUse = 204, kAnimItemSceneNode = 205;
constexpr size_t kHOSItemSceneNode = 128, kHOSLocalizedName = 192, kHOSActive = 196, kHOSPartOfGroup = 200,
                 kHOSRelativeTriggers = 204, kHOSRelativeCount = 268;
constexpr size_t kAreaApplicableItem = 128;
constexpr size_t kObjectSceneNode = 128;
constexpr size_t kItemItemName = 128, kItemApplicableItem = 192, kItemApplicableObject = 256, kItemAnimation = 260,
                 kItemSceneNode = 324, kItemMessage = 388, kItemDelay = 452, kItemWrong0 = 456, kItemWrong1 = 460,
                 kItemWrongMessage0 = 464, kItemWrongMessage1 = 528, kItemRelativeTrigger = 592, kItemEnableNodes = 596;
constexpr size_t kTransitionTarget = 128, kTransitionSingleUse = 192, kTransitionItemSceneNode = 193,
                 kTransitionRelativeTrigger = 260;
}  // namespace TriggerSlot

// Offsets inside a stored inventory item slot.
namespace ItemSlot {
constexpr size_t kId = 0, kName = 4, kSpriteFile = 68, kSpriteTable = 132, kInInventory = 196, kSpriteLoaded = 197,
                 kIsGroup = 198, kGroupItemCount = 200, kMaxItemsInGroup = 204, kPartOfGroup = 208, kUsesLeft = 272,
                 kMultiUseCounter = 276, kSprite = 280;
}  // namespace ItemSlot

// A pool of fixed slots in its stored form: slots back to back, a free slot's
// first word the index of the next free one (-1 ends the chain).
struct PoolImage {
  int32_t freeHead = -1;
  std::vector<uint8_t> slots;

  // An empty pool of the given shape: every slot free, chained in order.
  static PoolImage fresh(int32_t slotCount, size_t slotSize);
  uint8_t* slot(int32_t index, size_t slotSize) { return slots.data() + size_t(index) * slotSize; }
  const uint8_t* slot(int32_t index, size_t slotSize) const { return slots.data() + size_t(index) * slotSize; }
  // Slots in use (not on the free chain); empty when the chain is broken.
  std::vector<bool> liveSlots(int32_t slotCount, size_t slotSize) const;
  // Takes the head of the free chain; -1 when none is free.
  int32_t take(int32_t slotCount, size_t slotSize);
};

struct NodeStateRecord {
  uint32_t viewId = 0;
  uint32_t kind = 0;  // 1 enable, 2 play, 3 play reversed, 4 rewind to begin, 5 rewind to end
  char nodeName[kNodeNameSize] = {};
  uint8_t value = 0;
  uint8_t superseded = 0;
  uint32_t nameHash = 0;
};

struct NotebookPage {
  uint32_t flag = 0;
  uint32_t word = 0;
  std::vector<std::string> recordKeys;
};

struct ExtensionFlags {
  uint32_t viewId = 0;
  bool suspended = false;
  bool finishReported = false;
  bool suspendable = false;
};

struct CutSceneBlock {
  uint32_t mode = 0;  // 1 while a cut scene runs
  std::string name;   // at most 254 characters
  uint32_t value = 0;
};

struct Data {
  PoolImage triggers;  // kTriggerSlots x kTriggerSlotSize
  uint32_t nodeCapacity = 0;
  std::vector<NodeStateRecord> nodeStates;  // the list in order, at most nodeCapacity
  PoolImage items;                          // kItemSlots x kItemSlotSize
  std::vector<uint8_t> arena;
  std::vector<uint32_t> viewStack;  // bottom first
  std::vector<NotebookPage> notebook;
  std::vector<ExtensionFlags> extensions;
  CutSceneBlock cutScene;

  // Empty pools, nothing else.
  static Data fresh();
};

// What the loaded view descriptions say a file must agree with.
struct Expected {
  size_t arenaSize = 0;
  std::vector<uint32_t> viewIds;           // every view of the registry
  std::vector<uint32_t> extensionViewIds;  // the views with an extension, in the registry's order
  PoolImage triggers;                      // the pools as the descriptions built them
  PoolImage items;
};

uint64_t checksum(const uint8_t* bytes, size_t length);
// The node-state key hash: h = h * 65599 + c over signed characters, then h ^ (h >> 16).
uint32_t nodeNameHash(const char* name);

size_t encodedSize(const Data& data);
// The whole file, header included; empty when the data cannot be stored
// (more than 64 open views, more nodes than capacity, a pool of the wrong size).
std::string encode(const Data& data);

// The arena's length when the view descriptions are not at hand.
constexpr size_t kArenaUnknown = SIZE_MAX;

// Parses and checks the whole file. With expected, the description checks run
// too and the arena has its known length; without, the arena is arenaSize
// long, or, when that is unknown, every arena length up to kArenaCapacity that
// makes the rest parse exactly is tried (a file cut short in zero padding may
// then pass). False with the reason (and out untouched) when the file is refused.
bool decode(const std::string& bytes, const Expected* expected, Data* out, std::string* reason,
            size_t arenaSize = kArenaUnknown);

// Encodes and writes crash-safe (a reader sees the old file or the new one);
// false, with the reason and the old file kept, when any step fails. Without
// flush the bytes are not forced to disk (measurements only).
bool writeFile(const std::string& path, const Data& data, std::string* reason, bool flush = true);

// Reads a file's bytes, refusing one larger than kMaxFileSize before reading:
// 0 read, 1 refused (too large, unreadable, or a folder, pipe or device in the
// file's place), 2 missing; the reason with 1.
int readFile(const std::string& path, std::string* bytes, std::string* reason = nullptr);

// The menu's question: 0 sound, 1 damaged, 2 cannot be opened. With the
// arena's length the file must have exactly the size its sections make.
int checkBytes(const std::string& bytes, std::string* reason = nullptr, size_t arenaSize = kArenaUnknown);
int checkFile(const std::string& path, std::string* reason = nullptr, size_t arenaSize = kArenaUnknown);

}  // namespace SaveGame
}  // namespace HOG
