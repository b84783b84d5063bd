# Configuration manager, localised text, XML data reader, XML archive, Lua wrapper and Lua data files.
target_sources(kr_content PRIVATE
  ${KR_SRC}/string_conversion.cpp
  ${KR_SRC}/lua_script_2.cpp
  ${KR_SRC}/lua_sandbox.cpp
  ${KR_SRC}/lua_data_file.cpp
  ${KR_SRC}/config_manager.cpp
  ${KR_SRC}/ui/text_manager.cpp
  ${KR_SRC}/xml_data_reader.cpp
  ${KR_SRC}/xml_iarchive.cpp
  ${KR_SRC}/object_factory.cpp
  ${KR_SRC}/xml_cached_files_manager.cpp)
