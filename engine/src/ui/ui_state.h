#pragma once
// Widget states: a named list of property changes, each of which drives one
// property of one widget (alpha, offset, colour or a sprite's scale) toward an
// end value over a duration. A state owns its changes.
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

namespace KR {

class UIWidget;

class UIState {
 public:
  class IPropertyChange {
   public:
    virtual ~IPropertyChange() = default;
    // Advances the change by dt seconds.
    virtual void apply(float dt) = 0;
    // elapsed = 0, running again.
    virtual void start() = 0;
    // The end value at once.
    virtual void finish() = 0;
  };

  // One class over the driven type: float (alpha), Vector2<float> (offset,
  // scale) and Color (colour).
  template <typename T>
  class PropertyChange : public IPropertyChange {
   public:
    PropertyChange(UIWidget* widget_, T* target_, const T& end_, float duration_, int32_t mode_ = 0)
        : widget(widget_), mode(mode_), duration(duration_), target(target_), end(end_) {}

    void apply(float dt) override;
    void start() override {
      elapsed = 0.0f;
      running = true;
    }
    void finish() override {
      *target = end;
      running = false;
    }

    UIWidget* widget;
    int32_t mode;  // stored for the tables that give one; every change moves linearly
    float duration;
    float elapsed = 0.0f;
    bool running = true;
    T* target;
    T end;
  };

  explicit UIState(const std::string& name_) : name(name_) {}
  ~UIState();
  UIState(const UIState&) = delete;
  UIState& operator=(const UIState&) = delete;

  // Takes ownership; the changes run in the order added.
  void addPropertyChange(IPropertyChange* change) { changes.push_back(change); }

  std::string name;
  std::vector<IPropertyChange*> changes;
};

// One step of a change toward its end value: the fraction k of the way that
// is left (see UIState::PropertyChange::apply).
void stepToward(float& value, const float& end, float k);
void stepToward(Vector2<float>& value, const Vector2<float>& end, float k);
void stepToward(Color& value, const Color& end, float k);

template <typename T>
void UIState::PropertyChange<T>::apply(float dt) {
  if (!running) return;
  elapsed += dt;
  float remaining = duration - elapsed;
  if (remaining < 0.0f) remaining = 0.0f;
  if (remaining < 1.1920929e-7f) {
    finish();
    return;
  }
  // The step is measured against the time left after this one, so a change
  // of 1 s in four steps of 0.25 s passes 1/3, 2/3 and 1.
  float k = (dt < remaining ? dt : remaining) / remaining;
  if (k < 0.0f) k = 0.0f;
  if (k > 1.0f) k = 1.0f;
  stepToward(*target, end, k);
}

}  // namespace KR
