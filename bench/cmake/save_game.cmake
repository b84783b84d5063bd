# Saving the demo's game (encode and crash-safe write without the flush)
# and loading it (read, parse and check against its descriptions).
kr_add_benchmark(save_game_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/save_game_bench.cpp
  LIBS kr_savetool kr_game
  DEPENDS kr_media)
target_compile_definitions(save_game_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
