#include "core/game_state/saves/save_game_file.h"

#include <cstring>

#include "format_string.h"
#include "platform/safe_file.h"

namespace HOG {
namespace SaveGame {

namespace {

void putU32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

uint32_t getU32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

class Writer {
 public:
  explicit Writer(std::string* out) : out(out) {}
  void u32(uint32_t v) {
    uint8_t b[4];
    putU32(b, v);
    out->append(reinterpret_cast<const char*>(b), 4);
  }
  void bytes(const void* data, size_t n) { out->append(static_cast<const char*>(data), n); }
  // A text in a zero-padded field of n bytes, cut to n - 1 characters.
  void text(const std::string& s, size_t n) {
    const size_t used = std::min(s.size(), n - 1);
    out->append(s.data(), used);
    out->append(n - used, '\0');
  }

 private:
  std::string* out;
};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
  bool u32(uint32_t* v) {
    if (size - pos < 4) return false;
    *v = getU32(data + pos);
    pos += 4;
    return true;
  }
  const uint8_t* take(size_t n) {
    if (size - pos < n) return nullptr;
    const uint8_t* at = data + pos;
    pos += n;
    return at;
  }
  // A zero-terminated text inside a field of n bytes.
  bool text(size_t n, std::string* s) {
    const uint8_t* at = take(n);
    if (!at) return false;
    const void* end = std::memchr(at, 0, n);
    if (!end) return false;
    s->assign(reinterpret_cast<const char*>(at), size_t(static_cast<const uint8_t*>(end) - at));
    return true;
  }
  size_t remaining() const { return size - pos; }
  size_t position() const { return pos; }

 private:
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
};

bool refuse(std::string* reason, const std::string& why) {
  if (reason) *reason = why;
  return false;
}

bool terminated(const uint8_t* at, size_t n) { return std::memchr(at, 0, n) != nullptr; }

// The free chain must stay inside the pool and visit each slot once.
bool readPool(Reader& in, int32_t slotCount, size_t slotSize, const char* what, PoolImage* pool, std::string* reason) {
  uint32_t head = 0;
  const uint8_t* block = nullptr;
  if (!in.u32(&head) || !(block = in.take(size_t(slotCount) * slotSize)))
    return refuse(reason, KR::formatString("the %s pool is cut short", what));
  pool->freeHead = int32_t(head);
  pool->slots.assign(block, block + size_t(slotCount) * slotSize);
  if (pool->liveSlots(slotCount, slotSize).empty())
    return refuse(reason, KR::formatString("the %s pool's free chain is broken", what));
  return true;
}

const size_t kTriggerTexts[kTriggerClassCount][9] = {
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kAnimAnimation, TriggerSlot::kAnimItemSceneNode},
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kAreaApplicableItem},
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kHOSItemSceneNode},
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kItemItemName, TriggerSlot::kItemApplicableItem,
     TriggerSlot::kItemAnimation, TriggerSlot::kItemSceneNode, TriggerSlot::kItemMessage,
     TriggerSlot::kItemWrongMessage0, TriggerSlot::kItemWrongMessage1},
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kTransitionTarget, TriggerSlot::kTransitionItemSceneNode},
    {TriggerSlot::kBacklightParticleFX, TriggerSlot::kObjectSceneNode},
};

bool checkTriggers(const PoolImage& pool, std::string* reason) {
  const std::vector<bool> live = pool.liveSlots(kTriggerSlots, kTriggerSlotSize);
  for (int32_t i = 0; i < kTriggerSlots; ++i) {
    if (!live[size_t(i)]) continue;
    const uint8_t* slot = pool.slot(i, kTriggerSlotSize);
    const int32_t cls = int32_t(getU32(slot));
    if (cls < 0 || cls >= kTriggerClassCount)
      return refuse(reason, KR::formatString("trigger slot %i has the unknown class %i", i, cls));
    for (size_t offset : kTriggerTexts[cls]) {
      if (offset && !terminated(slot + offset, 64))
        return refuse(reason, KR::formatString("trigger slot %i has an unterminated text", i));
    }
    if (cls == kHOSItemTrigger && getU32(slot + TriggerSlot::kHOSRelativeCount) > 16)
      return refuse(reason, KR::formatString("trigger slot %i links too many triggers", i));
  }
  return true;
}

