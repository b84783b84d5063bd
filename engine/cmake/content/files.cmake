# File system, packed archive, zip archive, local files, per-user folder.
target_sources(kr_content PRIVATE
  ${KR_SRC}/file_system.cpp
  ${KR_SRC}/krp_reader.cpp
  ${KR_SRC}/zip_reader.cpp
  ${KR_SRC}/local_reader.cpp
  ${KR_SRC}/user_data_folder.cpp)
