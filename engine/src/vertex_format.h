#pragma once
// The process-wide vertex layout. The configuration's vertex-format mask is a
// set of component flags; every component gets a byte offset in layout order
// and the stride is the sum of the sizes of the components in the mask.
// Sprites, fast sprites and fonts write their vertices through these offsets.
#include <cstdint>

namespace KR {

enum VertexComponent : uint32_t {
  VC_POSITION = 1,    // x, y, z floats, 12 bytes
  VC_NORMAL = 2,      // 3 floats, 12 bytes
  VC_DIFFUSE = 4,     // KR::Color 0xAARRGGBB, 4 bytes
  VC_SECOND = 8,      // a second 4-byte value
  VC_TEXCOORD0 = 16,  // u, v floats, 8 bytes; 32 ... 2048 are further sets
};

// Vertex-format masks the engine and the game run with.
constexpr uint32_t kVertexFormatEngine = 21;  // position, diffuse, texture coordinates
constexpr uint32_t kVertexFormatGame = 23;    // plus the normal

// The current stride in bytes (0 before the first computeVertexLayout).
extern uint32_t gVertexStride;

// Recomputes the layout from the configuration manager's mask when that mask
// changed since the last call; returns the stride.
uint32_t computeVertexLayout();
// The same for a given mask.
uint32_t computeVertexLayout(uint32_t mask);
// The offset of one component flag (one of the twelve table flags).
void setVertexComponentOffset(uint32_t flag, uint32_t offset);
uint32_t getVertexComponentOffset(uint32_t flag);
// The device's vertex format bits (Direct3D FVF values) of the current mask.
uint32_t vertexFormatToFVF();
uint32_t vertexFormatToFVF(uint32_t mask);
// The mask the layout was last computed for (0 before the first call).
uint32_t currentVertexFormatMask();

}  // namespace KR
