# Texture manager, textures, PNG, DDS and KRT image loaders.
target_sources(kr_render PRIVATE
  ${KR_SRC}/image.cpp
  ${KR_SRC}/png_image.cpp
  ${KR_SRC}/dds_image.cpp
  ${KR_SRC}/krt_image.cpp
  ${KR_SRC}/texture_dx8.cpp
  ${KR_SRC}/texture_manager.cpp)
