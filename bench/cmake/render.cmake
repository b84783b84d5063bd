kr_add_benchmark(render_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/render_bench.cpp
  LIBS kr_render)
# Whole frames timed with the card finished: the empty frame and the sprite
# comparison with the peers (../shared/peers/love-sprites).
kr_add_benchmark(frame_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/frame_bench.cpp
  LIBS kr_render)
