# The demo locations: view descriptions, neighbours, streamer settings, the
# level script, the inventory items with their icons, the paper of the
# notebook and the map, the carried item's glow, the music with its two
# tracks (from the Vorbis writer) and the scenes with their pictures (drawn by
# the image maker).
set(KR_LOC_MEDIA ${PROJECT_SOURCE_DIR}/media/locations)
set(KR_LOC_OUT ${CMAKE_BINARY_DIR}/media-locations)
set(KR_LOC_PICTURES location_hall location_garden closeup_desk thing_passage thing_desk thing_stone thing_well
                    thing_chest thing_gardener thing_key icon_key icon_gem_red icon_gem_green icon_gem_blue icon_gems
                    icon_amulet paper glow)
set(KR_LOC_PNGS)
foreach(picture ${KR_LOC_PICTURES})
  list(APPEND KR_LOC_PNGS ${KR_LOC_OUT}/${picture}.png)
endforeach()
add_custom_command(
  OUTPUT ${KR_LOC_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_LOC_OUT}
  COMMAND image_maker locations ${KR_LOC_OUT}
  DEPENDS image_maker
  COMMENT "Drawing the demo locations' pictures"
  VERBATIM)
add_custom_command(
  OUTPUT ${KR_LOC_OUT}/music_track_a.ogg ${KR_LOC_OUT}/music_track_b.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_LOC_OUT}
  COMMAND vorbis_writer track ${KR_LOC_OUT}/music_track_a.ogg 0 90
  COMMAND vorbis_writer track ${KR_LOC_OUT}/music_track_b.ogg 1 75
  DEPENDS vorbis_writer
  COMMENT "Synthesising the play music's tracks"
  VERBATIM)
add_custom_target(kr_locations_media DEPENDS ${KR_LOC_PNGS} ${KR_LOC_OUT}/music_track_a.ogg
                                             ${KR_LOC_OUT}/music_track_b.ogg)
kr_media_add(DEST krp DIR data/locations FILES ${KR_LOC_PNGS} NAMES ${KR_LOC_PICTURES} DEPENDS kr_locations_media)
kr_media_add(DEST krp DIR data/locations/music FILES ${KR_LOC_OUT}/music_track_a.ogg ${KR_LOC_OUT}/music_track_b.ogg
             NAMES music_track_a music_track_b DEPENDS kr_locations_media)
kr_media_add(DEST krp DIR data/locations
             FILES ${KR_LOC_MEDIA}/views.xml ${KR_LOC_MEDIA}/view_neighbors.xml ${KR_LOC_MEDIA}/view_streamer_config.xml
                   ${KR_LOC_MEDIA}/views.lua ${KR_LOC_MEDIA}/inventory_items.xml
                   ${KR_LOC_MEDIA}/music_player_config.xml ${KR_LOC_MEDIA}/scene_hall.xml
                   ${KR_LOC_MEDIA}/scene_garden.xml ${KR_LOC_MEDIA}/scene_desk.xml ${KR_LOC_MEDIA}/scene_talk.xml
                   ${KR_LOC_MEDIA}/scene_amulets.xml
                   ${KR_LOC_MEDIA}/inventory_icons.lua
             NAMES views_xml view_neighbors_xml view_streamer_config_xml views_lua inventory_items_xml
                   music_player_config_xml scene_hall_xml scene_garden_xml scene_desk_xml scene_talk_xml
                   scene_amulets_xml inventory_icons)
