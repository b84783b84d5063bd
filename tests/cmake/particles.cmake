# Particle effects: curves, emitters with their shapes, affectors, tails,
# effect files and the manager.
kr_add_test(test_particles
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/timed_value_interval_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_emitter_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_emitter_shapes_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_affectors_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_tail_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_files_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_drawing_test.cpp
  LIBS kr_particles kr_particle_maker)
kr_add_test(test_particle_system
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_system_test.cpp
  LIBS kr_particles kr_content)
kr_add_test(test_particle_threads
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_system_threads_test.cpp
  LIBS kr_particles kr_particle_maker kr_content kr_animationeditor
  LABELS threads)

# Effect files are content: their reader is fuzzed, followed by the effect's
# initialisation, its copy and a second of updates. The seeds are the demo
# effects, written at build time by particle_maker.
set(KR_PARTICLE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/particle_effect)
kr_add_fuzz_corpus(particle_effect_corpus
  DIR ${KR_PARTICLE_SEEDS}
  OUTPUT ${KR_PARTICLE_SEEDS}/fountain_fx.xml
  COMMAND particle_maker ${KR_PARTICLE_SEEDS}
  DEPENDS particle_maker
  COMMENT "Writing the particle effect seed corpus")
kr_add_fuzzer(particle_effect_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/particle_effect_fuzz.cpp
  LIBS kr_particles
  CORPUS ${KR_PARTICLE_SEEDS}
  DEPENDS particle_effect_corpus)
