kr_add_benchmark(sound_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sound_bench.cpp
  LIBS kr_sound
  DEPENDS kr_media)
target_compile_definitions(sound_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
