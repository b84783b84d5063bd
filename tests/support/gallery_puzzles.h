#pragma once
// Every puzzle class with its close-up in the demo's gallery, as the
// configuration fuzz target and the puzzle frame's tests take them. The fuzz
// target's first input byte picks an entry by its index: add new entries at
// the end, so that stored inputs keep their meaning.

namespace KR {
namespace Test {

struct GalleryPuzzle {
  const char* className;
  const char* scene;   // under media/puzzles/
  const char* config;  // under media/puzzles/
};

inline constexpr GalleryPuzzle kGalleryPuzzles[] = {
    {"BQueueMinigameViewExtension", "scene_puzzle_bqueue.xml", "puzzle_bqueue.xml"},
    {"ButtonsMinigameViewExtension", "scene_puzzle_buttons.xml", "puzzle_buttons.xml"},
    {"ColorMinigameViewExtension", "scene_puzzle_color.xml", "puzzle_color.xml"},
    {"LinkViewExtension", "scene_puzzle_link.xml", "puzzle_link.xml"},
    {"BQueueMinigameViewExtension", "scene_puzzle_bqueue_locked.xml", "puzzle_bqueue_locked.xml"},
    {"CircleMinigameViewExtension", "scene_puzzle_circle.xml", "puzzle_circle.xml"},
    {"CombSliderMinigameViewExtension", "scene_puzzle_comb_slider.xml", "puzzle_comb_slider.xml"},
    {"KeyMinigameViewExtension", "scene_puzzle_key.xml", "puzzle_key.xml"},
    {"RPairesMinigameViewExtension", "scene_puzzle_r_paires.xml", "puzzle_r_paires.xml"},
    {"SliderMinigameViewExtension", "scene_puzzle_slider.xml", "puzzle_slider.xml"},
    // The pick-and-swap puzzles.
    {"ChainsMinigameViewExtension", "scene_puzzle_chains.xml", "puzzle_chains.xml"},
    {"PairesMinigameViewExtension", "scene_puzzle_paires.xml", "puzzle_paires.xml"},
    {"PatnashkiViewExtension", "scene_puzzle_patnashki.xml", "puzzle_patnashki.xml"},
    {"RightZoneViewExtension", "scene_puzzle_rightzone.xml", "puzzle_rightzone.xml"},
    {"SuperSwapMinigameViewExtension", "scene_puzzle_superswap.xml", "puzzle_superswap.xml"},
    {"SwapTypeMinigameViewExtension", "scene_puzzle_swaptype.xml", "puzzle_swaptype.xml"},
    {"SwapGroupsViewExtension", "scene_puzzle_swapgroups.xml", "puzzle_swapgroups.xml"},
    // The drag, chain and path puzzles.
    {"RPuzzleMinigameViewExtension", "scene_puzzle_rpuzzle.xml", "puzzle_rpuzzle.xml"},
    {"TelescopeMinigameViewExtension", "scene_puzzle_telescope.xml", "puzzle_telescope.xml"},
    {"CombPuzzleMinigameViewExtension", "scene_puzzle_combpuzzle.xml", "puzzle_combpuzzle.xml"},
    {"QueueMinigameViewExtension", "scene_puzzle_queue.xml", "puzzle_queue.xml"},
    {"RotationMiniGameViewExtension", "scene_puzzle_rotation.xml", "puzzle_rotation.xml"},
    {"RightPlaceMinigameViewExtension", "scene_puzzle_rightplace.xml", "puzzle_rightplace.xml"},
    {"PuzzleMinigameViewExtension", "scene_puzzle_jigsaw.xml", "puzzle_jigsaw.xml"},
    {"PuzzleMinigameViewExtension", "scene_puzzle_jigsaw_swap.xml", "puzzle_jigsaw_swap.xml"},
};
}  // namespace Test
}  // namespace KR
