#pragma once
// A puzzle class played without the game: its configuration from text, its
// scene built from a small scene text as plain nodes, input and frames fed by
// hand. The scene text is the scene file's form, read for what the puzzles
// use: "Object" elements with "name", "Parameters" (X, Y, Z, angle, scaleX,
// scaleY, PivotPointX, PivotPointY, Enable, Playing, and the node's size in
// points as "w" and "h"), "frames" (keys "X", "Y", "angle" and the same pivot) and
// "Childs". A sprite of the demo content without "w" takes its picture's size
// by its scale.
//
//   PuzzleRig rig("QueueMinigameViewExtension", config, scene);
//   rig.click(120, 80);
//   rig.frames(30);
//   EXPECT_TRUE(rig.finished());
#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_factory.h"
#include "engine_allocators.h"
#include "support/test_support.h"

namespace KR {
namespace Test {

// The text of a file of the demo content's puzzles (media/puzzles/<name>).
std::string puzzleMedia(const std::string& name);
// The scene text with a child `child` (keys at frames 0 and 12, playing when
// `playing`) added as the first child of the object named `parent`.
std::string withChild(const std::string& scene, const std::string& parent, const std::string& child,
                      bool playing = false);

class PuzzleRig {
 public:
  // Makes the class, reads `config` as the configuration `configName`, builds
  // the scene and activates the view.
  PuzzleRig(const char* className, const std::string& config, const std::string& scene,
            const std::string& configName = "test_puzzle_xml");
  // The same in a view placed at `viewPosition` (a close-up over a location).
  PuzzleRig(const char* className, const std::string& config, const std::string& scene,
            const KR::Vector2<float>& viewPosition);
  ~PuzzleRig();
  PuzzleRig(const PuzzleRig&) = delete;
  PuzzleRig& operator=(const PuzzleRig&) = delete;

  template <class T>
  T& as() {
    return *static_cast<T*>(puzzle);
  }
  HOG::MinigameViewExtension& get() { return *puzzle; }
  AE::ISceneNode* node(const char* name) const;
  // The frame the node's clock stands at.
  int frame(const char* name) const;

  // One frame each: the input (the pointer at x, y), then the scene and the puzzle update.
  void press(int x, int y);
  void release(int x, int y, float dt = 1.0f / 30.0f);
  void move(int x, int y);
  void rightClick(int x, int y);
  // A press frame and a release frame.
  void click(int x, int y);
  // The release and the press in one frame, the pointer moved there in it.
  void quickClick(int x, int y);
  // Frames without input, `dt` seconds each.
  void frames(int count, float dt = 1.0f / 30.0f);
  void skip();
  // The view is left and opened again; with `reload` its scene is released
  // and built anew in between (as the view streamer does).
  void leaveAndReturn(bool reload = false);
  // The view is activated again while its scene is not loaded.
  void activateWithoutScene();
  // The streamer releases the view's scene and loads it again, and the view
  // is updated before it is activated: the released scene is kept (for a look
  // at what was done to it) and returned.
  const AE::ISceneNode* reloadWithoutActivation();

  bool finished() const { return puzzle->finishReported; }
  LogCapture log;
  // The last input result.
  int32_t result = 0;

 private:
  void start(const char* className, const std::string& config, const std::string& configName);
  void step(const HOG::InputState& input, float dt);
  AE::ISceneNode* build() const;

  std::unique_ptr<EngineAllocators> allocators;
  std::unique_ptr<HOG::ViewFactory> factory;
  HOG::View view;
  HOG::MinigameViewExtension* puzzle = nullptr;
  std::string sceneText;
  std::unique_ptr<AE::ISceneNode> released;
};

}  // namespace Test
}  // namespace KR
