#pragma once
// The game's mouse cursor: a small numbered set of animated scenes (index 0
// the default; then hand, passage, look, take in the demo content) described
// by "custom_cursors_xml". Each frame the play state asks for the cursor it
// wants, the application advances the current scene and draws it last, over
// everything, at the mouse position. When the player's profile asks for the
// system cursor the platform arrow shows as well (alone while the default
// cursor is current). The manager owns the cursor scenes. Main thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "singleton.h"

namespace AE {
class ISceneNode;
}

namespace HOG {

class GameCursorManager : public KR::Singleton<GameCursorManager> {
 public:
  // Empty; load reads the cursors.
  GameCursorManager();
  ~GameCursorManager() override;

  // Reads the cursor list of (package "default", name) and loads each scene;
  // a scene that fails is left out (the later indices move down by one).
  void load(const std::string& name = "custom_cursors_xml");
  // Takes ownership of a scene as the next cursor (started playing).
  void addCursor(AE::ISceneNode* scene);
  // previous := current, current := index.
  void setCursor(int32_t index);
  // Advances the current cursor's scene.
  void update(float dt);
  // Shows the system arrow when the profile asks for it, and draws the current
  // scene at the mouse position, scaled by the window's scale; called after
  // the frame is composited, in window pixels.
  void draw(float scale);

  int32_t getCurrent() const { return current; }
  int32_t getPrevious() const { return previous; }
  size_t getCursorCount() const { return cursors.size(); }
  AE::ISceneNode* getCurrentScene() const;
  // Whether the last draw showed the system arrow / drew the scene cursor.
  bool isSystemArrowShown() const { return systemArrowShown; }
  bool wasSceneDrawn() const { return sceneDrawn; }

  // 1 while the system cursor is in use (cleared by the window procedure on
  // every cursor message).
  uint8_t windowCursorInUse = 0;

 private:
  int32_t current = 0;
  int32_t previous = 0;
  std::vector<AE::ISceneNode*> cursors;
  bool systemArrowShown = false;
  bool sceneDrawn = false;
  bool arrowState = false;
  bool arrowStateKnown = false;
};

}  // namespace HOG
