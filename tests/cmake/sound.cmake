# Sound manager, OpenAL back end and Ogg Vorbis decoding.
kr_add_test(test_sound
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/vorbis_decoder_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/sound_manager_test.cpp
  LIBS kr_sound kr_vorbis_writer)
