#include "lua_script_2.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include "data_test_content.h"
#include "lua_test_chunk.h"

namespace {

// A script over a fresh state with `source` already run.
std::unique_ptr<KR::LuaScript> scriptWith(const std::string& source) {
  auto script = std::make_unique<KR::LuaScript>();
  EXPECT_TRUE(script->runBuffer(source.data(), source.size(), "test")) << lua_tostring(script->getState(), -1);
  return script;
}

}  // namespace

TEST(LuaScript, NumbersFromNumbersAndNumericStrings) {
  auto script = scriptWith("n = 12.75; s = '12'; h = '0x10'; sp = '  7  '; bad = 'abc'; t = true; neg = -1");
  int32_t i = -5;
  uint32_t u = 0;
  float f = 0;
  struct Case {
    const char* name;
    bool ok;
    int32_t asInt;
  } cases[] = {{"n", true, 12},   {"s", true, 12}, {"h", true, 16},      {"sp", true, 7},
               {"bad", false, 0}, {"t", false, 0}, {"missing", false, 0}};
  for (const Case& c : cases) {
    script->pushField(c.name);
    EXPECT_EQ(script->toInt(&i), c.ok) << c.name;
    EXPECT_EQ(i, c.asInt) << c.name;
    script->pop();
  }
  script->pushField("n");
  EXPECT_TRUE(script->toFloat(&f));
  EXPECT_FLOAT_EQ(f, 12.75f);
  script->pop();
  script->pushField("neg");
  EXPECT_TRUE(script->toUInt(&u));
  EXPECT_EQ(u, 4294967295u);
  script->pop();
  script->pushField("bad");
  EXPECT_FALSE(script->toFloat(&f));
  EXPECT_EQ(f, 0.0f);
  script->pop();
  EXPECT_EQ(lua_gettop(script->getState()), 0);
}

