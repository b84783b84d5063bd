# Core services: singletons, log, formatting, fatal errors, notifications,
# value types and maths.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_core
  SOURCES
    ${KR_SRC}/singleton.cpp
    ${KR_SRC}/log_system.cpp
    ${KR_SRC}/format_string.cpp
    ${KR_SRC}/report_assert.cpp
    ${KR_SRC}/notification.cpp
    ${KR_SRC}/color.cpp
    ${KR_SRC}/rect.cpp
    ${KR_SRC}/matrix3.cpp
    ${KR_SRC}/geometry.cpp
    ${KR_SRC}/buddy_allocator.cpp
    ${KR_SRC}/stack_allocator.cpp
    ${KR_SRC}/engine_allocators.cpp
    ${KR_SRC}/memory_manager.cpp
    ${KR_SRC}/lex_binded_function_manager.cpp
    ${KR_SRC}/thread.cpp
    ${KR_SRC}/job_manager.cpp
    ${KR_SRC}/timer_manager.cpp
    ${KR_SRC}/benchmarker.cpp
  LIBS kr_platform Threads::Threads)
