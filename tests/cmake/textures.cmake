# Textures and the image loaders: PNG, DDS and KRT decoders on good and damaged
# data, the texture manager with its pending pass on a real (off-screen) device.
kr_add_test(test_textures
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/png_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/dds_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/krt_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/texture_manager_test.cpp
  LIBS kr_render kr_image_maker)
