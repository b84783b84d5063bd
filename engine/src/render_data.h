#pragma once
// What every drawn thing hands to the render system: a small vertex array in
// the process-wide vertex layout (vertex_format.h), its textures and a few
// state values. Consecutive compatible RenderData share one draw call.
#include <cstdint>
#include <vector>

namespace KR {

class Texture;

enum RenderPrimitive : uint32_t {
  RP_QUADS = 0,  // 4 vertices a quad, triangles (0, 1, 2) and (2, 3, 0)
  RP_LINES = 1,  // 2 vertices a line
};

enum BlendMode : uint32_t {
  BM_ALPHA = 0,  // dest x (1 - src alpha) + src x src alpha
  BM_COLOR = 1,  // dest x (1 - src colour) + src x src alpha
  BM_ADD = 2,    // dest + src x src alpha
  BM_KEEP = 3,   // whatever blend the device has
};

enum TextureAddressMode : uint32_t {
  TAM_WRAP = 0,
  TAM_MIRROR = 1,
  TAM_CLAMP = 2,
};

// The owned vertex bytes (count x stride), their count and the stride of the
// layout they were allocated in: the layout can change after they were made.
// One allocation holds the record and, right after it, the bytes.
struct VertexStorage {
  uint8_t* bytes = nullptr;
  uint32_t count = 0;
  uint32_t stride = 0;
};

class RenderData {
 public:
  RenderData() = default;
  // Copies the vertex bytes; every non-null texture gains a reference.
  RenderData(const RenderData& other);
  RenderData& operator=(const RenderData& other);
  // Releases the textures and frees the vertices.
  virtual ~RenderData();

  // Appends the other's non-null textures, each gaining a reference.
  void appendTextures(const RenderData& other);
  // Appends one entry; a non-null texture gains a reference.
  void addTexture(Texture* texture);
  // Gives every entry back to the texture manager and empties the list.
  void releaseTextures();

  // Storage for count zero-filled vertices of the current stride (the old
  // vertices are dropped); 0 frees the storage.
  void allocateVertices(uint32_t count);
  uint8_t* getVertexBytes() const { return mVertices ? mVertices->bytes : nullptr; }
  uint32_t getVertexCount() const { return mVertices ? mVertices->count : 0; }
  // The stride the vertices were allocated with (0 without vertices).
  uint32_t getVertexStride() const { return mVertices ? mVertices->stride : 0; }
  // False when there are vertices of another stride than the current layout's;
  // their owner has to make them again before writing or drawing them.
  bool hasCurrentVertexStride() const;
  // The first texture entry, or null.
  Texture* getTexture() const { return mTextures.empty() ? nullptr : mTextures.front(); }

  VertexStorage* mVertices = nullptr;
  // Only the first entry is bound.
  std::vector<Texture*> mTextures;
  uint32_t mPrimitiveType = RP_QUADS;
  uint32_t mBlendMode = BM_ALPHA;
  uint32_t mExtra = 1;  // kept and copied for the owners, never read here
  uint32_t mAddressMode = TAM_WRAP;
  uint32_t mUser = 0;  // kept and copied for the owners, never read here

 private:
  void copyVerticesFrom(const RenderData& other);
  void freeVertices();
};

}  // namespace KR
