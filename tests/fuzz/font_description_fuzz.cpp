// Runs arbitrary bytes as a font description and reads it with both font
// readers: the simple font's glyph table and the UI font's levels, glyph
// lists and code table. Neither may crash, hang or read out of bounds; every
// refusal must leave the Lua stack as it was.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "font.h"
#include "fuzz_lua.h"
#include "log_system.h"
#include "lua_data_file.h"
#include "lua_script_2.h"
#include "ui/ui_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem log;
  KR::Fuzz::MemoryFence fence;
  // Metamethods run during the reads too: the instruction budget stays on.
  lua_State* state = KR::Fuzz::newFencedState(&fence);
  if (!state) return 0;
  KR::LuaStateHolder holder(state, true);
  KR::runLuaDataText(holder, reinterpret_cast<const char*>(data), size);
  lua_settop(state, 0);
  // The ceiling holds while the chunk runs; the readers run unfenced, since an
  // allocation failure outside a protected call could not be reported.
  fence.on = false;

  std::vector<KR::FontGlyph> glyphs;
  uint32_t first = 0, last = 0;
  if (KR::readSimpleFontDescription(state, &glyphs, &first, &last) == KR::FontDescriptionError::kNone) {
    if (!glyphs.empty() && glyphs.size() != size_t(last) - first + 1) __builtin_trap();
  }
  if (lua_gettop(state) != 0) __builtin_trap();

  KR::LuaScript script(state, false);
  KR::UIFontDescription description;
  if (KR::readUIFontDescription(script, &description) == KR::UIFontDescriptionError::kNone) {
    if (description.codeTable.size() != KR::kFontCodeTableSize) __builtin_trap();
    if (description.codeTable[0xFFFF] != KR::kNoGlyph) __builtin_trap();
    for (uint32_t k = 0; k < description.levelCount; ++k)
      if (description.levels[k].glyphs.size() != description.glyphCount) __builtin_trap();
    KR::UIFont font;
    font.setDescription(std::move(description), "default");
    const std::wstring text = L"Ab \n\u65E5\U0001F600";
    font.getWStringWidth(text.data(), text.data() + text.size(), 1.0f);
    font.measureWStringRect(KR::Vector2<float>(0, 0), text, true, 1, 1, 1.0f, 1.0f, 20.0f, 20.0f);
    KR::fontLineHeight(&font);
  }
  if (lua_gettop(state) != 0 || script.getDepth() != 0) __builtin_trap();
  return 0;
}
