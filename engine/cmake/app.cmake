# The application base: engine start-up, frame tick, shutdown, and the
# engine-side managers it creates before their subsystems fill them in.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_app
  SOURCES
    ${KR_SRC}/application.cpp
    ${KR_SRC}/crash_report.cpp
  LIBS kr_ui kr_core kr_platform kr_content kr_sound kr_render kr_sprite kr_font kr_particles)
