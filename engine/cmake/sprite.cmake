# Pictures: sprite descriptions, sprites, fast sprites and their managers.
# Above the render system and textures; the frame animation's ribbon trail
# draws through a sprite via the picture interface it declares.
set(KR_SRC ${PROJECT_SOURCE_DIR}/engine/src)
kr_add_library(kr_sprite
  SOURCES
    ${KR_SRC}/sprite_description.cpp
    ${KR_SRC}/sprite_common.cpp
    ${KR_SRC}/sprite.cpp
    ${KR_SRC}/fast_sprite.cpp
    ${KR_SRC}/sprite_manager.cpp
  LIBS kr_render kr_content kr_core)
