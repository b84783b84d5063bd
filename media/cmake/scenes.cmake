# Scene files: the demo scene of the "scene files" page and a scene whose
# sprites come through the sprite-sheet route.
kr_media_add(DEST zip DIR data/scenes
             FILES ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_demo.xml
                   ${PROJECT_SOURCE_DIR}/media/scenes/scene_files_sheet.xml
             NAMES scene_files_demo_xml scene_files_sheet_xml)
