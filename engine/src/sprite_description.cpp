#include "sprite_description.h"

extern "C" {
#include <lua.h>
}

#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace KR {

namespace {

const Color kOpaqueWhite = Color::fromARGB(0xFFFFFFFFu);

std::string indexedKey(const char* word, size_t index) { return word + std::to_string(index); }

// ---- Lua ----

// A number field of the current table; 0 when it is missing or not a number.
template <typename T>
T luaNumber(LuaScript& script, const char* name, bool (LuaScript::*read)(T*)) {
  script.pushField(name);
  T value = 0;
  (script.*read)(&value);
  script.pop();
  return value;
}

float luaFloat(LuaScript& script, const char* name) { return luaNumber<float>(script, name, &LuaScript::toFloat); }
int32_t luaInt(LuaScript& script, const char* name) { return luaNumber<int32_t>(script, name, &LuaScript::toInt); }
uint32_t luaUInt(LuaScript& script, const char* name) { return luaNumber<uint32_t>(script, name, &LuaScript::toUInt); }

Color luaColor(LuaScript& script, const char* name, const Color& fallback) {
  Color color;
  return script.getColor(name, &color) ? color : fallback;
}

void readLuaVertex(LuaScript& script, MeshVertexDescription* vertex) {
  vertex->column = luaInt(script, "x");
  vertex->row = luaInt(script, "y");
  // A listed vertex without a colour is transparent black in this spelling.
  vertex->color = luaColor(script, "Color", Color());
  luaReadVector2(script, "uv", &vertex->texCoord);
  luaReadVector2(script, "Pos", &vertex->position);
}

void readLuaMesh(LuaScript& script, SpriteDescription* out) {
  if (!script.openTable("Mesh")) return;
  out->hasMesh = true;
  out->meshSizeX = luaUInt(script, "sizeX");
  out->meshSizeY = luaUInt(script, "sizeY");
  if (script.openTable("Vertecies")) {
    lua_State* state = script.getState();
    for (int i = 1;; ++i) {
      lua_rawgeti(state, -1, i);
      const bool isTable = lua_istable(state, -1);
      if (isTable && script.openCurrentTable()) {
        MeshVertexDescription vertex;
        readLuaVertex(script, &vertex);
        out->meshVertices.push_back(vertex);
        script.closeTable();
      }
      script.pop();
      if (!isTable) break;
    }
    script.closeTable();
  }
  script.closeTable();
}

// ---- XML ----

Color xmlColor(const XmlDataReader& reader, const char* name) {
  Color color;
  return reader.readColor(name, &color) ? color : kOpaqueWhite;
}

void readXmlMesh(XmlDataReader& reader, SpriteDescription* out) {
  if (!reader.enterChild("Mesh")) return;
  out->hasMesh = true;
  int32_t value = 0;
  reader.readInt("sizeX", &value);
  out->meshSizeX = static_cast<uint32_t>(value);
  value = 0;
  reader.readInt("sizeY", &value);
  out->meshSizeY = static_cast<uint32_t>(value);
  if (reader.enterChild("Vertecies")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      MeshVertexDescription vertex;
      reader.readInt("x", &vertex.column);
      reader.readInt("y", &vertex.row);
      vertex.color = xmlColor(reader, "Color");
      if (!reader.readVector2("uv", &vertex.texCoord)) vertex.texCoord = Vector2<float>();
      if (!reader.readVector2("Pos", &vertex.position)) vertex.position = Vector2<float>();
      out->meshVertices.push_back(vertex);
    }
    reader.leaveChild();
  }
  reader.leaveChild();
}

}  // namespace

uint32_t blendModeFromName(const std::string& name) {
  if (name == "color") return 1;
  if (name == "add") return 2;
  return 0;
}

void readSpriteDescription(LuaScript& script, SpriteDescription* out) {
  *out = SpriteDescription();
  luaReadVector2(script, "Pos", &out->position);
  script.getBool("MirrorH", &out->mirrorH);
  script.getBool("MirrorV", &out->mirrorV);
  out->angle = luaFloat(script, "Angle");
  out->color = luaColor(script, "Color", kOpaqueWhite);
  std::string blend;
  script.getString("BlendMode", &blend);
  out->blendMode = blendModeFromName(blend);
  out->pairedTextures = luaInt(script, "ETC1PairedTextures");
  for (size_t i = 0;; ++i) {
    SpriteFrameDescription frame;
    if (!script.getString(indexedKey("Image", i), &frame.image)) break;
    if (!script.getString(indexedKey("Package", i), &frame.package)) frame.package = "default";
    frame.hasSourceRect = script.getRect(indexedKey("SrcRect", i), &frame.sourceRect);
    out->frames.push_back(frame);
  }
  out->hasSize = luaReadVector2(script, "Size", &out->size);
  out->hasRotationCenter = luaReadVector2(script, "rotCenter", &out->rotationCenter);
  if (!script.getRect("ClipRect", &out->clipRect)) out->clipRect = SpriteDescription().clipRect;
  readLuaMesh(script, out);
}

void readSpriteDescription(XmlDataReader& reader, SpriteDescription* out) {
  *out = SpriteDescription();
  if (!reader.readVector2("Pos", &out->position)) out->position = Vector2<float>();
  reader.readBool("MirrorH", &out->mirrorH);
  reader.readBool("MirrorV", &out->mirrorV);
  reader.readFloat("Angle", &out->angle);
  out->color = xmlColor(reader, "Color");
  std::string blend;
  reader.readString("BlendMode", &blend);
  out->blendMode = blendModeFromName(blend);
  reader.readInt("ETC1PairedTextures", &out->pairedTextures);
  for (size_t i = 0;; ++i) {
    SpriteFrameDescription frame;
    if (!reader.readString(indexedKey("Image", i), &frame.image)) break;
    if (!reader.readString(indexedKey("Package", i), &frame.package)) frame.package = "default";
    frame.hasSourceRect = reader.readRect(indexedKey("SrcRect", i).c_str(), &frame.sourceRect);
    if (!frame.hasSourceRect) frame.sourceRect = Rect();
    out->frames.push_back(frame);
  }
  out->hasSize = reader.readVector2("Size", &out->size);
  if (!out->hasSize) out->size = Vector2<float>();
  out->hasRotationCenter = reader.readVector2("rotCenter", &out->rotationCenter);
  if (!out->hasRotationCenter) out->rotationCenter = Vector2<float>();
  if (!reader.readRect("ClipRect", &out->clipRect)) out->clipRect = SpriteDescription().clipRect;
  readXmlMesh(reader, out);
}

}  // namespace KR
