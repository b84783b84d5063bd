# Bitmap fonts: the simple font, the UI fonts with their resolution levels,
# the font manager and presets, and the text layout they share.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_font
  SOURCES
    ${KR_SRC}/text_layout.cpp
    ${KR_SRC}/font.cpp
    ${KR_SRC}/font_preset.cpp
    ${KR_SRC}/ui/ui_font.cpp
    ${KR_SRC}/ui/ui_font_manager.cpp
  LIBS kr_sprite kr_render kr_content kr_core pugixml::pugixml PkgConfig::LUA51)
