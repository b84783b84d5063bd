# The game shell's content: its settings, event sounds (tones from the Vorbis
# writer), the five animated cursor scenes and the loading screen with their
# pictures (drawn by the image maker), and the on-screen messages' font.
set(KR_GAME_MEDIA ${PROJECT_SOURCE_DIR}/media/game)
set(KR_GAME_OUT ${CMAKE_BINARY_DIR}/media-game)
set(KR_GAME_PICTURES cursor_default cursor_hand cursor_passage cursor_look cursor_take loading_image
                     loading_backdrop)
set(KR_GAME_PNGS)
foreach(picture ${KR_GAME_PICTURES})
  list(APPEND KR_GAME_PNGS ${KR_GAME_OUT}/${picture}.png)
endforeach()
add_custom_command(
  OUTPUT ${KR_GAME_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_GAME_OUT}
  COMMAND image_maker game ${KR_GAME_OUT}
  DEPENDS image_maker
  COMMENT "Drawing the game's cursors and loading pictures"
  VERBATIM)

# name, frequency (Hz), length (frames at 22050 Hz)
set(KR_GAME_TONES
  event_found 880 5000 event_transition 440 7000 event_closeup 550 4000 event_location 330 6000
  event_action 660 4000 event_missed 220 3000 event_item_added 990 6000 event_page_turned 740 2500
  event_notebook_closed 370 4000)
set(KR_GAME_SOUNDS)
set(KR_GAME_SOUND_NAMES)
list(LENGTH KR_GAME_TONES KR_GAME_TONE_ITEMS)
math(EXPR KR_GAME_TONE_LAST "${KR_GAME_TONE_ITEMS} - 1")
foreach(i RANGE 0 ${KR_GAME_TONE_LAST} 3)
  math(EXPR j "${i} + 1")
  math(EXPR k "${i} + 2")
  list(GET KR_GAME_TONES ${i} tone)
  list(GET KR_GAME_TONES ${j} frequency)
  list(GET KR_GAME_TONES ${k} frames)
  add_custom_command(
    OUTPUT ${KR_GAME_OUT}/${tone}.ogg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_GAME_OUT}
    COMMAND vorbis_writer tone ${KR_GAME_OUT}/${tone}.ogg 1 22050 ${frames} ${frequency}
    DEPENDS vorbis_writer
    COMMENT "Synthesising the event sound ${tone}"
    VERBATIM)
  list(APPEND KR_GAME_SOUNDS ${KR_GAME_OUT}/${tone}.ogg)
  list(APPEND KR_GAME_SOUND_NAMES ${tone})
endforeach()
add_custom_target(kr_game_media DEPENDS ${KR_GAME_PNGS} ${KR_GAME_SOUNDS})

kr_media_add(DEST krp DIR data/game FILES ${KR_GAME_PNGS} NAMES ${KR_GAME_PICTURES} DEPENDS kr_game_media)
kr_media_add(DEST krp DIR data/game/sounds FILES ${KR_GAME_SOUNDS} NAMES ${KR_GAME_SOUND_NAMES}
             DEPENDS kr_game_media)
kr_media_add(DEST krp DIR data/game
             FILES ${KR_GAME_MEDIA}/general_config.xml ${KR_GAME_MEDIA}/event_sound_player.xml
                   ${KR_GAME_MEDIA}/custom_cursors.xml ${KR_GAME_MEDIA}/cursor_default.xml
                   ${KR_GAME_MEDIA}/cursor_hand.xml ${KR_GAME_MEDIA}/cursor_passage.xml
                   ${KR_GAME_MEDIA}/cursor_look.xml ${KR_GAME_MEDIA}/cursor_take.xml
                   ${KR_GAME_MEDIA}/loading_screen.xml
             NAMES general_config_xml event_sound_player_xml custom_cursors_xml cursor_default_xml cursor_hand_xml
                   cursor_passage_xml cursor_look_xml cursor_take_xml loading_screen_xml)
# The on-screen messages' font: the bar draws it with letter and line coefficients of -1 and -2, which take 5
# and 10 pixels off each advance and line, so its cells carry that much empty room (and a pixel more between
# letters).
set(KR_FONT02_OUT ${CMAKE_BINARY_DIR}/media-fonts)
add_custom_command(
  OUTPUT ${KR_FONT02_OUT}/font02_image.png ${KR_FONT02_OUT}/font02_image_mip1.png ${KR_FONT02_OUT}/font02.lua
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_FONT02_OUT}
  COMMAND font_maker font --font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --size 24 --scales 1,0.5
          --images font02_image,font02_image_mip1 --spacing 6 --leading 10 --out ${KR_FONT02_OUT}
          --description font02.lua
  DEPENDS font_maker
  COMMENT "Rendering the message bar's font"
  VERBATIM)
add_custom_target(kr_message_font
  DEPENDS ${KR_FONT02_OUT}/font02_image.png ${KR_FONT02_OUT}/font02_image_mip1.png ${KR_FONT02_OUT}/font02.lua)
kr_media_add(DEST krp DIR data/game
             FILES ${KR_FONT02_OUT}/font02.lua ${KR_FONT02_OUT}/font02_image.png ${KR_FONT02_OUT}/font02_image_mip1.png
             NAMES font02_fnt font02_image font02_image_mip1
             DEPENDS kr_message_font)
