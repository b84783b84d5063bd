# Widgets: building a screen of 200 widgets from its Lua table, and one frame
# of routing, update and drawing of 200 shown widgets on an off-screen device,
# over the built demo media.
kr_add_benchmark(ui_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ui_bench.cpp
  LIBS kr_ui
  DEPENDS kr_media)
target_compile_definitions(ui_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")

# Content widgets: a gliding strip scene list of 100 scene items and a list
# view of 1,000 lines scrolling in its clipped area, updated and drawn on an
# off-screen device over the built demo media.
kr_add_benchmark(widgets_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/widgets_bench.cpp
  LIBS kr_ui
  DEPENDS kr_media)
target_compile_definitions(widgets_bench PRIVATE KR_BENCH_MEDIA_DIR="${KR_MEDIA_DIR}")
