# User interface and input: input pushed through the platform's event queue,
# routing, states, loading from Lua tables and the commands widgets queue.
kr_add_test(test_ui
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/input_devices_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_routing_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_states_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_loading_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_manager_test.cpp
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
