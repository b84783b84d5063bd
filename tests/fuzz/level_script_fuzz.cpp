// Level scripts calling the game's eight Lua tables: the input is a Lua chunk
// run with the tables registered (and the standard libraries but os and io)
// under the instruction and memory budgets. Whatever the arguments, their
// number and kinds, every call must end in a result or nothing, never a Lua
// error raised by the game, a crash or a read below the call's own arguments.
// No play state runs, so the calls exercise the argument taking and the
// refusals.
//
// Built with KR_SEED_WRITER the same file writes its seeds: one chunk per
// table function, called with fitting, wrong, missing and extra arguments.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/game_state/script/lua_integration.h"
#include "fuzz_lua.h"
#include "log_system.h"

#ifdef KR_SEED_WRITER

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  size_t count = 0;
  const HOG::LuaIntegration::FunctionInfo* list = HOG::LuaIntegration::functions(&count);
  for (size_t i = 0; i < count; ++i) {
    const std::string call = std::string(list[i].table) + "." + list[i].name;
    std::string fitting, wrong;
    for (const char* k = list[i].arguments; *k; ++k) {
      const char* sep = fitting.empty() ? "" : ", ";
      fitting += sep + std::string(*k == 's' ? "'location01'" : *k == 'b' ? "true" : "-1");
      wrong += sep + std::string(*k == 's' ? "{}" : *k == 'b' ? "1" : "'x'");
    }
    const std::string chunk = "local r = " + call + "(" + fitting + ")\n" + call + "(" + wrong + ")\n" + call + "()\n" +
                              call + "(" + fitting + (fitting.empty() ? "" : ", ") + "nil, 4294967296)\n";
    std::FILE* out = std::fopen((std::string(argv[1]) + "/seed" + std::to_string(i) + ".lua").c_str(), "wb");
    if (!out) return 1;
    std::fputs(chunk.c_str(), out);
    std::fclose(out);
  }
  return 0;
}

#else

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem log;  // the refusals' lines
  KR::Fuzz::MemoryFence fence;
  lua_State* state = KR::Fuzz::newFencedState(&fence);
  if (!state) return 0;
  HOG::LuaIntegration::registerTables(state);
  if (luaL_loadbuffer(state, reinterpret_cast<const char*>(data), size, "level script") == 0) lua_pcall(state, 0, 0, 0);
  fence.on = false;
  lua_close(state);
  return 0;
}

#endif
