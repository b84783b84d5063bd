# The platform layer: the only code that talks to SDL, OpenGL and POSIX directly.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_platform
  SOURCES
    ${KR_SRC}/platform/message_box.cpp
    ${KR_SRC}/platform/system_time.cpp
    ${KR_SRC}/platform/events.cpp
    ${KR_SRC}/platform/input_state.cpp
    ${KR_SRC}/platform/input_injection.cpp
    ${KR_SRC}/platform/window.cpp
    ${KR_SRC}/platform/single_instance.cpp
    ${KR_SRC}/platform/system_info.cpp
    ${KR_SRC}/platform/crash_handler.cpp
    ${KR_SRC}/platform/user_paths.cpp
    ${KR_SRC}/platform/safe_file.cpp
    ${KR_SRC}/platform/termination.cpp
  LIBS ${KR_SDL2} Threads::Threads ${CMAKE_DL_LIBS})
# The window presents through the render device when one draws into it.
target_link_libraries(kr_platform PUBLIC kr_platform_gl)
