# Frame descriptions of the demo: the demo sprite's smoothed walk.
kr_media_add(DEST zip DIR data/animations
             FILES ${PROJECT_SOURCE_DIR}/media/animations/demo_sprite_walk.lua
             NAMES demo_sprite_walk_anim)
