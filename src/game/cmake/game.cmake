# The game: its core and host as a library (shared with the tests) and the
# executable `quellmoor` beside its media folder.
set(KR_GAME_SRC ${PROJECT_SOURCE_DIR}/src/game)
kr_add_library(kr_game
  SOURCES
    ${KR_GAME_SRC}/system/main_win.cpp
    ${KR_GAME_SRC}/core/game_application.cpp
    ${KR_GAME_SRC}/core/showcase/showcase.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_sound_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_image_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_sprite_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_animation_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_font_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_distortion_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_video_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_widgets_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_controls_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_scene_lists_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_scene_graph_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_particles_page.cpp
    ${KR_GAME_SRC}/core/showcase/showcase_scene_files_page.cpp
    ${KR_GAME_SRC}/core/main_menu_state/profile_system.cpp
    ${KR_GAME_SRC}/core/main_menu_state/main_menu.cpp
    ${KR_GAME_SRC}/core/main_menu_state/front_end_support.cpp
    ${KR_GAME_SRC}/core/main_menu_state/difficult_selection_window.cpp
    ${KR_GAME_SRC}/core/main_menu_state/enter_profile_name_window.cpp
    ${KR_GAME_SRC}/core/main_menu_state/info_message_box.cpp
    ${KR_GAME_SRC}/core/main_menu_state/user_dialog.cpp
    ${KR_GAME_SRC}/core/authors_movie_state/authors_movie.cpp
    ${KR_GAME_SRC}/core/logo_state/logo_game_state.cpp
    ${KR_GAME_SRC}/core/app_state.cpp
    ${KR_GAME_SRC}/core/game_cursor_manager.cpp
    ${KR_GAME_SRC}/core/game_post_processing_renderer.cpp
    ${KR_GAME_SRC}/core/game_state/game.cpp
    ${KR_GAME_SRC}/core/game_state/game_message.cpp
    ${KR_GAME_SRC}/core/game_state/input_state.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_effect.cpp
    ${KR_GAME_SRC}/core/game_state/game_task_manager.cpp
    ${KR_GAME_SRC}/core/game_state/game_lua_state.cpp
    ${KR_GAME_SRC}/core/game_state/ui_message_manager.cpp
    ${KR_GAME_SRC}/core/game_state/sound/event_sound_player.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_description.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_factory.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_registry.cpp
    ${KR_GAME_SRC}/core/game_state/extensions/view_extension.cpp
    ${KR_GAME_SRC}/core/game_state/views/view.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_stack.cpp
    ${KR_GAME_SRC}/core/game_state/views/view_streamer.cpp
    ${KR_GAME_SRC}/core/game_state/views/transformation_controller.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/scene_node_state_list.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/scene_node_tasks.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/area_trigger.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/item_trigger.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/animation_trigger.cpp
    ${KR_GAME_SRC}/core/game_state/extensions/hos_view_extension.cpp
    ${KR_GAME_SRC}/core/game_state/saves/save_load_game_progress_system.cpp
    ${KR_GAME_SRC}/core/game_state/script/lua_integration.cpp
    ${KR_GAME_SRC}/core/game_state/script/cut_scene.cpp
    ${KR_GAME_SRC}/core/game_state/triggers/trigger_visualizer.cpp
    ${KR_GAME_SRC}/core/game_state/extensions/hos_item_disapperence_effect_manager.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/inventory.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/inventory_item_factory.cpp
    ${KR_GAME_SRC}/core/game_state/sound/music_player.cpp
    ${KR_GAME_SRC}/core/game_state/hud/hint_search.cpp
    ${KR_GAME_SRC}/core/game_state/hud/hint_panel.cpp
    ${KR_GAME_SRC}/core/game_state/hud/hint_trail.cpp
    ${KR_GAME_SRC}/core/game_state/views/held_particle_effect.cpp
    ${KR_GAME_SRC}/core/game_state/hud/guide_box.cpp
    ${KR_GAME_SRC}/core/game_state/hud/amulets_button.cpp
    ${KR_GAME_SRC}/core/game_state/hud/notebook_records.cpp
    ${KR_GAME_SRC}/core/game_state/hud/notebook_ui.cpp
    ${KR_GAME_SRC}/core/game_state/extensions/hos_quest_view_extension.cpp
    ${KR_GAME_SRC}/core/game_state/extensions/dialog_view_extension.cpp
    ${KR_GAME_SRC}/core/game_state/hud/locations_map.cpp
    ${KR_GAME_SRC}/core/game_state/hud/in_game_ui.cpp
    ${KR_GAME_SRC}/core/game_state/hud/in_game_menu.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/inventory_panel_ui.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/brief_panel_behaviour.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/hos_panel_behaviour.cpp
    ${KR_GAME_SRC}/core/game_state/inventory_panel/objects_list_panel_behaviour.cpp
    ${KR_GAME_SRC}/core/main_menu_state/options_window.cpp
  LIBS kr_app kr_anim kr_animationeditor kr_render_targets kr_save_game)
target_include_directories(kr_game PUBLIC ${KR_GAME_SRC})

add_executable(quellmoor ${KR_GAME_SRC}/system/main.cpp)
target_compile_options(quellmoor PRIVATE ${KR_WARNINGS})
target_link_libraries(quellmoor PRIVATE kr_game)
set_target_properties(quellmoor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KR_BIN_DIR})
add_dependencies(quellmoor kr_media)
