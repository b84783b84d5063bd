#include "core/game_state/hud/locations_map.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "core/game_state/game_parts.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/input_state.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "file_system.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

bool isLive(const IBaseAreaTrigger* trigger) { return trigger->enabled && !trigger->dead; }

void enableChild(AE::ISceneNode* node, const char* name, bool enabled) {
  if (AE::ISceneNode* child = AE::ISceneNode::findChild(name, node)) child->setEnabled(enabled);
}

}  // namespace

LocationsMap::LocationsMap(const ViewRegistry& registry, AE::ISceneNode* scene) : registry(registry), scene(scene) {
  updatePlaces();
}

void LocationsMap::updatePlaces() {
  for (const View* view : registry.getViews()) {
    if (view->type != 0 || findPlace(view->name)) continue;
    auto place = std::make_unique<MapPlace>();
    place->name = view->name;
    if (scene) place->node = AE::ISceneNode::findChild(view->name, scene);
    if (place->node) place->placeNode = AE::ISceneNode::findChild("place", place->node);
    places.push_back(std::move(place));
  }
}

MapPlace* LocationsMap::findPlace(const std::string& name) {
  for (auto& place : places)
    if (place->name == name) return place.get();
  return nullptr;
}

void LocationsMap::refresh(const View* active) {
  for (auto& place : places) {
    place->reachable = place->current = place->hasActions = place->hasTask = false;
    const View* view = registry.findViewByName(place->name.c_str());
    if (view) place->current = view == active;
  }
  if (active) visit(findPlace(active->name));
  applyPlaceStates();
}

void LocationsMap::visit(MapPlace* place) {
  if (!place || place->reachable) return;
  const View* view = registry.findViewByName(place->name.c_str());
  if (!view) return;
  place->reachable = true;
  for (const IBaseAreaTrigger* trigger : view->triggers) {
    if (!isLive(trigger)) continue;
    if (trigger->getType() != 2) {
      if (trigger->useByHints) place->hasActions = true;
      continue;
    }
    if (trigger->debug != 0) continue;
    const char* targetName = static_cast<const TransitionTrigger*>(trigger)->targetLocation;
    const View* target = registry.findViewByName(targetName);
    if (!target) continue;
    if (target->type == 2) place->hasTask = true;
    if (target->type == 1) visitCloseUp(place, target);
    visit(findPlace(targetName));
  }
}

void LocationsMap::visitCloseUp(MapPlace* place, const View* closeUp) {
  for (const IBaseAreaTrigger* trigger : closeUp->triggers) {
    if (isLive(trigger) && trigger->useByHints) place->hasActions = true;
    if (trigger->getType() != 2) continue;
    const char* targetName = static_cast<const TransitionTrigger*>(trigger)->targetLocation;
    const View* target = registry.findViewByName(targetName);
    if (!target) continue;
    if (target->type == 1)
      place->hasActions = true;
    else
      visit(findPlace(targetName));
  }
}

void LocationsMap::applyPlaceStates() {
  for (auto& place : places) {
    if (!place->node) continue;
    enableChild(place->node, "active", place->reachable);
    enableChild(place->node, "inactive", !place->reachable);
    enableChild(place->node, "actions", place->hasActions || place->hasTask);
    enableChild(place->node, "current", place->current);
  }
}

LocationsScreen::LocationsScreen(const ViewRegistry& registry) {
  controller.scale = &scale;
  controller.position = &offset;
  controller.dragOffset = &dragOffset;
  if (KR::FileSystem::exists()) scene = AE::loadScene("map_scene_xml");
  if (scene) {
    scene->setEnabled(false);
    // Its animations run whenever the map is open (a disabled tree only keeps time).
    scene->play(true);
  }
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands)
    commands->registerFunction("mapCloseBtnPressed", new KR::LexBinder<LocationsScreen>(this, &LocationsScreen::close));
  if (KR::UIManager::exists())
    closeButton = KR::UIManager::getInstance()->loadUI("map_close_btn_ui", "MapCloseBtn", nullptr, "default");
  if (commands) commands->unregisterFunction("mapCloseBtnPressed");
  if (closeButton) closeButton->hideForcibly();
  map = std::make_unique<LocationsMap>(registry, scene);
}

LocationsScreen::~LocationsScreen() {
  map.reset();
  delete scene;
  if (closeButton && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(closeButton);
}

void LocationsScreen::open() {
  // The book lies over everything, the map included: it closes as the map opens.
  if (auto* hud = dynamic_cast<InGameUI*>(gameHud()))
    if (NotebookUI* notebook = hud->getNotebook(); notebook && notebook->isOpen()) notebook->close();
  opened = true;
  if (scene) {
    scene->setEnabled(true);
    scene->update(0.1f);
  }
  if (closeButton) closeButton->show();
  map->updatePlaces();
  ViewStack* stack = gameViewStack();
  map->refresh(stack ? stack->getActiveView() : nullptr);
  sendGameMessage(kMsgMapOpened, nullptr);
}

void LocationsScreen::close() {
  controller.reset();
  opened = false;
  if (scene) scene->setEnabled(false);
  if (closeButton) closeButton->hideForcibly();
  sendGameMessage(kMsgMapClosed, nullptr);
}

bool LocationsScreen::handleInput(const InputState& input) {
  if (!opened) {
    // Close runs in the UI manager's pass, before the frame's input comes here: a click
    // that began on the open map ends on it, never on the location shown again.
    const bool ending = pressedWhileOpen && input.valid && input.leftReleased;
    if (!input.valid || !input.leftDown) pressedWhileOpen = false;
    return ending;
  }
  if (!input.valid) return true;
  if (input.leftPressed) pressedWhileOpen = true;
  if (input.leftReleased) pressedWhileOpen = false;
  if (controller.handleInput(&input)) return true;
  const MapPlace* hit = nullptr;
  for (const auto& place : map->getPlaces())
    if (map->canTravelTo(*place) && place->placeNode->hitTest(input.x, input.y, false)) {
      hit = place.get();
      break;
    }
  for (const auto& place : map->getPlaces())
    if (place->node) enableChild(place->node, "selected", place.get() == hit);
  // The close button is the UI manager's; a click on it must not travel.
  const bool onButton = closeButton && closeButton->hitTest(KR::Vector2<float>(float(input.x), float(input.y)));
  if (input.leftReleased && hit && !onButton) {
    const std::string name = hit->name;
    close();
    if (ViewStack* stack = gameViewStack()) stack->requestOpenView(name.c_str());
  }
  return true;
}

void LocationsScreen::update(float dt) {
  controller.updateTweens(dt);
  controller.clampPosition(&offset);
  placeScene();
  if (opened && scene) scene->update(dt);
}

void LocationsScreen::placeScene() {
  if (!scene) return;
  KR::Vector2<float> pan = offset + dragOffset;
  controller.clampPosition(&pan);
  const float cx = float(KR::RenderSystem::getDesignWidth()) / 2, cy = float(KR::RenderSystem::getDesignHeight()) / 2;
  scene->setPosition(KR::Vector2<float>(cx + scale * (pan.x - cx), cy + scale * (pan.y - cy)));
  scene->setScaleX(scale);
  scene->setScaleY(scale);
}

void LocationsScreen::draw() {
  if (opened && scene) AE::renderScene(scene);
}

}  // namespace HOG
