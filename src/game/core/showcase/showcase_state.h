#pragma once
// The engine showcase as an application state ("Showcase"), reached only
// with --showcase: Right or Space turn its pages, Left turns back. A view for
// testing and developing the engine; the game itself starts on its logos.
// Main thread only.
#include <memory>

#include "core/app_state.h"
#include "core/showcase/showcase.h"

class GameApplication;

namespace HOG {

class ShowcaseState : public IAppState {
 public:
  explicit ShowcaseState(GameApplication& application_) : application(application_) {}
  const char* getName() const override { return "Showcase"; }
  void update(float dt) override {
    if (showcase) showcase->update(application, dt);
  }
  void draw() override {
    if (showcase) showcase->render(application);
  }
  void load() override { showcase = std::make_unique<Showcase>(); }
  void unload() override { showcase.reset(); }
  void onActivate() override {
    if (showcase) showcase->showPage(application, showcase->getCurrentPage());
  }
  void onDeactivate() override {}
  bool presentsOwnFrame() const override { return true; }

  Showcase* getShowcase() { return showcase.get(); }

 private:
  GameApplication& application;
  std::unique_ptr<Showcase> showcase;
};

}  // namespace HOG
