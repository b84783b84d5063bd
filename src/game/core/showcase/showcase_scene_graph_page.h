#pragma once
// Showcase page of the animated scene graph: a tree built in code plays at 24
// frames a second. A parent disc turns with two pivoted, sheared boards; a
// disc walks a Bezier path; a hand runs through its sprite frames; a line
// types itself out through "maxChar" under a localised caption; a board is a
// stencil mask clipping a sliding band and a text; three discs at depths 1, 2
// and 4 show parallax under two cameras, the first active from frame 0, the
// second (panning) from frame 48 of every four-second cycle.
//
// Keys 1 to 3 start the markers "spin", "walk" and "type"; their completion
// shows in the title bar. Enter puts a clone of the tree beside it.
#include <memory>
#include <string>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "core/showcase/showcase.h"
#include "font_preset.h"

namespace HOG {

class SceneGraphShowcasePage : public ShowcasePage, public AE::MarkerListener {
 public:
  static constexpr int kCycleFrames = 96;

  ~SceneGraphShowcasePage() override;
  std::string title() const override { return "scene graph: nodes, keyframes, markers (1-3), cameras; Enter clones"; }
  void update(float dt) override;
  void render(GameApplication& application) override;
  void onMarker(AE::Marker* marker) override;

  // Builds the tree (once); false while the managers or the render system are missing.
  bool load();
  // Moves the trees by dt seconds.
  void advance(float dt);
  // Starts marker 0 "spin", 1 "walk" or 2 "type".
  void playMarker(int index);
  // Shrinks the tree into the left half and puts a playing clone in the right.
  void cloneTree();
  // Submits the trees and the page's text into the current frame.
  void draw();

  AE::ISceneNode* getRoot() const { return root.get(); }
  AE::ISceneNode* getClone() const { return clone.get(); }
  const std::string& getStatus() const { return status; }
  int getFrame() const;

 private:
  void build();
  void restartCameras(AE::ISceneNode* tree);
  void release();

  bool loaded = false;
  std::unique_ptr<AE::ISceneNode> root;
  std::unique_ptr<AE::ISceneNode> clone;
  float time = 0.0f;
  int cycle = 0;
  std::string status;
  std::string shownStatus;
  KR::FontPreset heading;
  KR::FontPreset caption;
};

}  // namespace HOG
