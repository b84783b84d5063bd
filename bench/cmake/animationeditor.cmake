# 2,000 animated scene nodes (three sprites to one text) over the built demo
# media: the tree's update, and update plus drawing on an off-screen device.
kr_add_benchmark(scene_graph_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scene_graph_bench.cpp
  LIBS kr_animationeditor
  DEPENDS kr_media)
target_compile_definitions(scene_graph_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}/")
