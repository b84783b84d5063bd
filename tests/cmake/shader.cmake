# Shader programs: the assembler translator (text, and run on the device with
# pixels read back), render targets, the displacement composite.
kr_add_test(test_shader_translator
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/shader_translator_test.cpp
  LIBS kr_platform_gl kr_shader_translator)
kr_add_test(test_shader_program
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/shader_program_test.cpp
  LIBS kr_render_targets kr_sprite kr_render kr_content)
