# Core services: singletons, log, formatting, fatal errors, notifications.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_core
  SOURCES
    ${KR_SRC}/singleton.cpp
    ${KR_SRC}/log_system.cpp
    ${KR_SRC}/format_string.cpp
    ${KR_SRC}/report_assert.cpp
    ${KR_SRC}/notification.cpp
  LIBS kr_platform Threads::Threads)