bool checkItems(const PoolImage& pool, std::string* reason) {
  const std::vector<bool> live = pool.liveSlots(kItemSlots, kItemSlotSize);
  for (int32_t i = 0; i < kItemSlots; ++i) {
    if (!live[size_t(i)]) continue;
    const uint8_t* slot = pool.slot(i, kItemSlotSize);
    for (size_t offset : {ItemSlot::kName, ItemSlot::kSpriteFile, ItemSlot::kSpriteTable, ItemSlot::kPartOfGroup}) {
      if (!terminated(slot + offset, 64))
        return refuse(reason, KR::formatString("item slot %i has an unterminated text", i));
    }
  }
  return true;
}

// Sections 5 to 8, which must end exactly at the end of the file.
bool readTail(Reader& in, Data* data, std::string* reason) {
  uint32_t n = 0;
  if (!in.u32(&n) || n > kMaxViewStack || in.remaining() < size_t(n) * 4)
    return refuse(reason, "the open views are damaged");
  data->viewStack.resize(n);
  for (uint32_t& id : data->viewStack) in.u32(&id);

  uint32_t pages = 0;
  if (!in.u32(&pages) || pages > kMaxNotebookPages || in.remaining() < size_t(pages) * 12)
    return refuse(reason, "the notebook is damaged");
  data->notebook.resize(pages);
  uint32_t total = 0;
  for (NotebookPage& page : data->notebook) {
    uint32_t records = 0;
    if (!in.u32(&records) || !in.u32(&page.flag) || !in.u32(&page.word) || page.flag > 1 ||
        in.remaining() / kNotebookKeySize < records || records > kMaxNotebookRecords - total)
      return refuse(reason, "the notebook is damaged");
    total += records;
    page.recordKeys.resize(records);
    for (std::string& key : page.recordKeys) {
      if (!in.text(kNotebookKeySize, &key)) return refuse(reason, "a notebook key is unterminated");
    }
  }

  uint32_t extensions = 0;
  if (!in.u32(&extensions) || extensions > kMaxExtensions || in.remaining() < size_t(extensions) * 16)
    return refuse(reason, "the view extensions are damaged");
  data->extensions.resize(extensions);
  for (ExtensionFlags& e : data->extensions) {
    uint32_t flags[3];
    in.u32(&e.viewId);
    for (uint32_t& f : flags) in.u32(&f);
    if (flags[0] > 1 || flags[1] > 1 || flags[2] > 1) return refuse(reason, "the view extensions are damaged");
    e.suspended = flags[0];
    e.finishReported = flags[1];
    e.suspendable = flags[2];
  }

  if (!in.u32(&data->cutScene.mode) || data->cutScene.mode > 1 || !in.text(kCutSceneNameSize, &data->cutScene.name) ||
      !in.u32(&data->cutScene.value))
    return refuse(reason, "the cut-scene block is damaged");
  if (in.remaining() != 0) return refuse(reason, "bytes are left over after the last section");
  return true;
}

bool sameLiveSlots(const std::vector<bool>& a, const std::vector<bool>& b) { return a == b; }

