#pragma once
// A conversation over a view's scene: each stage plays one marker of the
// scene. Passive stages advance on a click (or the next button); action
// stages wait for the player to do something in the view, after which the
// level script advances (gDialog.nextStage), and the next and skip buttons
// are hidden. Skip jumps over passive stages to the last action stage ahead. The HUD is hidden while the dialogue runs;
// after the last stage the view closes and the HUD comes back. Main thread only.
//
// Config (package "default"): section "DialogConfig", element "stages", one
// child per stage with "marker" and "action".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/extensions/view_extension.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

class DialogViewExtension : public IViewExtension {
 public:
  struct Stage {
    std::string marker;
    bool action = false;
  };

  void draw() override {}
  void update(float dt) override;
  void onActivate() override;
  void onDeactivate() override {}
  void onLoad() override {}
  void release() override {}
  int32_t processMouseEvent(const InputState* input) override;
  int32_t getType() const override { return 3; }
  const std::wstring* getExtensionData() override { return &briefText; }
  void loadConfig(const std::string& file) override;
  void parseConfig(KR::XmlDataReader& reader);

  void playStage(int32_t index);
  // The next stage, or finished after the last.
  void advance();
  void onNextClicked(bool checkKind);
  void onSkipClicked();
  bool isPassiveStage() const;
  // The next and skip buttons show on passive stages only.
  bool isSkipShown() const { return skipShown; }

  std::wstring briefText;
  int32_t currentStage = 0;
  std::vector<Stage> stages;
  AE::ISceneNode* scene = nullptr;
  KR::UIWidget* uiRoot = nullptr;
  KR::UIWidget* nextButton = nullptr;
  KR::UIWidget* skipButton = nullptr;
  bool finished = false;

 private:
  void followButtonVisibility();
  bool skipShown = false;
};

}  // namespace HOG
