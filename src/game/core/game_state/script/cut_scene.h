#pragma once
// A short scripted animation played full-screen between black letterbox bars,
// with subtitles and a "SKIP" label at the top right that jumps to the end of
// the current stage. The animation is a scene file of its own or named nodes
// of the current view's scene; the end state of the nodes it drives is
// recorded in the play state's scene-node state list, so it survives leaving
// the view and saved games. The play state owns one, starts it for the level
// script's playCutScene and hands it input, update and draw while it runs
// (views are not updated meanwhile). Main thread only.
//
// Description: an XML data file, section "CutScene": "duration" (5 s when
// missing), "animationFile", "stopMusicOnPlay" (true), "fontPresetFile" and
// "fontPresetTable" for the label, the subtitles' own keys, "Stages" (list
// of "duration") and "animationNodes" (list of node names, at most 16).
//
//   cut.scene = topView->scene;
//   cut.init("cutscene_shed_xml", topView->id);
//   cut.start();                       // then update / processInput / draw
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/game_state/game_components.h"
#include "font_preset.h"
#include "subtitles.h"
#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class Sprite;
}

namespace HOG {

class CutScene : public ICutScene {
 public:
  static constexpr uint32_t kMaxTargets = 16;

  CutScene();
  ~CutScene() override;
  CutScene(const CutScene&) = delete;
  CutScene& operator=(const CutScene&) = delete;

  // ICutScene: the play state's frame.
  bool isActive() const override { return active; }
  void processInput(const InputState& input) override { updateSkipButton(input); }
  void update(float dt) override;
  void draw() override { render(); }
  void start() override;
  void stop() override {}

  void setBarHeight(float height);
  // Reads the description; scene must already be the view's scene (or null).
  void init(const std::string& name, uint32_t viewId);
  void render();
  void updateSkipButton(const InputState& input);
  void skipStage();
  void finish();
  // Ends it at once without end records or callback (a new cut scene, a
  // restore): a scene loaded for it goes with it.
  void reset();

  bool active = false;
  KR::Subtitles subtitles;
  float subtitleTime = 0.0f;
  float barHeightPercent = 12.5f;
  float elapsed = 0.0f;
  float duration = 0.0f;
  std::function<void()> finishedCallback;
  float barHeight = 0.0f;
  float barOverhang = 8.0f;
  KR::Sprite* barSprite = nullptr;
  bool stopMusicOnPlay = true;
  AE::ISceneNode* scene = nullptr;
  bool ownsScene = false;
  std::vector<AE::ISceneNode*> targetNodes;
  std::vector<float> stageDurations;
  uint32_t currentStage = 0;
  KR::FontPreset skipPreset;
  bool presetLoaded = false;
  std::wstring skipText;
  KR::Vector2<float> skipPosition;
  float skipWidth = 0.0f, skipHeight = 0.0f;
  bool skipHovered = false;
  uint32_t viewId = 0;
  std::string name;

 private:
  void record(AE::ISceneNode* node, uint32_t kind, bool value);
};

}  // namespace HOG
