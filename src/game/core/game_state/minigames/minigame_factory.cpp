#include "core/game_state/minigames/minigame_factory.h"

#include <cstring>

#include "core/game_state/minigames/bqueue_minigame_view_extension.h"
#include "core/game_state/minigames/buttons_minigame_view_extension.h"
#include "core/game_state/minigames/circle_minigame_view_extension.h"
#include "core/game_state/minigames/color_minigame_view_extension.h"
#include "core/game_state/minigames/comb_slider_minigame_view_extension.h"
#include "core/game_state/minigames/key_minigame_view_extension.h"
#include "core/game_state/minigames/link_view_extension.h"
#include "core/game_state/minigames/r_paires_minigame_view_extension.h"
#include "core/game_state/minigames/slider_minigame_view_extension.h"
// The pick-and-swap puzzles.
#include "core/game_state/minigames/chains_minigame_view_extension.h"
#include "core/game_state/minigames/paires_minigame_view_extension.h"
#include "core/game_state/minigames/patnashki_view_extension.h"
#include "core/game_state/minigames/right_zone_view_extension.h"
#include "core/game_state/minigames/super_swap_minigame_view_extension.h"
#include "core/game_state/minigames/swap_groups_view_extension.h"
#include "core/game_state/minigames/swap_type_minigame_view_extension.h"
// The drag, chain and path puzzles.
#include "core/game_state/minigames/comb_puzzle_minigame_view_extension.h"
#include "core/game_state/minigames/puzzle_minigame_view_extension.h"
#include "core/game_state/minigames/queue_minigame_view_extension.h"
#include "core/game_state/minigames/right_place_minigame_view_extension.h"
#include "core/game_state/minigames/rotation_mini_game_view_extension.h"
#include "core/game_state/minigames/rpuzzle_minigame_view_extension.h"
#include "core/game_state/minigames/telescope_minigame_view_extension.h"
#include "core/game_state/views/view_factory.h"

namespace HOG {

namespace {

template <typename T>
IViewExtension* make(ViewFactory& factory) {
  return factory.createExtension<T>();
}

struct Entry {
  const char* name;
  IViewExtension* (*create)(ViewFactory&);
};

// One line per puzzle class, under its exact name.
constexpr Entry kMinigames[] = {
    {"BQueueMinigameViewExtension", &make<BQueueMinigameViewExtension>},
    {"ButtonsMinigameViewExtension", &make<ButtonsMinigameViewExtension>},
    {"ColorMinigameViewExtension", &make<ColorMinigameViewExtension>},
    {"LinkViewExtension", &make<LinkViewExtension>},
    {"CircleMinigameViewExtension", &make<CircleMinigameViewExtension>},
    {"CombSliderMinigameViewExtension", &make<CombSliderMinigameViewExtension>},
    {"KeyMinigameViewExtension", &make<KeyMinigameViewExtension>},
    {"RPairesMinigameViewExtension", &make<RPairesMinigameViewExtension>},
    {"SliderMinigameViewExtension", &make<SliderMinigameViewExtension>},
    // The pick-and-swap puzzles.
    {"ChainsMinigameViewExtension", &make<ChainsMinigameViewExtension>},
    {"PairesMinigameViewExtension", &make<PairesMinigameViewExtension>},
    {"PatnashkiViewExtension", &make<PatnashkiViewExtension>},
    {"RightZoneViewExtension", &make<RightZoneViewExtension>},
    {"SuperSwapMinigameViewExtension", &make<SuperSwapMinigameViewExtension>},
    {"SwapTypeMinigameViewExtension", &make<SwapTypeMinigameViewExtension>},
    {"SwapGroupsViewExtension", &make<SwapGroupsViewExtension>},
    // The drag, chain and path puzzles.
    {"RPuzzleMinigameViewExtension", &make<RPuzzleMinigameViewExtension>},
    {"TelescopeMinigameViewExtension", &make<TelescopeMinigameViewExtension>},
    {"CombPuzzleMinigameViewExtension", &make<CombPuzzleMinigameViewExtension>},
    {"QueueMinigameViewExtension", &make<QueueMinigameViewExtension>},
    {"RotationMiniGameViewExtension", &make<RotationMiniGameViewExtension>},
    {"RightPlaceMinigameViewExtension", &make<RightPlaceMinigameViewExtension>},
    {"PuzzleMinigameViewExtension", &make<PuzzleMinigameViewExtension>},
};

}  // namespace

IViewExtension* createMinigameByName(ViewFactory& factory, const char* name) {
  for (const Entry& entry : kMinigames)
    if (std::strcmp(entry.name, name) == 0) return entry.create(factory);
  return nullptr;
}

}  // namespace HOG
