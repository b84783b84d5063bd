# The play state's bookkeeping per frame: one pass of 256 queued script calls
# with text arguments and 1,000 messages to 16 listeners, with the heap
# allocations they make counted.
kr_add_benchmark(game_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_bench.cpp
  LIBS kr_game)
