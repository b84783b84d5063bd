# The guide box: its widget tree with its pictures and the arrow's scene.
set(KR_GUIDE_SRC ${PROJECT_SOURCE_DIR}/media/guide)
kr_media_add(DEST krp DIR data/guide
             FILES ${KR_GUIDE_SRC}/guide_box.lua ${KR_GUIDE_SRC}/guide_box_sprites.lua ${KR_GUIDE_SRC}/guide_arrow.xml
             NAMES guide_box_ui guide_box_sprites guide_arrow_xml)
