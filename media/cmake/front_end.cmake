# The front end: the start-up logos ("/pc_logo/logo.xml" with its pictures,
# the title's under "/pc_localization/en/"), the main menu with its
# configuration, scene and backdrop, its windows (options, difficulty, name
# entry, profile list, message box and questions) with their scenes, the
# credits, the pause menu's options and difficulty windows, and the menu music
# and the options' two test sounds. Windows that differ only in their handler
# names are made from one template each.
set(KR_FRONT_SRC ${PROJECT_SOURCE_DIR}/media/front_end)
set(KR_FRONT_OUT ${CMAKE_BINARY_DIR}/media_front_end)

add_custom_command(
  OUTPUT ${KR_FRONT_OUT}/logo_studio.png ${KR_FRONT_OUT}/logo_engine.png ${KR_FRONT_OUT}/logo_title.png
         ${KR_FRONT_OUT}/menu_backdrop.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_FRONT_OUT}
  COMMAND image_maker front ${KR_FRONT_OUT}
  DEPENDS image_maker
  COMMENT "Making the logos and the menu's backdrop"
  VERBATIM)
add_custom_command(
  OUTPUT ${KR_FRONT_OUT}/menu_music.ogg ${KR_FRONT_OUT}/pliers.ogg ${KR_FRONT_OUT}/stone.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_FRONT_OUT}
  COMMAND vorbis_writer music ${KR_FRONT_OUT}/menu_music.ogg
  COMMAND vorbis_writer effect ${KR_FRONT_OUT}/pliers.ogg
  COMMAND vorbis_writer tone ${KR_FRONT_OUT}/stone.ogg 1 22050 6000 150
  DEPENDS vorbis_writer
  COMMENT "Synthesising the menu music and the options' test sounds"
  VERBATIM)
add_custom_target(kr_front_end_media
  DEPENDS ${KR_FRONT_OUT}/logo_studio.png ${KR_FRONT_OUT}/menu_music.ogg)

# The templates: difficulty windows, message windows and options windows.
foreach(spec "selectdiff;MMDiff" "options_diff;OPDiff" "ingame_diff;IGDiff")
  list(GET spec 0 file)
  list(GET spec 1 PREFIX)
  configure_file(${KR_FRONT_SRC}/difficulty.lua.in ${KR_FRONT_OUT}/${file}.lua @ONLY)
endforeach()
foreach(spec "info_message;InfoMessageBox;infoMessageBox_btnOkClicked;"
             "confirm_exit;ConfirmExitDialog;confirmExitDialog_btnOkClicked;confirmExitDialog_btnCancelClicked"
             "confirm_restart;ConfirmRestartDialog;confirmRestartDialog_btnOkClicked;confirmRestartDialog_btnCancelClicked"
             "confirm_delete;ConfirmDeleteDialog;confirmDeleteDialog_btnOkClicked;confirmDeleteDialog_btnCancelClicked")
  list(GET spec 0 file)
  list(GET spec 1 TABLE)
  list(GET spec 2 OK)
  list(LENGTH spec count)
  set(CANCEL "")
  if(count GREATER 3)
    list(GET spec 3 CANCEL)
  endif()
  configure_file(${KR_FRONT_SRC}/dialog.lua.in ${KR_FRONT_OUT}/${file}.lua @ONLY)
endforeach()
foreach(spec "mm_options;MMOptions" "ingame_options;IGOptions")
  list(GET spec 0 file)
  list(GET spec 1 PREFIX)
  configure_file(${KR_FRONT_SRC}/options_window.lua.in ${KR_FRONT_OUT}/${file}.lua @ONLY)
endforeach()

kr_media_add(DEST krp DIR pc_logo
             FILES ${KR_FRONT_SRC}/logo.xml ${KR_FRONT_OUT}/logo_studio.png ${KR_FRONT_OUT}/logo_engine.png
             DEPENDS kr_front_end_media)
kr_media_add(DEST krp DIR pc_localization/en FILES ${KR_FRONT_OUT}/logo_title.png DEPENDS kr_front_end_media)
kr_media_add(DEST krp DIR data/images FILES ${KR_FRONT_OUT}/menu_backdrop.png NAMES menu_backdrop
             DEPENDS kr_front_end_media)
kr_media_add(DEST krp DIR data/sounds
             FILES ${KR_FRONT_OUT}/menu_music.ogg ${KR_FRONT_OUT}/pliers.ogg ${KR_FRONT_OUT}/stone.ogg
             NAMES menu_sound 2_pliers_sound 6_stone_sound
             DEPENDS kr_front_end_media)
kr_media_add(DEST krp DIR data/front_end
             FILES ${KR_FRONT_SRC}/main_menu_config.xml ${KR_FRONT_SRC}/main_menu.lua ${KR_FRONT_SRC}/main_menu_scene.xml
                   ${KR_FRONT_SRC}/front_end_sprites.lua ${KR_FRONT_SRC}/dialog_scene.xml
                   ${KR_FRONT_SRC}/options_scene.xml ${KR_FRONT_SRC}/user_dialog.lua
                   ${KR_FRONT_SRC}/user_dialog_scene.xml ${KR_FRONT_SRC}/name_window.lua
                   ${KR_FRONT_SRC}/name_window_scene.xml ${KR_FRONT_SRC}/authors.lua ${KR_FRONT_SRC}/authors_scene.xml
                   ${KR_FRONT_OUT}/selectdiff.lua ${KR_FRONT_OUT}/options_diff.lua ${KR_FRONT_OUT}/ingame_diff.lua
                   ${KR_FRONT_OUT}/info_message.lua ${KR_FRONT_OUT}/confirm_exit.lua ${KR_FRONT_OUT}/confirm_restart.lua
                   ${KR_FRONT_OUT}/confirm_delete.lua ${KR_FRONT_OUT}/mm_options.lua ${KR_FRONT_OUT}/ingame_options.lua
             NAMES main_menu_config_xml main_menu_ui main_menu_scene_xml front_end_sprites dialog_scene_xml
                   options_scene_xml user_dialog_ui user_dialog_scene_xml name_window_ui name_window_scene_xml
                   authors_ui authors_scene_xml selectdiff_ui options_diff_ui ingame_diff_ui info_message_ui
                   confirm_exit_ui confirm_restart_ui confirm_delete_ui mm_options_ui ingame_options_ui)
