# User interface and input: the polled input devices, widgets built from Lua
# tables, their states, the UI manager and its controller, and the sprite,
# label and button widgets.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_ui
  SOURCES
    ${KR_SRC}/input_manager_win_mac.cpp
    ${KR_SRC}/mouse_device_win.cpp
    ${KR_SRC}/ui/ui_state.cpp
    ${KR_SRC}/ui/ui_widget.cpp
    ${KR_SRC}/ui/ui_controller.cpp
    ${KR_SRC}/ui/ui_manager.cpp
    ${KR_SRC}/ui/ui_load_cache.cpp
    ${KR_SRC}/ui/ui_sprite.cpp
    ${KR_SRC}/ui/ui_label.cpp
    ${KR_SRC}/ui/ui_button.cpp
  LIBS kr_font kr_sprite kr_sound kr_anim kr_render kr_content kr_core kr_platform PkgConfig::LUA51)
