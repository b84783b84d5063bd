# The play state's bookkeeping per frame: one pass of 256 queued script calls
# with text arguments and 1,000 messages to 16 listeners, with the heap
# allocations they make counted.
kr_add_benchmark(game_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_bench.cpp
  LIBS kr_game)

# The hall's neighbours streaming in behind the frames: the longest
# main-thread frame on the demo content.
kr_add_benchmark(locations_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/locations_bench.cpp
  LIBS kr_game
  DEPENDS kr_media)
target_compile_definitions(locations_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_BIN_DIR}/media/")

# Whole frames of the real game through the headless driver: the hall, the
# desk close-up, the notebook open, the shed's hidden-object scene, a puzzle.
kr_add_benchmark(game_frames_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/game_frames_bench.cpp
  LIBS kr_game_driver
  DEPENDS kr_media)
target_include_directories(game_frames_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
