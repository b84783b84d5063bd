#pragma once
// A view's three 32-bit state values, kept in the registry's arena (so a saved
// game stores all locations' state as one block); the view only points at its
// 12 bytes. Main thread only.
#include <cstdint>

#include "report_assert.h"

namespace HOG {

template <int Count, int Size>
class VariantDataProvider {
 public:
  virtual ~VariantDataProvider() = default;

  // Value number index; null before the registry has assigned the block.
  int32_t* get(uint32_t index) const {
    if (Size * index + Size > Count * Size) KR::reportAssert("KR", "", "game/core/variant_data", 40);
    return block ? block + index : nullptr;
  }
  void assign(int32_t* storage) { block = storage; }

 private:
  int32_t* block = nullptr;
};

}  // namespace HOG
