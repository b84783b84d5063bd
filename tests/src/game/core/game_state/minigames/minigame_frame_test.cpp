// What every puzzle class shares: the demo content is taken as it stands, a
// configuration that can't make a solvable puzzle is refused with a line that
// names the file and the key and is never reported solved, and what a finish
// adds to the play state's lock is bounded.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "puzzle_rig.h"
#include "support/gallery_puzzles.h"
#include "xml_data_reader.h"

namespace KR {
namespace Test {
namespace {

using Kind = GalleryPuzzle;
constexpr const auto& kKinds = kGalleryPuzzles;

// Clicks over the whole design area, SKIP among them, and ten seconds of frames.
void playRoughly(PuzzleRig& rig) {
  for (int y = 25; y < 1050; y += 150)
    for (int x = 25; x < 1680; x += 150) rig.click(x, y);
  rig.skip();
  rig.frames(300);
}

bool anyLineNames(const LogCapture& log, const std::string& config) {
  for (const std::string& line : log.lines())
    if (line.find("ERROR: Puzzle configuration '" + config + "', key '") != std::string::npos &&
        line.find("key ''") == std::string::npos)
      return true;
  return false;
}

// The demo configuration of a kind with `from` (its first occurrence) replaced by `to`.
std::string edited(const Kind& kind, const std::string& from, const std::string& to) {
  std::string text = puzzleMedia(kind.config);
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << kind.config << ": " << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

const Kind& kindOf(const char* config) {
  for (const Kind& kind : kKinds)
    if (std::string(kind.config) == config) return kind;
  throw std::runtime_error(config);
}

struct Edit {
  const char* config;
  const char* from;
  const char* to;
  const char* key;              // named by the line
  const char* from2 = nullptr;  // a second replacement
  const char* to2 = nullptr;
};

std::string edited(const Kind& kind, const Edit& edit) {
  std::string text = edited(kind, edit.from, edit.to);
  if (!edit.from2) return text;
  const size_t at = text.find(edit.from2);
  EXPECT_NE(at, std::string::npos) << edit.from2;
  if (at != std::string::npos) text.replace(at, std::string(edit.from2).size(), edit.to2);
  return text;
}

TEST(MinigameFrame, OutOfRangeNumbersAreBoundedWithALineNamingTheKey) {
  const Edit edits[] = {
      {"puzzle_r_paires.xml", "<startFrameID v=\"0\"/><maxFrameID v=\"3\"/><frameStep v=\"8\"/>",
       "<startFrameID v=\"2147483647\"/><maxFrameID v=\"3\"/><frameStep v=\"2\"/>", "buttons/startFrameID"},
      {"puzzle_r_paires.xml", "<frameStep v=\"8\"/>", "<frameStep v=\"-2147483648\"/>", "buttons/frameStep"},
      {"puzzle_comb_slider.xml", "<startID v=\"0\"/><maxID v=\"4\"/><frameStep v=\"6\"/>",
       "<startID v=\"2000000000\"/><maxID v=\"2000000000\"/><frameStep v=\"10\"/>", "sliders/maxID"},
      {"puzzle_slider.xml", "<startSliderID v=\"0\"/>", "<startSliderID v=\"2147483647\"/>", "buttons/startSliderID"},
      {"puzzle_key.xml", "<v1 v=\"8\"/>", "<v1 v=\"1e10\"/>", "controls/stages"},
      {"puzzle_key.xml", "<v2 v=\"16\"/>", "<v2 v=\"nan\"/>", "controls/stages"},
      {"puzzle_queue.xml", "<selectCount v=\"5\"/>", "<selectCount v=\"2000\"/>", "selectCount"},
      {"puzzle_queue.xml", "<finishDelay v=\"0\"/>", "<finishDelay v=\"nan\"/>", "finishDelay"},
      {"puzzle_jigsaw.xml", "<angleStep v=\"90\"/>", "<angleStep v=\"0\"/>", "angleStep"},
      {"puzzle_jigsaw.xml", "<finishTime v=\"3\"/>", "<finishTime v=\"1e30\"/>", "finishTime"},
      {"puzzle_jigsaw_swap.xml", "<breakFrame v=\"12\"/>", "<breakFrame v=\"1e10\"/>", "breakFrame"},
      {"puzzle_circle.xml", "<stepSize v=\"1\"/>", "<stepSize v=\"2147483647\"/>", "controls/links/stepSize"},
      {"puzzle_rotation.xml", "<moveCoef v=\"0.5\"/>", "<moveCoef v=\"inf\"/>", "moveCoef"},
      {"puzzle_rotation.xml", "<v1 v=\"rt_e0\"/>", "<v1 v=\"rt_e3\"/>", "pathes"},
      {"puzzle_telescope.xml", "<accuracy v=\"40\"/>", "<accuracy v=\"nan\"/>", "accuracy"},
      {"puzzle_rightplace.xml", "<controlsW v=\"180\"/>", "<controlsW v=\"0\"/>", "controlsW"},
      {"puzzle_paires.xml", "<openFrame v=\"10\"/>", "<openFrame v=\"-5\"/>", "openFrame"},
      {"puzzle_swaptype.xml", "<w v=\"180\"/>", "<w v=\"nan\"/>", "motors/w"},
      {"puzzle_color.xml", "<frame v=\"1\"/>", "<frame v=\"2147483647\"/>", "mainButtons/frame"},
      {"puzzle_key.xml", "<correct v=\"1,2,0,2\"/>", "<correct v=\"1,2,0,9\"/>", "correct"},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(std::string(edit.config) + ": " + edit.to);
    const Kind& kind = kindOf(edit.config);
    PuzzleRig rig(kind.className, edited(kind, edit.from, edit.to), puzzleMedia(kind.scene), "bounded_xml");
    playRoughly(rig);
    EXPECT_FALSE(rig.get().isRefused());
    EXPECT_TRUE(rig.log.contains(std::string("WARNING: Puzzle configuration 'bounded_xml', key '") + edit.key + "'"));
  }
}

TEST(MinigameFrame, ConfigurationsThatCanNeverBeSolvedAreRefused) {
  const Edit edits[] = {
      {"puzzle_bqueue.xml", "<correct v=\"3,1,2\"/>", "<correct v=\"3,1,7\"/>", "correct"},
      {"puzzle_bqueue.xml", "<correct v=\"3,1,2\"/>", "<correct v=\"3,1,3\"/>", "correct"},
      {"puzzle_buttons.xml", "<buttons><v0 v=\"bg_d\"/><v1 v=\"bg_e\"/></buttons>", "<buttons/>",
       "controlsGroup/buttons"},
      {"puzzle_color.xml", "<node v=\"cl_place1\"/><id v=\"2\"/>", "<node v=\"cl_place1\"/><id v=\"9\"/>",
       "secondaryButtons/id"},
      {"puzzle_circle.xml", "<correctState v=\"2\"/>", "<correctState v=\"4\"/>", "controls/correctState"},
      {"puzzle_comb_slider.xml", "<v0 v=\"1\"/><v1 v=\"3\"/><v2 v=\"2\"/>", "<v0 v=\"1\"/><v1 v=\"3\"/>",
       "combinations/values"},
      {"puzzle_comb_slider.xml", "<v0 v=\"4\"/><v1 v=\"0\"/>", "<v0 v=\"5\"/><v1 v=\"0\"/>", "combinations/values"},
      {"puzzle_r_paires.xml", "<v0 v=\"1\"/><v1 v=\"2\"/>", "<v0 v=\"1\"/><v1 v=\"3\"/>", "combinations/value"},
      {"puzzle_r_paires.xml", "<v0 v=\"2\"/><v1 v=\"0\"/><v2 v=\"1\"/>",
       "<v0 v=\"2\"/><v1 v=\"0\"/><v2 v=\"1\"/><v3 v=\"0\"/>", "combinations/value"},
      {"puzzle_slider.xml", "<correctSliderID v=\"2\"/>", "<correctSliderID v=\"3\"/>", "buttons/correctSliderID"},
      {"puzzle_slider.xml", "<Groups><v0 v=\"sg_group1\"/><v1 v=\"sg_group2\"/></Groups>",
       "<Groups><v0 v=\"sg_group1\"/></Groups>", "Groups"},
      {"puzzle_paires.xml", "<v3><id v=\"1\"/>", "<v3><id v=\"5\"/>", "elements/id"},
      {"puzzle_swapgroups.xml", "<current_position v=\"5\"/>", "<current_position v=\"6\"/>",
       "elements/correct_position"},
      {"puzzle_patnashki.xml", "<startNode v=\"-1\"/>", "<startNode v=\"1\"/>", "points/startNode"},
      {"puzzle_rightzone.xml", "<currectPositionID v=\"4\"/>", "<currectPositionID v=\"5\"/>",
       "elements/currectPositionID"},
      {"puzzle_rightzone.xml", "<currentPositionID v=\"4\"/>", "<currentPositionID v=\"0\"/>",
       "elements/currentPositionID"},
      {"puzzle_rightzone.xml", "<currectPositionID v=\"1\"/>", "<currectPositionID v=\"0\"/>",
       "elements/currectPositionID"},
      {"puzzle_rightplace.xml", "<fControlAngleID v=\"2\"/>", "<fControlAngleID v=\"4\"/>",
       "activeZones/fControlAngleID"},
      {"puzzle_rightplace.xml", "<elementName v=\"rc_el1\"/>", "<elementName v=\"rc_nothing\"/>",
       "activeZones/elementName"},
      {"puzzle_rightplace.xml", "<secondControl v=\"rc_carB\"/>", "<secondControl v=\"rc_carZ\"/>",
       "activeZones/secondControl"},
      {"puzzle_telescope.xml", "<correctPosition v0=\"540\" v1=\"-725\"/>",
       "<correctPosition v0=\"5400\" v1=\"-725\"/>", "combinations/correctPosition"},
      {"puzzle_swaptype.xml", "<gearid v=\"3\"/>", "<gearid v=\"30\"/>", "motors/gearid"},
      {"puzzle_combpuzzle.xml", "<v0 v=\"0\"/><v1 v=\"1\"/>", "<v0 v=\"7\"/>", "combinations/value"},
      {"puzzle_combpuzzle.xml", "<v0 v=\"1\"/><v1 v=\"2\"/><v2 v=\"3\"/>",
       "<v0 v=\"0\"/><v1 v=\"1\"/><v2 v=\"2\"/><v3 v=\"3\"/>", "combinations/value"},
      {"puzzle_queue.xml", "<v0 v=\"0\"/><v1 v=\"1\"/><v2 v=\"2\"/>", "<v0 v=\"0\"/><v1 v=\"3\"/>", "combinations"},
      {"puzzle_queue.xml", "<selectCount v=\"5\"/>", "<selectCount v=\"-3\"/>", "combinations"},
      {"puzzle_rotation.xml", "<v0 v=\"1\">", "<v0 v=\"0\">", "pathes", "<v1 v=\"1\">", "<v1 v=\"0\">"},
      {"puzzle_rpuzzle.xml", "<correctAngle v=\"0\"/>", "<correctAngle v=\"nan\"/>", "elements/correctAngle"},
      {"puzzle_jigsaw.xml", "<block v=\"1\"/>", "<block v=\"0\"/>", "block"},
      {"puzzle_jigsaw.xml", "<puzzleName v=\"jg_pieces\"/>", "<puzzleName v=\"jg_frame\"/>", "puzzleName"},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(std::string(edit.config) + ": " + edit.to);
    const Kind& kind = kindOf(edit.config);
    PuzzleRig rig(kind.className, edited(kind, edit), puzzleMedia(kind.scene), "unsolvable_xml");
    playRoughly(rig);
    EXPECT_TRUE(rig.get().isRefused());
    EXPECT_FALSE(rig.finished());
    EXPECT_TRUE(rig.log.contains(std::string("ERROR: Puzzle configuration 'unsolvable_xml', key '") + edit.key + "'"));
  }
}

// What a puzzle may change on a node.
std::vector<std::string> looks(const AE::ISceneNode* root) {
  std::vector<std::string> out;
  std::vector<const AE::ISceneNode*> open{root};
  while (!open.empty()) {
    const AE::ISceneNode* node = open.back();
    open.pop_back();
    char text[256];
    std::snprintf(text, sizeof text, "%s t%.3f p%d e%d %.1f,%.1f r%.1f z%.1f c%08x", node->mName.c_str(),
                  double(node->mAnimation->mTime), int(node->mPlaying), int(node->mEnabled), double(node->mPosX),
                  double(node->mPosY), double(node->mRotation), double(node->mPosZ), unsigned(node->mColor.value));
    out.push_back(text);
    for (const AE::ISceneNode* child : node->mChildren) open.push_back(child);
  }
  return out;
}

TEST(MinigameFrame, AReleasedSceneIsNeverTouchedAgain) {
  // The view streamer may load a view's scene again and update the view
  // before activating it: the puzzle must hold no node of the old scene,
  // neither while it plays nor once it has finished.
  for (const Kind& kind : kKinds) {
    for (const bool finished : {false, true}) {
      SCOPED_TRACE(std::string(kind.config) + (finished ? " finished" : " playing"));
      PuzzleRig rig(kind.className, puzzleMedia(kind.config), puzzleMedia(kind.scene), kind.config);
      for (int x = 500; x < 1300; x += 240) rig.click(x, 560);
      // Quick second clicks leave steps owed where a puzzle queues them.
      for (int x : {584, 840, 1096}) {
        rig.click(x, 504);
        rig.click(x, 504);
      }
      if (finished) {
        // (SKIP finishes every puzzle but the dials and a puzzle without hints.)
        if (!rig.get().announces || std::string(kind.className) == "CircleMinigameViewExtension") continue;
        rig.skip();
        rig.frames(200);
        ASSERT_TRUE(rig.finished());
      }
      const AE::ISceneNode* old = rig.reloadWithoutActivation();
      const std::vector<std::string> before = looks(old);
      rig.frames(40);
      EXPECT_EQ(looks(old), before);
    }
  }
}

// The finish node a kind's configuration names.
std::string finishOf(const Kind& kind) {
  const std::string text = puzzleMedia(kind.config);
  for (const char* key : {"<finish v=\"", "<finishNode v=\""}) {
    const size_t at = text.find(key);
    if (at != std::string::npos) {
      const size_t from = at + std::string(key).size();
      return text.substr(from, text.find('"', from) - from);
    }
  }
  return "";
}

TEST(MinigameFrame, EveryClassReadsSuspendable) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.config);
    const std::string config = puzzleMedia(kind.config);
    const bool locked = config.find("<suspendable v=\"1\"/>") != std::string::npos;
    PuzzleRig rig(kind.className, locked ? config : edited(kind, "<suspendable v=\"0\"/>", "<suspendable v=\"1\"/>"),
                  puzzleMedia(kind.scene));
    EXPECT_TRUE(rig.get().suspendable);
  }
}

TEST(MinigameFrame, WithHintsOffSkipDoesNothing) {
  for (const char* config : {"puzzle_bqueue.xml", "puzzle_key.xml", "puzzle_paires.xml", "puzzle_jigsaw.xml",
                             "puzzle_queue.xml", "puzzle_rotation.xml", "puzzle_swapgroups.xml"}) {
    SCOPED_TRACE(config);
    const Kind& kind = kindOf(config);
    PuzzleRig rig(kind.className, edited(kind, "<enableHint v=\"1\"/>", "<enableHint v=\"0\"/>"),
                  puzzleMedia(kind.scene));
    EXPECT_FALSE(rig.get().announces);
    rig.skip();
    rig.frames(200);
    EXPECT_FALSE(rig.finished());
  }
}

TEST(MinigameFrame, APuzzleRestoredFinishedShowsItsFinish) {
  // A saved game puts the flags back on a puzzle loaded anew: its finish
  // shows (playing, or held at its end). The button groups show their
  // solution instead, and the group swap only ever shows a finish it reached.
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.config);
    const std::string name = kind.className;
    if (name == "ButtonsMinigameViewExtension" || name == "SwapGroupsViewExtension") continue;
    PuzzleRig rig(kind.className, puzzleMedia(kind.config), puzzleMedia(kind.scene));
    HOG::MinigameViewExtension& puzzle = rig.get();
    puzzle.finishReported = puzzle.suspendable = puzzle.suspended = true;
    rig.leaveAndReturn(true);
    rig.frames(70);
    const AE::ISceneNode* finish = rig.node(finishOf(kind).c_str());
    ASSERT_NE(finish, nullptr);
    EXPECT_TRUE(finish->mEnabled);
    EXPECT_TRUE(finish->mPlaying || rig.frame(finishOf(kind).c_str()) == int(finish->mAnimation->mKeyFrames.back()));
  }
}

