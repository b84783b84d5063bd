# Configuration, localised text, string conversions, XML data reader, XML archive, Lua wrapper and Lua data files.
kr_add_test(test_data
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/string_conversion_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/lua_script_2_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/lua_sandbox_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/config_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/text_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/xml_data_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/xml_iarchive_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/lua_data_file_test.cpp
  LIBS kr_content)

# Fuzz targets of the XML data reader, the XML archive and the Lua data-file
# reader. Their seeds are written here at configure time.
set(KR_DATA_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus)
function(kr_data_seed target name text)
  file(WRITE ${KR_DATA_CORPUS}/${target}/${name} "${text}")
endfunction()

kr_data_seed(xml_data_reader values.xml [=[<?xml version="1.0" encoding="utf-8"?>
<root>
  <maxLoadedViewCount v="16"/>
  <speed v="2.5"/><enabled v="yes"/><title v="Caf&#xE9;"/>
  <pos v0="3.5" v1="-2"/>
  <area v0="10" v1="20" v2="30" v3="40"/>
  <tint r="255" g="128" b="0" a="255"/>
  <section><inner v="7"/><list><v0 v="a"/><v1 v="b"/><v3 v="d"/></list></section>
  <records><v0><x v="1"/><pos v0="1" v1="2"/></v0><v1><x v="2"/></v1></records>
</root>
]=])
kr_data_seed(xml_data_reader empty.xml "")
kr_data_seed(xml_data_reader comment.xml "<?xml version=\"1.0\"?><!-- nothing -->")
kr_data_seed(xml_data_reader other_root.xml "<data><v0 v=\"1\"/></data>")
kr_add_fuzzer(xml_data_reader_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/xml_data_reader_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_DATA_CORPUS}/xml_data_reader)

kr_data_seed(xml_iarchive effect.xml [=[<?xml version="1.0"?>
<root>
  <mCount v="3"/><mScale v="0.500000"/><mFlag v="true"/>
  <mPosition x="1.000000" y="2.000000"/>
  <mKey><mTime v="0.250000"/><mColor r="255" g="0" b="0" a="128"/></mKey>
  <mSingle class_name="Group"><mName v="single"/><mBounds left="0" top="0" right="10" bottom="10"/></mSingle>
  <mNodes sz="3">
    <e0 class_name="Node"><mName v="a"/><mKeys sz="2"><e0><mTime v="1"/></e0></mKeys></e0>
    <e1 class_name="Other"/>
    <e2 class_name="Unknown"/>
  </mNodes>
  <mGrid sz="2"><e0 sz="2"><e0 v="1"/><e1 v="2"/></e0><e1 sz="-1"/></mGrid>
</root>
]=])
kr_data_seed(xml_iarchive empty.xml "<root/>")
kr_data_seed(xml_iarchive big_count.xml "<root><mNodes sz=\"99999999\"/><mGrid sz=\"100000\"><e0 sz=\"100000\"/></mGrid></root>")
kr_add_fuzzer(xml_iarchive_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/xml_iarchive_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_DATA_CORPUS}/xml_iarchive)

kr_data_seed(lua_data_file font.lua [=[image = "font_main.png"
height = 16
chars = {
  { 65, 0, 0, 12, 16 },
  { 66, 12, 0, "12", 16 },
  { 67, 24, 0, 12 },
}
tint = { 255, 128, 0, 255 }
pos = { 10, "20" }
area = { 1, 2, 3, 4 }
ref = { "buttons", "buttonRect", "default" }
flag = 1
]=])
kr_data_seed(lua_data_file broken.lua "image = ")
kr_data_seed(lua_data_file loop.lua "x = 0 while true do x = x + 1 end")
string(ASCII 27 KR_ESCAPE)
kr_data_seed(lua_data_file chunk.lua "${KR_ESCAPE}Lua")
kr_add_fuzzer(lua_data_file_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/lua_data_file_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_DATA_CORPUS}/lua_data_file)

# The configuration and the string tables through the file system; seeds are
# the media build's own files and the inputs kept from fuzzing (tests/fuzz/seeds).
set(KR_CONFIG_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/config)
kr_add_fuzz_corpus(kr_config_fuzz_corpus
  DIR ${KR_CONFIG_CORPUS}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/media/krp/config.lua ${KR_CONFIG_CORPUS}/media.lua
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seeds/config ${KR_CONFIG_CORPUS}
  DEPENDS kr_media
  COMMENT "Making the configuration fuzz seeds")
kr_add_fuzzer(config_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/config_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_CONFIG_CORPUS}
  DEPENDS kr_config_fuzz_corpus)

set(KR_STRINGS_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/strings_xml)
kr_add_fuzz_corpus(kr_strings_fuzz_corpus
  DIR ${KR_STRINGS_CORPUS}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/media/zip/data/strings/strings_en.xml
          ${KR_STRINGS_CORPUS}/strings_en.xml
  DEPENDS kr_media
  COMMENT "Making the string table fuzz seeds")
kr_add_fuzzer(strings_xml_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/strings_xml_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_STRINGS_CORPUS}
  DEPENDS kr_strings_fuzz_corpus)
