# Text: laying out, measuring and drawing a page of 2,000 characters with the
# demo font, per frame on an off-screen device.
kr_add_benchmark(font_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/font_bench.cpp
  LIBS kr_font
  DEPENDS kr_media)
target_compile_definitions(font_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
