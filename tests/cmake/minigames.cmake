# The puzzles, played from replays on the headless game driver: one program,
# test_replays, plays any file under tests/data/replays/<group>/, and
# kr_add_replays(<group>) adds one test per file of the group
# (test_replays_<group>.<name>), each a new game of its own, so that they run
# in parallel and time out alone. One program rather than one per group: each
# links the whole game, and copies of it fill gigabytes in the sanitizer builds.
# Puzzles run on the main thread only; a group given THREADS also runs under
# the thread sanitizer, for the view streamer's thread that play starts.
if(NOT KR_FUZZ)
  add_executable(test_replays ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/minigame_replay_test.cpp)
  set_target_properties(test_replays PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
  target_compile_options(test_replays PRIVATE ${KR_WARNINGS})
  target_compile_definitions(test_replays PRIVATE KR_REPLAY_ROOT="${CMAKE_CURRENT_SOURCE_DIR}/data/replays")
  target_link_libraries(test_replays PRIVATE kr_test_support kr_game_driver)
  add_dependencies(test_replays kr_media quellmoor)
endif()

function(kr_add_replays group)
  cmake_parse_arguments(ARG "THREADS" "" "" ${ARGN})
  if(KR_FUZZ)
    return()
  endif()
  set(name test_replays_${group})
  set(folder ${CMAKE_CURRENT_SOURCE_DIR}/data/replays/${group})
  file(GLOB replays CONFIGURE_DEPENDS ${folder}/*.txt)
  foreach(replay ${replays})
    get_filename_component(stem ${replay} NAME_WE)
    add_test(NAME ${name}.${stem} COMMAND test_replays --gtest_filter=*PlaysThrough/${group}__${stem}
             WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/tests)
    set_tests_properties(${name}.${stem} PROPERTIES TIMEOUT 900 LABELS replay)
    if(ARG_THREADS)
      set_tests_properties(${name}.${stem} PROPERTIES LABELS "replay;threads")
    endif()
  endforeach()
endfunction()

# The press puzzles: ordered buttons, button group, colour buttons, linked toggles.
kr_add_replays(press THREADS)
# The pick-and-swap puzzles, a program each so that they run side by side.
foreach(group chains paires patnashki rightzone superswap swaptype swapgroups)
  kr_add_replays(${group})
endforeach()
# The drag, chain and path puzzles, a program each.
foreach(group rpuzzle telescope combpuzzle queue rotation rightplace jigsaw jigsaw_swap)
  kr_add_replays(${group})
endforeach()

# The stepping puzzles: linked circles, slider lock, staged controls, frame
# cycling, slider groups.
kr_add_replays(step)

# Any bytes as a puzzle class's configuration, played on its demo scene; the
# seeds are the gallery's configurations.
set(KR_MINIGAME_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/minigame_config)
kr_add_seed_writer(minigame_config_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/minigame_config_fuzz.cpp)
target_compile_definitions(minigame_config_seeds PRIVATE KR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
kr_add_fuzz_corpus(minigame_config_corpus
  DIR ${KR_MINIGAME_SEEDS}
  OUTPUT ${KR_MINIGAME_SEEDS}/seed0.bin
  COMMAND minigame_config_seeds ${KR_MINIGAME_SEEDS}
  DEPENDS minigame_config_seeds
  COMMENT "Writing the puzzle-configuration seed corpus")
kr_add_fuzzer(minigame_config_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/minigame_config_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_MINIGAME_SEEDS}
  DEPENDS minigame_config_corpus)
target_compile_definitions(minigame_config_fuzz PRIVATE KR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# The puzzle classes driven directly on small scenes of plain nodes: their
# rules, edges and bad configurations, fast enough to run after every change.
# It runs in a second: the limit ends a puzzle that loops.
kr_add_test(test_minigames
  TIMEOUT 120
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/puzzle_rig.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/minigame_frame_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/comb_puzzle_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/pick_puzzles_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/press_puzzles_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/puzzle_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/queue_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/right_zone_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/rotation_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/rpuzzle_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/minigames/step_puzzles_test.cpp
  LIBS kr_game)
