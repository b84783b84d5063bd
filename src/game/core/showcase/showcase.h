#pragma once
// What the engine can do so far, one page at a time: Right or Space shows the
// next page, Left the previous one. A page's title may change while it is
// shown; the window title follows. Each subsystem adds its page here as it
// lands.
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GameApplication;

namespace HOG {

class ShowcasePage {
 public:
  virtual ~ShowcasePage() = default;
  virtual std::string title() const = 0;
  virtual void update(float) {}
  virtual void render(GameApplication& application) = 0;
  // The page is no longer the current one.
  virtual void leave() {}

 protected:
  // One frame of a page drawn through the render system: the device check,
  // the page's drawing and the frame's end. While the page's content cannot
  // load, the window is cleared to a dark grey instead.
  static void presentPage(GameApplication& application, bool loaded, const std::function<void()>& draw);
  // A frame of one colour, drawn through the render system when it can (so
  // the game's cursor is drawn over it), else cleared on the window.
  static void presentColour(GameApplication& application, float r, float g, float b);
};

class Showcase {
 public:
  Showcase();
  void addPage(std::unique_ptr<ShowcasePage> page);
  // Reads the keyboard edges of this tick and advances the current page.
  void update(GameApplication& application, float dt);
  void render(GameApplication& application);

  size_t getPageCount() const { return pages.size(); }
  size_t getCurrentPage() const { return current; }
  void showPage(GameApplication& application, size_t index);

 private:
  std::vector<std::unique_ptr<ShowcasePage>> pages;
  size_t current = 0;
  std::string shownTitle;
};

// The first page: the window itself, its frame cleared to a slowly
// changing colour.
class ClearFramePage : public ShowcasePage {
 public:
  std::string title() const override { return "window and frame"; }
  void update(float dt) override { time += dt; }
  void render(GameApplication& application) override;

 private:
  float time = 0.0f;
};

}  // namespace HOG
