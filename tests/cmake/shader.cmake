# Shader programs: the assembler translator (text, and run on the device with
# pixels read back), render targets, the displacement composite.
kr_add_test(test_shader_translator
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/shader_translator_test.cpp
  LIBS kr_platform_gl kr_shader_translator)
kr_add_test(test_shader_program
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/shader_program_test.cpp
  LIBS kr_render_targets kr_sprite kr_render kr_content)

# Shader files are content: the translator is fuzzed over assembler text. The
# seed corpus is written at build time by the fuzz source's seed-writer mode,
# with the content's own shader files among the seeds.
set(KR_SHADER_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/shader_translator)
file(GLOB KR_SHADER_CONTENT ${PROJECT_SOURCE_DIR}/media/shaders/*.psh ${PROJECT_SOURCE_DIR}/media/shaders/*.vsh)
kr_add_seed_writer(shader_translator_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/shader_translator_fuzz.cpp)
kr_add_fuzz_corpus(shader_translator_corpus
  DIR ${KR_SHADER_SEEDS}
  OUTPUT ${KR_SHADER_SEEDS}/seed0.txt
  COMMAND shader_translator_seeds ${KR_SHADER_SEEDS} ${KR_SHADER_CONTENT}
  DEPENDS shader_translator_seeds ${KR_SHADER_CONTENT}
  COMMENT "Writing the shader translator seed corpus")
kr_add_fuzzer(shader_translator_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/shader_translator_fuzz.cpp
  LIBS kr_shader_translator
  CORPUS ${KR_SHADER_SEEDS}
  DEPENDS shader_translator_corpus)

# The game's showcase page of the distortion map, over the built demo media.
kr_add_test(test_distortion_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_distortion_page_test.cpp
  LIBS kr_game
  DEPENDS kr_media)
