# File system, packed archive, zip archive, loose files, per-user folder.
kr_add_test(test_files
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/krp_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/zip_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/local_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/file_system_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/user_data_folder_test.cpp
  LIBS kr_content kr_krp_packer
  LABELS threads)

# Seeds for the packed-archive fuzzer: archives packed by our own tool from
# source folders of small files.
set(KR_KRP_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/krp_reader)
kr_add_fuzz_corpus(kr_krp_fuzz_corpus
  DIR ${KR_KRP_CORPUS}
  OUTPUT ${KR_KRP_CORPUS}/packer_sources.krp ${KR_KRP_CORPUS}/test_support.krp
  COMMAND krp_packer ${PROJECT_SOURCE_DIR}/tools/krp_packer ${KR_KRP_CORPUS}/packer_sources.krp
  COMMAND krp_packer ${PROJECT_SOURCE_DIR}/tests/support ${KR_KRP_CORPUS}/test_support.krp
  DEPENDS krp_packer
  COMMENT "Packing the packed-archive fuzz seeds")
kr_add_fuzzer(krp_reader_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/krp_reader_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_KRP_CORPUS}
  DEPENDS kr_krp_fuzz_corpus)

# The demo media folder, built by kr_media.
kr_add_test(test_media_content
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/media_content_test.cpp
  LIBS kr_content
  DEPENDS kr_media)

# Zip archive fuzz target: the media build's "data.zip", archives of its
# start-up files (config.lua, filelist.lua, a package list) deflated and
# stored, and the inputs kept from fuzzing (tests/fuzz/seeds/zip_reader).
set(KR_ZIP_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/zip_reader)
kr_add_seed_writer(zip_reader_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/zip_reader_fuzz.cpp)
target_link_libraries(zip_reader_seeds PRIVATE PkgConfig::MINIZIP)
kr_add_fuzz_corpus(kr_zip_fuzz_corpus
  DIR ${KR_ZIP_CORPUS}
  COMMAND ${CMAKE_COMMAND} -E copy ${KR_MEDIA_DIR}/data.zip ${KR_ZIP_CORPUS}/media.zip
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seeds/zip_reader ${KR_ZIP_CORPUS}
  COMMAND zip_reader_seeds ${KR_ZIP_CORPUS} ${PROJECT_SOURCE_DIR}/media/krp/config.lua
          ${KR_MEDIA_DIR}/filelist.lua ${PROJECT_SOURCE_DIR}/media/zip/packages/en.lua
  DEPENDS kr_media zip_reader_seeds
  COMMENT "Making the zip archive fuzz seeds")
kr_add_fuzzer(zip_reader_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/zip_reader_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_ZIP_CORPUS}
  DEPENDS kr_zip_fuzz_corpus)

# Package index fuzz target: the media build's "filelist.lua" joined with its
# package lists.
set(KR_FILELIST_CORPUS ${PROJECT_BINARY_DIR}/fuzz/corpus/filelist)
kr_add_seed_writer(filelist_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/filelist_fuzz.cpp)
kr_add_fuzz_corpus(kr_filelist_fuzz_corpus
  DIR ${KR_FILELIST_CORPUS}
  COMMAND filelist_seeds ${KR_FILELIST_CORPUS} ${KR_MEDIA_DIR}/filelist.lua
          ${PROJECT_SOURCE_DIR}/media/krp/packages/default.lua ${PROJECT_SOURCE_DIR}/media/zip/packages/en.lua
          ${PROJECT_BINARY_DIR}/media-stage/generated/packages/generated_default.lua
  DEPENDS kr_media filelist_seeds
  COMMENT "Making the package index fuzz seeds")
kr_add_fuzzer(filelist_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/filelist_fuzz.cpp
  LIBS kr_content
  CORPUS ${KR_FILELIST_CORPUS}
  DEPENDS kr_filelist_fuzz_corpus)
