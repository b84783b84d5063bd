#pragma once
// The fades of a change of location: the new location fades in from black,
// the old one fades to black while the camera zooms toward the transition
// that was used. The play state owns one of each, updates them every frame
// and draws every plain view between their beginZoom and endZoom. The overlay
// is a design-size black sprite made on the first init and kept. Main thread
// only.
#include "core/game_state/game_message.h"
#include "vector2.h"

namespace KR {
class Sprite;
}

namespace HOG {

class ViewEffect {
 public:
  virtual ~ViewEffect();
  // Makes the overlay sprite once (needs the sprite manager).
  virtual void init();
  virtual void update(float dt);
  virtual void draw();
  virtual void start();
  virtual void stop();
  virtual void beginZoom() {}
  virtual void endZoom() {}
  virtual float getDuration() const { return duration; }
  virtual float getElapsed() const { return elapsed; }
  virtual bool isRunning() const { return running; }

  void setDuration(float seconds) { duration = seconds; }
  // min(elapsed / duration, 1).
  float progress() const;
  // The overlay's alpha at this moment.
  virtual float overlayAlpha() const = 0;

 protected:
  void drawOverlay(float alpha);

  float elapsed = 0.0f;
  bool running = false;
  KR::Sprite* overlay = nullptr;
  float duration = 1.0f;
};

class ViewFadeInEffect : public ViewEffect {
 public:
  float overlayAlpha() const override;
};

class ViewFadeOutEffect : public ViewEffect, public GameMessageListener {
 public:
  // The fade-out stops itself after this long, whatever its duration.
  static constexpr float kMaxRun = 1.0f;

  ~ViewFadeOutEffect() override;
  void update(float dt) override;
  void beginZoom() override;
  void endZoom() override;
  float overlayAlpha() const override;
  // Kind 22 (a transition was used) aims the zoom at its trigger.
  void onMessage(const GameMessage* message) override;

  // Where the zoom heads, in design coordinates; no zoom when disabled.
  void setZoomTarget(const KR::Vector2<float>& point, bool enabled) {
    zoomPoint = point;
    zoomEnabled = enabled;
  }
  void setZoomAmount(float amount) { zoomAmount = amount; }

  // Turns a transition trigger into its view's position plus the trigger's
  // centre and whether the zoom is on (the trigger's id is not 0); set by
  // the view registry once views exist. False leaves the target unchanged.
  using TriggerLocator = bool (*)(const void* trigger, KR::Vector2<float>* point, bool* zoom);
  static TriggerLocator triggerLocator;

 private:
  float zoomAmount = 0.0f;
  float savedCamera[5] = {0.0f, 0.0f, 1.0f, 1.0f, 0.0f};
  KR::Vector2<float> zoomPoint;
  bool zoomEnabled = false;
};

}  // namespace HOG
