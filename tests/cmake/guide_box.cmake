# The guide box in the running game with a sequence the test supplies, and its
# reference image over the hall.
kr_add_test(test_guide_box
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/guide_box_playthrough_test.cpp
  LIBS kr_game_driver PNG::PNG
  DEPENDS kr_media quellmoor
  LABELS threads)
