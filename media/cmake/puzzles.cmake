# The puzzle gallery off the hall: its scene, and per puzzle close-up its scene
# and "MinigameConfig" file; the pictures come from the image maker, the click
# and chime from the Vorbis writer. The views themselves are in views.xml, the
# finish hooks in views.lua.
set(KR_PUZ_MEDIA ${PROJECT_SOURCE_DIR}/media/puzzles)
set(KR_PUZ_OUT ${CMAKE_BINARY_DIR}/media-puzzles)
set(KR_PUZ_PICTURES gallery_backdrop gallery_plaque puzzle_backdrop puzzle_button puzzle_light puzzle_finish
                    puzzle_back puzzle_bar
                    # The pick-and-swap puzzles.
                    puzzle_tile puzzle_gear
                    # The solved banner, the telescope, and the jigsaws' picture whole and in quarters.
                    puzzle_banner puzzle_lens puzzle_star puzzle_gear8 puzzle_ring puzzle_picture puzzle_picture0 puzzle_picture1
                    puzzle_picture2 puzzle_picture3 puzzle_picture0_turned)
set(KR_PUZ_PNGS)
foreach(picture ${KR_PUZ_PICTURES})
  list(APPEND KR_PUZ_PNGS ${KR_PUZ_OUT}/${picture}.png)
endforeach()
add_custom_command(
  OUTPUT ${KR_PUZ_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_PUZ_OUT}
  COMMAND image_maker puzzles ${KR_PUZ_OUT}
  DEPENDS image_maker
  COMMENT "Drawing the puzzle gallery's pictures"
  VERBATIM)
add_custom_command(
  OUTPUT ${KR_PUZ_OUT}/puzzle_click.ogg ${KR_PUZ_OUT}/puzzle_chime.ogg ${KR_PUZ_OUT}/puzzle_glide.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_PUZ_OUT}
  COMMAND vorbis_writer tone ${KR_PUZ_OUT}/puzzle_click.ogg 1 22050 2205 880
  COMMAND vorbis_writer tone ${KR_PUZ_OUT}/puzzle_chime.ogg 1 22050 16538 523
  COMMAND vorbis_writer tone ${KR_PUZ_OUT}/puzzle_glide.ogg 1 22050 4410 330
  DEPENDS vorbis_writer
  COMMENT "Synthesising the puzzles' click and chime"
  VERBATIM)
add_custom_target(kr_puzzles_media DEPENDS ${KR_PUZ_PNGS} ${KR_PUZ_OUT}/puzzle_click.ogg ${KR_PUZ_OUT}/puzzle_chime.ogg
                                           ${KR_PUZ_OUT}/puzzle_glide.ogg)
kr_media_add(DEST krp DIR data/puzzles FILES ${KR_PUZ_PNGS} NAMES ${KR_PUZ_PICTURES} DEPENDS kr_puzzles_media)
kr_media_add(DEST krp DIR data/puzzles/sounds FILES ${KR_PUZ_OUT}/puzzle_click.ogg ${KR_PUZ_OUT}/puzzle_chime.ogg
             NAMES puzzle_click puzzle_chime DEPENDS kr_puzzles_media)
kr_media_add(DEST krp DIR data/puzzles/sounds FILES ${KR_PUZ_OUT}/puzzle_glide.ogg NAMES puzzle_glide
             DEPENDS kr_puzzles_media)
