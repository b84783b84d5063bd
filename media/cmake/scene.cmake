# Scene-graph demo: the sprite descriptions of the scene page as a Lua script
# ("demo_scene_sprites", with the frame lists under "Animation") and as its
# sprite sheet ("demo_scene_sxml"); the pictures are the sprite demo's.
kr_media_add(DEST zip DIR data/scene
             FILES ${PROJECT_SOURCE_DIR}/media/scene/demo_scene_sprites.lua
                   ${PROJECT_SOURCE_DIR}/media/scene/demo_scene_sheet.xml
             NAMES demo_scene_sprites demo_scene_sxml)
