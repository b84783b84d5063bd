#pragma once
// The rules of a special location (minigame, hidden-object scene, dialogue)
// added to a view. One per view at most, built by name from the view's
// description in a block of the extension pool and owned by the view registry.
// onLoad and release run on the view streamer's thread under the view's lock;
// every other operation runs on the main thread (update and draw under the
// view's lock, taken by try-lock).
//
// Messages (to every listener): kind 14 carries the running extension of the
// active view or null; kind 28 an extension was resumed, kind 29 suspended.
#include <cstdint>
#include <string>

namespace HOG {

class View;
struct InputState;

class IViewExtension {
 public:
  IViewExtension() = default;
  virtual ~IViewExtension() = default;
  IViewExtension(const IViewExtension&) = delete;
  IViewExtension& operator=(const IViewExtension&) = delete;

  virtual void draw() = 0;
  virtual void update(float dt) = 0;
  virtual void onActivate() = 0;
  virtual void onDeactivate() = 0;
  virtual void onLoad() = 0;
  virtual void release() = 0;
  // 0: not handled (the triggers see the event); other values: handled.
  virtual int32_t processMouseEvent(const InputState*) { return 0; }
  virtual bool isSuspendable() const { return suspendable; }
  // 1 minigame, 2 hidden-object scene, 3 dialogue.
  virtual int32_t getType() const = 0;
  // The brief text, or null.
  virtual const std::wstring* getExtensionData() { return nullptr; }
  virtual void loadConfig(const std::string& file) = 0;

  bool isSuspended() const { return isSuspendable() && suspended; }
  // The hint panel's SKIP finishes it: its hints are enabled and it reads
  // the skip request (a puzzle with a finish of its own may not).
  virtual bool takesSkip() const { return announces; }
  void setSuspended(bool flag);
  // Called by the concrete extension once its puzzle is solved.
  void notifyFinished();
  void announceActive();
  void announceInactive();

  View* view = nullptr;
  bool skipRequest = false;
  bool announces = true;
  bool suspendable = false;
  bool finishReported = false;
  bool suspended = true;
};

// A debugging aid: lines across the design area, no input.
class TestViewExtension : public IViewExtension {
 public:
  void draw() override;
  void update(float) override {}
  void onActivate() override {}
  void onDeactivate() override {}
  void onLoad() override {}
  void release() override {}
  int32_t getType() const override { return 1; }
  void loadConfig(const std::string&) override {}
};

}  // namespace HOG