TEST(MinigameFrame, DemoPuzzlesAreTakenAsTheyStand) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.config);
    PuzzleRig rig(kind.className, puzzleMedia(kind.config), puzzleMedia(kind.scene), kind.config);
    // An activation while the view has no scene yet finds nothing and
    // misses nothing.
    rig.activateWithoutScene();
    rig.leaveAndReturn();
    rig.frames(2);
    EXPECT_FALSE(rig.get().isRefused());
    for (const std::string& line : rig.log.lines()) ADD_FAILURE() << line;
  }
}

TEST(MinigameFrame, ConfigurationsThatCantMakeAPuzzleAreRefusedAndNeverSolved) {
  const std::string broken[] = {"", "just words, not XML", "<root/>", "<root><MinigameConfig/></root>",
                                "<root><MinigameConfig><finishTime v=\"0\"/></MinigameConfig></root>"};
  for (const Kind& kind : kKinds) {
    for (const std::string& config : broken) {
      SCOPED_TRACE(std::string(kind.className) + ": " + config);
      PuzzleRig rig(kind.className, config, puzzleMedia(kind.scene), "broken_xml");
      playRoughly(rig);
      EXPECT_TRUE(rig.get().isRefused());
      EXPECT_FALSE(rig.finished());
      EXPECT_FALSE(rig.get().announces);  // no SKIP offered
      EXPECT_TRUE(anyLineNames(rig.log, "broken_xml"));
    }
  }
  // A file cut short says so.
  PuzzleRig rig("KeyMinigameViewExtension", "<root><MinigameConfig><finishTime v=\"3\"/>", "<Scene/>", "cut_xml");
  EXPECT_TRUE(rig.log.contains("ERROR: Puzzle configuration 'cut_xml', key 'MinigameConfig': the file can't be read"));
}

