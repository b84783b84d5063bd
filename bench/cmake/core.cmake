kr_add_benchmark(allocators_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/allocators_bench.cpp
  LIBS kr_core)
