# The story's content: the shed (a hidden-object scene) and its cut scene,
# the hidden-object scenes' configuration, the found-item dissolve's and the
# trigger highlights with their glow.
kr_media_add(DEST krp DIR data/story
             FILES ${CMAKE_CURRENT_SOURCE_DIR}/locations/scene_shed.xml ${CMAKE_CURRENT_SOURCE_DIR}/story/cutscene_shed.xml
                   ${CMAKE_CURRENT_SOURCE_DIR}/story/hos_base_config.xml ${CMAKE_CURRENT_SOURCE_DIR}/story/hos01_config.xml
                   ${CMAKE_CURRENT_SOURCE_DIR}/story/hos_item_disapperence_effect_manager.xml
                   ${CMAKE_CURRENT_SOURCE_DIR}/story/trigger_visualizer_config.xml ${CMAKE_CURRENT_SOURCE_DIR}/story/trigger_glow.xml
                   ${CMAKE_CURRENT_SOURCE_DIR}/story/trigger_apply_glow.xml
             NAMES scene_shed_xml cutscene_shed_xml hos_base_config_xml hos01_config_xml
                   hos_item_disapperence_effect_manager_xml trigger_visualizer_config_xml trigger_glow_xml
                   trigger_apply_glow_xml)

# The story's end: the desk's quest, the gardener's dialogue and the finale.
kr_media_add(DEST krp DIR data/story
             FILES ${CMAKE_CURRENT_SOURCE_DIR}/story/desk_quest.xml ${CMAKE_CURRENT_SOURCE_DIR}/story/talk01_config.xml
                   ${CMAKE_CURRENT_SOURCE_DIR}/story/finale.xml ${CMAKE_CURRENT_SOURCE_DIR}/story/talk01_ui.lua
             NAMES desk_quest_xml talk01_config_xml finale_xml talk01_ui)
