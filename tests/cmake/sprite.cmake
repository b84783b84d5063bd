# Pictures: description parsing in both spellings, sprites, fast sprites and
# their managers, drawn off-screen with the frame read back where drawing
# matters; the ribbon trail drawn through a sprite.
kr_add_test(test_sprite
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_description_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/fast_sprite_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/vertex_layout_switch_test.cpp
  LIBS kr_sprite kr_anim kr_image_maker)

# Picture descriptions are content files: their readers are fuzzed over Lua
# text and XML. The seed corpus is written at build time by the fuzz source's
# seed-writer mode.
set(KR_SPRITE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/sprite_description)
add_executable(sprite_description_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/sprite_description_fuzz.cpp)
target_compile_definitions(sprite_description_seeds PRIVATE KR_SEED_WRITER)
target_compile_options(sprite_description_seeds PRIVATE ${KR_WARNINGS})
set_target_properties(sprite_description_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
add_custom_command(
  OUTPUT ${KR_SPRITE_SEEDS}/seed0.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_SPRITE_SEEDS}
  COMMAND sprite_description_seeds ${KR_SPRITE_SEEDS}
  DEPENDS sprite_description_seeds
  COMMENT "Writing the picture-description seed corpus")
add_custom_target(sprite_description_corpus DEPENDS ${KR_SPRITE_SEEDS}/seed0.txt)
kr_add_fuzzer(sprite_description_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/sprite_description_fuzz.cpp
  LIBS kr_sprite
  CORPUS ${KR_SPRITE_SEEDS}
  DEPENDS sprite_description_corpus)

# The game's showcase page of sprites, over the built demo media.
kr_add_test(test_sprite_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_sprite_page_test.cpp
  LIBS kr_game
  DEPENDS kr_media)
