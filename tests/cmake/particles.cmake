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
  LIBS kr_particles kr_particle_maker)
kr_add_test(test_particle_system
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_system_test.cpp
  LIBS kr_particles kr_content)
kr_add_test(test_particle_threads
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/particle_system_threads_test.cpp
  LIBS kr_particles kr_particle_maker kr_content)
set_tests_properties(test_particle_threads PROPERTIES LABELS threads)
