#include "support/replay.h"

#include <dirent.h>
#include <lua.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/game_message.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "string_conversion.h"
#include "support/png_file.h"

namespace KR {
namespace Test {

namespace {

// The hint panel's button, design points (SKIP while a puzzle takes input).
constexpr float kHintButton[2] = {1470.0f, 949.0f};

HOG::Game& play() { return *HOG::Game::getInstance(); }

KR::Vector2<int> window(float x, float y) {
  const KR::Viewport2D viewport = KR::calcViewport();
  return KR::Vector2<int>(int(viewport.offset.x + (x + 0.5f) * viewport.scale),
                          int(viewport.offset.y + (y + 0.5f) * viewport.scale));
}

bool shown(const GameDriver& game, const std::string& name) {
  if (game.activeView() != name) return false;
  const HOG::View* view = play().getViewStack().getActiveView();
  return view->loaded && view->activated && !play().isLocked();
}

// Counts the game messages by kind while the replay runs.
class MessageCounter : public HOG::GameMessageListener {
 public:
  void onMessage(const HOG::GameMessage* message) override { ++counts[message->kind]; }
  int count(uint32_t kind) const { return kind < 64 ? counts[kind] : 0; }
  void clear() { std::fill(std::begin(counts), std::end(counts), 0); }

 private:
  int counts[64] = {};
};

AE::ISceneNode* activeNode(const std::string& name) {
  HOG::View* view = play().getViewStack().getActiveView();
  if (!view || !view->scene) return nullptr;
  return AE::ISceneNode::findChild(name.c_str(), view->scene);
}

int hookCalls(uint32_t viewId) {
  lua_State* L = play().getLuaState().getMainState();
  if (!L) return -1;
  lua_getglobal(L, "galleryFinished");
  int calls = 0;
  if (lua_istable(L, -1)) {
    lua_rawgeti(L, -1, int(viewId));
    calls = int(lua_tointeger(L, -1));
    lua_pop(L, 1);
  }
  lua_pop(L, 1);
  return calls;
}

class Runner {
 public:
  Runner(GameDriver& driver, const std::string& file) : game(driver), path(file) {}

