// The application states: the order of a switch, re-activating the current
// state, the first registration, previous and next state, and the bound
// command "setState".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app_state.h"
#include "lex_binded_function_manager.h"
#include "support/test_support.h"

namespace {

std::vector<std::string> gCalls;

class RecordingState : public HOG::IAppState {
 public:
  explicit RecordingState(const char* name_) : name(name_) {}
  ~RecordingState() override { gCalls.push_back(std::string(name) + ".delete"); }
  const char* getName() const override { return name; }
  void update(float) override {}
  void draw() override {}
  void load() override { gCalls.push_back(std::string(name) + ".load"); }
  void unload() override { gCalls.push_back(std::string(name) + ".unload"); }
  void onActivate() override {
    gCalls.push_back(std::string(name) + ".activate");
    HOG::IAppState* previous = HOG::AppStateManager::getInstance()->getPreviousState();
    seenPrevious = previous ? previous->getName() : "";
  }
  void onDeactivate() override {
    gCalls.push_back(std::string(name) + ".deactivate");
    HOG::IAppState* next = HOG::AppStateManager::getInstance()->getNextState();
    seenNext = next ? next->getName() : "";
  }
  const char* name;
  std::string seenPrevious, seenNext;
};

class AppStatesTest : public ::testing::Test {
 protected:
  void SetUp() override { gCalls.clear(); }
  KR::Test::LogCapture log;
  KR::LexBindedFunctionManager functions;
};

}  // namespace

TEST_F(AppStatesTest, FirstRegistrationActivatesAndSwitchesLeaveTheOldStateFirst) {
  {
    HOG::AppStateManager states;
    auto* logo = new RecordingState("LogoGameState");
    auto* menu = new RecordingState("MainMenu");
    auto* game = new RecordingState("Game");
    states.registerState(logo);
    // Activated before it is stored; later registrations only store.
    EXPECT_EQ(gCalls, (std::vector<std::string>{"LogoGameState.load", "LogoGameState.activate"}));
    EXPECT_TRUE(logo->loaded);
    states.registerState(menu);
    states.registerState(game);
    EXPECT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(states.getCurrentState(), logo);

    gCalls.clear();
    states.setState("MainMenu");
    EXPECT_EQ(gCalls, (std::vector<std::string>{"LogoGameState.deactivate", "LogoGameState.unload", "MainMenu.load",
                                                "MainMenu.activate"}));
    EXPECT_FALSE(logo->loaded);
    EXPECT_EQ(logo->seenNext, "MainMenu");
    EXPECT_EQ(menu->seenPrevious, "LogoGameState");

    // The current state's own name: no unload, onActivate once more.
    gCalls.clear();
    states.setState("MainMenu");
    EXPECT_EQ(gCalls, (std::vector<std::string>{"MainMenu.activate"}));

    // Unknown and differently cased names change nothing.
    gCalls.clear();
    states.setState("game");
    states.setState("Nowhere");
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(states.findState("Game"), game);

    // The bound command switches by name too.
    KR::ILexBinder* binder = functions.cloneFunction("setState", {"Game"});
    ASSERT_NE(binder, nullptr);
    binder->invoke();
    delete binder;
    EXPECT_EQ(states.getCurrentState(), game);
    gCalls.clear();
  }
  // Shutdown stops the current state, then deletes every state once.
  EXPECT_EQ(gCalls,
            (std::vector<std::string>{"Game.deactivate", "LogoGameState.delete", "MainMenu.delete", "Game.delete"}));
  EXPECT_EQ(functions.findFunction("setState"), nullptr);
}
