# OpenGL device layer (platform), render system, render data and batching, design coordinates.
kr_add_library(kr_platform_gl
  SOURCES ${KR_SRC}/platform/render_device_gl.cpp ${KR_SRC}/platform/render_device_programs.cpp
  LIBS ${KR_SDL2} OpenGL::OpenGL)
target_sources(kr_render PRIVATE
  ${KR_SRC}/render_system_dx8.cpp
  ${KR_SRC}/render_data.cpp
  ${KR_SRC}/design_coords.cpp
  ${KR_SRC}/vertex_format.cpp)
# The render system calls the application's render hooks.
target_link_libraries(kr_render PUBLIC kr_platform_gl kr_app)
