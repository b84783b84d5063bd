#pragma once
// What KR::Sprite and KR::FastSprite have in common: the placement and frame
// fields their owners write, and the steps both take to fill those fields and
// to keep their quad's vertex storage in the process-wide vertex layout.
#include <cstdint>
#include <string>
#include <vector>

#include "rect.h"
#include "render_data.h"
#include "vector2.h"
#include "vertex_format.h"

namespace KR {

class Texture;
struct SpriteDescription;

// The fields both kinds of sprite expose; owners write them directly.
struct SpriteFields {
  float mAngle = 0.0f;
  std::vector<Rect> mFrames;
  Vector2<float> mPosition;
  Vector2<float> mRotationCenter;
  Vector2<float> mScale = Vector2<float>(1.0f, 1.0f);
  Vector2<float> mSize;
  Rect mClipRect;
  bool mClipEnabled = false;
  bool mMirrorH = false;
  bool mMirrorV = false;

  // index >= frame count appends one frame (whatever the index).
  void putFrame(uint32_t index, const Rect& rect);
  // Replaces `quad` by a fresh one showing `texture` (or, without one, an
  // untextured 32 x 32 quad) as frame 0 with the default blend mode; position,
  // angle and mirrors go back to their defaults, size, rotation centre and
  // clip rectangle follow the picture.
  void resetToTexture(RenderData*& quad, Texture* texture);
  // Replaces `quad` by a fresh one carrying the description's blend mode and
  // textures (loaded here), and takes the description's frames and placement.
  void takeDescription(RenderData*& quad, const SpriteDescription& description);
};

// Sprites write vertices in the process-wide layout; makes sure there is one
// even when nothing computed it yet (tools, tests without a configuration).
uint32_t ensureSpriteVertexLayout();
// A render item of four vertices in the current layout.
RenderData* newSpriteQuad();
// Makes the item's vertices again (zero-filled) when they were allocated in
// another layout; true when it did.
bool reallocateStaleVertices(RenderData* item);
// The component at `offset` of vertex `index` of the item, in the current layout.
template <typename T>
T* spriteVertexField(RenderData* item, uint32_t index, uint32_t offset) {
  return reinterpret_cast<T*>(item->getVertexBytes() + size_t(index) * gVertexStride + offset);
}
// The texture manager's texture (fatal "Failed to load texture" without one),
// holding a reference of its own while it lives: another thread releasing the
// picture's last user cannot free it before the sprite attaches it.
class SpriteTexture {
 public:
  SpriteTexture(const std::string& name, const std::string& package);
  ~SpriteTexture();
  SpriteTexture(const SpriteTexture&) = delete;
  SpriteTexture& operator=(const SpriteTexture&) = delete;
  Texture* get() const { return texture; }

 private:
  Texture* texture;
};
// The global table `table` of the Lua file (script, package); failures are fatal.
void readSpriteScript(const std::string& script, const std::string& table, const std::string& package,
                      SpriteDescription* description);
// 1 / width and 1 / height of the texture, or zero without a sized texture.
Vector2<float> inverseTextureSize(const Texture* texture);
// The median of three, so a rectangle given with left > right still yields a
// value between its two edges.
float clampBetweenEdges(float value, float a, float b);

}  // namespace KR
