#include "core/game_state/views/view_factory.h"

#include <cstdlib>
#include <cstring>

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "report_assert.h"

namespace HOG {

namespace {
constexpr const char* kFactoryFile = "game/core/game_state/view_factory";
}

BlockPool::BlockPool(int32_t count, size_t size, const char* text, int32_t fatalLine)
    : blockCount(count),
      blockSize(size),
      stride((size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t)),
      exhaustedText(text),
      line(fatalLine) {
  memory = static_cast<unsigned char*>(std::aligned_alloc(alignof(std::max_align_t), size_t(count) * stride));
  reset();
}

BlockPool::~BlockPool() { std::free(memory); }

void BlockPool::reset() {
  for (int32_t i = 0; i < blockCount; ++i) {
    const int32_t next = i + 1 < blockCount ? i + 1 : -1;
    memcpy(memory + i * stride, &next, sizeof(next));
  }
  firstFree = blockCount > 0 ? 0 : -1;
  freeCount = blockCount;
}

void* BlockPool::take() {
  if (firstFree < 0) {
    KR::reportAssert("KR", exhaustedText, kFactoryFile, line);
    KR::fatalTrap();
  }
  unsigned char* block = memory + firstFree * stride;
  memcpy(&firstFree, block, sizeof(firstFree));
  --freeCount;
  memset(block, 0, blockSize);
  return block;
}

void BlockPool::give(void* block) {
  if (!block) return;
  memcpy(block, &firstFree, sizeof(firstFree));
  firstFree = indexOf(block);
  ++freeCount;
}

int32_t BlockPool::indexOf(const void* block) const {
  return int32_t((static_cast<const unsigned char*>(block) - memory) / stride);
}

ViewFactory::ViewFactory()
    : views(kViewBlocks, kViewBlockSize, "Failed to allocate memory block on pool for View", 145),
      triggers(kTriggerBlocks, kTriggerBlockSize, "Failed to allocate memory block on pool for ViewObject", 154),
      extensions(kExtensionBlocks, kExtensionBlockSize, "Failed to allocate memory block on pool for ViewExtension",
                 163) {}

View* ViewFactory::createView() {
  static_assert(sizeof(View) <= kViewBlockSize, "a view must fit its block");
  void* block = views.take();
  return block ? new (block) View() : nullptr;
}

int32_t* ViewFactory::allocateViewState() {
  if (arenaUsed + kStateSize > kArenaSize) {
    KR::reportAssert("KR", "Failed to allocate memory block on linear allocator for VariantData", kFactoryFile, 180);
    KR::fatalTrap();
  }
  int32_t* state = reinterpret_cast<int32_t*>(arena + arenaUsed);
  memset(state, 0, kStateSize);
  arenaUsed += kStateSize;
  return state;
}

void ViewFactory::freeView(View* view) {
  if (!view) return;
  view->~View();
  views.give(view);
}

void ViewFactory::freeTrigger(IBaseAreaTrigger* trigger) {
  if (!trigger) return;
  trigger->~IBaseAreaTrigger();
  triggers.give(trigger);
}

void ViewFactory::freeExtension(IViewExtension* extension) {
  if (!extension) return;
  extension->~IViewExtension();
  extensions.give(extension);
}

void ViewFactory::reset() {
  views.reset();
  triggers.reset();
  extensions.reset();
  arenaUsed = 0;
}

}  // namespace HOG
