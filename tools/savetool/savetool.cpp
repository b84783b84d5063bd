#include "savetool.h"

#include <cstdio>
#include <cstring>

namespace HOG {
namespace SaveTool {

namespace {

using namespace SaveGame;

void put32(uint8_t* at, uint32_t v) { std::memcpy(at, &v, 4); }  // the tools build on little-endian hosts only
uint32_t get32(const uint8_t* at) {
  uint32_t v;
  std::memcpy(&v, at, 4);
  return v;
}

void putText(uint8_t* at, const std::string& text) {
  std::snprintf(reinterpret_cast<char*>(at), 64, "%s", text.c_str());
}

uint32_t viewId(int view) { return uint32_t(view + 1); }

}  // namespace

SaveGame::Data makeSample(const SampleShape& shape) {
  Data data = Data::fresh();
  for (int v = 0; v < shape.views; ++v) {
    for (int t = 0; t < shape.triggersPerView; ++t) {
      const int32_t index = data.triggers.take(kTriggerSlots, kTriggerSlotSize);
      if (index < 0) break;
      uint8_t* slot = data.triggers.slot(index, kTriggerSlotSize);
      const int32_t cls = t % 5 == 4 ? kHOSItemTrigger : t % 7 == 6 ? kAnimationTrigger : t % 3;
      put32(slot + TriggerSlot::kClass, uint32_t(cls));
      put32(slot + TriggerSlot::kLocationId, viewId(v));
      put32(slot + TriggerSlot::kTriggerId, uint32_t(t + 1));
      put32(slot + TriggerSlot::kEnabled, 1);
      put32(slot + TriggerSlot::kDead, uint32_t(t % 2));
      put32(slot + TriggerSlot::kCursorType, uint32_t(t % 6));
      putText(slot + TriggerSlot::kBacklightParticleFX, "backlight_fx");
      if (cls == kHOSItemTrigger) {
        putText(slot + TriggerSlot::kHOSItemSceneNode, "item_" + std::to_string(t));
        put32(slot + TriggerSlot::kHOSPartOfGroup, uint32_t(-1));
        put32(slot + TriggerSlot::kHOSRelativeCount, 1);
        put32(slot + TriggerSlot::kHOSRelativeTriggers, 1);
      } else if (cls == kAnimationTrigger) {
        putText(slot + TriggerSlot::kAnimAnimation, "drawer_open");
        put32(slot + TriggerSlot::kAnimRelativeTrigger, uint32_t(-1));
      }
    }
  }
  for (int i = 0; i < shape.items; ++i) {
    const int32_t index = data.items.take(kItemSlots, kItemSlotSize);
    if (index < 0) break;
    uint8_t* slot = data.items.slot(index, kItemSlotSize);
    put32(slot + ItemSlot::kId, uint32_t(i + 1));
    putText(slot + ItemSlot::kName, "item" + std::to_string(i));
    putText(slot + ItemSlot::kSpriteFile, "inventory_items_lua");
    putText(slot + ItemSlot::kSpriteTable, "item" + std::to_string(i));
    slot[ItemSlot::kInInventory] = i < shape.heldItems;
    put32(slot + ItemSlot::kUsesLeft, 1);
  }
  data.nodeCapacity = shape.nodeStates == 0 ? 0 : 1024;
  while (data.nodeCapacity < shape.nodeStates) data.nodeCapacity *= 2;
  for (uint32_t i = 0; i < shape.nodeStates; ++i) {
    NodeStateRecord r;
    r.viewId = viewId(int(i) % (shape.views > 0 ? shape.views : 1));
    r.kind = 1 + i % 5;
    std::snprintf(r.nodeName, sizeof r.nodeName, "node_%u", i);
    r.value = r.kind <= 3 ? uint8_t(i % 2) : 0;
    r.nameHash = nodeNameHash(r.nodeName);
    data.nodeStates.push_back(r);
  }
  data.arena.resize(shape.arenaSize);
  for (size_t i = 0; i < data.arena.size(); ++i) data.arena[i] = uint8_t(i * 7);
  for (int i = 0; i < shape.openViews && i < shape.views; ++i) data.viewStack.push_back(viewId(i));
  for (int p = 0; p < shape.notebookPages; ++p) {
    NotebookPage page;
    page.flag = uint32_t(p % 2);
    page.word = uint32_t(p * 3);
    for (int r = 0; r <= p; ++r) page.recordKeys.push_back("record_" + std::to_string(p) + "_" + std::to_string(r));
    data.notebook.push_back(page);
  }
  for (int v = 0; v < shape.views; v += 3) data.extensions.push_back({viewId(v), v % 2 == 1, v % 3 == 0, true});
  data.cutScene.mode = shape.cutSceneRunning ? 1 : 0;
  data.cutScene.name = "cutscene_shed_xml";
  data.cutScene.value = 7;
  return data;
}

SaveGame::Expected expectedFor(const SaveGame::Data& data, const SampleShape& shape) {
  Expected expected;
  expected.arenaSize = data.arena.size();
  for (int v = 0; v < shape.views; ++v) expected.viewIds.push_back(viewId(v));
  for (const ExtensionFlags& e : data.extensions) expected.extensionViewIds.push_back(e.viewId);
  expected.triggers = data.triggers;
  expected.items = data.items;
  return expected;
}

std::string dump(const SaveGame::Data& data) {
  std::string out;
  char line[512];
  auto add = [&](const char* text) { out += text; };
  const std::vector<bool> triggers = data.triggers.liveSlots(kTriggerSlots, kTriggerSlotSize);
  int live = 0;
  for (bool b : triggers) live += b;
  std::snprintf(line, sizeof line, "triggers: free head %d, %d live\n", data.triggers.freeHead, live);
  add(line);
  for (int32_t i = 0; i < kTriggerSlots && !triggers.empty(); ++i) {
    if (!triggers[size_t(i)]) continue;
    const uint8_t* s = data.triggers.slot(i, kTriggerSlotSize);
    std::snprintf(line, sizeof line, "  slot %d: class %u, location %u, trigger %u, enabled %u, dead %u\n", i, get32(s),
                  get32(s + 4), get32(s + 8), get32(s + 32), get32(s + 36));
    add(line);
  }
  std::snprintf(line, sizeof line, "scene-node states: %zu of capacity %u\n", data.nodeStates.size(),
                data.nodeCapacity);
  add(line);
  for (const NodeStateRecord& r : data.nodeStates) {
    std::snprintf(line, sizeof line, "  view %u kind %u node '%s' value %u\n", r.viewId, r.kind, r.nodeName, r.value);
    add(line);
  }
  const std::vector<bool> items = data.items.liveSlots(kItemSlots, kItemSlotSize);
  for (int32_t i = 0; i < kItemSlots && !items.empty(); ++i) {
    if (!items[size_t(i)]) continue;
    const uint8_t* s = data.items.slot(i, kItemSlotSize);
    std::snprintf(line, sizeof line, "  item slot %d: id %u '%s'%s\n", i, get32(s),
                  reinterpret_cast<const char*>(s + ItemSlot::kName), s[ItemSlot::kInInventory] ? " (held)" : "");
    add(line);
  }
  std::snprintf(line, sizeof line, "arena: %zu bytes\nopen views:", data.arena.size());
  add(line);
  for (uint32_t id : data.viewStack) {
    std::snprintf(line, sizeof line, " %u", id);
    add(line);
  }
  std::snprintf(line, sizeof line, "\nnotebook: %zu pages\n", data.notebook.size());
  add(line);
  for (const NotebookPage& page : data.notebook) {
    std::snprintf(line, sizeof line, "  page flag %u word %u, %zu records\n", page.flag, page.word,
                  page.recordKeys.size());
    add(line);
  }
  for (const ExtensionFlags& e : data.extensions) {
    std::snprintf(line, sizeof line, "extension of view %u: suspended %d finished %d suspendable %d\n", e.viewId,
                  e.suspended, e.finishReported, e.suspendable);
    add(line);
  }
  std::snprintf(line, sizeof line, "cut scene: mode %u '%s' value %u\n", data.cutScene.mode, data.cutScene.name.c_str(),
                data.cutScene.value);
  add(line);
  return out;
}

bool corrupt(std::string* file, size_t offset, uint8_t mask, bool fixChecksum) {
  if (offset >= file->size()) return false;
  (*file)[offset] = char(uint8_t((*file)[offset]) ^ mask);
  if (fixChecksum && file->size() >= kHeaderSize) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(&(*file)[0]);
    const uint64_t sum = checksum(bytes + kHeaderSize, file->size() - kHeaderSize);
    put32(bytes + 4, uint32_t(sum));
    put32(bytes + 8, uint32_t(sum >> 32));
  }
  return true;
}

bool writeSeeds(const std::string& folder) {
  auto write = [&](const std::string& name, const std::string& bytes) {
    FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
  };
  SampleShape small;
  small.views = 3;
  small.triggersPerView = 5;
  small.items = 4;
  small.nodeStates = 3;
  small.arenaSize = 36;
  SampleShape empty = small;
  empty.views = 0;
  empty.items = 0;
  empty.nodeStates = 0;
  empty.arenaSize = 0;
  SampleShape running;
  running.cutSceneRunning = true;
  const std::string sound = encode(makeSample(small));
  bool ok = write("small.sav", sound) && write("empty.sav", encode(makeSample(empty))) &&
            write("full.sav", encode(makeSample(running)));
  std::string damaged = sound;
  corrupt(&damaged, 12, 0xff, true);  // the trigger pool's free head
  ok = ok && write("bad_free_head.sav", damaged);
  damaged = sound;
  corrupt(&damaged, sound.size() - 1, 0x01, false);  // the checksum no longer matches
  ok = ok && write("bad_checksum.sav", damaged);
  ok = ok && write("truncated.sav", sound.substr(0, sound.size() - 100));
  return ok;
}

}  // namespace SaveTool
}  // namespace HOG