TEST(LuaScript, TextAndBooleans) {
  auto script = scriptWith("s = 'hello'; n = 2.5; one = 1; zero = 0; nstr = '3'; yes = true; tbl = {}");
  std::string text = "x";
  EXPECT_TRUE(script->getString("s", &text));
  EXPECT_EQ(text, "hello");
  EXPECT_TRUE(script->getString("n", &text));
  EXPECT_EQ(text, "2.5");
  EXPECT_FALSE(script->getString("tbl", &text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(script->getString("s", nullptr));

  bool flag = false;
  EXPECT_TRUE(script->getBool("one", &flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(script->getBool("zero", &flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(script->getBool("nstr", &flag));
  EXPECT_TRUE(flag);
  flag = true;
  EXPECT_FALSE(script->getBool("yes", &flag));  // Lua's own booleans are not accepted
  EXPECT_FALSE(flag);
  EXPECT_EQ(lua_gettop(script->getState()), 0);
}

TEST(LuaScript, Colours) {
  auto script = scriptWith(
      "c = {255, 128, 0, 64}; three = {255, 128, 0}; wrap = {300, 0, 0, 255}; frac = {127.9, -1, '16', 0};"
      "partial = {1, 2, 'x', 4}");
  KR::Color color;
  EXPECT_TRUE(script->getColor("c", &color));
  EXPECT_EQ(color.value, 0x40FF8000u);
  EXPECT_FALSE(script->getColor("three", &color));
  EXPECT_EQ(color.value, 0u);
  EXPECT_TRUE(script->getColor("wrap", &color));
  EXPECT_EQ(color.red(), 44);
  EXPECT_TRUE(script->getColor("frac", &color));
  EXPECT_EQ(color.red(), 127);
  EXPECT_EQ(color.green(), 255);
  EXPECT_EQ(color.blue(), 16);
  color = KR::Color::fromARGB(0x12345678);
  EXPECT_FALSE(script->getColor("partial", &color));
  EXPECT_EQ(color.value, 0u);
  EXPECT_EQ(lua_gettop(script->getState()), 0);
}

TEST(LuaScript, VectorsAndArrayElements) {
  auto script = scriptWith("v = {3, '4.5'}; short = {1}; list = {'a', 7, {}, 2.5}");
  KR::Vector2<float> v(9, 9);
  EXPECT_TRUE(KR::luaReadVector2(*script, "v", &v));
  EXPECT_EQ(v, KR::Vector2<float>(3.0f, 4.5f));
  EXPECT_FALSE(KR::luaReadVector2(*script, "short", &v));
  EXPECT_EQ(v, KR::Vector2<float>(0, 0));

  ASSERT_TRUE(script->openTable("list"));
  std::string text;
  EXPECT_TRUE(script->getStringAt(1, &text));
  EXPECT_EQ(text, "a");
  EXPECT_TRUE(script->getStringAt(2, &text));
  EXPECT_EQ(text, "7");
  text = "kept";
  EXPECT_FALSE(script->getStringAt(3, &text));
  EXPECT_EQ(text, "kept");
  float number = -1;
  EXPECT_TRUE(KR::luaReadIndexedNumber(*script, 4, &number));
  EXPECT_FLOAT_EQ(number, 2.5f);
  number = -1;
  EXPECT_FALSE(KR::luaReadIndexedNumber(*script, 1, &number));
  EXPECT_EQ(number, -1);
  uint8_t byte = 9;
  EXPECT_FALSE(script->getByteAt(5, &byte));
  EXPECT_EQ(byte, 9);
  script->closeTable();
  EXPECT_EQ(lua_gettop(script->getState()), 0);
}

TEST(LuaScript, NestedTablesAndIteration) {
  auto script = scriptWith("outer = { inner = { x = 5 }, 'a', 'b' }; notTable = 3");
  EXPECT_FALSE(script->openTable("notTable"));
  EXPECT_FALSE(script->openTable("missing"));
  EXPECT_EQ(script->getDepth(), 0);
  EXPECT_EQ(lua_gettop(script->getState()), 0);

  ASSERT_TRUE(script->openTable("outer"));
  ASSERT_TRUE(script->openTable("inner"));
  EXPECT_EQ(script->getDepth(), 2);
  script->pushField("x");
  int32_t x = 0;
  EXPECT_TRUE(script->toInt(&x));
  EXPECT_EQ(x, 5);
  script->pop();
  script->closeTable();

  lua_State* state = script->getState();
  int entries = 0;
  for (KR::LuaTableIteration it = script->beginIteration(); it.hasEntry; it.hasEntry = lua_next(state, -2)) {
    ++entries;
    lua_pop(state, 1);
  }
  EXPECT_EQ(entries, 3);
  script->closeTable();
  EXPECT_EQ(script->getDepth(), 0);
  EXPECT_EQ(lua_gettop(state), 0);
}

TEST(LuaScript, ErroringIndexMetamethodReadsAsMissing) {
  auto script = scriptWith("t = setmetatable({}, { __index = function() error('no') end })");
  ASSERT_TRUE(script->openTable("t"));
  std::string text;
  EXPECT_FALSE(script->getString("anything", &text));
  script->closeTable();
  EXPECT_EQ(lua_gettop(script->getState()), 0);
}

TEST(LuaScript, ACallOfNothingNamesTheCalledFunction) {
  KR::LuaScript script;
  lua_State* state = script.getState();
  lua_getglobal(state, "__Generated_L1AT2_onObjectApplied");
  EXPECT_NE(KR::luaProtectedCall(state, 0, 1, "__Generated_L1AT2_onObjectApplied"), 0);
  EXPECT_STREQ(lua_tostring(state, -1), "attempt to call a nil value (function '__Generated_L1AT2_onObjectApplied')");
  lua_pop(state, 1);
}

TEST(LuaScript, TextStopsAtItsFirstZeroByte) {
  KR::LuaScript script;
  std::string source("a = 1\0 a = error('never')", 25);
  EXPECT_TRUE(script.runBuffer(source.data(), source.size(), "zero"));
  std::string bad = "a = = 1";
  EXPECT_FALSE(script.runBuffer(bad.data(), bad.size(), "syntax"));
  EXPECT_TRUE(lua_isstring(script.getState(), -1));  // Lua's message stays
}

TEST(LuaScript, PrecompiledChunksOfThisPlatformRunOthersAreRefused) {
  // Compile a chunk with this platform's Lua.
  const std::string chunk = KR::Test::precompiledChunk("answer = 42");
  ASSERT_FALSE(chunk.empty());
  ASSERT_EQ(chunk[0], '\x1b');

  KR::LuaScript native;
  EXPECT_TRUE(native.runBuffer(chunk.data(), chunk.size(), "chunk"));
  native.pushField("answer");
  int32_t answer = 0;
  EXPECT_TRUE(native.toInt(&answer));
  EXPECT_EQ(answer, 42);

  // The same chunk as a 32-bit platform would have written it (size_t of 4 bytes).
  std::string foreign = chunk;
  foreign[8] = 4;
  KR::LuaScript other;
  EXPECT_FALSE(other.runBuffer(foreign.data(), foreign.size(), "foreign"));
  other.pushField("answer");
  EXPECT_TRUE(lua_isnil(other.getState(), -1));
  // A bare escape byte is refused too.
  EXPECT_FALSE(other.runBuffer("\x1b", 1, "short"));
  // A damaged chunk of this platform asking for a block of 2^64 bytes is
  // refused without the block being asked of the C heap.
  const std::string damaged = chunk.substr(0, 12) + std::string(40, '\xff');
  KR::LuaScript third;
  EXPECT_FALSE(third.runBuffer(damaged.data(), damaged.size(), "damaged"));
}

TEST(LuaScript, StatesHaveTheSharedGenerator) {
  auto script = scriptWith(
      "math.randomseed(7)\n"
      "a = math.random(100); b = math.random(); c = math.random(5, 6)\n"
      "math.randomseed(7)\n"
      "a2 = math.random(100)\n"
      "local seen = {} for i = 1, 300 do local v = math.random(3) seen[v] = true "
      "  local w = math.random(-1, 0) seen[w] = true end\n"
      "spread = '' for v = -2, 4 do spread = spread .. (seen[v] and v or '.') end\n"
      "empty = select(2, pcall(math.random, 2, 1)) .. math.random(4, 4)\n");
  int32_t a = 0, a2 = 0, c = 0;
  float b = -1;
  script->pushField("a");
  script->toInt(&a);
  script->pop();
  script->pushField("a2");
  script->toInt(&a2);
  script->pop();
  script->pushField("b");
  script->toFloat(&b);
  script->pop();
  script->pushField("c");
  script->toInt(&c);
  script->pop();
  EXPECT_EQ(a, a2);  // the seed drives the sequence
  EXPECT_GE(a, 1);
  EXPECT_LE(a, 100);
  EXPECT_GE(b, 0.0f);
  EXPECT_LT(b, 1.0f);
  EXPECT_TRUE(c == 5 || c == 6);
  // Every value of an interval comes, none outside it; an empty interval is an error.
  std::string spread, empty;
  script->getString("spread", &spread);
  EXPECT_EQ(spread, ".-10123.");
  script->getString("empty", &empty);
  EXPECT_NE(empty.find("interval is empty"), std::string::npos);
  EXPECT_EQ(empty.back(), '4') << "an interval of one value is no error";

  // The shared generator is the classic 15-bit one: seed 1 starts 41, 18467, 6334.
  KR::seedSharedRandom(1);
  EXPECT_EQ(KR::sharedRandom(), 41);
  EXPECT_EQ(KR::sharedRandom(), 18467);
  EXPECT_EQ(KR::sharedRandom(), 6334);
  for (int i = 0; i < 1000; ++i) {
    int32_t r = KR::sharedRandom();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, KR::kSharedRandomMax);
  }
}

TEST(LuaScript, CountingAllocatorKeepsItsBooks) {
  KR::LuaAllocCounters& counters = KR::luaAllocCounters();
  int64_t before = counters.bytesInUse.load();
  uint64_t allocationsBefore = counters.allocations.load();
  uint64_t resizesBefore = counters.reallocations.load();
  {
    auto script = scriptWith("t = {} for i = 1, 1000 do t[i] = i end s = string.rep('x', 100000)");
    EXPECT_GT(counters.allocations.load(), allocationsBefore);
    EXPECT_GT(counters.reallocations.load(), resizesBefore);  // the growing table was resized
    EXPECT_GT(counters.bytesInUse.load(), before + 100000);
    EXPECT_GE(counters.peakBytesInUse.load(), counters.bytesInUse.load());
  }
  // Closing the state gives every byte back.
  EXPECT_EQ(counters.bytesInUse.load(), before);

  // The raw contract: size 0 frees and gives null.
  void* block = KR::luaCountingAlloc(nullptr, nullptr, 0, 64);
  ASSERT_NE(block, nullptr);
  block = KR::luaCountingAlloc(nullptr, block, 64, 128);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(KR::luaCountingAlloc(nullptr, block, 128, 0), nullptr);
  EXPECT_EQ(counters.bytesInUse.load(), before);
}

TEST(LuaScriptDeathTest, UnbalancedTablesAreFatal) {
  EXPECT_EXIT(
      {
        KR::LuaScript script;
        script.closeTable();
      },
      ::testing::ExitedWithCode(255), "closeTable\\(\\) вызван излишнее кол-во раз");
  EXPECT_EXIT(
      {
        KR::LuaScript script;
        script.openCurrentTable();
      },
      ::testing::ExitedWithCode(255), "Невозможно читать текущую таблицу из глобального пространства");
}

// --- Through the file system ---

class LuaScriptFiles : public ::testing::Test {
 protected:
  LuaScriptFiles() : content("lua-files") {
    content.addEntry("default", "rects", "buttonRect = {1, 2, 3, 4}\nref = {'rects', 'buttonRect', 'default'}\n");
    content.addEntry("default", "loop", "self = {'loop', 'self', 'default'}\n");
    content.addEntry("default", "broken", "x = = 2");
    content.addEntry("default", "fails", "error('at run time')");
    content.addEntry("ui", "panel",
                     "panel = { rect = {'rects', 'buttonRect', 'default'}, bad = {'rects', 'nope', 'default'} }");
    content.start();
  }
  KR::Test::ScratchContent content;
};

TEST_F(LuaScriptFiles, LoadScriptReportsMissingBrokenAndFailingFiles) {
  KR::LuaScript script;
  EXPECT_TRUE(script.loadScript("rects", "default"));
  EXPECT_FALSE(script.loadScript("absent", "default"));
  EXPECT_FALSE(script.loadScript("broken", "default"));
  EXPECT_FALSE(script.loadScript("fails", "default"));
}

TEST_F(LuaScriptFiles, RectanglesDirectAndByReference) {
  KR::LuaScript script;
  ASSERT_TRUE(script.loadScript("panel", "ui"));
  ASSERT_TRUE(script.openTable("panel"));
  KR::Rect rect(9, 9, 9, 9);
  EXPECT_TRUE(script.getRect("rect", &rect));
  EXPECT_EQ(rect, KR::Rect(1, 2, 3, 4));
  EXPECT_FALSE(script.getRect("bad", &rect));
  EXPECT_EQ(rect, KR::Rect(0, 0, 0, 0));
  script.closeTable();
  EXPECT_EQ(lua_gettop(script.getState()), 0);

  EXPECT_TRUE(KR::LuaScript::getRectFromScript(&rect, "rects", "ref", "default"));
  EXPECT_EQ(rect, KR::Rect(1, 2, 3, 4));
  // A reference that names itself ends instead of recursing for ever.
  EXPECT_FALSE(KR::LuaScript::getRectFromScript(&rect, "loop", "self", "default"));
  EXPECT_EQ(rect, KR::Rect(0, 0, 0, 0));
}