TEST(MinigameFrame, APuzzleWhoseNodesAreMissingIsRefusedAndNeverSolved) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.config);
    PuzzleRig rig(kind.className, puzzleMedia(kind.config), "<Scene/>", kind.config);
    playRoughly(rig);
    EXPECT_FALSE(rig.finished());
    EXPECT_TRUE(anyLineNames(rig.log, kind.config));
    // A line about a missing node names the configuration and a key, never an empty name.
    for (const std::string& line : rig.log.lines()) {
      if (line.find("Can't") == std::string::npos) continue;
      EXPECT_NE(line.find(std::string("of '") + kind.config + "'"), std::string::npos) << line;
      EXPECT_EQ(line.find("node  "), std::string::npos) << line;
      EXPECT_EQ(line.find("node puzzle_scene"), std::string::npos) << line;  // the scene is not what is missing
    }
  }
}

// A puzzle of the frame alone: solved when told, finishing through the shared
// sequence (or, with "hold", the held one).
class FramePuzzle : public HOG::MinigameViewExtension {
 public:
  bool solved = false;
  bool hold = false;
  bool started = false;
  int32_t count = 0;
  float seconds = 0.0f;
  void onActivate() override { bindFinishNode(); }
  using MinigameViewExtension::findNode;

 protected:
  void readConfig(KR::XmlDataReader& reader) override {
    readCommonKeys(reader, 2.0f);
    readEnableHint(reader);
    readFlag(reader, "hold", &hold, false);
    readBoundedInt(reader, "count", &count, 7, 0, 9);
    readSeconds(reader, "seconds", &seconds, 1.5f);
  }
  void updatePuzzle(float dt) override {
    if (hold) {
      if (solved || skipWanted()) holdFinish(dt, &started);
    } else {
      runFinishSequence(dt, solved);
    }
  }
  int32_t handleInput(const HOG::InputState*) override { return 0; }
};

