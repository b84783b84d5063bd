# Bitmap fonts of the demo, rendered at build time by font_maker from Debian's
# DejaVu fonts (and, when installed, a few CJK glyphs from Droid Sans
# Fallback): "font2_fnt" with four resolution levels, the simple system font
# "system_font_fnt" drawing from "font2_image", a title font, the English font
# settings and the font presets.
set(KR_FONT_OUT ${CMAKE_BINARY_DIR}/media-fonts)
set(KR_FONT_DIR /usr/share/fonts/truetype/dejavu)
set(KR_FONT_CJK /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf)
set(KR_FONT_CJK_ARGS)
if(EXISTS ${KR_FONT_CJK})
  set(KR_FONT_CJK_ARGS --fallback ${KR_FONT_CJK} --cjk)
else()
  message(STATUS "No CJK font at ${KR_FONT_CJK}: the demo fonts carry Latin-1 only")
endif()

set(KR_FONT2_IMAGES font2_image font2_image_mip1 font2_image_mip2 font2_image_mip3)
set(KR_FONT2_PNGS)
foreach(image ${KR_FONT2_IMAGES})
  list(APPEND KR_FONT2_PNGS ${KR_FONT_OUT}/${image}.png)
endforeach()
list(JOIN KR_FONT2_IMAGES "," KR_FONT2_IMAGE_LIST)
add_custom_command(
  OUTPUT ${KR_FONT2_PNGS} ${KR_FONT_OUT}/font2.lua ${KR_FONT_OUT}/system_font.lua
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_FONT_OUT}
  COMMAND font_maker font --font ${KR_FONT_DIR}/DejaVuSans.ttf ${KR_FONT_CJK_ARGS} --size 20
          --scales 1,0.5,1.5,2 --images ${KR_FONT2_IMAGE_LIST} --out ${KR_FONT_OUT}
          --description font2.lua --simple system_font.lua --simple-image font2_image
  DEPENDS font_maker
  COMMENT "Rendering the demo font"
  VERBATIM)

set(KR_TITLE_IMAGES font_title_image font_title_image_mip1)
add_custom_command(
  OUTPUT ${KR_FONT_OUT}/font_title_image.png ${KR_FONT_OUT}/font_title_image_mip1.png ${KR_FONT_OUT}/font_title.lua
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_FONT_OUT}
  COMMAND font_maker font --font ${KR_FONT_DIR}/DejaVuSerif-Bold.ttf --size 32 --scales 1,2
          --images font_title_image,font_title_image_mip1 --out ${KR_FONT_OUT} --description font_title.lua
  DEPENDS font_maker
  COMMENT "Rendering the demo title font"
  VERBATIM)
add_custom_target(kr_demo_fonts
  DEPENDS ${KR_FONT2_PNGS} ${KR_FONT_OUT}/font2.lua ${KR_FONT_OUT}/system_font.lua
          ${KR_FONT_OUT}/font_title_image.png ${KR_FONT_OUT}/font_title_image_mip1.png ${KR_FONT_OUT}/font_title.lua)

kr_media_add(DEST krp DIR data/fonts
             FILES ${KR_FONT2_PNGS} ${KR_FONT_OUT}/font2.lua ${KR_FONT_OUT}/system_font.lua
                   ${KR_FONT_OUT}/font_title_image.png ${KR_FONT_OUT}/font_title_image_mip1.png
                   ${KR_FONT_OUT}/font_title.lua
             NAMES ${KR_FONT2_IMAGES} font2_fnt system_font_fnt
                   font_title_image font_title_image_mip1 font_title_fnt
             DEPENDS kr_demo_fonts)
kr_media_add(DEST krp DIR data/fonts FILES ${CMAKE_CURRENT_SOURCE_DIR}/fonts/font_presets.lua
             NAMES font_presets_lua)
kr_media_add(DEST zip DIR data/fonts FILES ${CMAKE_CURRENT_SOURCE_DIR}/fonts/font_settings.xml
             PACKAGE en NAMES font_settings_xml)
