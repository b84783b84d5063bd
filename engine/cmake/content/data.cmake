# Configuration manager, localised text, XML data reader, XML archive, Lua wrapper and Lua data files.
target_sources(kr_content PRIVATE
  ${KR_SRC}/string_conversion.cpp
  ${KR_SRC}/lua_script_2.cpp
  ${KR_SRC}/config_manager.cpp
  ${KR_SRC}/ui/text_manager.cpp)
