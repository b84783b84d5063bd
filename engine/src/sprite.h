#pragma once
// The engine's general picture: textures with their source rectangles
// (frames; frame 0 is drawn), a transform (position, scale, rotation about a
// centre, mirroring), a blend mode, an optional clip rectangle and a
// deformation grid of sizeX x sizeY cells whose vertices can be moved,
// coloured and given texture coordinates one by one.
//
// Sprites are made, shared and destroyed through SpriteManager<Sprite>
// (sprite_manager.h). Their owner draws them every frame:
//
//   sprite->setPosition(x, y);       // or updateVerticesByMatrix(world)
//   sprite->mAngle = 30.0f;          // plain fields: mark the change yourself
//   sprite->mDirty = true;
//   sprite->updateVertices();
//   sprite->render();
//
// The transformed grid lives in mMesh's vertex data, reached through the
// per-vertex reference arrays; render() copies each cell into the one quad
// render item and submits it, so an N x M mesh costs N x M quads.
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "ribbon.h"
#include "sprite_common.h"
#include "vector2.h"

namespace KR {

class RenderData;
class Texture;
class XmlDataReader;
struct SpriteDescription;

// Sprites are also the pictures ribbon trails are drawn with. The placement
// and frame fields (mAngle, mFrames, mPosition, mRotationCenter, mScale,
// mSize, mClipRect, mClipEnabled, mMirrorH, mMirrorV) come from SpriteFields.
class Sprite : public IRibbonSprite, public SpriteFields {
 public:
  Sprite();
  ~Sprite() override;
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  // ---- filling a freshly made sprite ----
  // Shows one texture (or, without one, an untextured 32 x 32 quad) on a 1 x 1
  // grid; position, angle, mirrors and blend mode go back to their defaults.
  void setTexture(Texture* texture);
  // The texture manager's texture (fatal "Failed to load texture" without one).
  void loadTexture(const std::string& name, const std::string& package);
  // The global table `table` of the Lua file (script, package); failures are fatal.
  void loadFromScript(const std::string& script, const std::string& table, const std::string& package);
  // The reader's current element.
  void loadFromXml(XmlDataReader& reader);
  // A description already read (textures are loaded here).
  void loadFromDescription(const SpriteDescription& description);
  // A deep copy of another sprite into a fresh one.
  void copyConstruct(const Sprite& other);
  // Copies another sprite into this one; a grid of another size is
  // reallocated to the other's size.
  void assign(const Sprite& other);

  // ---- transform (changes below 0.001 per component do not mark the sprite dirty) ----
  void setPosition(float x, float y);
  void setPosition(const Vector2<float>& position) { setPosition(position.x, position.y); }
  void setScale(const Vector2<float>& scale);
  // Also spreads the new size over the grid, replacing described positions.
  void setSize(const Vector2<float>& size);
  const Vector2<float>& getPosition() const { return mPosition; }
  const Vector2<float>& getScale() const { return mScale; }
  const Vector2<float>& getSize() const { return mSize; }

  // ---- frames ----
  // index >= frame count appends one frame (whatever the index); with rebuild
  // the texture coordinates are spread again from frame 0.
  Sprite* setFrameRect(uint32_t index, const Rect& rect, bool rebuild);
  // Frame 0 from a rectangle in 0..1 units of the first texture (render targets).
  void setFrameRectNormalized(const Rect& rect);
  size_t getFrameCount() const { return mFrames.size(); }
  // Frame `index`, or the empty rectangle when there is no such frame.
  Rect getFrameRect(uint32_t index = 0) const;
  Texture* getTexture() const;

  // ---- mesh ----
  uint32_t getMeshSizeX() const { return mMeshSizeX; }
  uint32_t getMeshSizeY() const { return mMeshSizeY; }
  uint32_t getMeshVertexCount() const { return (mMeshSizeX + 1) * (mMeshSizeY + 1); }
  // Untransformed position relative to the top-left corner, unscaled.
  void setMeshVertexPosition(const Vector2<float>& position, uint32_t column, uint32_t row) override;
  // Texture coordinate in texels.
  void setMeshVertexTexCoord(const Vector2<float>& texCoord, uint32_t column, uint32_t row);
  Vector2<float>& getMeshVertexTexCoord(uint32_t column, uint32_t row);
  const Vector2<float>& getMeshVertexPosition(uint32_t column, uint32_t row) const;
  void setMeshColor(const Color& color);
  Color getMeshVertexColor(uint32_t column, uint32_t row) const;
  // The transformed position of a grid vertex, as last computed.
  Vector2<float> getTransformedVertex(uint32_t column, uint32_t row) const;
  void updateMeshPositions();
  void updateMeshTexCoords() override;
  void resetMeshTexCoordsToTexture();
  // Points the reference arrays at the mesh vertices in the current layout;
  // mesh vertices of an older layout are made again (zero-filled) first.
  void bindVertexRefs();

  // ---- drawing ----
  void updateVertices() override;
  // Places the untransformed grid with the matrix (position, scale, size and
  // angle are ignored) and marks the sprite dirty for the next updateVertices.
  void updateVerticesByMatrix(const Matrix3& matrix);
  // One submission per mesh cell; call updateVertices (or the matrix form) first.
  void render() override;

  // ---- ribbon trail ----
  float getHeight() const override { return mSize.y; }
  float getScaleY() const override { return mScale.y; }
  bool getFirstFrameRect(Rect* out) const override;
  // Replaces (or appends) a frame without spreading it; the trail spreads it itself.
  void setFrameRect(uint32_t index, const Rect& rect) override { setFrameRect(index, rect, false); }

  // Fields. The angle, rotation centre, clip rectangle and flags are written
  // by the owners; a changed angle or centre needs mDirty = true.
  RenderData* mQuad = nullptr;
  RenderData* mMesh = nullptr;
  std::vector<Vector2<float>> mMeshPositions;
  uint32_t mMeshSizeX = 0;
  uint32_t mMeshSizeY = 0;
  std::vector<float*> mVertexPositionRefs;
  std::vector<uint32_t*> mVertexColorRefs;
  bool mDirty = true;
  bool mHasMesh = false;
  std::vector<Vector2<float>> mMeshTexCoords;
  Vector2<float> mInvTextureSize;

 private:
  // Grid arrays and a new mesh render item of that many vertices.
  void allocateGrid(uint32_t sizeX, uint32_t sizeY);
  // The mesh render item takes the quad's settings and textures.
  void copyQuadSettingsToMesh();
  void updateInvTextureSize();
  // The quad and mesh vertices are made again when the process-wide layout
  // changed since they were allocated; the mesh keeps its positions and colours.
  void refreshVertexStorage();
  // New mesh vertices in the current layout, taking positions and colours
  // through references bound to the old storage (this sprite's or another's).
  void remakeMeshVertices(const std::vector<float*>& positions, const std::vector<uint32_t*>& colors);
  size_t gridIndex(uint32_t column, uint32_t row, const char* failure) const;
};

// The forgiving load: result 0 on success; a script or table that cannot be
// opened logs "ERROR: Failed to load sprite %s %s" and gives 1.
int loadSpriteFromScript(const std::string& script, const std::string& package, Sprite* sprite,
                         const std::string& table);

// Grids larger than this many vertices are refused as bad mesh sizes.
constexpr uint32_t kMaxMeshVertices = 1u << 16;

}  // namespace KR
