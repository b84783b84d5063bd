# Configuration, localised text, string conversions, XML data reader, XML archive, Lua wrapper and Lua data files.
kr_add_test(test_data
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/string_conversion_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/lua_script_2_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/config_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/text_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/xml_data_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/xml_iarchive_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/lua_data_file_test.cpp
  LIBS kr_content)
