# Five fountains of 10,000 live particles against LÖVE's ParticleSystem: the
# updates, the whole frame with the card finished, and effects handed out
# from the prototype cache and the pool.
kr_add_benchmark(particles_bench
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/particles_bench.cpp
  LIBS kr_particles kr_render kr_image_maker)
