# The intro movie "movie_intro_xml": its description, the picture track and
# the sound track made at build time by the Theora writer (the sound by way
# of the Vorbis writer), and the styles of its label and subtitles.
set(KR_MOVIE_OUT ${CMAKE_BINARY_DIR}/media-movies)
add_custom_command(
  OUTPUT ${KR_MOVIE_OUT}/movie_intro.ogv ${KR_MOVIE_OUT}/movie_intro_sound.ogg
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_MOVIE_OUT}
  COMMAND theora_writer movie ${KR_MOVIE_OUT}/movie_intro.ogv ${KR_MOVIE_OUT}/movie_intro_sound.ogg
  DEPENDS theora_writer
  COMMENT "Making the intro movie"
  VERBATIM)
add_custom_target(kr_demo_movie DEPENDS ${KR_MOVIE_OUT}/movie_intro.ogv ${KR_MOVIE_OUT}/movie_intro_sound.ogg)

kr_media_add(DEST krp DIR data/movies
             FILES ${KR_MOVIE_OUT}/movie_intro.ogv ${KR_MOVIE_OUT}/movie_intro_sound.ogg
             NAMES movie_intro_ogv movie_intro_sound
             DEPENDS kr_demo_movie)
kr_media_add(DEST krp DIR data/movies
             FILES ${CMAKE_CURRENT_SOURCE_DIR}/movies/movie_intro.xml ${CMAKE_CURRENT_SOURCE_DIR}/movies/video_presets.lua
             NAMES movie_intro_xml video_presets_lua)
