#include "sprite_description.h"

#include <gtest/gtest.h>

#include <string>

extern "C" {
#include <lua.h>
}

#include "engine_allocators.h"
#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace {

using KR::Color;
using KR::Rect;
using KR::SpriteDescription;
using KR::Vector2;

const uint32_t kWhite = 0xFFFFFFFFu;

SpriteDescription fromLua(const std::string& text, const char* table = "Sprite") {
  KR::LuaScript script;
  SpriteDescription description;
  EXPECT_TRUE(script.runBuffer(text.data(), text.size(), "description"));
  EXPECT_TRUE(script.openTable(table));
  const int top = lua_gettop(script.getState());
  KR::readSpriteDescription(script, &description);
  EXPECT_EQ(top, lua_gettop(script.getState())) << "the reader leaves the Lua stack as it found it";
  script.closeTable();
  return description;
}

class XmlDescription : public ::testing::Test {
 protected:
  void SetUp() override { allocators.init(); }

  SpriteDescription fromXml(const std::string& text) {
    KR::XmlDataReader reader;
    SpriteDescription description;
    EXPECT_EQ(pugi::status_ok, reader.parse(text.data(), text.size()));
    EXPECT_TRUE(reader.enterChild("Sprite"));
    const pugi::xml_node element = reader.getCursor();
    KR::readSpriteDescription(reader, &description);
    EXPECT_EQ(element, reader.getCursor()) << "the cursor is back on the description";
    return description;
  }

  KR::EngineAllocators allocators;
};

// Every key of the format, in the Lua spelling.
TEST(SpriteDescriptionLua, ReadsEveryKey) {
  const SpriteDescription d = fromLua(
      "Sprite = { Pos = {10, 20}, MirrorH = 1, MirrorV = '1', Angle = 45, Color = {255, 128, 0, 64},\n"
      "  BlendMode = 'add', ETC1PairedTextures = 2,\n"
      "  Image0 = 'stone', Package0 = 'level1', SrcRect0 = {1, 2, 33, 18},\n"
      "  Image1 = 'moss', SrcRect1 = {0, 0, 8, 8},\n"
      "  Size = {100, 40}, rotCenter = {5, 6}, ClipRect = {0, 10, 500, 300},\n"
      "  Mesh = { sizeX = 2, sizeY = 3, Vertecies = {\n"
      "    { x = 1, y = 2, Color = {1, 2, 3, 4}, uv = {7, 8}, Pos = {9, 10} },\n"
      "    { x = 2, y = 3 } } } }\n");
  EXPECT_EQ(Vector2<float>(10, 20), d.position);
  EXPECT_TRUE(d.mirrorH);
  EXPECT_TRUE(d.mirrorV);
  EXPECT_FLOAT_EQ(45.0f, d.angle);
  EXPECT_EQ(0x40FF8000u, d.color.value);
  EXPECT_EQ(2u, d.blendMode);
  EXPECT_EQ(2, d.pairedTextures);
  ASSERT_EQ(2u, d.frames.size());
  EXPECT_EQ("stone", d.frames[0].image);
  EXPECT_EQ("level1", d.frames[0].package);
  EXPECT_TRUE(d.frames[0].hasSourceRect);
  EXPECT_EQ(Rect(1, 2, 33, 18), d.frames[0].sourceRect);
  EXPECT_EQ("moss", d.frames[1].image);
  EXPECT_EQ("default", d.frames[1].package);
  EXPECT_EQ(Rect(0, 0, 8, 8), d.frames[1].sourceRect);
  EXPECT_TRUE(d.hasSize);
  EXPECT_EQ(Vector2<float>(100, 40), d.size);
  EXPECT_TRUE(d.hasRotationCenter);
  EXPECT_EQ(Vector2<float>(5, 6), d.rotationCenter);
  EXPECT_EQ(Rect(0, 10, 500, 300), d.clipRect);
  EXPECT_TRUE(d.hasMesh);
  EXPECT_EQ(2u, d.meshSizeX);
  EXPECT_EQ(3u, d.meshSizeY);
  ASSERT_EQ(2u, d.meshVertices.size());
  EXPECT_EQ(1, d.meshVertices[0].column);
  EXPECT_EQ(2, d.meshVertices[0].row);
  EXPECT_EQ(0x04010203u, d.meshVertices[0].color.value);
  EXPECT_EQ(Vector2<float>(7, 8), d.meshVertices[0].texCoord);
  EXPECT_EQ(Vector2<float>(9, 10), d.meshVertices[0].position);
  // A listed vertex without a colour is transparent black in Lua.
  EXPECT_EQ(0u, d.meshVertices[1].color.value);
  EXPECT_EQ(Vector2<float>(), d.meshVertices[1].texCoord);
}

