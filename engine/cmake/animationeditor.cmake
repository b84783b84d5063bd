# The animated scene graph: scene nodes with their keyframe tracks, play
# control, markers, depth-ordered drawing and binary form, and the text,
# sprite, camera, particle and sound node kinds with the sprite-sheet cache,
# and the loader of scene files.
set(KR_AE_SRC ${PROJECT_SOURCE_DIR}/engine/src/animationeditor)
kr_add_library(kr_animationeditor
  SOURCES
    ${KR_AE_SRC}/scene_node_stream.cpp
    ${KR_AE_SRC}/scene_node_animation.cpp
    ${KR_AE_SRC}/frame_data.cpp
    ${KR_AE_SRC}/scene_node.cpp
    ${KR_AE_SRC}/marker.cpp
    ${KR_AE_SRC}/scene_render.cpp
    ${KR_AE_SRC}/movie_camera.cpp
    ${KR_AE_SRC}/text_scene_node.cpp
    ${KR_AE_SRC}/sprite_sheet_cache.cpp
    ${KR_AE_SRC}/sprite_scene_node.cpp
    ${KR_AE_SRC}/particle_scene_node.cpp
    ${KR_AE_SRC}/sound_scene_node.cpp
    ${KR_AE_SRC}/scene_xml_values.cpp
    ${KR_AE_SRC}/marker_play_list_reader.cpp
    ${KR_AE_SRC}/scene_loader.cpp
    ${KR_AE_SRC}/scene_file_kinds.cpp
  LIBS kr_particles kr_sound kr_font kr_sprite kr_anim kr_render kr_content kr_core pugixml::pugixml PkgConfig::LUA51)
