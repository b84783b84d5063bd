#pragma once
// The light sibling of KR::Sprite: always one textured quad, no mesh and no
// cached transform. Its four corners are computed on every draw straight into
// the quad's vertex data; fonts move and recolour one fast sprite per glyph.
//
// Made and destroyed through SpriteManager<FastSprite> (sprite_manager.h):
//
//   fast->mPosition = Vector2<float>(x, y);   // plain fields, used at the next draw
//   fast->setFrameRect(0, glyphRect);
//   fast->setColor(color);
//   fast->draw();                              // or drawTransformed(matrix)
//
// Mirroring applies only while clipping (mClipEnabled); angles of at most one
// degree either way are drawn unrotated.
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "sprite_common.h"
#include "vector2.h"

namespace KR {

class RenderData;
class Texture;
struct SpriteDescription;

// The placement and frame fields (mAngle, mFrames, mPosition, mRotationCenter,
// mScale, mSize, mClipRect, mClipEnabled, mMirrorH, mMirrorV) come from
// SpriteFields.
class FastSprite : public SpriteFields {
 public:
  FastSprite();
  virtual ~FastSprite();
  FastSprite(const FastSprite&) = delete;
  FastSprite& operator=(const FastSprite&) = delete;

  // ---- filling a freshly made fast sprite ----
  // The global table `table` of the Lua file (script, package); failures are fatal.
  void loadFromScript(const std::string& script, const std::string& table, const std::string& package);
  // A description already read (its "Mesh" is ignored; textures are loaded here).
  void loadFromDescription(const SpriteDescription& description);
  // One texture, or without one an untextured 32 x 32 quad.
  void setTexture(Texture* texture);
  // The texture manager's texture (fatal "Failed to load texture" without one).
  void loadTexture(const std::string& name, const std::string& package);
  void copyConstruct(const FastSprite& other);

  // ---- appearance ----
  // The colour of all four vertices.
  FastSprite* setColor(const Color& color);
  Color getColor() const;
  // index >= frame count appends one frame; texture coordinates follow frame 0.
  void setFrameRect(uint32_t index, const Rect& rect);
  // Frame 0, or the empty rectangle.
  Rect getFrameRect() const;
  size_t getFrameCount() const { return mFrames.size(); }
  Texture* getTexture() const;
  void updateTexCoords();
  uint32_t getBlendMode() const;
  void setBlendMode(uint32_t mode);

  // ---- drawing: one submission each ----
  void draw();
  // The unrotated corners placed by the matrix instead of the angle.
  void drawTransformed(const Matrix3& matrix);
  // The quad of draw() or drawTransformed() made in mQuad but not submitted,
  // for a caller that gathers many quads into one item; false when there is
  // no quad to draw.
  bool place();
  bool placeTransformed(const Matrix3& matrix);

  // The corner positions and texture coordinates of the last draw, slot by
  // slot (top-left, top-right, bottom-right, bottom-left).
  Vector2<float> getCorner(int slot) const;
  Vector2<float> getCornerTexCoord(int slot) const;

  Vector2<float> mInvTextureSize;
  RenderData* mQuad = nullptr;
  float* mCornerRefs[4] = {nullptr, nullptr, nullptr, nullptr};

 private:
  // Points the corner references at the quad in the current layout; a quad
  // of an older layout is made again (zero-filled) first.
  void bindCornerRefs();
  // Makes the quad again when the process-wide layout changed since it was
  // allocated, with its colour and texture coordinates.
  void refreshVertexStorage();
  void updateInvTextureSize();
  // Clamps the corners into the clip rectangle and moves the texture with
  // them; kx and ky are the texels per design pixel of the shift.
  void clipCorners(float kx, float ky);
  void submit();

  // The colour last set, kept to fill a quad made again in a new layout.
  Color mColor;
};

}  // namespace KR
