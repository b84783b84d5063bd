kr_add_test(test_platform
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/events_input_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/single_instance_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/crash_handler_test.cpp
  LIBS kr_platform ${KR_SDL2})

# The termination signals and their watchdog thread.
kr_add_test(test_termination
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/platform/termination_test.cpp
  LIBS kr_platform
  LABELS threads)
