kr_add_test(test_anim
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/keyframe_container_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/animation_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ribbon_test.cpp
  LIBS kr_anim)

# Frame descriptions are content files: their reader is fuzzed over Lua text.
# The seed corpus is written at build time by the fuzz source's seed-writer mode.
set(KR_ANIM_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/animation_description)
kr_add_seed_writer(animation_description_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/animation_description_fuzz.cpp)
kr_add_fuzz_corpus(animation_description_corpus
  DIR ${KR_ANIM_SEEDS}
  OUTPUT ${KR_ANIM_SEEDS}/seed0.lua
  COMMAND animation_description_seeds ${KR_ANIM_SEEDS}
  DEPENDS animation_description_seeds
  COMMENT "Writing the frame-description seed corpus")
kr_add_fuzzer(animation_description_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/animation_description_fuzz.cpp
  LIBS kr_anim
  CORPUS ${KR_ANIM_SEEDS}
  DEPENDS animation_description_corpus)
