# The game's showcase pages of picture formats and of frame animation, built
# over the demo media and drawn off screen.
kr_add_test(test_showcase_pages
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_pages_test.cpp
  LIBS kr_game kr_font_maker
  DEPENDS kr_media)

# The showcase's particle page, over the built demo media, drawn off screen.
kr_add_test(test_particles_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_particles_page_test.cpp
  LIBS kr_game kr_font_maker
  DEPENDS kr_media)
