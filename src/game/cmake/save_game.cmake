# The saved game's file format, shared by the game and tools/savetool.
kr_add_library(kr_save_game
  SOURCES ${PROJECT_SOURCE_DIR}/src/game/core/game_state/saves/save_game_file.cpp
  LIBS kr_core
  INCLUDES ${PROJECT_SOURCE_DIR}/src/game)
