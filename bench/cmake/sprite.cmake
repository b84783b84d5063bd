# 10,000 sprites and 10,000 fast sprites drawn per frame through the managers
# on an off-screen device: CPU time and draw calls per frame.
kr_add_benchmark(sprite_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sprite_bench.cpp
  LIBS kr_sprite kr_image_maker)
