# Frame animations, their keyframe tracks and the ribbon trail.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_anim
  SOURCES
    ${KR_SRC}/keyframe_container.cpp
    ${KR_SRC}/animation.cpp
    ${KR_SRC}/ribbon.cpp
  LIBS kr_core kr_content)
