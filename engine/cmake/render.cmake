# Rendering: the OpenGL device layer (platform), the render system, textures and images.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_render
  SOURCES ${KR_SRC}/render_library.cpp
  LIBS kr_core kr_platform kr_content PNG::PNG ZLIB::ZLIB)
# Device layer, render system, batching, design coordinates.
include(${CMAKE_CURRENT_LIST_DIR}/render/device.cmake)
# Texture manager, textures and image loaders.
include(${CMAKE_CURRENT_LIST_DIR}/render/textures.cmake)
# Shader translator, shader programs and render targets.
include(${CMAKE_CURRENT_LIST_DIR}/render/shader.cmake)
