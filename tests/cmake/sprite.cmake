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
  LIBS kr_sprite kr_anim kr_image_maker
  LABELS threads)

# Picture descriptions are content files: their readers are fuzzed over Lua
# text and XML. The seed corpus is written at build time by the fuzz source's
# seed-writer mode.
set(KR_SPRITE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/sprite_description)
kr_add_seed_writer(sprite_description_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/sprite_description_fuzz.cpp)
kr_add_fuzz_corpus(sprite_description_corpus
  DIR ${KR_SPRITE_SEEDS}
  OUTPUT ${KR_SPRITE_SEEDS}/seed0.txt
  COMMAND sprite_description_seeds ${KR_SPRITE_SEEDS}
  DEPENDS sprite_description_seeds
  COMMENT "Writing the picture-description seed corpus")
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
