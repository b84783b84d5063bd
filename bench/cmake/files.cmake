kr_add_benchmark(files_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/files_bench.cpp
  LIBS kr_content kr_krp_packer
  DEPENDS kr_media)
target_compile_definitions(files_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
