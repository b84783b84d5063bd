# The notebook: its configuration, the book's (with its page widgets) and the
# controls' UI, its loading animation, the diary's five records (the last takes
# a whole spread) and the book's paper (the picture is the locations' "paper").
set(KR_NOTEBOOK_SRC ${PROJECT_SOURCE_DIR}/media/notebook)
kr_media_add(DEST krp DIR data/notebook
             FILES ${KR_NOTEBOOK_SRC}/notebook_config.xml ${KR_NOTEBOOK_SRC}/notebook_ui.lua
                   ${KR_NOTEBOOK_SRC}/notebook_controls.lua ${KR_NOTEBOOK_SRC}/record_arrival.xml
                   ${KR_NOTEBOOK_SRC}/record_key.xml ${KR_NOTEBOOK_SRC}/record_gems.xml ${KR_NOTEBOOK_SRC}/record_shed.xml
                   ${KR_NOTEBOOK_SRC}/record_amulet.xml ${KR_NOTEBOOK_SRC}/notebook_loading.xml
                   ${KR_NOTEBOOK_SRC}/notebook_sprites.lua
             NAMES notebook_config_xml notebook_ui notebook_controls_ui record_arrival_xml record_key_xml
                   record_gems_xml record_shed_xml record_amulet_xml notebook_loading_xml notebook_sprites)
