# Sound manager, OpenAL back end and Ogg Vorbis decoding.
kr_add_test(test_sound
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/vorbis_decoder_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/sound_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/sound_device_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/demo_sounds_test.cpp
  LIBS kr_sound kr_vorbis_writer
  DEPENDS kr_media
  LABELS threads)

# Decoder fuzz target; its seeds are written by the Vorbis writer at build time.
set(KR_VORBIS_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/vorbis_decoder)
kr_add_fuzz_corpus(kr_vorbis_fuzz_corpus
  DIR ${KR_VORBIS_CORPUS}
  OUTPUT ${KR_VORBIS_CORPUS}/stereo.ogg
  COMMAND vorbis_writer corpus ${KR_VORBIS_CORPUS}
  DEPENDS vorbis_writer
  COMMENT "Writing the Vorbis decoder seed corpus")
kr_add_fuzzer(vorbis_decoder_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/vorbis_decoder_fuzz.cpp
  LIBS kr_sound
  CORPUS ${KR_VORBIS_CORPUS}
  DEPENDS kr_vorbis_fuzz_corpus)

# The sound manager inside the application's start-up, tick and shutdown.
kr_add_test(test_sound_app
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sound_system/application_sound_test.cpp
  LIBS kr_app kr_sound)

# The game's showcase page of sound.
kr_add_test(test_sound_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_sound_page_test.cpp
  LIBS kr_game
  DEPENDS kr_media)
