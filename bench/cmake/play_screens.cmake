# The hint search over 32 generated locations of 64 triggers each.
kr_add_benchmark(play_screens_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/play_screens_bench.cpp
  LIBS kr_game)
