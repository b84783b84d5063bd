# The play screens around a location: the HUD, the item-added window, the
# pause menu with its configuration (its options window is the front end's), the
# inventory strip with its configuration and its two behaviours' settings,
# the hint button with its short demo recharge and its scene (the charge, the
# full button's rim, the map button's animations), the locations map's scene
# (hall, garden, shed) and close button, the casket's configuration, the HUD
# scene that draws and animates the casket and the book button's glow, and the
# amulets' totems.
set(KR_HUD_SRC ${PROJECT_SOURCE_DIR}/media/hud)
kr_media_add(DEST krp DIR data/hud
             FILES ${KR_HUD_SRC}/ingame_ui.lua ${KR_HUD_SRC}/item_added_window.lua ${KR_HUD_SRC}/ingame_menu.lua
                   ${KR_HUD_SRC}/ingame_menu_config.xml
                   ${KR_HUD_SRC}/inventory_panel.lua ${KR_HUD_SRC}/inventory_panel_config.xml
                   ${KR_HUD_SRC}/objects_list_behaviour.xml ${KR_HUD_SRC}/brief_behaviour.xml
                   ${KR_HUD_SRC}/hint_panel.lua ${KR_HUD_SRC}/hint_config.xml ${KR_HUD_SRC}/hos_behaviour.xml
                   ${KR_HUD_SRC}/map_scene.xml ${KR_HUD_SRC}/map_close_btn.lua
                   ${KR_HUD_SRC}/amulets_button_config.xml ${KR_HUD_SRC}/ingame_hud.xml
                   ${KR_HUD_SRC}/window_totems.xml ${KR_HUD_SRC}/hint_panel.xml
             NAMES ingame_ui item_added_window_ui ingame_menu_ui ingame_menu_config
                   inventory_panel_ui inventory_panel_config_xml objects_list_behaviour_xml brief_behaviour_xml
                   hint_panel_ui hint_config_xml hos_behaviour_xml map_scene_xml map_close_btn_ui
                   amulets_button_config_xml ingame_hud_xml window_totems_xml hint_panel_xml)