  ::testing::AssertionResult run() {
    std::ifstream in(path);
    if (!in) return ::testing::AssertionFailure() << "can't read " << path;
    play().getDispatcher().addListener(&counter);
    std::string line;
    while (std::getline(in, line)) {
      ++lineNumber;
      const size_t hash = line.find('#');
      if (hash != std::string::npos) line.erase(hash);
      std::istringstream words(line);
      std::string command;
      if (!(words >> command)) continue;
      if (!perform(command, words)) break;
    }
    play().getDispatcher().removeListener(&counter);
    if (failure.empty() && !missing.empty()) failure = missing;
    if (failure.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << ":" << lineNumber << ": " << failure;
  }

 private:
  bool fail(const std::string& why) {
    failure = why;
    return false;
  }

  bool waitShown(const std::string& name) {
    if (game.stepUntil([&] { return shown(game, name); }, 600)) return true;
    return fail("view " + name + " is not shown (active: " + game.activeView() + ")");
  }

  // The active view's transition to `target`, or its first one when empty.
  bool clickTransition(const std::string& target, std::string* opened) {
    HOG::View* view = play().getViewStack().getActiveView();
    if (!view) return fail("no active view");
    for (HOG::IBaseAreaTrigger* trigger : view->triggers) {
      if (trigger->getType() != 2 || trigger->dead || !trigger->enabled) continue;
      const char* location = static_cast<HOG::TransitionTrigger*>(trigger)->targetLocation;
      if (!target.empty() && target != location) continue;
      *opened = location;
      const KR::Vector2<float> p = trigger->center + view->position;
      const KR::Vector2<int> w = window(p.x, p.y);
      game.click(w.x, w.y);
      return waitShown(*opened);
    }
    return fail(std::string("view ") + view->name + " has no way to '" + target + "'");
  }

  HOG::IViewExtension* extensionOf(const std::string& viewName) {
    HOG::View* view = play().getRegistry().findViewByName(viewName.c_str());
    return view ? view->extension : nullptr;
  }

  bool perform(const std::string& command, std::istringstream& words) {
    float x = 0.0f, y = 0.0f;
    if (command == "open") {
      std::string target, opened;
      words >> target;
      return clickTransition(target, &opened);
    }
    if (command == "leave") {
      left = game.activeView();
      std::string opened;
      return clickTransition("", &opened);
    }
    if (command == "return") {
      std::string opened;
      return clickTransition(left, &opened);
    }
    if (command == "press" || command == "release" || command == "move" || command == "click" || command == "rclick") {
      if (!(words >> x >> y)) return fail("expects X Y");
      const KR::Vector2<int> w = window(x, y);
      if (command == "rclick") {
        game.click(w.x, w.y, 1);
        return true;
      }
      if (command == "press") game.pressMouse(w.x, w.y);
      if (command == "release") game.releaseMouse(w.x, w.y);
      if (command == "move") game.moveMouse(w.x, w.y);
      if (command == "click") {
        game.click(w.x, w.y);
      } else {
        game.step();
      }
      return true;
    }
    if (command == "wait") {
      float seconds = 0.0f;
      words >> seconds;
      game.steps(int(std::lround(seconds / GameDriver::kStep)));
      return true;
    }
    if (command == "frames") {
      int count = 0;
      words >> count;
      game.steps(count);
      return true;
    }
    if (command == "skip") {
      auto* hud = dynamic_cast<HOG::InGameUI*>(play().getHud());
      HOG::HintPanel* hint = hud ? hud->getHintPanel() : nullptr;
      if (!hint) return fail("no hint panel");
      if (!game.stepUntil([&] { return hint->ready; }, 900)) return fail("the hint button does not charge");
      const KR::Vector2<int> w = window(kHintButton[0], kHintButton[1]);
      game.click(w.x, w.y);
      return true;
    }
    if (command == "save") {
      play().saveGame();
      return true;
    }
    if (command == "load") {
      const std::string active = game.activeView();
      if (!play().restoreSavedGame()) return fail("the saved game was not restored");
      return waitShown(game.activeView().empty() ? active : game.activeView());
    }
    if (command == "shot") {
      std::string name;
      words >> name;
      std::vector<uint32_t> argb;
      uint32_t w = 0, h = 0;
      if (!lastFrame(argb, w, h)) return fail("no frame to read");
      writePng(std::string(KR_TEST_BINARY_DIR) + "/tests/" + name + ".png", argb, w, h);
      return true;
    }
    if (command == "clear") {
      counter.clear();
      return true;
    }
    if (command == "expect") return expect(words);
    return fail("unknown command '" + command + "'");
  }

  // Blacks out the hint button with its charge bar: their look follows the
  // hint's clock, which counts every frame outside a puzzle, also those spent
  // waiting for a view to load (a number the streamer's thread decides). The
  // button's word and fullness are checked by "expect hint" instead.
  static void maskHintButton(std::vector<uint32_t>& argb, uint32_t w, uint32_t h) {
    const KR::Vector2<int> from = window(kHintButton[0] - 70.0f, kHintButton[1] - 34.0f);
    const KR::Vector2<int> to = window(kHintButton[0] + 70.0f, kHintButton[1] + 40.0f);
    for (int y = std::max(from.y, 0); y < std::min(to.y, int(h)); ++y)
      for (int x = std::max(from.x, 0); x < std::min(to.x, int(w)); ++x) argb[size_t(y) * w + size_t(x)] = 0xFF000000u;
  }

  // The last frame shown, as pixels 0xFFRRGGBB.
  bool lastFrame(std::vector<uint32_t>& argb, uint32_t& w, uint32_t& h) {
    std::vector<uint8_t> rgba;
    if (!game.readFrame(rgba, w, h)) return false;
    argb = rgbaToArgb(rgba, w, h);
    return true;
  }

  bool expect(std::istringstream& words) {
    std::string what;
    words >> what;
    std::ostringstream why;
    if (what == "hooks") {
      std::string name;
      int calls = 0;
      words >> name >> calls;
      HOG::View* view = play().getRegistry().findViewByName(name.c_str());
      if (!view) return fail("no view " + name);
      const int actual = hookCalls(view->id);
      if (actual == calls) return true;
      why << "finish hook of " << name << " ran " << actual << " times, expected " << calls;
    } else if (what == "messages") {
      uint32_t kind = 0;
      int count = 0;
      words >> kind >> count;
      if (counter.count(kind) == count) return true;
      why << counter.count(kind) << " messages of kind " << kind << ", expected " << count;
    } else if (what == "lock") {
      std::string op;
      float seconds = 0.0f;
      words >> op >> seconds;
      const float lock = play().getLockTimer();
      if (op == ">" ? lock > seconds : op == "<" ? lock < seconds : std::fabs(lock - seconds) < 1e-4f) return true;
      why << "lock timer " << lock << ", expected " << op << " " << seconds;
    } else if (what == "frame") {
      std::string name;
      int frame = 0;
      words >> name >> frame;
      AE::ISceneNode* node = activeNode(name);
      if (!node) return fail("no node " + name + " in view " + game.activeView());
      const int actual = int(std::lround(node->mAnimation->mTime / node->mAnimation->mFrameTime));
      if (actual == frame) return true;
      why << name << " stands at frame " << actual << ", expected " << frame;
    } else if (what == "position") {
      std::string name;
      float x = 0.0f, y = 0.0f;
      words >> name >> x >> y;
      AE::ISceneNode* node = activeNode(name);
      if (!node) return fail("no node " + name + " in view " + game.activeView());
      const float ax = node->mWorldMatrix.m[6], ay = node->mWorldMatrix.m[7];
      if (std::fabs(ax - x) <= 0.5f && std::fabs(ay - y) <= 0.5f) return true;
      why << name << " stands at " << ax << ", " << ay << ", expected " << x << ", " << y;
    } else if (what == "rotation") {
      std::string name;
      float degrees = 0.0f;
      words >> name >> degrees;
      AE::ISceneNode* node = activeNode(name);
      if (!node) return fail("no node " + name + " in view " + game.activeView());
      if (std::fabs(node->mRotation - degrees) <= 0.05f) return true;
      why << name << " is turned " << node->mRotation << " degrees, expected " << degrees;
    } else if (what == "enabled" || what == "playing") {
      std::string name;
      int flag = 0;
      words >> name >> flag;
      AE::ISceneNode* node = activeNode(name);
      if (!node) return fail("no node " + name + " in view " + game.activeView());
      const bool actual = what == "enabled" ? node->mEnabled : node->mPlaying;
      if (actual == (flag != 0)) return true;
      why << name << " " << what << " " << actual << ", expected " << flag;
    } else if (what == "view") {
      std::string name;
      words >> name;
      if (game.activeView() == name) return true;
      why << "active view " << game.activeView() << ", expected " << name;
    } else if (what == "finished" || what == "suspended") {
      std::string name;
      int flag = 0;
      words >> name >> flag;
      HOG::IViewExtension* extension = extensionOf(name);
      if (!extension) return fail("view " + name + " has no extension");
      const bool actual = what == "finished" ? extension->finishReported : extension->isSuspended();
      if (actual == (flag != 0)) return true;
      why << name << " " << what << " " << actual << ", expected " << flag;
    } else if (what == "picture") {
      // Play steps at a fixed rate, so the frames repeat: one pixel in 4000 may
      // differ by more than 6 in a channel (a rasteriser's edge pixels).
      std::string name;
      words >> name;
      std::vector<uint32_t> argb;
      uint32_t w = 0, h = 0;
      if (!lastFrame(argb, w, h)) return fail("no frame to read");
      maskHintButton(argb, w, h);
      const std::string differs = compareWithReference("replays/pictures", name, argb, w, h, 6, 4000);
      if (differs.empty()) return true;
      // A new picture: the run goes on so that every new picture of the file is written for review, and fails
      // at its end.
      if (!std::ifstream(std::string(KR_TEST_SOURCE_DIR) + "/tests/data/replays/pictures/" + name + ".png")) {
        missing += (missing.empty() ? "" : "; ") + differs;
        return true;
      }
      // The frame that differs, beside the reference, for review.
      writePng(std::string(KR_TEST_BINARY_DIR) + "/tests/" + name + "_seen.png", argb, w, h);
      why << differs << " (this frame: tests/" << name << "_seen.png)";
    } else if (what == "hint") {
      // The hint button's caption and whether a click does something now (its rim lit).
      std::string word;
      int full = -1;
      words >> word;
      if (!(words >> full)) full = -1;
      auto* hud = dynamic_cast<HOG::InGameUI*>(play().getHud());
      HOG::HintPanel* hint = hud ? hud->getHintPanel() : nullptr;
      if (!hint || !hint->caption) return fail("no hint button caption");
      const std::string caption = KR::toNarrowString(hint->caption->getDisplayText());
      if (caption == word && (full < 0 || hint->ready == (full != 0)) && hint->rimLit == hint->ready) return true;
      why << "hint button '" << caption << "' full " << hint->ready << " lit " << hint->rimLit << ", expected '" << word
          << "' " << full;
    } else if (what == "brief" || what == "text") {
      std::string text;
      std::getline(words >> std::ws, text);
      std::string actual;
      if (what == "text") {
        actual = game.message();
      } else {
        HOG::View* view = play().getViewStack().getActiveView();
        const std::wstring* brief = view && view->extension ? view->extension->getExtensionData() : nullptr;
        if (brief) actual = KR::toNarrowString(*brief);
      }
      if (actual == text) return true;
      why << what << " '" << actual << "', expected '" << text << "'";
    } else {
      return fail("unknown expectation '" + what + "'");
    }
    return fail(why.str());
  }

  GameDriver& game;
  std::string path;
  MessageCounter counter;
  std::string left;
  std::string failure;
  // The pictures without a reference, written to the build folder.
  std::string missing;
  int lineNumber = 0;
};

}  // namespace

std::vector<std::string> listReplays(const std::string& folder) {
  std::vector<std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) files.push_back(name);
    }
    closedir(dir);
  }
  std::sort(files.begin(), files.end());
  return files;
}

::testing::AssertionResult playReplay(GameDriver& game, const std::string& path) {
  if (!HOG::Game::exists()) return ::testing::AssertionFailure() << "no play state";
  return Runner(game, path).run();
}

}  // namespace Test
}  // namespace KR