# One scene and one configuration per puzzle close-up.
kr_media_add(DEST krp DIR data/puzzles
             FILES ${KR_PUZ_MEDIA}/scene_gallery.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_bqueue.xml ${KR_PUZ_MEDIA}/puzzle_bqueue.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_buttons.xml ${KR_PUZ_MEDIA}/puzzle_buttons.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_color.xml ${KR_PUZ_MEDIA}/puzzle_color.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_link.xml ${KR_PUZ_MEDIA}/puzzle_link.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_bqueue_locked.xml ${KR_PUZ_MEDIA}/puzzle_bqueue_locked.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_circle.xml ${KR_PUZ_MEDIA}/puzzle_circle.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_comb_slider.xml ${KR_PUZ_MEDIA}/puzzle_comb_slider.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_key.xml ${KR_PUZ_MEDIA}/puzzle_key.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_r_paires.xml ${KR_PUZ_MEDIA}/puzzle_r_paires.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_slider.xml ${KR_PUZ_MEDIA}/puzzle_slider.xml
             NAMES scene_gallery_xml
                   scene_puzzle_bqueue_xml puzzle_bqueue_xml
                   scene_puzzle_buttons_xml puzzle_buttons_xml
                   scene_puzzle_color_xml puzzle_color_xml
                   scene_puzzle_link_xml puzzle_link_xml
                   scene_puzzle_bqueue_locked_xml puzzle_bqueue_locked_xml
                   scene_puzzle_circle_xml puzzle_circle_xml
                   scene_puzzle_comb_slider_xml puzzle_comb_slider_xml
                   scene_puzzle_key_xml puzzle_key_xml
                   scene_puzzle_r_paires_xml puzzle_r_paires_xml
                   scene_puzzle_slider_xml puzzle_slider_xml)
# The pick-and-swap puzzles' close-ups.
kr_media_add(DEST krp DIR data/puzzles
             FILES ${KR_PUZ_MEDIA}/scene_puzzle_chains.xml ${KR_PUZ_MEDIA}/puzzle_chains.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_paires.xml ${KR_PUZ_MEDIA}/puzzle_paires.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_patnashki.xml ${KR_PUZ_MEDIA}/puzzle_patnashki.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_rightzone.xml ${KR_PUZ_MEDIA}/puzzle_rightzone.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_superswap.xml ${KR_PUZ_MEDIA}/puzzle_superswap.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_swaptype.xml ${KR_PUZ_MEDIA}/puzzle_swaptype.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_swapgroups.xml ${KR_PUZ_MEDIA}/puzzle_swapgroups.xml
             NAMES scene_puzzle_chains_xml puzzle_chains_xml
                   scene_puzzle_paires_xml puzzle_paires_xml
                   scene_puzzle_patnashki_xml puzzle_patnashki_xml
                   scene_puzzle_rightzone_xml puzzle_rightzone_xml
                   scene_puzzle_superswap_xml puzzle_superswap_xml
                   scene_puzzle_swaptype_xml puzzle_swaptype_xml
                   scene_puzzle_swapgroups_xml puzzle_swapgroups_xml)
# The drag, chain and path puzzles' close-ups.
kr_media_add(DEST krp DIR data/puzzles
             FILES ${KR_PUZ_MEDIA}/scene_puzzle_rpuzzle.xml ${KR_PUZ_MEDIA}/puzzle_rpuzzle.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_telescope.xml ${KR_PUZ_MEDIA}/puzzle_telescope.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_combpuzzle.xml ${KR_PUZ_MEDIA}/puzzle_combpuzzle.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_queue.xml ${KR_PUZ_MEDIA}/puzzle_queue.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_rotation.xml ${KR_PUZ_MEDIA}/puzzle_rotation.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_rightplace.xml ${KR_PUZ_MEDIA}/puzzle_rightplace.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_jigsaw.xml ${KR_PUZ_MEDIA}/puzzle_jigsaw.xml
                   ${KR_PUZ_MEDIA}/scene_puzzle_jigsaw_swap.xml ${KR_PUZ_MEDIA}/puzzle_jigsaw_swap.xml
             NAMES scene_puzzle_rpuzzle_xml puzzle_rpuzzle_xml
                   scene_puzzle_telescope_xml puzzle_telescope_xml
                   scene_puzzle_combpuzzle_xml puzzle_combpuzzle_xml
                   scene_puzzle_queue_xml puzzle_queue_xml
                   scene_puzzle_rotation_xml puzzle_rotation_xml
                   scene_puzzle_rightplace_xml puzzle_rightplace_xml
                   scene_puzzle_jigsaw_xml puzzle_jigsaw_xml
                   scene_puzzle_jigsaw_swap_xml puzzle_jigsaw_swap_xml)