bool checkAgainst(const Data& data, const Expected& expected, std::string* reason) {
  const std::vector<bool> live = data.triggers.liveSlots(kTriggerSlots, kTriggerSlotSize);
  if (!sameLiveSlots(live, expected.triggers.liveSlots(kTriggerSlots, kTriggerSlotSize)))
    return refuse(reason, "its triggers are not those of the view descriptions");
  for (int32_t i = 0; i < kTriggerSlots; ++i) {
    if (!live[size_t(i)]) continue;
    // Class index, location id and trigger id: the first three words.
    if (std::memcmp(data.triggers.slot(i, kTriggerSlotSize), expected.triggers.slot(i, kTriggerSlotSize), 12) != 0)
      return refuse(reason, KR::formatString("trigger slot %i is not the one the view descriptions made", i));
  }
  const std::vector<bool> items = data.items.liveSlots(kItemSlots, kItemSlotSize);
  if (!sameLiveSlots(items, expected.items.liveSlots(kItemSlots, kItemSlotSize)))
    return refuse(reason, "its inventory items are not those of the item list");
  for (int32_t i = 0; i < kItemSlots; ++i) {
    if (items[size_t(i)] && std::memcmp(data.items.slot(i, kItemSlotSize), expected.items.slot(i, kItemSlotSize),
                                        ItemSlot::kSpriteFile) != 0)
      return refuse(reason, KR::formatString("item slot %i is not the one the item list made", i));
  }
  auto known = [&](uint32_t id) {
    for (uint32_t v : expected.viewIds)
      if (v == id) return true;
    return false;
  };
  for (uint32_t id : data.viewStack) {
    if (!known(id)) return refuse(reason, KR::formatString("the open view %u is unknown", id));
  }
  for (const NodeStateRecord& r : data.nodeStates) {
    if (!known(r.viewId))
      return refuse(reason, KR::formatString("a scene-node state names the unknown view %u", r.viewId));
  }
  if (data.extensions.size() != expected.extensionViewIds.size())
    return refuse(reason, "its view extensions are not those of the view descriptions");
  for (size_t i = 0; i < data.extensions.size(); ++i) {
    if (data.extensions[i].viewId != expected.extensionViewIds[i])
      return refuse(reason, KR::formatString("the view extension of view %u is unknown", data.extensions[i].viewId));
  }
  return true;
}

}  // namespace

PoolImage PoolImage::fresh(int32_t slotCount, size_t slotSize) {
  PoolImage pool;
  pool.slots.assign(size_t(slotCount) * slotSize, 0);
  for (int32_t i = 0; i < slotCount; ++i) putU32(pool.slot(i, slotSize), uint32_t(i + 1 < slotCount ? i + 1 : -1));
  pool.freeHead = slotCount > 0 ? 0 : -1;
  return pool;
}

std::vector<bool> PoolImage::liveSlots(int32_t slotCount, size_t slotSize) const {
  if (slots.size() != size_t(slotCount) * slotSize) return {};
  std::vector<bool> live(size_t(slotCount), true);
  int32_t index = freeHead;
  for (int32_t steps = 0; index >= 0; ++steps) {
    // A chain longer than the pool loops; an index past it points outside.
    if (index >= slotCount || !live[size_t(index)] || steps >= slotCount) return {};
    live[size_t(index)] = false;
    index = int32_t(getU32(slot(index, slotSize)));
  }
  if (index != -1) return {};
  return live;
}

int32_t PoolImage::take(int32_t slotCount, size_t slotSize) {
  if (freeHead < 0 || freeHead >= slotCount) return -1;
  const int32_t index = freeHead;
  freeHead = int32_t(getU32(slot(index, slotSize)));
  std::memset(slot(index, slotSize), 0, slotSize);
  return index;
}

Data Data::fresh() {
  Data data;
  data.triggers = PoolImage::fresh(kTriggerSlots, kTriggerSlotSize);
  data.items = PoolImage::fresh(kItemSlots, kItemSlotSize);
  return data;
}

uint64_t checksum(const uint8_t* bytes, size_t length) {
  uint64_t sum = 0;
  for (size_t i = 0; i < length; ++i) sum += bytes[i];
  return sum;
}

uint32_t nodeNameHash(const char* name) {
  uint32_t h = 0;
  for (const char* c = name; *c; ++c) h = h * 65599u + uint32_t(int32_t(static_cast<signed char>(*c)));
  return h ^ (h >> 16);
}

size_t encodedSize(const Data& data) {
  size_t notebook = 4;
  for (const NotebookPage& page : data.notebook) notebook += 12 + kNotebookKeySize * page.recordKeys.size();
  return kHeaderSize + 4 + size_t(kTriggerSlots) * kTriggerSlotSize + 8 + kNodeRecordSize * data.nodeCapacity + 4 +
         size_t(kItemSlots) * kItemSlotSize + data.arena.size() + 4 + 4 * data.viewStack.size() + notebook + 4 +
         16 * data.extensions.size() + kCutSceneSectionSize;
}

