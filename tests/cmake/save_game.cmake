# The saved game's file: sections, refusals, crash-safe writes; its fuzz target
# (the loader with and without the descriptions, and the menu's check) is
# seeded by savetool.
kr_add_test(test_save_game
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/saves/save_game_file_test.cpp
  LIBS kr_savetool)
set(KR_SAVE_CORPUS ${PROJECT_BINARY_DIR}/fuzz/seeds/save_game)
kr_add_fuzz_corpus(save_game_corpus
  DIR ${KR_SAVE_CORPUS}
  OUTPUT ${KR_SAVE_CORPUS}/small.sav
  COMMAND savetool seeds ${KR_SAVE_CORPUS}
  DEPENDS savetool)
kr_add_fuzzer(save_game_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/save_game_fuzz.cpp
  LIBS kr_savetool
  CORPUS ${KR_SAVE_CORPUS}
  DEPENDS save_game_corpus)

# The story played through, saved mid cut scene, continued after a restart.
kr_add_test(test_story_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/story_playthrough_test.cpp
  LIBS kr_game_driver
  DEPENDS kr_media quellmoor
  LABELS threads)

# Damaged and unwritable saves, a runaway level script and the termination
# signal, played through.
kr_add_test(test_bad_input_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/bad_input_playthrough_test.cpp
  LIBS kr_game_driver
  DEPENDS kr_media quellmoor
  LABELS threads)

# The play state's story parts over the demo descriptions: Lua tables,
# animation and hidden-object triggers, the scene, dissolve, cut scene, saves.
kr_add_test(test_story
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/script/story_test.cpp
  LIBS kr_game kr_savetool
  DEPENDS kr_media
  LABELS threads)

# Level scripts calling every table function with arbitrary arguments.
set(KR_SCRIPT_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/level_script)
kr_add_seed_writer(level_script_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/level_script_fuzz.cpp)
target_link_libraries(level_script_seeds PRIVATE kr_game)
kr_add_fuzz_corpus(level_script_corpus
  DIR ${KR_SCRIPT_SEEDS}
  OUTPUT ${KR_SCRIPT_SEEDS}/seed0.lua
  COMMAND level_script_seeds ${KR_SCRIPT_SEEDS}
  DEPENDS level_script_seeds
  COMMENT "Writing the level-script seed corpus")
kr_add_fuzzer(level_script_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/level_script_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_SCRIPT_SEEDS}
  DEPENDS level_script_corpus)

# The level script's load path: the demo's script as text and precompiled.
set(KR_SCRIPT_LOAD_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/level_script_load)
kr_add_seed_writer(level_script_load_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/level_script_load_fuzz.cpp)
target_link_libraries(level_script_load_seeds PRIVATE PkgConfig::LUA51)
kr_add_fuzz_corpus(level_script_load_corpus
  DIR ${KR_SCRIPT_LOAD_SEEDS}
  OUTPUT ${KR_SCRIPT_LOAD_SEEDS}/seed0.lua
  COMMAND level_script_load_seeds ${PROJECT_SOURCE_DIR}/media/locations/views.lua ${KR_SCRIPT_LOAD_SEEDS}
  DEPENDS level_script_load_seeds ${PROJECT_SOURCE_DIR}/media/locations/views.lua
  COMMENT "Writing the level-script load seed corpus")
kr_add_fuzzer(level_script_load_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/level_script_load_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_SCRIPT_LOAD_SEEDS}
  DEPENDS level_script_load_corpus)
