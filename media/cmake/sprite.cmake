# Sprite demo: pictures made at build time by the sprite sheet maker, and the
# picture descriptions in both spellings (Lua and XML).
set(KR_SPRITE_IMAGES ${CMAKE_BINARY_DIR}/media-sprites)
set(KR_SPRITE_PNGS
  ${KR_SPRITE_IMAGES}/demo_sprite_sheet.png
  ${KR_SPRITE_IMAGES}/demo_sprite_grid.png
  ${KR_SPRITE_IMAGES}/demo_sprite_disc.png)
add_custom_command(
  OUTPUT ${KR_SPRITE_PNGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_SPRITE_IMAGES}
  COMMAND sprite_sheet_maker ${KR_SPRITE_IMAGES}
  DEPENDS sprite_sheet_maker
  COMMENT "Making the sprite demo pictures"
  VERBATIM)
add_custom_target(kr_sprite_images DEPENDS ${KR_SPRITE_PNGS})

kr_media_add(DEST krp DIR data/images FILES ${KR_SPRITE_PNGS}
             NAMES demo_sprite_sheet demo_sprite_grid demo_sprite_disc
             DEPENDS kr_sprite_images)
kr_media_add(DEST zip DIR data/sprites
             FILES ${PROJECT_SOURCE_DIR}/media/sprites/demo_sprites.lua
                   ${PROJECT_SOURCE_DIR}/media/sprites/demo_sprites.xml
             NAMES demo_sprites demo_sprites_xml)
