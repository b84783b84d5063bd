kr_add_test(test_anim
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/keyframe_container_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/animation_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ribbon_test.cpp
  LIBS kr_anim)

# Frame descriptions are content files: their reader is fuzzed over Lua text.
# The seed corpus is written at build time by the fuzz source's seed-writer mode.
set(KR_ANIM_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/animation_description)
add_executable(animation_description_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/animation_description_fuzz.cpp)
target_compile_definitions(animation_description_seeds PRIVATE KR_SEED_WRITER)
target_compile_options(animation_description_seeds PRIVATE ${KR_WARNINGS})
set_target_properties(animation_description_seeds PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
add_custom_command(
  OUTPUT ${KR_ANIM_SEEDS}/seed0.lua
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_ANIM_SEEDS}
  COMMAND animation_description_seeds ${KR_ANIM_SEEDS}
  DEPENDS animation_description_seeds
  COMMENT "Writing the frame-description seed corpus")
add_custom_target(animation_description_corpus DEPENDS ${KR_ANIM_SEEDS}/seed0.lua)
kr_add_fuzzer(animation_description_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/animation_description_fuzz.cpp
  LIBS kr_anim
  CORPUS ${KR_ANIM_SEEDS}
  DEPENDS animation_description_corpus)
