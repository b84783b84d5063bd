#pragma once
// The UI manager owns every widget tree: the roots in load order, the shown
// stack that decides the drawing order and which trees take input, the input
// controller, the commands widgets queued, the captured widget and the
// observers. Trees are built from Lua tables:
//
//   -- menu_ui.lua (entry "menu_ui" of package "default")
//   menu = { id = "menu", class = "UIWidget",
//            states = { { id = "onIdle", propertyChanges = {
//                         { target = "menu", property = "transparency", value = 1, duration = 0.25 } } } },
//            childs = { { id = "play", class = "UIButton", text = "Play", fontPreset = "font_presets_lua:body" } },
//            events = { { element = "play", slot = "clicked", command = "hide:menu" } } }
//
//   KR::UIWidget* menu = KR::UIManager::getInstance()->loadUI("menu_ui", "menu", nullptr, "default");
//   menu->show();        // enters "onIdle" and goes on top of the shown stack
//   ...
//   KR::UIManager::getInstance()->destroyUI(menu);
//
// The engine tick calls update once a frame (controller first, then every
// tree); render draws the shown stack. The bound commands "show",
// "showForcibly", "hide" and "hideForcibly" take a widget's name.
#include <pthread.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "singleton.h"

namespace KR {

class IFunction;
class LuaScript;
class UIController;
class UIWidget;

class UIObserver {
 public:
  virtual ~UIObserver() = default;
  virtual void onWidgetShown(UIWidget*) {}
  virtual void onWidgetHidden(UIWidget*) {}
  virtual void onWidgetDestroyed(UIWidget*) {}
};

class UIManager : public Singleton<UIManager> {
 public:
  // A list of commands a widget queued (not owned: the widget owns them).
  struct QueuedCommands {
    UIWidget* owner = nullptr;
    std::vector<IFunction*> functions;
  };

  UIManager();
  ~UIManager() override;
  UIManager(const UIManager&) = delete;
  UIManager& operator=(const UIManager&) = delete;

  // ---- per frame (main thread) ----
  // The controller's input and commands, then every tree with the frame time
  // (at most 0.1 s), then the roots flagged destroyPending are destroyed.
  void update();
  // The same with a given frame time (the timer's, in update).
  void update(float frameTime);
  // Draws the shown stack bottom to top, each widget at most once.
  void render();
  void clearDrawnFlags();

  // ---- loading (any thread) ----
  // Builds the tree of the global table `table` of the script; fatal when the
  // script or the table cannot be read. Without a parent the tree becomes a root.
  UIWidget* loadUI(const std::string& script, const std::string& table, UIWidget* parent,
                   const std::string& package = "default");
  // The same as a root, with a log line and null instead of the fatal errors.
  UIWidget* tryLoadUI(const std::string& script, const std::string& table, const std::string& package = "default");
  // Builds one widget and its subtree from the current table of the script
  // (null when its class is unknown); scriptName and tableName name the
  // source in messages.
  UIWidget* createWidget(LuaScript& script, UIWidget* parent, const std::string& scriptName = std::string(),
                         const std::string& tableName = std::string());
  // Builds the global table `table` of an already run script, as loadUI does
  // after running it (a root when parent is null).
  UIWidget* buildFromScript(LuaScript& script, const std::string& table, UIWidget* parent,
                            const std::string& scriptName);
  void bindEvent(UIWidget* widget, const std::string& element, const std::string& slot, const std::string& command);

  // ---- roots and the shown stack ----
  void addRoot(UIWidget* widget);
  // 0 when a root was destroyed, 1 otherwise.
  int destroyUI(UIWidget* widget);
  void bringToTop(UIWidget* widget);
  UIWidget* getTopmostVisible();
  bool isInputReachable(UIWidget* widget);
  void setWidgetParent(UIWidget* widget, UIWidget* parent);
  bool isRoot(const UIWidget* widget);
  std::vector<UIWidget*> getRoots();
  std::vector<UIWidget*> getShownStack();

  // ---- bound commands: the first root holding the name decides ----
  void show(std::string name);
  void showForcibly(std::string name);
  void hide(std::string name);
  void hideForcibly(std::string name);

  // ---- input and commands ----
  UIController* getController() const { return controller; }
  UIWidget* getCapturedWidget() const { return captured; }
  bool getCaptureExcludesChildren() const { return captureExcludesChildren; }
  void setCapturedWidget(UIWidget* widget, bool excludesChildren);
  void queueCommands(UIWidget* owner, const std::vector<IFunction*>& functions);
  // Takes the front of the queue; false when it is empty.
  bool takeQueuedCommands(QueuedCommands* out);
  // Runs a list in order; stops when its owner is destroyed on the way.
  void runCommands(const QueuedCommands& entry);
  // The owner's commands are going away: its queued lists are dropped and a
  // list of it that is running stops after the current command.
  void forgetCommands(UIWidget* owner);
  const std::string& getClickSound() const { return clickSound; }

  // ---- observers ----
  void addObserver(UIObserver* observer);
  void removeObserver(UIObserver* observer);
  void notifyShown(UIWidget* widget);
  void notifyHidden(UIWidget* widget);
  void notifyDestroyed(UIWidget* widget);

  pthread_mutex_t* getLock() { return &lock; }

 private:
  UIWidget* buildOne(LuaScript& script, UIWidget* parent, const std::string& scriptName, const std::string& tableName,
                     std::vector<const void*>& path);
  void readRelated(LuaScript& script);
  void readChildren(LuaScript& script, UIWidget* widget, const std::string& scriptName, const std::string& tableName,
                    std::vector<const void*>& path);
  void readStates(LuaScript& script, UIWidget* widget);
  void readEvents(LuaScript& script, UIWidget* widget);
  // Takes the tree's shown-stack entries and the capture away, then deletes it.
  void destroyRootAt(size_t index);
  void applyToNamed(const std::string& name, void (UIWidget::*operation)());

  std::vector<UIWidget*> roots;
  std::vector<UIWidget*> shownStack;
  UIController* controller = nullptr;
  std::deque<QueuedCommands> commandQueue;
  UIWidget* captured = nullptr;
  bool captureExcludesChildren = true;
  std::string clickSound;
  pthread_mutex_t lock;
  std::vector<UIObserver*> observers;
  // The owner of the command list running now, and whether it went away.
  UIWidget* runningOwner = nullptr;
  bool runningAborted = false;
};

}  // namespace KR
