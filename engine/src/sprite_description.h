#pragma once
// The data a sprite or fast sprite is filled from, read from either spelling of
// a picture description: a Lua table (the current table of a LuaScript) or an
// XML element (the current element of an XmlDataReader).
//
// Reading never fails: a key that is absent or of the wrong shape keeps its
// default. Textures are not touched here; the sprite resolves the frame names
// and checks the mesh (bad sizes and vertex indices are fatal there), so the
// readers are safe to run over any content.
//
//   KR::LuaScript script;
//   if (script.loadScript("hud_sprites", "default") && script.openTable("button")) {
//     KR::SpriteDescription description;
//     KR::readSpriteDescription(script, &description);
//     script.closeTable();
//   }
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"

namespace KR {

class LuaScript;
class XmlDataReader;

// The design screen; the clip rectangle of every picture that sets none.
constexpr float kDefaultClipRight = 1024.0f;
constexpr float kDefaultClipBottom = 768.0f;

// "Image<i>", "Package<i>" and "SrcRect<i>".
struct SpriteFrameDescription {
  std::string image;
  std::string package = "default";
  bool hasSourceRect = false;
  Rect sourceRect;  // texels
};

// One listed vertex of "Mesh"."Vertecies".
struct MeshVertexDescription {
  int32_t column = 0;       // "x"
  int32_t row = 0;          // "y"
  Color color;              // Lua default transparent black, XML default opaque white
  Vector2<float> texCoord;  // "uv", texels
  Vector2<float> position;  // "Pos", relative to the top-left corner, unscaled
};

struct SpriteDescription {
  Vector2<float> position;  // "Pos"
  bool mirrorH = false;
  bool mirrorV = false;
  float angle = 0.0f;                          // degrees, clockwise on screen
  Color color = Color::fromARGB(0xFFFFFFFFu);  // "Color"
  uint32_t blendMode = 0;                      // "alpha" 0, "color" 1, "add" 2
  int32_t pairedTextures = 0;                  // "ETC1PairedTextures"
  std::vector<SpriteFrameDescription> frames;
  bool hasSize = false;
  Vector2<float> size;
  bool hasRotationCenter = false;
  Vector2<float> rotationCenter;
  Rect clipRect = Rect(0.0f, 0.0f, kDefaultClipRight, kDefaultClipBottom);
  // "Mesh"; without it the sprite gets a 1 x 1 grid.
  bool hasMesh = false;
  uint32_t meshSizeX = 0;
  uint32_t meshSizeY = 0;
  std::vector<MeshVertexDescription> meshVertices;  // "Vertecies"
};

// The blend mode a "BlendMode" string names: only the exact words "color" and
// "add" change it from alpha.
uint32_t blendModeFromName(const std::string& name);

// Reads the keys of the current Lua table.
void readSpriteDescription(LuaScript& script, SpriteDescription* out);
// Reads the child elements of the reader's current element; the cursor is
// back on that element afterwards.
void readSpriteDescription(XmlDataReader& reader, SpriteDescription* out);

}  // namespace KR
