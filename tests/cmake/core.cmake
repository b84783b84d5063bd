kr_add_test(test_core
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/singleton_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/format_string_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/report_assert_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/value_types_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/memory_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/function_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/jobs_timers_test.cpp
  LIBS kr_core
  LABELS threads)