std::string encode(const Data& data) {
  if (data.triggers.slots.size() != size_t(kTriggerSlots) * kTriggerSlotSize ||
      data.items.slots.size() != size_t(kItemSlots) * kItemSlotSize || data.nodeStates.size() > data.nodeCapacity ||
      data.nodeCapacity > kMaxNodeCapacity || data.viewStack.size() > kMaxViewStack ||
      data.extensions.size() > kMaxExtensions || data.notebook.size() > kMaxNotebookPages)
    return {};
  size_t records = 0;
  for (const NotebookPage& page : data.notebook) records += page.recordKeys.size();
  if (records > kMaxNotebookRecords) return {};
  std::string out;
  out.reserve(encodedSize(data));
  Writer w(&out);
  w.u32(kMagic);
  w.u32(0);
  w.u32(0);
  w.u32(uint32_t(data.triggers.freeHead));
  w.bytes(data.triggers.slots.data(), data.triggers.slots.size());

  w.u32(uint32_t(data.nodeStates.size()));
  w.u32(data.nodeCapacity);
  for (const NodeStateRecord& r : data.nodeStates) {
    uint8_t b[kNodeRecordSize] = {};
    putU32(b, r.viewId);
    putU32(b + 4, r.kind);
    std::memcpy(b + 8, r.nodeName, kNodeNameSize - 1);
    b[72] = r.value;
    b[76] = 0;  // never stored superseded
    putU32(b + 80, r.nameHash);
    w.bytes(b, sizeof b);
  }
  out.append(kNodeRecordSize * (data.nodeCapacity - data.nodeStates.size()), '\0');

  w.u32(uint32_t(data.items.freeHead));
  w.bytes(data.items.slots.data(), data.items.slots.size());
  w.bytes(data.arena.data(), data.arena.size());

  w.u32(uint32_t(data.viewStack.size()));
  for (uint32_t id : data.viewStack) w.u32(id);

  w.u32(uint32_t(data.notebook.size()));
  for (const NotebookPage& page : data.notebook) {
    w.u32(uint32_t(page.recordKeys.size()));
    w.u32(page.flag ? 1 : 0);
    w.u32(page.word);
    for (const std::string& key : page.recordKeys) w.text(key, kNotebookKeySize);
  }

  w.u32(uint32_t(data.extensions.size()));
  for (const ExtensionFlags& e : data.extensions) {
    w.u32(e.viewId);
    w.u32(e.suspended);
    w.u32(e.finishReported);
    w.u32(e.suspendable);
  }

  w.u32(data.cutScene.mode ? 1 : 0);
  w.text(data.cutScene.name, kCutSceneNameSize);
  w.u32(data.cutScene.value);

  uint8_t* bytes = reinterpret_cast<uint8_t*>(&out[0]);
  const uint64_t sum = checksum(bytes + kHeaderSize, out.size() - kHeaderSize);
  putU32(bytes + 4, uint32_t(sum));
  putU32(bytes + 8, uint32_t(sum >> 32));
  return out;
}

