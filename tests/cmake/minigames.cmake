# The puzzles, played from replays on the headless game driver:
# kr_add_replays(<group>) makes test_replays_<group>, which plays every
# tests/data/replays/<group>/*.txt in a new game of its own.
function(kr_add_replays group)
  kr_add_test(test_replays_${group}
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/minigame_replay_test.cpp
    LIBS kr_game_driver
    DEPENDS kr_media quellmoor
    TIMEOUT 600
    # Play runs the view streamer's thread.
    LABELS threads)
  if(TARGET test_replays_${group})
    target_compile_definitions(test_replays_${group}
      PRIVATE KR_REPLAY_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/replays/${group}")
  endif()
endfunction()

# The press puzzles: ordered buttons, button group, colour buttons, linked toggles.
kr_add_replays(press)
# The pick-and-swap puzzles, a program each so that they run side by side.
foreach(group chains paires patnashki rightzone superswap swaptype swapgroups)
  kr_add_replays(${group})
endforeach()

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
