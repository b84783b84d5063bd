# Rendering: the OpenGL device layer, the render system, batching, design coordinates.
kr_add_test(test_render_device
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/render_device_test.cpp
  LIBS kr_platform_gl)
kr_add_test(test_render_system
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/render_system_dx8_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/design_coords_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/vertex_format_test.cpp
  LIBS kr_render PNG::PNG)
