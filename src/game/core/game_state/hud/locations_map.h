#pragma once
// The map of the game's ordinary locations (views of type 0): which of them
// the player can reach from the active one, walking transition triggers
// (close-ups count for the place that opens them), and which still hold
// something to do. Each place has a node of the map scene whose children
// "active", "inactive", "actions" and "current" show that. Main thread only.
//
//   HOG::LocationsMap map(registry, scene);   // the scene is the caller's
//   map.updatePlaces();                       // at each game start
//   map.refresh(activeView);                  // when the map opens
//
// LocationsScreen is the full-screen map on the HUD: the scene
// "map_scene_xml" and the close button "map_close_btn_ui" / "MapCloseBtn";
// while open it takes every input: a double click zooms, a drag pans the
// zoomed map, and a click on a reachable place closes it and travels there.
// The scene's own animations run while the map is open.
#include <memory>
#include <string>
#include <vector>

#include "core/game_state/views/transformation_controller.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

class View;
class ViewRegistry;
struct InputState;

struct MapPlace {
  std::string name;
  bool reachable = false;
  bool current = false;
  bool hasActions = false;
  bool hasTask = false;
  AE::ISceneNode* node = nullptr;
  AE::ISceneNode* placeNode = nullptr;  // the click area, "place"
};

class LocationsMap {
 public:
  LocationsMap(const ViewRegistry& registry, AE::ISceneNode* scene);

  // Adds a place for every ordinary view that has none yet (places are never removed).
  void updatePlaces();
  MapPlace* findPlace(const std::string& name);
  // Works the four flags out anew from the active view and shows them.
  void refresh(const View* active);
  // The place the player may travel to by clicking its node: reachable, not current.
  bool canTravelTo(const MapPlace& place) const { return place.reachable && !place.current && place.placeNode; }

  const std::vector<std::unique_ptr<MapPlace>>& getPlaces() const { return places; }

 private:
  void visit(MapPlace* place);
  void visitCloseUp(MapPlace* place, const View* closeUp);
  void applyPlaceStates();

  const ViewRegistry& registry;
  AE::ISceneNode* scene;
  std::vector<std::unique_ptr<MapPlace>> places;
};

class LocationsScreen {
 public:
  explicit LocationsScreen(const ViewRegistry& registry);
  ~LocationsScreen();
  LocationsScreen(const LocationsScreen&) = delete;
  LocationsScreen& operator=(const LocationsScreen&) = delete;

  void open();
  void close();
  bool isOpen() const { return opened; }
  bool handleInput(const InputState& input);
  void update(float dt);
  void draw();

  AE::ISceneNode* scene = nullptr;
  KR::UIWidget* closeButton = nullptr;
  std::unique_ptr<LocationsMap> map;
  // Pan and zoom: p -> c + scale (p + pan - c), c the screen centre, pan the
  // clamped sum of offset and dragOffset; it is the scene root's placement.
  TransformationController controller;
  float scale = 1.0f;
  KR::Vector2<float> offset, dragOffset;

 private:
  void placeScene();

  bool opened = false;
  // The left button went down on the open map and is not up yet.
  bool pressedWhileOpen = false;
};

}  // namespace HOG
