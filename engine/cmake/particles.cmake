# Particle effects: the manager with its prototype cache and pool, effects,
# emitters with their shapes and tails, affectors, value curves and the
# effect files' visiting archive.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_particles
  SOURCES
    ${KR_SRC}/timed_value_interval.cpp
    ${KR_SRC}/particle_tail.cpp
    ${KR_SRC}/particle_emitter.cpp
    ${KR_SRC}/particle_emitter_shapes.cpp
    ${KR_SRC}/particle_movement_affectors.cpp
    ${KR_SRC}/particle_rotation_affectors.cpp
    ${KR_SRC}/particle_class_registry.cpp
    ${KR_SRC}/particle_fx.cpp
    ${KR_SRC}/particle_system.cpp
  LIBS kr_sprite kr_anim kr_content kr_core)
