# The animated scene graph: tracks and the clock, the node base with play
# control and markers, drawing and the node kinds over the demo media.
set(KR_AE_TESTS ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/animationeditor)
kr_add_test(test_animationeditor
  SOURCES
    ${KR_AE_TESTS}/scene_node_animation_test.cpp
    ${KR_AE_TESTS}/scene_node_test.cpp
    ${KR_AE_TESTS}/scene_render_test.cpp
    ${KR_AE_TESTS}/scene_node_kinds_test.cpp
  LIBS kr_animationeditor
  DEPENDS kr_media)

# Scene files over the demo media, and the sound node heard through OpenAL
# Soft's wave device.
kr_add_test(test_scene_files
  SOURCES
    ${KR_AE_TESTS}/scene_loader_test.cpp
    ${KR_AE_TESTS}/sound_scene_node_test.cpp
  LIBS kr_animationeditor kr_vorbis_writer
  DEPENDS kr_media)

# The list of loaded scenes under loading threads.
kr_add_test(test_loaded_scene_list
  SOURCES ${KR_AE_TESTS}/loaded_scene_list_test.cpp
  LIBS kr_animationeditor
  LABELS threads)

# The game's showcase page of the scene graph, drawn off screen over the
# built demo media and compared with reference images.
kr_add_test(test_scene_graph_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_scene_graph_page_test.cpp
  LIBS kr_game PNG::PNG
  DEPENDS kr_media)

# The sprite-sheet cache under loading threads.
kr_add_test(test_sprite_sheet_cache
  SOURCES ${KR_AE_TESTS}/sprite_sheet_cache_test.cpp
  LIBS kr_animationeditor
  DEPENDS kr_media
  LABELS threads)

# The sprite node's readers (sprite sheets, Lua table animations, the binary
# form of nodes) are fuzzed; the seed corpus is written at build time by the
# fuzz source's seed-writer mode.
set(KR_AE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/sprite_scene_node)
kr_add_seed_writer(sprite_scene_node_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/sprite_scene_node_fuzz.cpp)
kr_add_fuzz_corpus(sprite_scene_node_corpus
  DIR ${KR_AE_SEEDS}
  OUTPUT ${KR_AE_SEEDS}/seed0.bin
  COMMAND sprite_scene_node_seeds ${KR_AE_SEEDS}
  DEPENDS sprite_scene_node_seeds
  COMMENT "Writing the sprite-node seed corpus")
kr_add_fuzzer(sprite_scene_node_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/sprite_scene_node_fuzz.cpp
  LIBS kr_animationeditor
  CORPUS ${KR_AE_SEEDS}
  DEPENDS sprite_scene_node_corpus)

# The game's showcase page of scene files, drawn off screen over the built
# demo media and compared with reference images.
kr_add_test(test_scene_files_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_scene_files_page_test.cpp
  LIBS kr_game PNG::PNG
  DEPENDS kr_media)

# The scene loader is fuzzed from the demo scenes.
set(KR_SCENE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/scene_loader)
kr_add_fuzz_corpus(scene_loader_corpus
  DIR ${KR_SCENE_SEEDS}
  OUTPUT ${KR_SCENE_SEEDS}/scene_files_demo.xml
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_demo.xml
          ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_sheet.xml ${KR_SCENE_SEEDS}
  DEPENDS ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_demo.xml ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_sheet.xml
  COMMENT "Copying the demo scenes into the scene-loader seed corpus")
kr_add_fuzzer(scene_loader_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/scene_loader_fuzz.cpp
  LIBS kr_animationeditor
  CORPUS ${KR_SCENE_SEEDS}
  DEPENDS scene_loader_corpus)
