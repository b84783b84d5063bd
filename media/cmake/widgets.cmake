# Widgets with content: the "Controls" and "Scene lists" screens, their
# sprite descriptions, and the hand-written scenes of the scene-node button,
# the strip and book lists and their item.
set(KR_WIDGETS_UI ${PROJECT_SOURCE_DIR}/media/ui)
kr_media_add(DEST krp DIR data/ui
             FILES ${KR_WIDGETS_UI}/ui_controls.lua ${KR_WIDGETS_UI}/ui_scene_lists.lua
                   ${KR_WIDGETS_UI}/ui_controls_sprites.lua
             NAMES ui_controls_lua ui_scene_lists_lua ui_controls_sprites)
set(KR_WIDGETS_SCENES ${PROJECT_SOURCE_DIR}/media/scenes)
kr_media_add(DEST zip DIR data/scenes
             FILES ${KR_WIDGETS_SCENES}/ui_controls_button.xml ${KR_WIDGETS_SCENES}/ui_list_item.xml
                   ${KR_WIDGETS_SCENES}/ui_strip_list.xml ${KR_WIDGETS_SCENES}/ui_book_list.xml
             NAMES ui_controls_button_xml ui_list_item_xml ui_strip_list_xml ui_book_list_xml)
