#pragma once
// What the level script and the triggers did to scene nodes (enabled, played,
// rewound), kept for the whole game so that a view whose scene is loaded
// afresh, or a saved game, shows it again: at most one record per view, kind
// and node (the latest), applied in list order when the view activates with
// its scene loaded. Records are 84 bytes, stored whole in saved games.
// Main thread only.
#include <cstdint>

namespace AE {
class ISceneNode;
}

namespace HOG {

struct SceneNodeStateRecord {
  enum Kind : uint32_t { Enable = 1, Play = 2, PlayReversed = 3, RewindToBegin = 4, RewindToEnd = 5 };
  uint32_t viewId = 0;
  uint32_t kind = 0;
  char nodeName[64] = {};
  uint8_t value = 0;
  uint8_t unused0[3] = {};
  uint8_t superseded = 0;
  uint8_t unused1[3] = {};
  uint32_t nameHash = 0;

  // A record with its name cut to 63 characters and its hash.
  static SceneNodeStateRecord make(uint32_t viewId, uint32_t kind, const char* name, bool value);
  static uint32_t hashName(const char* name);
  bool sameKey(const SceneNodeStateRecord& other) const;
};
static_assert(sizeof(SceneNodeStateRecord) == 84, "stored record size");

class SceneNodeStateList {
 public:
  SceneNodeStateList() = default;
  ~SceneNodeStateList();
  SceneNodeStateList(const SceneNodeStateList&) = delete;
  SceneNodeStateList& operator=(const SceneNodeStateList&) = delete;

  // 0 added (older records of the key removed), 1 refused.
  int32_t add(const SceneNodeStateRecord& record);
  void restoreView(AE::ISceneNode* root, uint32_t viewId);
  static void applyRecord(AE::ISceneNode* root, const SceneNodeStateRecord& record);
  // A new game: no records, no array.
  void clear();
  // A loaded game: the list becomes these count records in an array of capacity.
  void assign(const SceneNodeStateRecord* from, int32_t count, int32_t capacity);

  // Triggers raise it around their own restoring: a key already listed is
  // then refused.
  void raiseDuplicateTest() { ++duplicateTest; }
  void lowerDuplicateTest() { duplicateTest = duplicateTest > 0 ? duplicateTest - 1 : 0; }

  const SceneNodeStateRecord* getRecords() const { return records; }
  int32_t getCount() const { return count; }
  int32_t getCapacity() const { return capacity; }
  int32_t duplicateTest = 0;

 private:
  SceneNodeStateRecord* records = nullptr;
  int32_t count = 0;
  int32_t capacity = 0;
};

// Raises the duplicate test for a scope.
class DuplicateTestScope {
 public:
  explicit DuplicateTestScope(SceneNodeStateList& list) : states(list) { states.raiseDuplicateTest(); }
  ~DuplicateTestScope() { states.lowerDuplicateTest(); }
  DuplicateTestScope(const DuplicateTestScope&) = delete;
  DuplicateTestScope& operator=(const DuplicateTestScope&) = delete;

 private:
  SceneNodeStateList& states;
};

}  // namespace HOG