TEST(SpriteDescriptionLua, DefaultsForAbsentAndMalformedKeys) {
  for (const char* text :
       {"Sprite = {}\n",
        "Sprite = { Pos = 5, MirrorH = true, MirrorV = 'yes', Angle = {}, Color = {1, 2, 3}, BlendMode = 7,\n"
        "  ETC1PairedTextures = 'x', Image0 = {}, Size = {1}, rotCenter = 'c', ClipRect = {1, 2}, Mesh = 4 }\n"}) {
    SCOPED_TRACE(text);
    const SpriteDescription d = fromLua(text);
    EXPECT_EQ(Vector2<float>(), d.position);
    EXPECT_FALSE(d.mirrorH);
    EXPECT_FALSE(d.mirrorV);
    EXPECT_EQ(0.0f, d.angle);
    EXPECT_EQ(kWhite, d.color.value);
    EXPECT_EQ(0u, d.blendMode);
    EXPECT_EQ(0, d.pairedTextures);
    EXPECT_TRUE(d.frames.empty());
    EXPECT_FALSE(d.hasSize);
    EXPECT_FALSE(d.hasRotationCenter);
    EXPECT_EQ(Rect(0, 0, 1024, 768), d.clipRect);
    EXPECT_FALSE(d.hasMesh);
  }
}

TEST(SpriteDescriptionLua, FramesStopAtTheFirstGap) {
  const SpriteDescription d = fromLua("Sprite = { Image0 = 'a', Image2 = 'c', Package2 = 'p' }\n");
  ASSERT_EQ(1u, d.frames.size());
  EXPECT_FALSE(d.frames[0].hasSourceRect);
}

