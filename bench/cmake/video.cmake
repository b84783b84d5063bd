# Video: a 640 x 480 clip decoded by libtheora alone, by the surfaces' reading
# path with either colour path, and decoded, uploaded and drawn on a device.
kr_add_benchmark(video_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/video_bench.cpp
  LIBS kr_video kr_theora_writer)
if(TARGET video_bench)
  # The clip is read through the tests' in-memory file.
  target_include_directories(video_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endif()
