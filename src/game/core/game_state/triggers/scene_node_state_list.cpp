#include "core/game_state/triggers/scene_node_state_list.h"

#include <chrono>
#include <cstring>
#include <new>

#include "animationeditor/scene_node.h"
#include "core/game_state/views/view_description.h"
#include "log_system.h"

namespace HOG {

uint32_t SceneNodeStateRecord::hashName(const char* name) {
  uint32_t h = 0;
  for (const char* c = name; *c; ++c) h = h * 0x1003Fu + uint32_t(int32_t(static_cast<signed char>(*c)));
  return h ^ (h >> 16);
}

SceneNodeStateRecord SceneNodeStateRecord::make(uint32_t viewId, uint32_t kind, const char* name, bool value) {
  SceneNodeStateRecord record;
  record.viewId = viewId;
  record.kind = kind;
  copyName(record.nodeName, name);
  record.value = (kind == RewindToBegin || kind == RewindToEnd) ? 0 : uint8_t(value ? 1 : 0);
  record.nameHash = hashName(record.nodeName);
  return record;
}

bool SceneNodeStateRecord::sameKey(const SceneNodeStateRecord& other) const {
  return viewId == other.viewId && kind == other.kind && nameHash == other.nameHash &&
         strncmp(nodeName, other.nodeName, sizeof(nodeName)) == 0;
}

SceneNodeStateList::~SceneNodeStateList() { delete[] records; }

void SceneNodeStateList::clear() {
  delete[] records;
  records = nullptr;
  count = capacity = duplicateTest = 0;
}

void SceneNodeStateList::assign(const SceneNodeStateRecord* from, int32_t newCount, int32_t newCapacity) {
  clear();
  if (newCapacity <= 0) return;
  records = new SceneNodeStateRecord[size_t(newCapacity)]();
  for (int32_t i = 0; i < newCount && i < newCapacity; ++i) records[i] = from[i];
  count = newCount < newCapacity ? newCount : newCapacity;
  capacity = newCapacity;
}

int32_t SceneNodeStateList::add(const SceneNodeStateRecord& record) {
  if (count >= capacity) {
    const int32_t grown = capacity == 0 ? 1024 : capacity * 2;
    SceneNodeStateRecord* bigger = new (std::nothrow) SceneNodeStateRecord[grown];
    if (bigger) {
      for (int32_t i = 0; i < count; ++i) bigger[i] = records[i];
      delete[] records;
      records = bigger;
      capacity = grown;
    }
  }
  if (count >= capacity) return 1;
  if (duplicateTest > 0)
    for (int32_t i = 0; i < count; ++i)
      if (records[i].sameKey(record)) return 1;
  records[count++] = record;
  int32_t kept = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (i != count - 1 && records[i].sameKey(record)) continue;
    if (kept != i) records[kept] = records[i];
    ++kept;
  }
  count = kept;
  return 0;
}

void SceneNodeStateList::restoreView(AE::ISceneNode* root, uint32_t viewId) {
  const auto start = std::chrono::steady_clock::now();
  if (!root) return;
  for (int32_t i = 0; i < count; ++i)
    if (records[i].viewId == viewId) applyRecord(root, records[i]);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  KR::log("Animation state restored in: %.2f msec", ms);
}

void SceneNodeStateList::applyRecord(AE::ISceneNode* root, const SceneNodeStateRecord& record) {
  if (!record.nodeName[0] || !root) return;
  AE::ISceneNode* node = AE::ISceneNode::findChild(record.nodeName, root);
  if (!node) {
    KR::log("WARNING: Failed to find node: %s", record.nodeName);
    return;
  }
  switch (record.kind) {
    case SceneNodeStateRecord::Enable: node->setEnabled(record.value != 0); break;
    case SceneNodeStateRecord::Play:
    case SceneNodeStateRecord::PlayReversed: {
      const bool reverse = record.kind == SceneNodeStateRecord::PlayReversed;
      if (!record.value) {
        node->stop(true);
        break;
      }
      node->playInDirection(reverse, true);
      if (reverse)
        node->rewindToBegin();
      else
        node->rewindToEnd();
      node->update(0.0f);
      break;
    }
    case SceneNodeStateRecord::RewindToBegin:
      node->rewindToBegin();
      node->update(0.0f);
      break;
    case SceneNodeStateRecord::RewindToEnd:
      node->rewindToEnd();
      node->update(0.0f);
      break;
    default: break;
  }
}

}  // namespace HOG
