# OpenGL device layer (platform), render system, render data and batching, design coordinates.
kr_add_library(kr_platform_gl
  SOURCES ${KR_SRC}/platform/render_device_gl.cpp
  LIBS ${KR_SDL2} OpenGL::OpenGL)
target_link_libraries(kr_render PUBLIC kr_platform_gl)
