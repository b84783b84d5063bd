// Frame descriptions are Lua files of the content: whatever table shapes and
// value kinds they hold, reading one must end in a result (true or false) with
// the Lua stack balanced, and playing the frames read must stay in bounds.
//
// The input is the Lua text of a description file. It runs in a state without
// libraries, under an instruction and a memory budget, so that a generated
// program can neither touch the system nor run away. Two inputs are skipped:
// those where a later frame lacks a parameter of the first (the specified
// fatal error, covered by the death tests) and rectangles given by reference
// to another file (read through the file system, fuzzed on its own).
//
// Built with KR_SEED_WRITER the same file is the tool that writes the seed
// corpus: `animation_description_seeds <folder>`.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef KR_SEED_WRITER

#include "fuzz_seeds.h"

namespace {

const char* const kSeeds[] = {
    // Plain, with every track and the settings.
    ("Animation = { loop = 1, speedCoef = 1.5, Frames = {\n"
     "  { duration = 0.25, pos = {0, 0}, alpha = 1, frame = {0, 0, 32, 32} },\n"
     "  { duration = 0.5, loopCoeff = 2, pos = {100, 50}, alpha = 0.5, frame = {32, 0, 64, 32} },\n"
     "  { duration = 0.25, pos = {200, 0}, alpha = 0, frame = {64, 0, 96, 32} } } }\n"),
    // loop as a Lua boolean, numbers as strings, a frame without duration.
    ("Animation = { loop = true, speedCoef = '2', Frames = {\n"
     "  { duration = '0x1', pos = {'1', '2'}, alpha = '0.5' },\n"
     "  { pos = {3, 4}, alpha = 1 } } }\n"),
    // First frame lacks parameters: their tracks are disabled.
    "Animation = { Frames = { { duration = 1 }, { duration = 1, pos = {5, 5}, alpha = 2 } } }\n",
    // An entry that is not a table ends the read.
    "Animation = { Frames = { { duration = 1, alpha = 1 }, 7, { duration = 2, alpha = 0 } } }\n",
    // Missing pieces.
    "Animation = { loop = 1 }\n",
    "Animation = 5\n",
    "Other = { Frames = {} }\n",
    "",
    // Hash keys among the frames, odd numbers.
    ("local inf = 1/0\n"
     "Animation = { speedCoef = -1, Frames = { n = { duration = inf, alpha = 0/0 },\n"
     "  { duration = -1, alpha = 1e38 }, { duration = 1e-30, alpha = -1e38 } } }\n"),
    // Many frames built by a loop.
    ("local f = {}\n"
     "for i = 1, 200 do f[i] = { duration = i % 3 * 0.1, pos = {i, -i}, alpha = i / 200, frame = {i, i, i + 8, i + 8} "
     "} end\n"
     "Animation = { loop = 1, Frames = f }\n"),
    // Wrong kinds everywhere.
    ("Animation = { loop = {}, speedCoef = 'fast', Frames = { { duration = {}, loopCoeff = 'x', pos = 3,"
     " alpha = {}, frame = {1, 2} } } }\n"),
    // The two skipped roads: a later frame without "pos", a rectangle by reference.
    "Animation = { Frames = { { duration = 1, pos = {1, 1} }, { duration = 1 } } }\n",
    "Animation = { Frames = { { duration = 1, frame = {'rects.lua', 'button', 'default'} } } }\n",
    // Programs that run away: stopped by the instruction and memory budgets.
    "while 1 do end\n",
    "local s = 'x' for i = 1, 40 do s = s .. s end Animation = { Frames = {} }\n",
    // Found by fuzzing: quadratic string growth, resident memory past 2 GB under the old budget.
    " s= 'rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrx' for i =1,54041 do s =3 .. s end \n",
};

}  // namespace

int main(int argc, char** argv) { return KR::Fuzz::writeSeedFiles(argc, argv, kSeeds, ".lua"); }

#else

#include "animation.h"
#include "fuzz_lua.h"
#include "keyframe_container.h"
#include "lua_script_2.h"
#include "ribbon.h"

