#include "vertex_format.h"

#include "config_manager.h"

namespace KR {

uint32_t gVertexStride = 0;

namespace {

struct ComponentInfo {
  uint32_t flag;
  uint32_t bytes;
  uint32_t fvf;
};

// Layout order; the FVF bits are XYZ, NORMAL, DIFFUSE, (none), TEX1 .. TEX8.
constexpr ComponentInfo kComponents[12] = {
    {1, 12, 0x002}, {2, 12, 0x010},  {4, 4, 0x040},   {8, 4, 0},       {16, 8, 0x100},   {32, 8, 0x200},
    {64, 8, 0x300}, {128, 8, 0x400}, {256, 8, 0x500}, {512, 8, 0x600}, {1024, 8, 0x700}, {2048, 8, 0x800},
};

uint32_t gOffsets[12] = {};
uint32_t gCachedMask = 0;

int indexOf(uint32_t flag) {
  for (int i = 0; i < 12; ++i)
    if (kComponents[i].flag == flag) return i;
  return -1;
}

}  // namespace

void setVertexComponentOffset(uint32_t flag, uint32_t offset) {
  const int i = indexOf(flag);
  if (i >= 0) gOffsets[i] = offset;
}

uint32_t getVertexComponentOffset(uint32_t flag) {
  const int i = indexOf(flag);
  return i >= 0 ? gOffsets[i] : 0;
}

uint32_t computeVertexLayout(uint32_t mask) {
  if (mask != 0 && mask == gCachedMask) return gVertexStride;
  uint32_t offset = 0;
  for (uint32_t bit = 0; bit < 32; ++bit) {
    const uint32_t flag = 1u << bit;
    const int i = indexOf(flag);
    if (i < 0) continue;
    setVertexComponentOffset(flag, offset);
    if (mask & flag) offset += kComponents[i].bytes;
  }
  gVertexStride = offset;
  gCachedMask = mask;
  return gVertexStride;
}

uint32_t computeVertexLayout() { return computeVertexLayout(ConfigManager::getInstance()->vertexFormatFlags); }

uint32_t vertexFormatToFVF(uint32_t mask) {
  uint32_t fvf = 0;
  for (const ComponentInfo& c : kComponents)
    if ((mask & c.flag) == c.flag) fvf |= c.fvf;
  return fvf;
}

uint32_t vertexFormatToFVF() { return vertexFormatToFVF(ConfigManager::getInstance()->vertexFormatFlags); }

uint32_t currentVertexFormatMask() { return gCachedMask; }

}  // namespace KR
