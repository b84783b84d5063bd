# Widget demo: the screen, panel and dialog UI files with their sprite
# descriptions and text styles, the panel picture (sprite_sheet_maker) and
# the click sound every button plays (a short tone from vorbis_writer).
set(KR_UI_OUT ${CMAKE_BINARY_DIR}/media-ui)
add_custom_command(
  OUTPUT ${KR_UI_OUT}/demo_ui_panel.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_UI_OUT}
  COMMAND sprite_sheet_maker ui ${KR_UI_OUT}
  DEPENDS sprite_sheet_maker
  COMMENT "Making the widget demo picture"
  VERBATIM)
add_custom_command(
  OUTPUT ${KR_UI_OUT}/button_clicked.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_UI_OUT}
  COMMAND vorbis_writer tone ${KR_UI_OUT}/button_clicked.ogg 1 22050 2400 1320
  DEPENDS vorbis_writer
  COMMENT "Synthesising the button click"
  VERBATIM)
add_custom_target(kr_ui_media DEPENDS ${KR_UI_OUT}/demo_ui_panel.png ${KR_UI_OUT}/button_clicked.ogg)

kr_media_add(DEST krp DIR data/images FILES ${KR_UI_OUT}/demo_ui_panel.png NAMES demo_ui_panel DEPENDS kr_ui_media)
kr_media_add(DEST krp DIR data/sounds FILES ${KR_UI_OUT}/button_clicked.ogg NAMES button_clicked_sound
             DEPENDS kr_ui_media)
set(KR_UI_SRC ${PROJECT_SOURCE_DIR}/media/ui)
kr_media_add(DEST krp DIR data/ui
             FILES ${KR_UI_SRC}/ui_demo.lua ${KR_UI_SRC}/ui_demo_panel.lua ${KR_UI_SRC}/ui_demo_dialog.lua
                   ${KR_UI_SRC}/ui_demo_sprites.lua ${KR_UI_SRC}/ui_demo_presets.lua
             NAMES ui_demo_lua ui_demo_panel_lua ui_demo_dialog_lua ui_demo_sprites ui_demo_presets_lua)