namespace {

enum class Probe { Present, Missing, Reference };
enum class Kind { Vector2, Float, Rect };

struct TrackProbe {
  const char* name;
  Kind kind;
};
const TrackProbe kTracks[] = {{"pos", Kind::Vector2}, {"alpha", Kind::Float}, {"frame", Kind::Rect}};

// What the track's reader will make of the field of the table on top of the stack.
Probe probeField(lua_State* state, const TrackProbe& track) {
  lua_getfield(state, -1, track.name);
  Probe result = Probe::Missing;
  if (track.kind == Kind::Float) {
    if (lua_isnumber(state, -1)) result = Probe::Present;
  } else if (lua_istable(state, -1)) {
    const int wanted = track.kind == Kind::Vector2 ? 2 : 4;
    bool numbers = true;
    for (int i = 1; i <= wanted && numbers; ++i) {
      lua_rawgeti(state, -1, i);
      numbers = lua_isnumber(state, -1) != 0;
      lua_pop(state, 1);
    }
    if (numbers) {
      result = Probe::Present;
    } else if (track.kind == Kind::Rect) {
      bool text = true;
      for (int i = 1; i <= 3 && text; ++i) {
        lua_rawgeti(state, -1, i);
        const int type = lua_type(state, -1);
        text = type == LUA_TSTRING || type == LUA_TNUMBER;
        lua_pop(state, 1);
      }
      if (text) result = Probe::Reference;
    }
  }
  lua_pop(state, 1);
  return result;
}

// False when reading the description would take one of the two skipped roads.
bool readableWithoutSkippedRoads(lua_State* state) {
  const int top = lua_gettop(state);
  bool safe = true;
  lua_getfield(state, LUA_GLOBALSINDEX, "Animation");
  if (lua_istable(state, -1)) {
    lua_getfield(state, -1, "Frames");
    if (lua_istable(state, -1)) {
      bool first = true;
      bool present[3] = {false, false, false};
      lua_pushnil(state);
      while (safe && lua_next(state, -2)) {
        if (!lua_istable(state, -1)) break;  // the reader stops here too
        for (int t = 0; t < 3 && safe; ++t) {
          const Probe probe = probeField(state, kTracks[t]);
          if (probe == Probe::Reference) safe = false;
          if (first) {
            present[t] = probe == Probe::Present;
          } else if (present[t] && probe != Probe::Present) {
            safe = false;
          }
        }
        first = false;
        lua_pop(state, 1);
      }
    }
  }
  lua_settop(state, top);
  return safe;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Precompiled chunks are Lua's own loader's business.
  if (size > 0 && data[0] == 27) return 0;

  KR::Fuzz::MemoryBudget budget;
  bool ran = false;
  lua_State* state = KR::Fuzz::runBudgetedChunk(data, size, &budget, &ran);
  if (!state) return 0;
  if (!ran || !readableWithoutSkippedRoads(state)) {
    lua_close(state);
    return 0;
  }

  KR::LuaScript script(state, true);
  KR::Animation anim;
  anim.smoothNewTracks = (size & 1) != 0;
  KR::Vector2<float> pos;
  float alpha = 0.0f;
  KR::Rect frame;
  KR::Ribbon ribbon;
  ribbon.init(nullptr, 0.5f, 8, KR::Vector2<float>());
  anim.bindVector2Parameter("pos", &pos);
  anim.bindFloatTarget("alpha", &alpha);
  anim.bindRectParameter("frame", &frame);
  KR::bindPosAndU(anim, ribbon);

  const bool read = anim.readDescription(script);
  if (script.getDepth() != 0 || lua_gettop(state) != 0) __builtin_trap();
  if (anim.getFrameDurations().size() != anim.getFrameLoopCoeffs().size()) __builtin_trap();
  (void)read;

  // Play it forwards, looped, and backwards through a range.
  const float steps[] = {0.0f, 0.1f, 0.7f, 3.0f};
  for (float dt : steps) {
    anim.update(dt);
    ribbon.update(dt);
    ribbon.getLength();
  }
  anim.loop = !anim.loop;
  anim.startMarker = anim.getTotalDuration() * 0.75f;
  anim.endMarker = anim.getTotalDuration() * 0.25f;
  for (float dt : steps) {
    anim.update(dt);
    ribbon.update(dt);
  }
  anim.isFinished();
  anim.isRunning();
  return 0;
}

#endif
