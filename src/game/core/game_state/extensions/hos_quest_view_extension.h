#pragma once
// A view made into a small quest of ordered stages: each stage names one
// trigger of the view to use and a briefing ('#' then a text key, or plain
// text) that the brief panel shows. Using the current stage's trigger (kinds
// 21-24 on the bus) completes it and announces the next briefing (kind 14);
// once every stage is done the extension reports its finish. Stages advance
// only in order. Main thread only; registered on the play state's bus for
// its life.
//
// Config (package "default"): "suspendable", and under "stages" one child
// per stage with "breifing" (spelled so in the data) and "trigger".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game_message.h"

namespace KR {
class XmlDataReader;
}

namespace HOG {

class HosQuestViewExtension : public IViewExtension, public GameMessageListener {
 public:
  struct Stage {
    std::string briefing;
    bool done = false;
    int32_t trigger = -1;
  };

  HosQuestViewExtension();
  ~HosQuestViewExtension() override;

  void draw() override {}
  void update(float dt) override;
  // A restored game has the stages' triggers used already: those count as done.
  void onActivate() override;
  void onDeactivate() override {}
  void onLoad() override {}
  void release() override {}
  int32_t processMouseEvent(const InputState*) override { return 0; }
  int32_t getType() const override { return 1; }
  // Its stages finish only by using their triggers: a SKIP here would do nothing.
  bool takesSkip() const override { return false; }
  const std::wstring* getExtensionData() override;
  void loadConfig(const std::string& file) override;
  void parseConfig(KR::XmlDataReader& reader);

  void onMessage(const GameMessage* message) override;

  int32_t currentStage = 0;
  std::vector<Stage> stages;
  std::wstring briefText;

 private:
  void completeCurrentStage();
};

}  // namespace HOG
