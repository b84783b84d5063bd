kr_add_test(test_app
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/application_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/main_win_test.cpp
  LIBS kr_game ${KR_SDL2}
  LABELS threads)