class FrameTest : public ::testing::Test {
 protected:
  FrameTest() : allocators(std::make_unique<EngineAllocators>()) { allocators->init(); }
  // A view with a finish node "fin" (disabled, a one-second animation) and the puzzle on it.
  void make(const std::string& keys) {
    view.release();  // the scene of a puzzle made before
    puzzle = std::make_unique<FramePuzzle>();
    view.extension = puzzle.get();
    puzzle->view = &view;
    const std::string config = "<root><MinigameConfig>" + keys + "</MinigameConfig></root>";
    puzzle->loadConfigFromMemory(config.data(), config.size(), "frame_xml");
    view.scene = new AE::ISceneNode();
    finish = new AE::ISceneNode();
    finish->mName = "fin";
    view.scene->addChild(finish, true);
    AE::NodeKeyValues key;
    finish->setKeyframeValues(0, key);
    finish->setKeyframeValues(24, key);
    sound = new AE::ISceneNode();
    finish->addChild(sound, true);
    finish->setEnabled(false);
    view.loaded = true;
    puzzle->onActivate();
  }
  void frames(int count, float dt = 0.1f) {
    for (int i = 0; i < count; ++i) {
      view.scene->update(dt);
      puzzle->update(dt);
    }
  }
  ~FrameTest() override {
    view.release();
    view.extension = nullptr;
  }

