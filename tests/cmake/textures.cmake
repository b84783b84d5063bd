# Textures and the image loaders: PNG, DDS and KRT decoders on good and damaged
# data, the texture manager with its pending pass on a real (off-screen) device.
kr_add_test(test_textures
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/png_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/dds_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/krt_image_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/texture_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/demo_images_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/tools/krt_writer/krt_writer_test.cpp
  LIBS kr_render kr_image_maker
  DEPENDS kr_media krt_writer
  LABELS threads)

# Fuzz targets of the three loaders; their seeds are made by the image maker.
foreach(kind png dds krt)
  set(corpus ${PROJECT_BINARY_DIR}/fuzz/corpus/${kind}_image)
  kr_add_fuzz_corpus(kr_${kind}_image_fuzz_corpus
    DIR ${corpus}
    COMMAND image_maker corpus ${kind} ${corpus}
    DEPENDS image_maker
    COMMENT "Making the ${kind} image fuzz seeds")
  kr_add_fuzzer(${kind}_image_fuzz
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${kind}_image_fuzz.cpp
    LIBS kr_render
    CORPUS ${corpus}
    DEPENDS kr_${kind}_image_fuzz_corpus)
endforeach()
