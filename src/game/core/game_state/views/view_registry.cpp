#include "core/game_state/views/view_registry.h"

#include <chrono>
#include <cstring>

#include "core/game_state/extensions/dialog_view_extension.h"
#include "core/game_state/extensions/hos_quest_view_extension.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/minigames/minigame_factory.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_description.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Extension names in comparison order; only those whose class exists create one.
constexpr const char* kExtensionNames[] = {"TestViewExtension",
                                           "KeyMinigameViewExtension",
                                           "PuzzleMinigameViewExtension",
                                           "CircleMinigameViewExtension",
                                           "PairesMinigameViewExtension",
                                           "HOSViewExtension",
                                           "RotationMiniGameViewExtension",
                                           "QueueMinigameViewExtension",
                                           "ButtonsMinigameViewExtension",
                                           "BQueueMinigameViewExtension",
                                           "SwapTypeMinigameViewExtension",
                                           "ChainsMinigameViewExtension",
                                           "ColorMinigameViewExtension",
                                           "RPuzzleMinigameViewExtension",
                                           "RightPlaceMinigameViewExtension",
                                           "SliderMinigameViewExtension",
                                           "RPairesMinigameViewExtension",
                                           "CombSliderMinigameViewExtension",
                                           "CombPuzzleMinigameViewExtension",
                                           "SuperSwapMinigameViewExtension",
                                           "SwapGroupsViewExtension",
                                           "HosQuestViewExtension",
                                           "TelescopeMinigameViewExtension",
                                           "LinkViewExtension",
                                           "DialogViewExtension",
                                           "PatnashkiViewExtension",
                                           "RightZoneViewExtension"};

}  // namespace

ViewRegistry::ViewRegistry() {
  views.reserve(256);
  triggers.reserve(2048);
  extensions.reserve(64);
}

ViewRegistry::~ViewRegistry() { clear(); }

void ViewRegistry::clear() {
  for (View* view : views) factory.freeView(view);
  for (IBaseAreaTrigger* trigger : triggers) factory.freeTrigger(trigger);
  for (IViewExtension* extension : extensions) factory.freeExtension(extension);
  views.clear();
  triggers.clear();
  extensions.clear();
  factory.reset();
}

void ViewRegistry::loadViews() {
  clear();
  const auto start = std::chrono::steady_clock::now();
  KR::XmlDataReader reader;
  if (!reader.open("default", "views_xml")) {
    KR::log("Failed to load views.xml: the file does not exist");
    return;
  }
  if (!reader.enterChild("views")) {
    KR::log("Failed to load views.xml: it holds no \"views\" list");
    return;
  }
  const float scale = Game::exists() ? Game::getInstance()->getGeneralConfig().globalTriggersScale : 1.0f;
  parseViews(reader, scale);
  if (Game::exists()) Game::getInstance()->getLuaState().runScript("views_lua");
  KR::log("Views loaded in %.2f msecs", millisecondsSince(start));
  loadViewNeighbors();
}

void ViewRegistry::parseViews(KR::XmlDataReader& reader, float triggersScale) {
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) parseViewDescription(reader, triggersScale);
}

IBaseAreaTrigger* ViewRegistry::createTrigger(int32_t type) {
  switch (type) {
    case 0: return factory.createTrigger<AreaTrigger>();
    case 1: return factory.createTrigger<TriggerObject>();
    case 2: return factory.createTrigger<TransitionTrigger>();
    case 3: return factory.createTrigger<ItemTrigger>();
    case 4: return factory.createTrigger<AnimationTrigger>();
    case 5: return factory.createTrigger<HOSItemTrigger>();
    default: return nullptr;
  }
}

void ViewRegistry::parseViewDescription(KR::XmlDataReader& reader, float triggersScale) {
  ViewDescription description;
  description.read(reader);
  View* view = factory.createView();
  view->state.assign(factory.allocateViewState());
  views.push_back(view);
  view->setDescription(description);
  if (!description.extensionName.empty())
    createViewExtensionByName(view, description.extensionName.c_str(), description.extensionConfigFile.c_str());
  if (!reader.enterChild("areaTriggers")) return;
  TriggerDescription record;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    record.reset();
    record.location = int32_t(view->id);
    const int32_t type = record.read(reader, triggersScale);
    IBaseAreaTrigger* trigger = createTrigger(type);
    if (!trigger) {
      KR::log("ERROR: Bad trigger ID specified: location: %i, id %i, type %i ", record.location, record.triggerID,
              type);
      continue;
    }
    trigger->init(record);
    view->addTrigger(trigger);
    triggers.push_back(trigger);
  }
  reader.leaveChild();
}

void ViewRegistry::createViewExtensionByName(View* view, const char* name, const char* configFile) {
  IViewExtension* extension = nullptr;
  for (const char* known : kExtensionNames) {
    if (strcmp(known, name) != 0) continue;
    // The other classes arrive with their own screens.
    if (strcmp(known, "TestViewExtension") == 0) extension = factory.createExtension<TestViewExtension>();
    if (strcmp(known, "HOSViewExtension") == 0) extension = factory.createExtension<HOSViewExtension>();
    if (strcmp(known, "HosQuestViewExtension") == 0) extension = factory.createExtension<HosQuestViewExtension>();
    if (strcmp(known, "DialogViewExtension") == 0) extension = factory.createExtension<DialogViewExtension>();
    if (!extension) extension = createMinigameByName(factory, known);
    break;
  }
  KR::logVerbose("EXTENSION NAME %s", name);
  if (!extension) return;
  view->extension = extension;
  extension->view = view;
  extension->loadConfig(configFile);
  extensions.push_back(extension);
}

void ViewRegistry::loadViewNeighbors() {
  const auto start = std::chrono::steady_clock::now();
  KR::XmlDataReader reader;
  if (!reader.open("default", "view_neighbors_xml") || !reader.enterChild("views")) {
    KR::log("Failed to load view neighbors list");
    return;
  }
  parseViewNeighbors(reader);
  KR::log("View neighbors information loaded in: %.2f msecs", millisecondsSince(start));
}

void ViewRegistry::parseViewNeighbors(KR::XmlDataReader& reader) {
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string name;
    reader.readString("name", &name);
    View* view = findViewByName(name.c_str());
    if (!view || !reader.enterChild("neighbors")) continue;
    for (auto n = reader.arrayBegin(); n != reader.arrayEnd(); n.next()) {
      std::string neighbourName;
      reader.readString("name", &neighbourName);
      View* neighbour = findViewByName(neighbourName.c_str());
      if (!neighbour) continue;
      if (!view->addNeighbour(neighbour)) KR::log("ERROR: View neighbor count is too much!");
    }
    reader.leaveChild();
  }
}

View* ViewRegistry::findViewByName(const char* name) const {
  for (View* view : views)
    if (strcmp(view->name, name) == 0) return view;
  return nullptr;
}

View* ViewRegistry::findViewById(int32_t id) const {
  for (View* view : views)
    if (int32_t(view->id) == id) return view;
  return nullptr;
}

IBaseAreaTrigger* ViewRegistry::findTrigger(int32_t viewId, int32_t triggerId) const {
  const View* view = findViewById(viewId);
  return view ? view->findTrigger(uint32_t(triggerId)) : nullptr;
}

}  // namespace HOG
