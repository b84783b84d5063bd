# Demo pictures, made at build time by our own tools: PNG files of each colour
# type and a DXT5 DDS by the image maker, and a KRT picture that the KRT writer
# makes from one of its PNG files. They are spread over the three containers.
set(KR_DEMO_IMAGES ${CMAKE_BINARY_DIR}/media-images)
set(KR_DEMO_PNGS
  ${KR_DEMO_IMAGES}/demo_rgb.png
  ${KR_DEMO_IMAGES}/demo_rgba.png
  ${KR_DEMO_IMAGES}/demo_grey.png
  ${KR_DEMO_IMAGES}/demo_palette.png)
add_custom_command(
  OUTPUT ${KR_DEMO_PNGS} ${KR_DEMO_IMAGES}/demo_dxt5.dds ${KR_DEMO_IMAGES}/demo_krt_source.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KR_DEMO_IMAGES}
  COMMAND image_maker demo ${KR_DEMO_IMAGES}
  DEPENDS image_maker
  COMMENT "Making the demo pictures"
  VERBATIM)
add_custom_command(
  OUTPUT ${KR_DEMO_IMAGES}/demo_tiles.krt
  COMMAND krt_writer --format 2 ${KR_DEMO_IMAGES}/demo_krt_source.png ${KR_DEMO_IMAGES}/demo_tiles.krt
  DEPENDS krt_writer ${KR_DEMO_IMAGES}/demo_krt_source.png
  COMMENT "Writing the demo KRT picture"
  VERBATIM)
add_custom_target(kr_demo_images
  DEPENDS ${KR_DEMO_PNGS} ${KR_DEMO_IMAGES}/demo_dxt5.dds ${KR_DEMO_IMAGES}/demo_tiles.krt)

kr_media_add(DEST krp DIR data/images FILES ${KR_DEMO_PNGS}
             NAMES demo_rgb demo_rgba demo_grey demo_palette
             DEPENDS kr_demo_images)
kr_media_add(DEST zip DIR data/images FILES ${KR_DEMO_IMAGES}/demo_dxt5.dds
             NAMES demo_dxt5 DEPENDS kr_demo_images)
kr_media_add(DEST loose DIR data/images FILES ${KR_DEMO_IMAGES}/demo_tiles.krt
             NAMES demo_tiles DEPENDS kr_demo_images)
