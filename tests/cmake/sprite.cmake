# Pictures: description parsing in both spellings, sprites, fast sprites and
# their managers, drawn off-screen with the frame read back where drawing
# matters; the ribbon trail drawn through a sprite.
kr_add_test(test_sprite
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_description_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/fast_sprite_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/sprite_manager_test.cpp
  LIBS kr_sprite kr_anim kr_image_maker)
