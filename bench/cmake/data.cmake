kr_add_benchmark(data_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/data_bench.cpp
  LIBS kr_content)
