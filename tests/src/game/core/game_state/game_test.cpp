// The play state's frame: the update order (a recording stand-in per
// component), the clamp of the application's time step, the lock timer,
// autosave on the first frame beyond 60 s, the blur's rate, the start of play
// and the end-of-game switch.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../showcase_test_support.h"
#include "core/app_state.h"
#include "core/authors_movie_state/authors_movie.h"
#include "core/game_application.h"
#include "core/game_state/game.h"
#include "core/main_menu_state/profile_system.h"
#include "platform/safe_file.h"

namespace {

std::vector<std::string> gTrace;

class StandInViews : public HOG::IViewStack {
 public:
  void update(float) override { gTrace.push_back("views"); }
  void processInput(const HOG::InputState& input) override {
    gTrace.push_back("view input");
    lastInputValid = input.valid;
  }
  bool hasVisibleCloseup() const override { return closeup; }
  void openView(const std::string& name) override { opened.push_back(name); }
  bool closeup = false;
  int lastInputValid = -1;
  std::vector<std::string> opened;
};

class StandInHud : public HOG::IHud {
 public:
  bool processInput(const HOG::InputState&) override {
    gTrace.push_back("hud input");
    return false;
  }
  void update(float) override { gTrace.push_back("hud"); }
};

class StandIn : public HOG::IGameComponent {
 public:
  explicit StandIn(const char* name_) : name(name_) {}
  void update(float) override { gTrace.push_back(name); }
  const char* name;
};

class Listener : public HOG::GameMessageListener {
 public:
  void onMessage(const HOG::GameMessage* message) override { kinds.push_back(message->kind); }
  std::vector<uint32_t> kinds;
};

class PlayFrameTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    gTrace.clear();
    openMedia();
    folder = KR::Test::scratchDir("play-frame") + "/";
    profiles = std::make_unique<HOG::ProfileSystem>(folder);
    profiles->createProfile(L"Player");  // a named player: the built-in one writes no options file
    game = std::make_unique<HOG::Game>();
    auto v = std::make_unique<StandInViews>();
    views = v.get();
    game->setViews(std::move(v));
    game->setHud(std::make_unique<StandInHud>());
    game->setMusic(std::make_unique<StandIn>("music"));
    game->setTriggerVisualiser(std::make_unique<StandIn>("visualiser"));
    game->setGuides(std::make_unique<StandIn>("guides"));
  }
  void TearDown() override {
    game.reset();
    profiles.reset();
    ShowcaseTest::TearDown();
  }
  void observeSteps() {
    game->stepObserver = [](HOG::GameStep step) { gTrace.push_back("step " + std::to_string(int(step))); };
  }

  std::string folder;
  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<HOG::Game> game;
  StandInViews* views = nullptr;
};

std::string s(HOG::GameStep step) { return "step " + std::to_string(int(step)); }

}  // namespace

TEST_F(PlayFrameTest, RunsItsPartsInOrderAndClampsTheApplicationStep) {
  EXPECT_FLOAT_EQ(game->getGeneralConfig().closeupSystemScale, 0.85f);
  EXPECT_EQ(game->getGeneralConfig().hosItemDissapearenceEffectQuality, 1);
  observeSteps();
  game->update(0.05f);
  using G = HOG::GameStep;
  EXPECT_EQ(gTrace, (std::vector<std::string>{s(G::EndOfGame),   s(G::LockTimer),
                                              s(G::Tasks),       s(G::Input),
                                              "hud input",       "view input",
                                              s(G::Blur),        s(G::Views),
                                              "views",           s(G::TasksAgain),
                                              s(G::Messages),    s(G::LoadingIndicator),
                                              s(G::Hud),         "hud",
                                              s(G::ViewEffects), s(G::Guides),
                                              "guides",          s(G::Music),
                                              "music",           s(G::TriggerVisualiser),
                                              "visualiser",      s(G::SavedCutScene),
                                              s(G::Autosave),    s(G::MusicStart)}));
  EXPECT_FLOAT_EQ(GameApplication::clampTimeStep(0.25f), 0.1f);
  EXPECT_FLOAT_EQ(GameApplication::clampTimeStep(0.05f), 0.05f);
}