  LogCapture log;
  std::unique_ptr<EngineAllocators> allocators;
  HOG::View view;
  std::unique_ptr<FramePuzzle> puzzle;
  AE::ISceneNode* finish = nullptr;
  AE::ISceneNode* sound = nullptr;  // the finish node's child
};

TEST_F(FrameTest, TheFinishPlaysWhileDoneAndIsReportedOnceAfterTheFinishTime) {
  make("<finish v=\"fin\"/><finishTime v=\"0.5\"/>");
  EXPECT_TRUE(finish->mEnabled);  // shown, at rest
  EXPECT_FALSE(finish->mPlaying);
  frames(3);
  EXPECT_FALSE(puzzle->isDone());
  EXPECT_FALSE(finish->mPlaying);
  puzzle->solved = true;
  frames(4);  // 0.4 s
  EXPECT_TRUE(puzzle->isDone());
  EXPECT_TRUE(finish->mPlaying);
  EXPECT_TRUE(sound->mPlaying);  // with its children
  EXPECT_FALSE(puzzle->finishReported);
  frames(1);  // 0.5 s: the time is reached
  EXPECT_TRUE(puzzle->finishReported);
  EXPECT_TRUE(puzzle->isSuspended());
  // A finished puzzle keeps showing its finish, whatever its pieces do.
  puzzle->solved = false;
  frames(30);
  EXPECT_TRUE(puzzle->isDone());
  EXPECT_TRUE(finish->mPlaying);
}

