# User interface and input: input pushed through the platform's event queue,
# routing, states, loading from Lua tables and the commands widgets queue.
kr_add_test(test_ui
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/input_devices_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_routing_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/engine/src/ui/ui_states_test.cpp
  LIBS kr_ui kr_app)
