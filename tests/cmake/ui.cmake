# User interface and input: input pushed through the platform's event queue,
# routing, states, loading from Lua tables and the commands widgets queue.
kr_add_test(test_ui
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/input_devices_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_routing_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_states_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_loading_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_scroll_area_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_list_view_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_scene_list_test.cpp
  LIBS kr_ui kr_app)
if(TARGET test_ui)
  # The UI tests share the engine tests' content helpers.
  target_include_directories(test_ui PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/engine/src)
endif()

# The game's showcase page of widgets, clicked through over the built demo media.
kr_add_test(test_widgets_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_widgets_page_test.cpp
  LIBS kr_game kr_font_maker
  DEPENDS kr_media)

# The "Controls" and "Scene lists" pages, dragged and clicked through over the
# built demo media.
kr_add_test(test_controls_showcase
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/showcase_controls_page_test.cpp
  LIBS kr_game kr_font_maker
  DEPENDS kr_media)

# The UI loader over generated Lua tables; the seed corpus is written at build
# time by the fuzz source's seed-writer mode.
set(KR_UI_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/ui_loader)
kr_add_seed_writer(ui_loader_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/ui_loader_fuzz.cpp)
kr_add_fuzz_corpus(ui_loader_corpus
  DIR ${KR_UI_SEEDS}
  OUTPUT ${KR_UI_SEEDS}/seed0.lua
  COMMAND ui_loader_seeds ${KR_UI_SEEDS}
  DEPENDS ui_loader_seeds
  COMMENT "Writing the UI loader seed corpus")
kr_add_fuzzer(ui_loader_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/ui_loader_fuzz.cpp
  LIBS kr_ui
  CORPUS ${KR_UI_SEEDS}
  DEPENDS ui_loader_corpus)

# Scene lists over fuzzed scene files; the seed corpus is written at build
# time by the fuzz source's seed-writer mode.
set(KR_SCENE_LIST_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/scene_list)
kr_add_seed_writer(scene_list_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/scene_list_fuzz.cpp)
kr_add_fuzz_corpus(scene_list_corpus
  DIR ${KR_SCENE_LIST_SEEDS}
  OUTPUT ${KR_SCENE_LIST_SEEDS}/seed0.xml
  COMMAND scene_list_seeds ${KR_SCENE_LIST_SEEDS}
  DEPENDS scene_list_seeds
  COMMENT "Writing the scene-list seed corpus")
kr_add_fuzzer(scene_list_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/scene_list_fuzz.cpp
  LIBS kr_ui
  CORPUS ${KR_SCENE_LIST_SEEDS}
  DEPENDS scene_list_corpus)
