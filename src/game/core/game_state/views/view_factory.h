#pragma once
// Fixed pools for the locations: views (256 blocks of 1100 bytes), triggers
// (2048 of 768) and view extensions (64 of 512), each with a free list kept in
// its free blocks' first words, and the 4096-byte arena that hands each view
// its 12 bytes of state values. Nothing of a location comes from the general
// heap; exhaustion is fatal. Owned by the view registry; main thread only, no
// lock (filled while the streamer holds no view).
//
//   View* view = factory.createView();      // constructed in a block
//   factory.freeView(view);                  // destroyed, block back at the head
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace HOG {

class View;
class IBaseAreaTrigger;
class IViewExtension;

class BlockPool {
 public:
  BlockPool(int32_t blockCount, size_t blockSize, const char* exhaustedText, int32_t line);
  ~BlockPool();
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // A free block (fatal when none is left).
  void* take();
  void give(void* block);
  // The free list back to 0, 1, ..., last, -1.
  void reset();

  int32_t getFreeCount() const { return freeCount; }
  int32_t getFirstFree() const { return firstFree; }
  int32_t indexOf(const void* block) const;
  size_t getBlockSize() const { return blockSize; }

 private:
  int32_t firstFree = 0;
  unsigned char* memory = nullptr;
  int32_t freeCount = 0;
  int32_t blockCount;
  size_t blockSize;
  // Blocks lie at a stride rounded up to the strictest alignment, so the
  // objects in them (mutexes, vectors) are aligned whatever the block size.
  size_t stride;
  const char* exhaustedText;
  int32_t line;
};

class ViewFactory {
 public:
  static constexpr int32_t kViewBlocks = 256, kTriggerBlocks = 2048, kExtensionBlocks = 64;
  static constexpr size_t kViewBlockSize = 1100, kTriggerBlockSize = 768, kExtensionBlockSize = 512;
  static constexpr size_t kArenaSize = 4096, kStateSize = 12;

  ViewFactory();

  View* createView();
  // 12 zeroed bytes of the arena (fatal when full).
  int32_t* allocateViewState();
  template <typename T>
  T* createTrigger() {
    static_assert(sizeof(T) <= kTriggerBlockSize, "a trigger must fit its block");
    return new (triggers.take()) T();
  }
  template <typename T>
  T* createExtension() {
    static_assert(sizeof(T) <= kExtensionBlockSize, "a view extension must fit its block");
    return new (extensions.take()) T();
  }
  void freeView(View* view);
  void freeTrigger(IBaseAreaTrigger* trigger);
  void freeExtension(IViewExtension* extension);
  // Every free list back in index order and the arena empty.
  void reset();

  BlockPool& viewPool() { return views; }
  BlockPool& triggerPool() { return triggers; }
  BlockPool& extensionPool() { return extensions; }
  size_t getArenaUsed() const { return arenaUsed; }
  // The arena's bytes (saved games store them whole).
  unsigned char* getArena() { return arena; }

 private:
  BlockPool views, triggers, extensions;
  alignas(int32_t) unsigned char arena[kArenaSize];
  size_t arenaUsed = 0;
};

}  // namespace HOG
