# Video: Theora surfaces with their decoding thread, subtitles and the video player.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_video
  SOURCES
    ${KR_SRC}/video_surface_decoder.cpp
    ${KR_SRC}/video_surface_shader.cpp
    ${KR_SRC}/video_surface.cpp
    ${KR_SRC}/video_surface_streamer.cpp
  LIBS kr_sprite kr_render kr_content kr_core PkgConfig::THEORADEC PkgConfig::OGG)
