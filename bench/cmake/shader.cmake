kr_add_benchmark(shader_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/shader_bench.cpp
  LIBS kr_render)
