# The scripts' own promises, checked against the build tree Ninja describes.
if(CMAKE_GENERATOR STREQUAL "Ninja" AND NOT KR_FUZZ)
  add_test(NAME scripts_run_builds_game_only
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DBINARY_DIR=${PROJECT_BINARY_DIR} -P
                   ${CMAKE_CURRENT_SOURCE_DIR}/scripts/run_builds_game_only.cmake)
endif()
