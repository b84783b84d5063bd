# Video: the Theora reading path, surfaces and their streamer, subtitles and
# the video player. Clips are made in memory by the Theora writer.
kr_add_test(test_video
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_surface_decoder_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_surface_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_player_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_application_test.cpp
  LIBS kr_video kr_theora_writer kr_image_maker
  LABELS threads)

# Fuzz target of the Ogg Theora reading path; its seeds are made by the
# Theora writer.
set(KR_THEORA_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/theora_stream)
kr_add_fuzz_corpus(kr_theora_fuzz_corpus
  DIR ${KR_THEORA_CORPUS}
  COMMAND theora_writer corpus ${KR_THEORA_CORPUS}
  DEPENDS theora_writer
  COMMENT "Making the Theora fuzz seeds")
kr_add_fuzzer(theora_stream_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/theora_stream_fuzz.cpp
  LIBS kr_video
  CORPUS ${KR_THEORA_CORPUS}
  DEPENDS kr_theora_fuzz_corpus)

# The game's showcase page of video, over the built demo media.
kr_add_test(test_video_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_video_page_test.cpp
  LIBS kr_game
  DEPENDS kr_media
  LABELS threads)
