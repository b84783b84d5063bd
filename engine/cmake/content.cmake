# Content access: file system and its readers, configuration, localised text, XML and Lua.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_content
  SOURCES ${KR_SRC}/content_library.cpp
  LIBS kr_core kr_platform PkgConfig::LUA51 PkgConfig::MINIZIP pugixml::pugixml ${KR_UTF8CPP} ZLIB::ZLIB)
# Readers and the file system.
include(${CMAKE_CURRENT_LIST_DIR}/content/files.cmake)
# Configuration, text, XML and Lua.
include(${CMAKE_CURRENT_LIST_DIR}/content/data.cmake)
