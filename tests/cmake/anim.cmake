kr_add_test(test_anim
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/keyframe_container_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/animation_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ribbon_test.cpp
  LIBS kr_anim)
