# Shader programs: the assembler-to-GLSL translator (pure text, no GL), the
# device's shader objects, render targets and the render system's programs.
kr_add_library(kr_shader_translator
  SOURCES ${KR_SRC}/platform/shader_translator.cpp)
target_sources(kr_platform_gl PRIVATE ${KR_SRC}/platform/render_device_shaders.cpp)
target_link_libraries(kr_platform_gl PUBLIC kr_shader_translator)
target_sources(kr_render PRIVATE ${KR_SRC}/shader_program.cpp)
# The render-target slots hand out sprites, so that part sits above them.
kr_add_library(kr_render_targets
  SOURCES ${KR_SRC}/render_target.cpp
  LIBS kr_render kr_sprite)
