# Sounds of the demo, synthesised by the Vorbis writer at build time: a mono
# click effect, a stereo music track and a stereo ambient loop.
set(KR_SOUND_OUT ${CMAKE_BINARY_DIR}/media_sounds)
set(KR_SOUND_FILES)
foreach(kind effect music ambient)
  add_custom_command(
    OUTPUT ${KR_SOUND_OUT}/demo_${kind}.ogg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_SOUND_OUT}
    COMMAND vorbis_writer ${kind} ${KR_SOUND_OUT}/demo_${kind}.ogg
    DEPENDS vorbis_writer
    COMMENT "Synthesising the demo ${kind} sound")
  list(APPEND KR_SOUND_FILES ${KR_SOUND_OUT}/demo_${kind}.ogg)
endforeach()
kr_media_add(DEST krp DIR data/sounds
             FILES ${KR_SOUND_FILES}
             NAMES demo_click_sound demo_music demo_ambient_loop
             DEPENDS vorbis_writer)
