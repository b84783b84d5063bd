kr_add_benchmark(textures_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/textures_bench.cpp
  LIBS kr_render kr_image_maker)
