#include "lua_sandbox.h"

#include <lua.hpp>

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

#include "log_system.h"
#include "lua_script_2.h"

namespace KR {

namespace {

// ---------------------------------------------------------------------------
// Refused functions

// Upvalue 1 names the refused function.
int refuse(lua_State* state) {
  const char* name = lua_tostring(state, lua_upvalueindex(1));
  if (LogSystem::exists())
    log("ERROR: Lua: %s is refused to content scripts%s", name ? name : "?", luaDescribeCaller(state, name).c_str());
  lua_pushnil(state);
  lua_pushliteral(state, "refused");
  return 2;
}

// Sets field `field` of the table at `index` to a refusal named "<prefix><field>".
void refuseField(lua_State* state, int index, const char* prefix, const char* field) {
  if (index < 0) index = lua_gettop(state) + index + 1;
  lua_pushfstring(state, "%s%s", prefix, field);
  lua_pushcclosure(state, refuse, 1);
  lua_setfield(state, index, field);
}

// A fresh global table `name` holding refusals of `fields`.
template <size_t N>
void refusedLibrary(lua_State* state, const char* name, const char* const (&fields)[N]) {
  lua_newtable(state);
  const std::string prefix = std::string(name) + ".";
  for (const char* field : fields) refuseField(state, -1, prefix.c_str(), field);
  lua_setglobal(state, name);
}

// The tostring of each argument, joined by tabs, as a verbose log line.
int printToLog(lua_State* state) {
  const int count = lua_gettop(state);
  lua_getglobal(state, "tostring");
  for (int i = 1; i <= count; ++i) {
    lua_pushvalue(state, count + 1);
    lua_pushvalue(state, i);
    lua_call(state, 1, 1);
    if (!lua_isstring(state, -1)) return luaL_error(state, "'tostring' must return a string to 'print'");
    if (i < count) lua_pushliteral(state, "\t");
  }
  lua_concat(state, count > 0 ? 2 * count - 1 : 0);
  logVerbose("Lua: %s", lua_tostring(state, -1));
  return 0;
}

// ---------------------------------------------------------------------------
// Pattern work

enum class ItemKind { Capture, End, Balance, Frontier, BackReference, Single };

struct PatternItem {
  ItemKind kind;
  char repeat;        // '?', '*', '+', '-' or 0 (Single only)
  size_t begin, end;  // the character class in the pattern (Single only)
};

constexpr size_t kMalformed = size_t(-1);

// Where the character class starting at `at` ends, as Lua's matcher reads it;
// kMalformed where Lua stops with an error.
size_t classEnd(const char* p, size_t at, size_t length) {
  const char c = p[at++];
  if (c == '%') return at < length ? at + 1 : kMalformed;
  if (c != '[') return at;
  if (at < length && p[at] == '^') ++at;
  do {
    if (at >= length) return kMalformed;
    const char member = p[at++];
    if (member == '%' && at < length) ++at;
  } while (at >= length || p[at] != ']');
  return at + 1;
}

bool matchClass(int c, int cl) {
  bool result;
  switch (std::tolower(cl)) {
    case 'a': result = std::isalpha(c); break;
    case 'c': result = std::iscntrl(c); break;
    case 'd': result = std::isdigit(c); break;
    case 'l': result = std::islower(c); break;
    case 'p': result = std::ispunct(c); break;
    case 's': result = std::isspace(c); break;
    case 'u': result = std::isupper(c); break;
    case 'w': result = std::isalnum(c); break;
    case 'x': result = std::isxdigit(c); break;
    case 'z': result = c == 0; break;
    default: return cl == c;
  }
  return std::islower(cl) ? result : !result;
}

// Whether the class [begin, end) of the pattern takes character c: the
// matcher's own rules, so that the runs counted are never shorter than its.
bool classTakes(const unsigned char* p, size_t begin, size_t end, int c) {
  switch (p[begin]) {
    case '.': return true;
    case '%': return matchClass(c, p[begin + 1]);
    case '[': {
      const size_t close = end - 1;
      size_t at = begin;
      bool sign = true;
      if (p[at + 1] == '^') {
        sign = false;
        ++at;
      }
      while (++at < close) {
        if (p[at] == '%') {
          ++at;
          if (matchClass(c, p[at])) return sign;
        } else if (p[at + 1] == '-' && at + 2 < close) {
          at += 2;
          if (p[at - 2] <= c && c <= p[at]) return sign;
        } else if (p[at] == c) {
          return sign;
        }
      }
      return !sign;
    }
    default: return p[begin] == c;
  }
}

// The items of the pattern after its anchor, up to the first malformed one.
std::vector<PatternItem> patternItems(const char* p, size_t at, size_t length) {
  std::vector<PatternItem> items;
  while (at < length) {
    const char c = p[at];
    if (c == '(') {
      items.push_back({ItemKind::Capture, 0, 0, 0});
      at += at + 1 < length && p[at + 1] == ')' ? 2 : 1;
      continue;
    }
    if (c == ')') {
      items.push_back({ItemKind::Capture, 0, 0, 0});
      ++at;
      continue;
    }
    if (c == '$' && at + 1 == length) {
      items.push_back({ItemKind::End, 0, 0, 0});
      ++at;
      continue;
    }
    if (c == '%' && at + 1 < length) {
      const char escaped = p[at + 1];
      if (escaped == 'b') {
        if (at + 3 >= length) break;
        items.push_back({ItemKind::Balance, 0, 0, 0});
        at += 4;
        continue;
      }
      if (escaped == 'f') {
        at += 2;
        const size_t end = at < length && p[at] == '[' ? classEnd(p, at, length) : kMalformed;
        if (end == kMalformed) break;
        items.push_back({ItemKind::Frontier, 0, at, end});
        at = end;
        continue;
      }
      if (std::isdigit(static_cast<unsigned char>(escaped))) {
        items.push_back({ItemKind::BackReference, 0, 0, 0});
        at += 2;
        continue;
      }
    }
    const size_t end = classEnd(p, at, length);
    if (end == kMalformed) break;
    const char next = end < length ? p[end] : 0;
    const bool repeated = next == '?' || next == '*' || next == '+' || next == '-';
    items.push_back({ItemKind::Single, repeated ? next : char(0), at, end});
    at = repeated ? end + 1 : end;
  }
  return items;
}

// The longest run of subject characters the class takes.
double longestRun(const unsigned char* pattern, const PatternItem& item, const unsigned char* subject, size_t length) {
  bool takes[256];
  for (int c = 0; c < 256; ++c) takes[c] = classTakes(pattern, item.begin, item.end, c);
  size_t longest = 0, run = 0;
  for (size_t i = 0; i < length; ++i) {
    run = takes[subject[i]] ? run + 1 : 0;
    if (run > longest) longest = run;
  }
  return double(longest);
}

// Steps of one match attempt: each item's cost is that of the items after it
// times the tries it makes of them. A repeated item tries the rest once per
// length it can take (one more than its longest run); an optional one twice.
double attemptWork(const std::vector<PatternItem>& items, const std::vector<double>& runs, double length) {
  double work = 1.0;
  for (size_t k = items.size(); k-- > 0;) {
    const PatternItem& item = items[k];
    switch (item.kind) {
      case ItemKind::Balance:
      case ItemKind::BackReference: work += length; break;
      case ItemKind::Single:
        if (item.repeat == '?')
          work = 1.0 + 2.0 * work;
        else if (item.repeat)
          work = (runs[k] + 1.0) * (1.0 + work);
        else
          work += 1.0;
        break;
      default: work += 1.0; break;
    }
  }
  return work;
}

}  // namespace

double luaPatternWorkBound(const char* subject, size_t subjectLength, const char* pattern, size_t patternLength,
                           bool anchorable) {
  // The matcher reads the pattern up to its first zero byte.
  const size_t length = strnlen(pattern, patternLength);
  const bool anchored = anchorable && length > 0 && pattern[0] == '^';
  const std::vector<PatternItem> items = patternItems(pattern, anchored ? 1 : 0, length);
  // A bracket class is read member by member at each step.
  size_t widestClass = 1;
  for (const PatternItem& item : items)
    if (item.end - item.begin > widestClass) widestClass = item.end - item.begin;
  const double n = double(subjectLength);
  const double starts = anchored ? 1.0 : n + 1.0;
  const double perStep = 1.0 + double(widestClass) / 8.0;
  // First with every repeated item taking the whole subject, which is cheap to
  // know; only when that is too much are the subject's real runs counted.
  std::vector<double> runs(items.size(), n);
  double bound = starts * attemptWork(items, runs, n) * perStep;
  if (bound <= luaRemainingBudget()) return bound;
  double scanned = 0.0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(pattern);
  for (size_t k = 0; k < items.size(); ++k) {
    if (items[k].kind != ItemKind::Single || !items[k].repeat) continue;
    runs[k] = longestRun(bytes, items[k], reinterpret_cast<const unsigned char*>(subject), subjectLength);
    scanned += n;
  }
  return starts * attemptWork(items, runs, n) * perStep + scanned / 8.0;
}

namespace {

enum class PatternCall { Find, Match, GMatch, GSub };

const char* const kPatternNames[] = {"string.find", "string.match", "string.gmatch", "string.gsub"};

// Upvalue 1: the library's own function; upvalue 2: which one (PatternCall).
int boundedPatternCall(lua_State* state) {
  const auto call = PatternCall(lua_tointeger(state, lua_upvalueindex(2)));
  const char* name = kPatternNames[int(call)];
  size_t subjectLength = 0, patternLength = 0;
  const char* subject = luaL_checklstring(state, 1, &subjectLength);
  const char* pattern = luaL_checklstring(state, 2, &patternLength);
  const bool plain =
      call == PatternCall::Find && (lua_toboolean(state, 4) || std::strpbrk(pattern, "^$*+?.([%-") == nullptr);
  double work;
  if (plain) {
    // A plain search compares the pattern at each place its first byte occurs.
    work = (double(subjectLength) + 1.0) * (double(patternLength) + 1.0) / 16.0;
  } else {
    if (patternLength > kLuaMaxPatternLength)
      return luaL_error(state, "%s: a pattern of %d bytes is longer than the %d bytes allowed", name,
                        int(patternLength), int(kLuaMaxPatternLength));
    work = luaPatternWorkBound(subject, subjectLength, pattern, patternLength, call != PatternCall::GMatch);
  }
  luaChargeWork(state, work, name);
  lua_pushvalue(state, lua_upvalueindex(1));
  lua_insert(state, 1);
  lua_call(state, lua_gettop(state) - 1, LUA_MULTRET);
  return lua_gettop(state);
}

// string.rep: repeating the empty string takes no time whatever the count
// (the library's own loop would spin through the count).
int boundedRep(lua_State* state) {
  size_t length = 0;
  luaL_checklstring(state, 1, &length);
  const lua_Number count = luaL_checknumber(state, 2);
  if (length == 0 || !(count >= 1)) {
    lua_pushliteral(state, "");
    return 1;
  }
  lua_pushvalue(state, lua_upvalueindex(1));
  lua_insert(state, 1);
  lua_call(state, lua_gettop(state) - 1, 1);
  return 1;
}

void openLibrary(lua_State* state, const char* name, lua_CFunction open) {
  lua_pushcfunction(state, open);
  lua_pushstring(state, name);
  lua_call(state, 1, 0);
}

// Field `field` of the table on top becomes `wrapper` over its current value
// (upvalue 1) and `extra` (upvalue 2).
void wrapField(lua_State* state, const char* field, lua_CFunction wrapper, lua_Integer extra) {
  lua_getfield(state, -1, field);
  lua_pushinteger(state, extra);
  lua_pushcclosure(state, wrapper, 2);
  lua_setfield(state, -2, field);
}

const char* const kRefusedGlobals[] = {"dofile", "loadfile", "load", "loadstring", "require", "module", "newproxy"};
const char* const kRefusedOs[] = {"execute", "exit", "getenv", "remove", "rename", "setlocale", "tmpname"};
const char* const kIoFunctions[] = {"close", "flush", "input",   "lines", "open", "output",
                                    "popen", "read",  "tmpfile", "type",  "write"};
const char* const kDebugFunctions[] = {"debug",        "getfenv",      "gethook",    "getinfo",  "getlocal",
                                       "getmetatable", "getregistry",  "getupvalue", "setfenv",  "sethook",
                                       "setlocal",     "setmetatable", "setupvalue", "traceback"};
const char* const kPackageFunctions[] = {"loadlib", "seeall"};

std::atomic<LuaLibraryOpener> gOpener{nullptr};

}  // namespace

void setLuaLibraryOpener(LuaLibraryOpener opener) { gOpener.store(opener); }

LuaLibraryOpener luaLibraryOpener() {
  LuaLibraryOpener opener = gOpener.load();
  return opener ? opener : openContentLibraries;
}

void openContentLibraries(lua_State* state) {
  openLibrary(state, "", luaopen_base);
  openLibrary(state, LUA_TABLIBNAME, luaopen_table);
  openLibrary(state, LUA_STRLIBNAME, luaopen_string);
  openLibrary(state, LUA_MATHLIBNAME, luaopen_math);
  openLibrary(state, LUA_OSLIBNAME, luaopen_os);

  lua_pushvalue(state, LUA_GLOBALSINDEX);
  for (const char* name : kRefusedGlobals) refuseField(state, -1, "", name);
  lua_pushcfunction(state, printToLog);
  lua_setfield(state, -2, "print");
  lua_pop(state, 1);

  lua_getglobal(state, "os");
  for (const char* name : kRefusedOs) refuseField(state, -1, "os.", name);
  lua_pop(state, 1);

  lua_getglobal(state, "string");
  refuseField(state, -1, "string.", "dump");
  wrapField(state, "find", boundedPatternCall, lua_Integer(PatternCall::Find));
  wrapField(state, "match", boundedPatternCall, lua_Integer(PatternCall::Match));
  wrapField(state, "gmatch", boundedPatternCall, lua_Integer(PatternCall::GMatch));
  wrapField(state, "gsub", boundedPatternCall, lua_Integer(PatternCall::GSub));
  wrapField(state, "rep", boundedRep, 0);
  lua_pop(state, 1);

  refusedLibrary(state, "io", kIoFunctions);
  refusedLibrary(state, "debug", kDebugFunctions);
  refusedLibrary(state, "package", kPackageFunctions);
}

}  // namespace KR
