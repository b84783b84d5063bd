# User interface and input: the polled input devices, widgets built from Lua
# tables, their states, the UI manager and its controller, and the sprite,
# label and button widgets, scroll areas, bars, check boxes, lists, text
# edits, and the widgets that show particle effects, scenes and scene lists.
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
    ${KR_SRC}/ui/ui_pointer.cpp
    ${KR_SRC}/ui/ui_progress_bar.cpp
    ${KR_SRC}/ui/ui_scroll_area.cpp
    ${KR_SRC}/ui/ui_check_box.cpp
    ${KR_SRC}/ui/ui_list_view.cpp
    ${KR_SRC}/ui/ui_text_edit.cpp
    ${KR_SRC}/ui/ui_particle_fx.cpp
    ${KR_SRC}/ui/ui_scene_node.cpp
    ${KR_SRC}/ui/ui_scene_list.cpp
    ${KR_SRC}/ui/strip_scrolling_helper.cpp
    ${KR_SRC}/ui/book_scrolling_helper.cpp
  LIBS kr_animationeditor kr_particles kr_font kr_sprite kr_sound kr_anim kr_render kr_content kr_core kr_platform PkgConfig::LUA51)
