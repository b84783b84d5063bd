# Video: the Theora reading path, surfaces and their streamer, subtitles and
# the video player. Clips are made in memory by the Theora writer.
kr_add_test(test_video
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_surface_decoder_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/video_surface_test.cpp
  LIBS kr_video kr_theora_writer)
