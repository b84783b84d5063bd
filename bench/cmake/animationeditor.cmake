# 2,000 animated scene nodes (three sprites to one text) over the built demo
# media: the tree's update, and update plus drawing on an off-screen device.
kr_add_benchmark(scene_graph_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scene_graph_bench.cpp
  LIBS kr_animationeditor
  DEPENDS kr_media)
target_compile_definitions(scene_graph_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}/")

# A scene file of 1,000 keyed sprite objects: loading it, and its update plus
# drawing on an off-screen device, over the built demo media.
kr_add_benchmark(scene_files_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scene_files_bench.cpp
  LIBS kr_animationeditor
  DEPENDS kr_media)
target_compile_definitions(scene_files_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}/")