bool decode(const std::string& file, const Expected* expected, Data* out, std::string* reason, size_t arenaSize) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(file.data());
  if (file.size() < kHeaderSize) return refuse(reason, "it is too short");
  if (getU32(bytes) != kMagic) return refuse(reason, "it is not a saved game");
  const uint64_t stored = uint64_t(getU32(bytes + 4)) | uint64_t(getU32(bytes + 8)) << 32;
  if (stored != checksum(bytes + kHeaderSize, file.size() - kHeaderSize))
    return refuse(reason, "its checksum is wrong");

  Data data;
  Reader in(bytes + kHeaderSize, file.size() - kHeaderSize);
  if (!readPool(in, kTriggerSlots, kTriggerSlotSize, "trigger", &data.triggers, reason) ||
      !checkTriggers(data.triggers, reason))
    return false;

  uint32_t count = 0;
  if (!in.u32(&count) || !in.u32(&data.nodeCapacity) || count > data.nodeCapacity ||
      data.nodeCapacity > kMaxNodeCapacity || in.remaining() / kNodeRecordSize < data.nodeCapacity)
    return refuse(reason, "the scene-node states are damaged");
  data.nodeStates.resize(count);
  for (NodeStateRecord& r : data.nodeStates) {
    const uint8_t* b = in.take(kNodeRecordSize);
    r.viewId = getU32(b);
    r.kind = getU32(b + 4);
    std::memcpy(r.nodeName, b + 8, kNodeNameSize);
    r.value = b[72];
    r.nameHash = getU32(b + 80);
    if (!terminated(b + 8, kNodeNameSize) || b[76] != 0 || r.kind < 1 || r.kind > 5 || r.value > 1 ||
        r.nameHash != nodeNameHash(r.nodeName))
      return refuse(reason, "a scene-node state is damaged");
  }
  in.take(kNodeRecordSize * (data.nodeCapacity - count));

  if (!readPool(in, kItemSlots, kItemSlotSize, "item", &data.items, reason) || !checkItems(data.items, reason))
    return false;

  if (expected) {
    const uint8_t* arena = in.take(expected->arenaSize);
    if (!arena) return refuse(reason, "the view state arena is cut short");
    data.arena.assign(arena, arena + expected->arenaSize);
    if (!readTail(in, &data, reason) || !checkAgainst(data, *expected, reason)) return false;
  } else {
    // The arena's length is known only to the descriptions: some length up to
    // its capacity must let the rest end exactly at the end of the file.
    bool found = false;
    std::string why = "the sections do not fill the file";
    const size_t start = in.position();
    const size_t first = arenaSize == kArenaUnknown ? 0 : arenaSize;
    const size_t last = arenaSize == kArenaUnknown ? kArenaCapacity : arenaSize;
    if (first > in.remaining()) return refuse(reason, "the view state arena is cut short");
    for (size_t length = first; length <= last && length <= in.remaining() && !found; ++length) {
      Reader tail(bytes + kHeaderSize + start + length, file.size() - kHeaderSize - start - length);
      Data attempt;
      if (readTail(tail, &attempt, length == first ? &why : nullptr)) {
        data.viewStack = std::move(attempt.viewStack);
        data.notebook = std::move(attempt.notebook);
        data.extensions = std::move(attempt.extensions);
        data.cutScene = std::move(attempt.cutScene);
        data.arena.assign(bytes + kHeaderSize + start, bytes + kHeaderSize + start + length);
        found = true;
      }
    }
    if (!found) return refuse(reason, why);
  }
  if (out) *out = std::move(data);
  return true;
}

bool writeFile(const std::string& path, const Data& data, std::string* reason, bool flush) {
  const std::string bytes = encode(data);
  if (bytes.empty()) return refuse(reason, "the game does not fit the saved-game format");
  return KR::Platform::writeFileSafely(path, bytes, reason, flush);
}

int checkBytes(const std::string& bytes, std::string* reason, size_t arenaSize) {
  return decode(bytes, nullptr, nullptr, reason, arenaSize) ? 0 : 1;
}

int readFile(const std::string& path, std::string* bytes, std::string* reason) {
  std::string what;
  const KR::Platform::PathKind kind = KR::Platform::pathKind(path, &what);
  if (kind == KR::Platform::PathKind::Missing) {
    if (reason) *reason = "it cannot be opened";
    return 2;
  }
  // A folder in the file's place would fail every save, a pipe block the read.
  if (kind != KR::Platform::PathKind::File) {
    if (reason) *reason = "it is " + what + ", not a file";
    return 1;
  }
  return KR::Platform::readWholeFile(path, bytes, kMaxFileSize, reason) ? 0 : 1;
}

int checkFile(const std::string& path, std::string* reason, size_t arenaSize) {
  std::string bytes;
  const int read = readFile(path, &bytes, reason);
  return read != 0 ? read : checkBytes(bytes, reason, arenaSize);
}

}  // namespace SaveGame
}  // namespace HOG
