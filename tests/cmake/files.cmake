# File system, packed archive, zip archive, loose files, per-user folder.
kr_add_test(test_files
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/krp_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/zip_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/local_reader_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/file_system_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/user_data_folder_test.cpp
  LIBS kr_content kr_krp_packer)

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
