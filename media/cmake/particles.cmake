# Particle demo: the effect files (the showcase's five and the play screens'
# six) and the particle picture sheet, made at build time by particle_maker,
# with the sheet's sprite description and the comet's path animation.
set(KR_PARTICLE_MEDIA ${CMAKE_BINARY_DIR}/media-particles)
set(KR_PARTICLE_EFFECT_NAMES fountain_fx sparkles_fx vortex_fx flock_fx comet_fx notebook_top_fx notebook_bottom_fx
    hint_flash_fx hint_sparks_fx blackout_screen_fx item_found_fx)
set(KR_PARTICLE_EFFECTS "")
foreach(name ${KR_PARTICLE_EFFECT_NAMES})
  list(APPEND KR_PARTICLE_EFFECTS ${KR_PARTICLE_MEDIA}/${name}.xml)
endforeach()
add_custom_command(
  OUTPUT ${KR_PARTICLE_EFFECTS} ${KR_PARTICLE_MEDIA}/particle_sheet.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_PARTICLE_MEDIA}
  COMMAND particle_maker ${KR_PARTICLE_MEDIA}
  DEPENDS particle_maker
  COMMENT "Making the demo particle effects and their picture sheet"
  VERBATIM)
add_custom_target(kr_particle_media DEPENDS ${KR_PARTICLE_EFFECTS} ${KR_PARTICLE_MEDIA}/particle_sheet.png)

kr_media_add(DEST krp DIR data/images FILES ${KR_PARTICLE_MEDIA}/particle_sheet.png
             NAMES particle_sheet DEPENDS kr_particle_media)
kr_media_add(DEST zip DIR data/particles FILES ${KR_PARTICLE_EFFECTS}
             NAMES ${KR_PARTICLE_EFFECT_NAMES} DEPENDS kr_particle_media)
kr_media_add(DEST zip DIR data/sprites FILES ${PROJECT_SOURCE_DIR}/media/sprites/particle_sprites.lua
             NAMES particle_sprites)
kr_media_add(DEST zip DIR data/animations FILES ${PROJECT_SOURCE_DIR}/media/animations/comet_path.lua
             NAMES comet_path_anim)
