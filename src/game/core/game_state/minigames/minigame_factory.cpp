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
#include "core/game_state/view_factory.h"

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
};

}  // namespace

IViewExtension* createMinigameByName(ViewFactory& factory, const char* name) {
  for (const Entry& entry : kMinigames)
    if (std::strcmp(entry.name, name) == 0) return entry.create(factory);
  return nullptr;
}

}  // namespace HOG
