# The puzzles: the shared frame and one source per puzzle class (read after
# game.cmake, which makes kr_game).
set(KR_MINIGAMES_SRC ${PROJECT_SOURCE_DIR}/src/game/core/game_state/minigames)
target_sources(kr_game PRIVATE
  ${KR_MINIGAMES_SRC}/minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/minigame_factory.cpp
  ${KR_MINIGAMES_SRC}/bqueue_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/buttons_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/color_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/link_view_extension.cpp
  ${KR_MINIGAMES_SRC}/frame_stepper.cpp
  ${KR_MINIGAMES_SRC}/circle_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/comb_slider_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/key_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/r_paires_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/slider_minigame_view_extension.cpp
)
# The pick-and-swap puzzles and their shared selection and glides.
target_sources(kr_game PRIVATE
  ${KR_MINIGAMES_SRC}/pick_and_glide.cpp
  ${KR_MINIGAMES_SRC}/chains_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/paires_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/patnashki_view_extension.cpp
  ${KR_MINIGAMES_SRC}/right_zone_view_extension.cpp
  ${KR_MINIGAMES_SRC}/super_swap_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/swap_type_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/swap_groups_view_extension.cpp
)
# The drag, chain and path puzzles.
target_sources(kr_game PRIVATE
  ${KR_MINIGAMES_SRC}/rpuzzle_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/telescope_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/drag_hold.cpp
  ${KR_MINIGAMES_SRC}/comb_puzzle_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/queue_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/rotation_mini_game_view_extension.cpp
  ${KR_MINIGAMES_SRC}/right_place_minigame_view_extension.cpp
  ${KR_MINIGAMES_SRC}/puzzle_minigame_view_extension.cpp
)