TEST_F(FrameTest, AFinishTimeOfNothingReportsOnTheFirstDoneFrame) {
  make("<finishTime v=\"0\"/>");
  puzzle->solved = true;
  frames(1);
  EXPECT_TRUE(puzzle->finishReported);
}

TEST_F(FrameTest, SkipFinishesOnlyWithHintsEnabled) {
  for (const bool enabled : {true, false}) {
    make(std::string("<finishTime v=\"0\"/><enableHint v=\"") + (enabled ? "1" : "0") + "\"/>");
    puzzle->skipRequest = true;
    frames(2);
    EXPECT_EQ(puzzle->finishReported, enabled);
  }
}

TEST_F(FrameTest, AHeldFinishPlaysOnceThenStaysAtItsEnd) {
  make("<finish v=\"fin\"/><finishTime v=\"3\"/><hold v=\"1\"/>");
  puzzle->solved = true;
  frames(1);
  EXPECT_TRUE(finish->mPlaying);
  EXPECT_TRUE(sound->mPlaying);
  finish->stop(true);  // it has played through
  frames(15);          // 1.6 s: held at its end, not played again
  EXPECT_FALSE(finish->mPlaying);
  EXPECT_NEAR(finish->mAnimation->mTime, 1.0f, 0.01f);
  EXPECT_FALSE(puzzle->finishReported);
  frames(15);  // 3.1 s
  EXPECT_TRUE(puzzle->finishReported);
  EXPECT_FALSE(finish->mPlaying);
}

