kr_add_benchmark(render_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/render_bench.cpp
  LIBS kr_render)
