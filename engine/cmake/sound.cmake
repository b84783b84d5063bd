# Sound: the sound manager, its OpenAL back end and Ogg Vorbis decoding.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_sound
  SOURCES
    ${KR_SRC}/sound_system/al_check.cpp
    ${KR_SRC}/sound_system/vorbis_decoder.cpp
    ${KR_SRC}/sound_system/vorbis_setup_check.cpp
    ${KR_SRC}/sound_system/sound_buffer_oal.cpp
    ${KR_SRC}/sound_system/sound_resource_oal.cpp
    ${KR_SRC}/sound_system/sound_oal.cpp
    ${KR_SRC}/sound_system/sound_device_oal.cpp
    ${KR_SRC}/sound_system/sound_manager.cpp
  LIBS kr_core kr_content PkgConfig::OPENAL PkgConfig::VORBIS PkgConfig::OGG Threads::Threads)
