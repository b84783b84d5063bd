// The UI manager with what it reads around it, for the UI tests: an input
// manager, the bound-command registry, a design area of 1024 x 768 shown 1:1
// (so client pixels are design coordinates), and helpers that build trees from
// Lua text, push input through the platform's event queue and run frames.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "input_manager_win_mac.h"
#include "lex_binded_function_manager.h"
#include "lua_script_2.h"
#include "platform/events.h"
#include "platform/input_injection.h"
#include "platform/input_state.h"
#include "platform/window.h"
#include "render_system_dx8.h"
#include "support/test_support.h"
#include "ui/text_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace KR {
namespace Test {

// Records the arguments of the bound command it is registered under.
struct CommandLog {
  std::vector<std::string> calls;
  void record(std::string argument) { calls.push_back(argument); }
};

// A widget that records the input events it is offered, in order, and how
// often it is drawn and updated.
class ProbeWidget : public UIWidget {
 public:
  ProbeWidget(const std::string& name, UIWidget* parent, std::vector<std::string>* order_ = nullptr)
      : UIWidget(name, parent), order(order_) {}
  int32_t processMessage(uint32_t event) override {
    events.push_back(event);
    if (order) order->push_back(name);
    return taking;
  }
  void draw() override {
    ++draws;
    if (order) order->push_back("draw " + name);
  }
  void onUpdate(float dt) override {
    ++updates;
    lastDt = dt;
  }
  std::vector<uint32_t> events;
  std::vector<std::string>* order;
  int32_t taking = 0;
  int draws = 0;
  int updates = 0;
  float lastDt = 0.0f;
};

// Adds a probe of the given rectangle to a parent (relative position).
inline ProbeWidget* addProbe(UIWidget* parent, const std::string& name, float x, float y, float w, float h,
                             std::vector<std::string>* order = nullptr) {
  auto* probe = new ProbeWidget(name, parent, order);
  probe->position = Vector2<float>(x, y);
  probe->size = Vector2<float>(w, h);
  parent->insertChild(int(parent->children.size()), probe);
  return probe;
}

class UITest : public ::testing::Test {
 protected:
  void SetUp() override {
    config.platforms.resize(1);
    config.platforms[0].resolutionWidth = 1024;
    config.platforms[0].resolutionHeight = 768;
    config.currentPlatform = &config.platforms[0];
    windowOnly = std::make_unique<RenderSystem>(nullptr);
    windowOnly->getWindowInfo().mWndWidth = 1024;
    windowOnly->getWindowInfo().mWndHeight = 768;
    registry = std::make_unique<LexBindedFunctionManager>();
    texts = std::make_unique<TextManager>();
    input = std::make_unique<InputManager>(nullptr);
    manager = std::make_unique<UIManager>();
    ASSERT_TRUE(Platform::initVideo()) << Platform::lastError();
    drain();
    Platform::clearInputState();
    // Two polls so that nothing of an earlier test stays in the edges.
    poll();
    poll();
  }
  void TearDown() override {
    manager.reset();
    Platform::clearInputState();
  }

  void registerRecorder(CommandLog* commandLog, const std::string& name = "record") {
    registry->registerFunction(name, new LexBinder1<std::string, CommandLog>(commandLog, &CommandLog::record));
  }
  // Moves the pointer and runs a frame.
  uint32_t moveTo(int x, int y) {
    Platform::pushMouseMotion(x, y);
    return frame();
  }
  // A press and a release at the point, one frame each.
  void clickAt(int x, int y) {
    Platform::pushMouseButton(0, true, x, y);
    frame();
    Platform::pushMouseButton(0, false, x, y);
    frame();
  }

  UIPCController* controller() { return static_cast<UIPCController*>(manager->getController()); }

  // Runs Lua text and builds its global `table` (a root when parent is null).
  UIWidget* build(const std::string& lua, const std::string& table, UIWidget* parent = nullptr) {
    LuaScript script;
    EXPECT_TRUE(script.runBuffer(lua.data(), lua.size(), "test_ui")) << lua;
    return manager->buildFromScript(script, table, parent, "test_ui");
  }
  // Translates every pushed event into the polled state.
  void drain() {
    Platform::Message message;
    while (Platform::peekMessage(message)) {
    }
  }
  // The engine tick's device polls.
  void poll() {
    drain();
    input->getMouseDevice()->update();
    input->getKeyboardDevice()->poll();
  }
  // One frame: the polls and the UI manager's update; returns the frame's event.
  uint32_t frame(float dt = 0.05f) {
    poll();
    manager->update(dt);
    return controller()->lastEvent;
  }

  LogCapture log;
  ConfigManager config{ConfigManager::NoLoad{}};
  std::unique_ptr<RenderSystem> windowOnly;
  std::unique_ptr<LexBindedFunctionManager> registry;
  std::unique_ptr<TextManager> texts;
  std::unique_ptr<InputManager> input;
  std::unique_ptr<UIManager> manager;
};

// A shown widget with an "onIdle" fade and the given size at a position, in Lua.
inline std::string box(const std::string& id, const std::string& cls, int x, int y, int w, int h,
                       const std::string& extra = std::string()) {
  return "{ id = '" + id + "', class = '" + cls + "', position = {" + std::to_string(x) + ", " + std::to_string(y) +
         "}, " + (cls == "UILabel" ? "size = {" + std::to_string(w) + ", " + std::to_string(h) + "}, " : "") +
         "states = { { id = 'onIdle', propertyChanges = { { target = '" + id +
         "', property = 'transparency', value = 1 } } } }, " + extra + " }";
}

}  // namespace Test
}  // namespace KR
