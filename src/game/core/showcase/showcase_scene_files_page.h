#pragma once
// Showcase page of scene files: the demo scene "scene_files_demo_xml" loaded
// by AE::loadScene and played in a four-second cycle, with a sprite from a
// table and one from a plain image, a hand stepping through its frames, a
// disc on a Bezier path, a sheared board nested two levels down, two texts
// (one styled by a preset, one typing itself out), sparkles whose emission
// swells and freezes, an ambient hum on for the first half of the cycle and
// two cameras taking turns.
//
// Keys 1 to 3 start the scene's markers "spin", "walk" and "type"; Enter
// deletes the scene and loads it again from its file (the title bar shows the
// loaded-scene count and the particle pool, which stay steady).
#include <memory>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "core/showcase/showcase.h"
#include "font_preset.h"

namespace HOG {

class SceneFilesShowcasePage : public ShowcasePage, public AE::MarkerListener {
 public:
  static constexpr int kCycleFrames = 96;
  static constexpr const char* kSceneFile = "scene_files_demo_xml";

  ~SceneFilesShowcasePage() override;
  std::string title() const override {
    return "scene files: a loaded scene with sound and particles; 1-3 markers, Enter reloads";
  }
  void update(float dt) override;
  void render(GameApplication& application) override;
  void onMarker(AE::Marker* marker) override;
  // Leaving the page deletes the scene, so its hum stops with it; coming back loads it anew.
  void leave() override { release(); }

  // Loads the scene (once); false while the managers or the render system are
  // missing or the file cannot be loaded.
  bool load();
  // Moves the scene by dt seconds.
  void advance(float dt);
  // Starts marker 0 "spin", 1 "walk" or 2 "type".
  void playMarker(int index);
  // Deletes the scene and loads it again from its file, from frame 0.
  void reload();
  // Submits the scene and the page's caption into the current frame.
  void draw();

  AE::ISceneNode* getScene() const { return scene.get(); }
  const std::string& getStatus() const { return status; }
  int getFrame() const;

 private:
  bool loadScene();
  void restartCameras();
  void release();

  bool loaded = false;
  std::unique_ptr<AE::ISceneNode> scene;
  float time = 0.0f;
  int cycle = 0;
  int reloads = 0;
  std::string status;
  std::string shownStatus;
  KR::FontPreset caption;
};

}  // namespace HOG
