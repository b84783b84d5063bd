# The game shell: application states, the play state's frame and its parts
# (message bus, input record, deferred tasks, Lua state, fades, messages,
# cursor), the close-up blur against its reference image, and the first
# play-through on the headless game driver.
add_library(kr_game_driver STATIC ${CMAKE_CURRENT_SOURCE_DIR}/support/game_driver.cpp
                           ${CMAKE_CURRENT_SOURCE_DIR}/support/replay.cpp)
target_compile_options(kr_game_driver PRIVATE ${KR_WARNINGS})
target_link_libraries(kr_game_driver PUBLIC kr_game kr_test_support ${KR_SDL2})

kr_add_test(test_game_core
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/app_state_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/game_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/game_message_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/game_task_manager_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/game_lua_state_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/views/view_effect_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_post_processing_renderer_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/main_menu_state/profile_system_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/main_menu_state/front_end_windows_test.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/logo_state/logo_game_state_test.cpp
  LIBS kr_game PNG::PNG
  DEPENDS kr_media)

# Exhausted pools with the fatal report answered OK (the program's own message box).
kr_add_test(test_game_pools
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/exhausted_pools_test.cpp
  LIBS kr_game)

kr_add_test(test_game_locations
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/views/view_registry_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/views/view_stack_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/views/view_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/core/game_state/views/view_streamer_stress_test.cpp
  LIBS kr_game
  DEPENDS kr_media
  LABELS threads)

kr_add_test(test_game_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/game_playthrough_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/locations_playthrough_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/window_playthrough_test.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/close_up_blur_playthrough_test.cpp
  LIBS kr_game_driver
  DEPENDS kr_media quellmoor
  TIMEOUT 400
  # Play runs the view streamer's thread.
  LABELS threads)

# The front end played through: logos, main menu and its windows, profiles,
# options, credits, Play and quit.
kr_add_test(test_front_end_playthrough
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/src/game/system/front_end_playthrough_test.cpp
  LIBS kr_game_driver
  DEPENDS kr_media quellmoor
  TIMEOUT 400
  LABELS threads)

# The profile list and options readers are fuzzed together; the seed writer
# stores lists and options files as the store writes them.
set(KR_PROFILE_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/profile_files)
kr_add_seed_writer(profile_files_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/profile_files_fuzz.cpp)
target_link_libraries(profile_files_seeds PRIVATE kr_game)
kr_add_fuzz_corpus(profile_files_corpus
  DIR ${KR_PROFILE_SEEDS}
  OUTPUT ${KR_PROFILE_SEEDS}/seed0.dat
  COMMAND profile_files_seeds ${KR_PROFILE_SEEDS}
  DEPENDS profile_files_seeds
  COMMENT "Writing the profile-files seed corpus")
# Its inputs take microseconds: ten times the usual number of new ones.
kr_add_fuzzer(profile_files_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/profile_files_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_PROFILE_SEEDS}
  DEPENDS profile_files_corpus
  RUNS 100000)

# The view descriptions and their neighbour list are fuzzed together.
set(KR_VIEW_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/view_description)
kr_add_seed_writer(view_description_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/view_description_fuzz.cpp)
kr_add_fuzz_corpus(view_description_corpus
  DIR ${KR_VIEW_SEEDS}
  OUTPUT ${KR_VIEW_SEEDS}/seed0.bin
  COMMAND view_description_seeds ${KR_VIEW_SEEDS}
  DEPENDS view_description_seeds
  COMMENT "Writing the view-description seed corpus")
kr_add_fuzzer(view_description_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/view_description_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_VIEW_SEEDS}
  DEPENDS view_description_corpus)

# The play state's configuration files behind one target, a leading byte
# choosing the loader; the seeds are the demo's own files.
set(KR_GAME_CONFIG_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/game_config)
kr_add_seed_writer(game_config_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/game_config_fuzz.cpp)
kr_add_fuzz_corpus(game_config_corpus
  DIR ${KR_GAME_CONFIG_SEEDS}
  OUTPUT ${KR_GAME_CONFIG_SEEDS}/seed0.bin
  COMMAND game_config_seeds ${PROJECT_SOURCE_DIR}/media ${KR_GAME_CONFIG_SEEDS}
  DEPENDS game_config_seeds
  COMMENT "Writing the game-configuration seed corpus")
kr_add_fuzzer(game_config_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/game_config_fuzz.cpp
  LIBS kr_game
  CORPUS ${KR_GAME_CONFIG_SEEDS}
  DEPENDS game_config_corpus)

# The front end's configuration files behind one target, a leading byte
# choosing the file: the logos and the main menu's configuration; the seeds are
# the demo's own files and a few of the fuzz source's.
set(KR_FRONT_END_CONFIG_SEEDS ${PROJECT_BINARY_DIR}/fuzz/seeds/front_end_config)
kr_add_seed_writer(front_end_config_seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/front_end_config_fuzz.cpp)
kr_add_fuzz_corpus(front_end_config_corpus
  DIR ${KR_FRONT_END_CONFIG_SEEDS}
  OUTPUT ${KR_FRONT_END_CONFIG_SEEDS}/seed0.bin
  COMMAND front_end_config_seeds ${PROJECT_SOURCE_DIR}/media ${KR_FRONT_END_CONFIG_SEEDS}
  DEPENDS front_end_config_seeds
  COMMENT "Writing the front-end configuration seed corpus")
kr_add_fuzzer(front_end_config_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/front_end_config_fuzz.cpp
  LIBS kr_game kr_image_maker
  CORPUS ${KR_FRONT_END_CONFIG_SEEDS}
  DEPENDS front_end_config_corpus)
