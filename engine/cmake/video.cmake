# Video: Theora surfaces with their decoding thread, subtitles and the video player.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_video
  SOURCES
    ${KR_SRC}/video_surface_decoder.cpp
    ${KR_SRC}/video_surface_shader.cpp
    ${KR_SRC}/video_surface.cpp
    ${KR_SRC}/video_surface_streamer.cpp
    ${KR_SRC}/subtitles.cpp
    ${KR_SRC}/video_player.cpp
  LIBS kr_font kr_sprite kr_render kr_app kr_sound kr_content kr_core PkgConfig::THEORADEC PkgConfig::OGG)
# The application creates the streamer and the player, ticks and draws the
# player; the render system's frame uploads the decoded frames.
target_link_libraries(kr_app PUBLIC kr_video)
target_link_libraries(kr_render PUBLIC kr_video)
# Those links close a loop of static libraries (application, render system,
# pictures, fonts, video): the linker needs to see the loop more than twice.
set_property(TARGET kr_video PROPERTY LINK_INTERFACE_MULTIPLICITY 4)
# The colour conversion's loops are written for vector code; GCC's -O2 cost
# model gives up on loops that need an alias check or a remainder, so this file
# lets it weigh them like -O3 does (clang vectorises them at -O2 already).
set_source_files_properties(${KR_SRC}/video_surface_decoder.cpp
  PROPERTIES COMPILE_OPTIONS "$<$<CXX_COMPILER_ID:GNU>:-fvect-cost-model=dynamic>")
