# scripts/run must build the game and what its first window needs, nothing
# more: on a slow machine every test, benchmark and fuzz target before the
# first window is a wait of many minutes. Reads the targets scripts/run hands
# to scripts/build and asks Ninja for everything they are made from.
#   cmake -DSOURCE_DIR=<tree> -DBINARY_DIR=<build folder> -P run_builds_game_only.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${SOURCE_DIR}/scripts/run build_lines REGEX "^[ \t]*scripts/build")
list(LENGTH build_lines count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "scripts/run should call scripts/build once, found: ${build_lines}")
endif()
string(REGEX REPLACE "^[ \t]*scripts/build[ \t]+release" "" targets "${build_lines}")
string(STRIP "${targets}" targets)
if(targets STREQUAL "")
  message(FATAL_ERROR "scripts/run builds every target: it names none")
endif()
separate_arguments(targets UNIX_COMMAND "${targets}")
if(NOT "quellmoor" IN_LIST targets)
  message(FATAL_ERROR "scripts/run does not build the game: ${targets}")
endif()
foreach(target ${targets})
  execute_process(COMMAND ninja -C ${BINARY_DIR} -t inputs ${target}
                  OUTPUT_VARIABLE inputs ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ninja knows no target '${target}': ${errors}")
  endif()
  string(REPLACE "\n" ";" inputs "${inputs}")
  foreach(input ${inputs})
    # Paths inside the tree or the build folder, so that where they lie does not matter.
    string(REPLACE "${BINARY_DIR}/" "" input "${input}")
    string(REPLACE "${SOURCE_DIR}/" "" input "${input}")
    if(input MATCHES "^(tests|bench|fuzz)/|libgtest|libgmock|libbenchmark")
      message(FATAL_ERROR "scripts/run's target '${target}' builds '${input}', which only the tests need")
    endif()
  endforeach()
endforeach()
