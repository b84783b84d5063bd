# The play screens' logic over small locations built by the tests: hint
# search and trail, locations map, hidden-object quest, dialogue, the notebook screen.
kr_add_test(test_play_screens
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/hud/play_screens_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/hud/notebook_ui_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/hud/hint_trail_test.cpp
  LIBS kr_game
  DEPENDS kr_media
  # The play state runs the view streamer's thread.
  LABELS threads)

# The notebook on the demo content: the book button's animations, page
# widgets, controls under a modal window, pan and zoom.
kr_add_test(test_notebook_screen
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/hud/notebook_screen_test.cpp
  LIBS kr_game
  DEPENDS kr_media)

# The HUD, its screens and the pause menu in the running game, with the
# reference image of the panel out over the hall.
kr_add_test(test_hud_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/hud_playthrough_test.cpp
  LIBS kr_game_driver PNG::PNG
  DEPENDS kr_media quellmoor
  LABELS threads)

# The whole demo, launch to the credits, by input events. The limit only ends
# a hang: under the sanitizers on a busy two-core machine it takes minutes.
kr_add_test(test_demo_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/demo_playthrough_test.cpp
  LIBS kr_game_driver PNG::PNG
  DEPENDS kr_media quellmoor
  TIMEOUT 1200
  LABELS threads)
