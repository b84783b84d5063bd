# Bitmap fonts: the two text layouts, font descriptions (good and damaged),
# the font manager and presets, and text drawn off screen and read back.
kr_add_test(test_font
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/text_layout_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/font_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_font_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_font_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/font_draw_test.cpp
  LIBS kr_font kr_image_maker
  DEPENDS kr_media)
if(TARGET test_font)
  # The UI tests share the sprite tests' content helpers.
  target_include_directories(test_font PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/engine/src)
endif()

# Fuzz target of the font-description readers; font_maker writes the seeds.
set(KR_FONT_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/font_description)
kr_add_fuzz_corpus(kr_font_description_fuzz_corpus
  DIR ${KR_FONT_CORPUS}
  COMMAND font_maker corpus ${KR_FONT_CORPUS}
  DEPENDS font_maker
  COMMENT "Making the font description fuzz seeds")
kr_add_fuzzer(font_description_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/font_description_fuzz.cpp
  LIBS kr_font
  CORPUS ${KR_FONT_CORPUS}
  DEPENDS kr_font_description_fuzz_corpus)

# The game's showcase page of fonts, over the built demo media.
kr_add_test(test_font_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_font_page_test.cpp
  LIBS kr_game kr_font_maker
  DEPENDS kr_media)

# Movie and cut-scene descriptions, subtitles, the font settings and presets
# and the text node's presets behind one target, a leading byte choosing the
# loader; the seeds are the demo's own files.
set(KR_TEXT_CONFIG_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/text_config)
kr_add_seed_writer(text_config_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/text_config_fuzz.cpp)
kr_add_fuzz_corpus(text_config_corpus
  DIR ${KR_TEXT_CONFIG_SEEDS}
  OUTPUT ${KR_TEXT_CONFIG_SEEDS}/seed0.bin
  COMMAND text_config_seeds ${PROJECT_SOURCE_DIR}/media ${KR_TEXT_CONFIG_SEEDS}
  DEPENDS text_config_seeds
  COMMENT "Writing the text-configuration seed corpus")
kr_add_fuzzer(text_config_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/text_config_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_TEXT_CONFIG_SEEDS}
  DEPENDS text_config_corpus)
