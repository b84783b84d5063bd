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
