#include "lua_data_file.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include "data_test_content.h"
#include "lua_script_2.h"
#include "lua_test_chunk.h"

namespace {

struct Records {
  Records() : holder(KR::newLuaState(), true) {}
  // Pushes global `name` and reads it as a record.
  bool read(const char* name, float (&v)[5]) {
    lua_getglobal(holder.state, name);
    int top = lua_gettop(holder.state);
    bool ok = KR::readLuaFloat5(KR::LuaStackRef{holder.state, -1}, &v[0], &v[1], &v[2], &v[3], &v[4]);
    EXPECT_EQ(lua_gettop(holder.state), top);
    lua_pop(holder.state, 1);
    return ok;
  }
  KR::LuaStateHolder holder;
};

}  // namespace

TEST(LuaDataFile, FiveNumberRecords) {
  Records r;
  std::string text =
      "a = {65, 0, 0, 12, 16, 'extra'}; b = {1, 2, '12', 4, 5}; c = {1, 2, 3, 4}; d = {1, 2, 'x', 4, 5}; e = 3";
  ASSERT_TRUE(KR::runLuaDataText(r.holder, text.data(), text.size()));
  float v[5] = {-1, -1, -1, -1, -1};
  EXPECT_TRUE(r.read("a", v));
  EXPECT_EQ(v[0], 65);
  EXPECT_EQ(v[3], 12);
  EXPECT_EQ(v[4], 16);
  EXPECT_TRUE(r.read("b", v));
  EXPECT_EQ(v[2], 12);
  float untouched[5] = {-1, -1, -1, -1, -1};
  EXPECT_FALSE(r.read("c", untouched));
  EXPECT_FALSE(r.read("d", untouched));
  EXPECT_FALSE(r.read("e", untouched));
  for (float f : untouched) EXPECT_EQ(f, -1);

  lua_pushstring(r.holder.state, "12.5");
  KR::LuaStackRef ref{r.holder.state, -1};
  EXPECT_TRUE(ref.isNumber());
  EXPECT_EQ(ref.toFloat(), 12.5f);
  lua_pushboolean(r.holder.state, 1);
  KR::LuaStackRef flag{r.holder.state, -1};
  EXPECT_FALSE(flag.isNumber());
  EXPECT_EQ(flag.toFloat(), 0.0f);
}

TEST(LuaDataFile, LoadsSourceFromPackageDefaultOnly) {
  KR::Test::ScratchContent content("lua-data");
  content.addEntry("default", "font", "image = 'font.png'\nchars = { {65, 0, 0, 12, 16} }\n");
  content.addEntry("fonts", "other_font", "image = 'other.png'\n");
  content.addEntry("default", "broken", "image = ");
  content.addEntry("default", "fails", "error('boom')");
  content.start();

  KR::LuaStateHolder holder(KR::newLuaState(), true);
  ASSERT_TRUE(KR::loadLuaDataFile(holder, "font"));
  lua_getglobal(holder.state, "image");
  EXPECT_STREQ(lua_tostring(holder.state, -1), "font.png");
  lua_pop(holder.state, 1);
  EXPECT_FALSE(KR::loadLuaDataFile(holder, "other_font"));
  EXPECT_FALSE(KR::loadLuaDataFile(holder, "broken"));
  EXPECT_FALSE(KR::loadLuaDataFile(holder, "fails"));
  EXPECT_FALSE(KR::loadLuaDataFile(holder, "absent"));
}

TEST(LuaDataFile, PrecompiledChunksDoNotLoad) {
  const std::string chunk = KR::Test::precompiledChunk("image = 'compiled'");
  ASSERT_FALSE(chunk.empty());
  KR::LuaStateHolder holder(KR::newLuaState(), true);
  EXPECT_FALSE(KR::runLuaDataText(holder, chunk.data(), chunk.size()));
  lua_getglobal(holder.state, "image");
  EXPECT_TRUE(lua_isnil(holder.state, -1));
}

TEST(LuaDataFile, HolderClosesOnlyWhatItOwns) {
  lua_State* state = KR::newLuaState();
  { KR::LuaStateHolder borrowed(state, false); }
  EXPECT_EQ(lua_gettop(state), 0);  // still usable
  KR::LuaStateHolder owner(state, true);

  KR::ScopedHeapBuffer buffer(static_cast<char*>(std::malloc(16)));
  EXPECT_NE(buffer.get(), nullptr);
  buffer.release();
  EXPECT_EQ(buffer.get(), nullptr);
  buffer.release();  // twice is harmless
}