TEST_F(PlayFrameTest, LockTimerHoldsInputAndCountsDownOnlyWhileNotHeld) {
  game->lockFor(0.25f);
  game->update(0.1f);
  EXPECT_NEAR(game->getLockTimer(), 0.15f, 1e-6f);
  EXPECT_TRUE(game->isLocked());
  EXPECT_EQ(views->lastInputValid, 0);
  game->setLocked(true);
  game->update(0.1f);
  game->update(0.1f);
  EXPECT_NEAR(game->getLockTimer(), 0.15f, 1e-6f);
  game->setLocked(false);
  game->update(0.1f);
  game->update(0.1f);
  EXPECT_FLOAT_EQ(game->getLockTimer(), 0.0f);
  EXPECT_FALSE(game->isLocked());
  game->update(0.1f);
  EXPECT_EQ(views->lastInputValid, 1);
}

TEST_F(PlayFrameTest, AutosaveFiresOnTheFirstFrameBeyondSixtySecondsAndSavesTheOptionsEvenWhenOff) {
  const std::string options = profiles->getProfileFilePath(0, "opt");
  for (int i = 0; i < 120; ++i) game->update(0.5f);  // exactly 60 s
  EXPECT_EQ(game->getSaveCount(), 0);
  EXPECT_FALSE(KR::Platform::fileExists(options));
  game->update(0.5f);
  EXPECT_EQ(game->getSaveCount(), 1);
  EXPECT_TRUE(KR::Platform::fileExists(options));
  EXPECT_FLOAT_EQ(game->getAutosaveTimer(), 0.0f);

  std::remove(options.c_str());
  game->setAutosaveEnabled(false);
  for (int i = 0; i < 121; ++i) game->update(0.5f);
  EXPECT_EQ(game->getSaveCount(), 1);
  EXPECT_TRUE(KR::Platform::fileExists(options));
}

TEST_F(PlayFrameTest, BlurFollowsTheCloseupAtTenPerSecond) {
  views->closeup = true;
  game->update(0.05f);
  EXPECT_NEAR(game->getBlurAmount(), 0.5f, 1e-6f);
  game->update(0.05f);
  game->update(0.05f);
  EXPECT_FLOAT_EQ(game->getBlurAmount(), 1.0f);
  views->closeup = false;
  game->update(0.1f);
  EXPECT_FLOAT_EQ(game->getBlurAmount(), 0.0f);
}

TEST_F(PlayFrameTest, StartOpensTheFirstLocationOnceAndTheEndOfGameSwitchesAtOnce) {
  Listener listener;
  game->getDispatcher().addListener(&listener);
  ASSERT_EQ(profiles->getCurrentProfile()->reserved, HOG::PlayerProfile::kFreshGame);
  game->onActivate();
  EXPECT_EQ(views->opened, (std::vector<std::string>{"location01"}));
  EXPECT_EQ(profiles->getCurrentProfile()->reserved, 0u);
  EXPECT_EQ(listener.kinds, (std::vector<uint32_t>{HOG::kMsgPlayStarted}));

  HOG::AppStateManager states;
  HOG::Game* raw = game.release();
  states.registerState(raw);
  states.registerState(new HOG::AuthorsMovie());
  raw->stepObserver = [](HOG::GameStep step) { gTrace.push_back(s(step)); };
  gTrace.clear();
  raw->finishGame();
  raw->update(0.05f);
  EXPECT_EQ(gTrace, (std::vector<std::string>{s(HOG::GameStep::EndOfGame)}));
  EXPECT_STREQ(states.getCurrentState()->getName(), "AuthorsMovie");
  EXPECT_TRUE(HOG::AuthorsMovie::getInstance()->returnToMainMenu);
  EXPECT_EQ(profiles->getCurrentProfile()->options.gameCompleted, 1);
  // Leaving play saved the game and the options.
  EXPECT_EQ(raw->getSaveCount(), 1);
  EXPECT_TRUE(KR::Platform::fileExists(profiles->getProfileFilePath(0, "opt")));
}