TEST_F(FrameTest, NumbersAndTimesAreBoundedAndDefaultedByKey) {
  make("<count v=\"12\"/><seconds v=\"-4\"/><finishTime v=\"nan\"/>");
  EXPECT_EQ(puzzle->count, 9);
  EXPECT_EQ(puzzle->seconds, 0.0f);
  EXPECT_EQ(puzzle->finishTime, 2.0f);
  EXPECT_TRUE(log.contains("WARNING: Puzzle configuration 'frame_xml', key 'count': 12 is outside 0 to 9; 9 is used"));
  EXPECT_TRUE(log.contains("WARNING: Puzzle configuration 'frame_xml', key 'seconds'"));
  EXPECT_TRUE(log.contains("WARNING: Puzzle configuration 'frame_xml', key 'finishTime'"));
  make("<count v=\"-1\"/><seconds v=\"1e9\"/>");
  EXPECT_EQ(puzzle->count, 0);
  EXPECT_EQ(puzzle->seconds, HOG::MinigameViewExtension::kMaxSeconds);
  make("<count v=\"9\"/><seconds v=\"60\"/>");
  EXPECT_EQ(puzzle->count, 9);
  EXPECT_EQ(puzzle->seconds, 60.0f);
  make("");
  EXPECT_EQ(puzzle->count, 7);
  EXPECT_EQ(puzzle->seconds, 1.5f);
  EXPECT_EQ(puzzle->finishTime, 2.0f);
}

TEST_F(FrameTest, NodesAreFoundByNameAndAMissOfANamedNodeSaysWhichKey) {
  make("");
  EXPECT_EQ(puzzle->findNode("fin", "finish"), finish);
  EXPECT_EQ(puzzle->findNode("", "clickSound"), nullptr);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(puzzle->findNode("nothing", "clickSound"), nullptr);
  EXPECT_TRUE(log.contains("Can't find node nothing (key 'clickSound' of 'frame_xml')"));
}

TEST(MinigameListReaders, NumberListsAreReadAtEveryOtherCharacter) {
  std::vector<int32_t> values;
  HOG::MinigameViewExtension::parseNumberList("3,1,2", &values);
  EXPECT_EQ(values, (std::vector<int32_t>{3, 1, 2}));
  values.clear();
  HOG::MinigameViewExtension::parseNumberList("12,3", &values);
  EXPECT_EQ(values, (std::vector<int32_t>{12, 0}));
  EngineAllocators allocators;
  allocators.init();
  KR::XmlDataReader reader;
  const std::string text = "<root><v0 v=\"-7\"/></root>";
  ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
  int32_t value = 5;
  ASSERT_TRUE(reader.enterChild("v0"));
  EXPECT_TRUE(HOG::MinigameViewExtension::readCurrentInt(reader, &value));
  EXPECT_EQ(value, -7);
  EXPECT_FALSE(HOG::MinigameViewExtension::readCurrentInt(reader, nullptr));
}

TEST(MinigameFrame, AFinishAddsABoundedShareToTheLock) {
  using Limits = std::numeric_limits<float>;
  EXPECT_EQ(HOG::MinigameViewExtension::lockShare(3.0f), 3.0f);
  EXPECT_EQ(HOG::MinigameViewExtension::lockShare(1e30f), HOG::MinigameViewExtension::kMaxLockSeconds);
  EXPECT_EQ(HOG::MinigameViewExtension::lockShare(Limits::infinity()), HOG::MinigameViewExtension::kMaxLockSeconds);
  EXPECT_EQ(HOG::MinigameViewExtension::lockShare(Limits::quiet_NaN()), 0.0f);
  EXPECT_EQ(HOG::MinigameViewExtension::lockShare(-2.0f), 0.0f);
}

}  // namespace
}  // namespace Test
}  // namespace KR
