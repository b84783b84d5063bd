# Video: a 640 x 480 clip decoded by libtheora alone, by the surfaces' reading
# path with either colour path, and decoded, uploaded and drawn on a device on
# either path.
kr_add_benchmark(video_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/video_bench.cpp
  LIBS kr_video kr_theora_writer
  DEPENDS kr_media)
if(TARGET video_bench)
  # The clip is read through the tests' in-memory file.
  target_include_directories(video_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The shader path's program comes from the built demo content.
  target_compile_definitions(video_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
endif()
