# Compiler flags shared by every target of ours.
set(KR_WARNINGS -Wall -Wextra)

if(KR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(KR_TSAN)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KR_TSAN needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(KR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KR_FUZZ needs clang (CXX=clang++)")
  endif()
  # Undefined behaviour stops the run like a crash, so that a fuzz target (and
  # its seed replay) fails on it instead of printing a report and going on.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# kr_add_library(name SOURCES ... [LIBS ...]): a static library of our own code, warnings on.
function(kr_add_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${KR_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/engine/src ${PROJECT_SOURCE_DIR}/src ${A_INCLUDES})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()