TEST(SpriteDescriptionLua, BlendModeNamesAreExact) {
  const std::pair<const char*, uint32_t> cases[] = {{"alpha", 0}, {"color", 1}, {"add", 2},
                                                    {"Add", 0},   {"addx", 0},  {"colour", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(c.second, fromLua(std::string("Sprite = { BlendMode = '") + c.first + "' }").blendMode) << c.first;
}

TEST(SpriteDescriptionLua, MirrorFlagsAreNumbers) {
  EXPECT_FALSE(fromLua("Sprite = { MirrorH = 0 }").mirrorH);
  EXPECT_TRUE(fromLua("Sprite = { MirrorH = -3 }").mirrorH);
  EXPECT_TRUE(fromLua("Sprite = { MirrorH = '2' }").mirrorH);
  EXPECT_FALSE(fromLua("Sprite = { MirrorH = 'abc' }").mirrorH);
  EXPECT_FALSE(fromLua("Sprite = { MirrorH = true }").mirrorH);
}

TEST(SpriteDescriptionLua, MeshSizesAreUnsignedAndVerticesStopAtANonTable) {
  const SpriteDescription d = fromLua("Sprite = { Mesh = { sizeX = -1, Vertecies = { { x = 1 }, 5, { x = 2 } } } }\n");
  EXPECT_TRUE(d.hasMesh);
  EXPECT_EQ(4294967295u, d.meshSizeX);
  EXPECT_EQ(0u, d.meshSizeY);
  ASSERT_EQ(1u, d.meshVertices.size());
  EXPECT_EQ(1, d.meshVertices[0].column);
}

// The same keys in the XML spelling.
TEST_F(XmlDescription, ReadsEveryKey) {
  const SpriteDescription d = fromXml(
      "<root><Sprite>"
      "<Pos v0='10' v1='20'/><MirrorH v='1'/><MirrorV v='true'/><Angle v='45'/>"
      "<Color r='255' g='128' b='0' a='64'/><BlendMode v='color'/><ETC1PairedTextures v='3'/>"
      "<Image0 v='stone'/><Package0 v='level1'/><SrcRect0 v0='2' v1='1' v2='18' v3='33'/>"
      "<Image1 v='moss'/>"
      "<Size v0='100' v1='40'/><rotCenter v0='5' v1='6'/><ClipRect v0='10' v1='0' v2='300' v3='500'/>"
      "<Mesh><sizeX v='2'/><sizeY v='3'/><Vertecies>"
      "<v0><x v='1'/><y v='2'/><Color r='1' g='2' b='3' a='4'/><uv v0='7' v1='8'/><Pos v0='9' v1='10'/></v0>"
      "<v1><x v='2'/><y v='3'/></v1>"
      "</Vertecies></Mesh>"
      "</Sprite></root>");
  EXPECT_EQ(Vector2<float>(10, 20), d.position);
  EXPECT_TRUE(d.mirrorH);
  EXPECT_TRUE(d.mirrorV);
  EXPECT_FLOAT_EQ(45.0f, d.angle);
  EXPECT_EQ(0x40FF8000u, d.color.value);
  EXPECT_EQ(1u, d.blendMode);
  EXPECT_EQ(3, d.pairedTextures);
  ASSERT_EQ(2u, d.frames.size());
  EXPECT_EQ("level1", d.frames[0].package);
  EXPECT_EQ(Rect(1, 2, 33, 18), d.frames[0].sourceRect);
  EXPECT_EQ("default", d.frames[1].package);
  EXPECT_FALSE(d.frames[1].hasSourceRect);
  EXPECT_EQ(Vector2<float>(100, 40), d.size);
  EXPECT_EQ(Vector2<float>(5, 6), d.rotationCenter);
  EXPECT_EQ(Rect(0, 10, 500, 300), d.clipRect);
  EXPECT_TRUE(d.hasMesh);
  EXPECT_EQ(2u, d.meshSizeX);
  EXPECT_EQ(3u, d.meshSizeY);
  ASSERT_EQ(2u, d.meshVertices.size());
  EXPECT_EQ(0x04010203u, d.meshVertices[0].color.value);
  EXPECT_EQ(Vector2<float>(7, 8), d.meshVertices[0].texCoord);
  EXPECT_EQ(Vector2<float>(9, 10), d.meshVertices[0].position);
  // A listed vertex without a colour is opaque white in XML.
  EXPECT_EQ(2, d.meshVertices[1].column);
  EXPECT_EQ(3, d.meshVertices[1].row);
  EXPECT_EQ(kWhite, d.meshVertices[1].color.value);
}

TEST_F(XmlDescription, Defaults) {
  const SpriteDescription d = fromXml("<root><Sprite><Image1 v='skipped'/><BlendMode v='ADD'/></Sprite></root>");
  EXPECT_EQ(Vector2<float>(), d.position);
  EXPECT_FALSE(d.mirrorH);
  EXPECT_EQ(kWhite, d.color.value);
  EXPECT_EQ(0u, d.blendMode);
  EXPECT_TRUE(d.frames.empty());
  EXPECT_FALSE(d.hasSize);
  EXPECT_FALSE(d.hasRotationCenter);
  EXPECT_EQ(Rect(0, 0, 1024, 768), d.clipRect);
  EXPECT_FALSE(d.hasMesh);
}

TEST_F(XmlDescription, MeshWithoutVerticesOrSizes) {
  const SpriteDescription d = fromXml("<root><Sprite><Mesh/></Sprite></root>");
  EXPECT_TRUE(d.hasMesh);
  EXPECT_EQ(0u, d.meshSizeX);
  EXPECT_EQ(0u, d.meshSizeY);
  EXPECT_TRUE(d.meshVertices.empty());
}

}  // namespace
