#pragma once
// The continuous scroller of a scene list: the list follows a drag on its
// mask and glides on after a quick release, losing 4.33 x dt of its speed
// each frame and stopping below 60 units a second or at either end; the wheel
// moves it 24 units a notch; an authored "#scroll_bar" shows the position by
// the animation time of the nodes its "#thumbs" marker lists, and its
// "#thumb" child can be dragged along the bar's track. A strip shows no
// "#page_bar".
#include <utility>
#include <vector>

#include "ui/scrolling_helper.h"

namespace KR {

class StripScrollingHelper : public ScrollingHelper {
 public:
  struct ScrollBar {
    AE::ISceneNode* node = nullptr;
    StripScrollingHelper* owner = nullptr;
    // (node, recursive): the nodes whose animation time follows the offset.
    std::vector<std::pair<AE::ISceneNode*, bool>> thumbs;
    float startTime = 0.0f;
    float endTime = 0.0f;
    AE::ISceneNode* thumb = nullptr;
    float thumbOrigin = 0.0f;
    float thumbTrack = 0.0f;
    int32_t thumbState = 0;
  };

  // Fatal when the scene's scroll bar has fewer than 2 or more than 4 key
  // frames, or no thumbs.
  StripScrollingHelper(UISceneList* list, AE::ISceneNode* scene);
  ~StripScrollingHelper() override;

  void update(float dt) override;
  void processMessage(bool forward) override;
  bool isMoving() const override { return gliding; }

  // The bar time the thumbs show at an offset.
  float barTimeAt(float offset) const;

  ScrollBar* scrollBar = nullptr;
  Vector2<float> lastPointer;
  Vector2<float> velocity;
  bool gliding = false;

 private:
  void setUpBar(AE::ISceneNode* bar);
  void dragStep(float dt);
  void glideStep(float dt);
  void barStep();
  void thumbStep();
  void setThumbState(int32_t state);
};

}  // namespace KR
