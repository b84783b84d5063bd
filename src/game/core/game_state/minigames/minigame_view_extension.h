#pragma once
// What every puzzle of the game shares: its configuration file (element
// "MinigameConfig" of the file's "root" in package "default"), the common keys,
// the briefing handed to the brief panel, node lookup with its log lines,
// sounds played as sound nodes, the finish node and the finish report, and the
// two list readers. A puzzle class derives from MinigameViewExtension, reads its
// keys in readConfig and runs its rules in onActivate, processMouseEvent and
// update. Main thread only, except onLoad (the view streamer's thread), which
// puzzles leave empty.
//
// Scene nodes belong to the view's scene, which the streamer may release and
// load again between activations: a puzzle keeps its state in its own members
// and looks its nodes up again at every activation; release() forgets them.
//
// A configuration that can't make a solvable puzzle (no file, not XML, no
// "MinigameConfig", a list the puzzle needs left empty, a node it needs
// missing) is refused with one line naming the file and the key: a refused
// puzzle takes no input, offers no SKIP, shows no finish and never reports
// one. Numbers out of their range are bounded with a line naming the key.
//
//   void MyPuzzle::readConfig(KR::XmlDataReader& reader) {
//     readCommonKeys(reader, 3.0f);
//     ...
//     if (pieces.empty()) refuse("pieces", "has no entry");
//   }
//   void MyPuzzle::updatePuzzle(float dt) { runFinishSequence(dt, isSolved()); }
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/extensions/view_extension.h"
#include "rect.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class XmlDataReader;
}

namespace HOG {

class MinigameViewExtension : public IViewExtension {
 public:
  // The log lines of a missing node ("%s" the scene root's name, then the node's).
  static constexpr const char* kCantFindNode = "MINIGAME %s. Can't find node %s";
  static constexpr const char* kCantOpenNode = "MINIGAME %s. Can't open node %s";
  static constexpr const char* kCantFindNodeIn = "Can't find node %2$s in %1$s";
  // The most a finish adds to the play state's input lock, and the longest
  // time a configuration may give.
  static constexpr float kMaxLockSeconds = 10.0f;
  static constexpr float kMaxSeconds = 60.0f;
  // The largest frame number a configuration may name: frame times and frame
  // arithmetic stay exact and within 32 bits.
  static constexpr int32_t kMaxFrame = 100000;

  MinigameViewExtension();

  // A refused puzzle stands still; any other runs updatePuzzle.
  void update(float dt) final;
  // A refused puzzle takes nothing (0); any other runs handleInput.
  int32_t processMouseEvent(const InputState* input) final;
  void draw() override {}
  void onDeactivate() override {}
  void onLoad() override {}
  // The scene goes away with the view's resources: forget every node.
  void release() override;
  int32_t getType() const override { return 1; }
  const std::wstring* getExtensionData() override { return &briefing; }
  // Opens the file and hands "MinigameConfig" to readConfig; a file that
  // can't be read as XML or has no such element refuses the puzzle.
  // `finishReported` is cleared at the end.
  void loadConfig(const std::string& file) override;
  // The same from bytes (tests, the configuration fuzz target), `name` standing
  // for the file in log lines.
  void loadConfigFromMemory(const void* data, size_t size, const std::string& name = "<memory>");
  bool isRefused() const { return refused; }
  // What a finish of `seconds` adds to the play state's lock: 0 for a time
  // that is not a positive number, at most kMaxLockSeconds.
  static float lockShare(float seconds);

  // Appends the value read at every even position of the text (single digits
  // separated by one character: "3,1,2" gives 3, 1, 2).
  static void parseNumberList(const std::string& text, std::vector<int32_t>* out);
  // Attribute "v" of the reader's current element; false without one.
  static bool readCurrentInt(const KR::XmlDataReader& reader, int32_t* out);

  // Solved or skipped: the finish node plays.
  bool isDone() const { return doneNow; }

  // The configuration's name (for log lines of the loader).
  std::string configName;
  std::wstring briefing;
  std::string finishName;
  float finishTime = 3.0f;
  float finishTimer = 0.0f;
  AE::ISceneNode* finishNode = nullptr;

 protected:
  // Reads the class's own keys, the reader standing in "MinigameConfig".
  virtual void readConfig(KR::XmlDataReader& reader) = 0;
  // The puzzle's own frame and input (not called once it is refused).
  virtual void updatePuzzle(float dt) = 0;
  virtual int32_t handleInput(const InputState* input) = 0;
  // Refuses the puzzle: logs "ERROR: Puzzle configuration '<file>', key
  // '<key>': <reason>; the puzzle is refused" (only the first refusal).
  void refuse(const char* key, const std::string& reason);
  // Logs "WARNING: Puzzle configuration '<file>', key '<key>': <what>".
  void warn(const char* key, const std::string& what) const;
  // `value` within [lo, hi]; a value outside is bounded with a warning.
  int32_t bounded(const char* key, int32_t value, int32_t lo, int32_t hi) const;
  // Node references to drop when the scene goes (finishNode is dropped by the base).
  virtual void forgetNodes() {}

  // Key readers: a missing key keeps `fallback` (defaults apply only to missing keys).
  static void readSuspendable(KR::XmlDataReader& reader, bool* out);
  void readBriefing(KR::XmlDataReader& reader);
  static void readText(KR::XmlDataReader& reader, const char* key, std::string* out);
  static void readInt(KR::XmlDataReader& reader, const char* key, int32_t* out, int32_t fallback);
  static void readFloat(KR::XmlDataReader& reader, const char* key, float* out, float fallback);
  static void readFlag(KR::XmlDataReader& reader, const char* key, bool* out, bool fallback);
  // A time in seconds: `fallback` when missing or not a number, bounded to
  // [0, kMaxSeconds] (with a warning when the value was out of range).
  void readSeconds(KR::XmlDataReader& reader, const char* key, float* out, float fallback);
  // A whole number within [lo, hi]: `fallback` when missing, bounded with a
  // warning naming `shownKey` (a key of a list entry with its list: "buttons/id"),
  // or else `key`, when out of range.
  void readBoundedInt(KR::XmlDataReader& reader, const char* key, int32_t* out, int32_t fallback, int32_t lo,
                      int32_t hi, const char* shownKey = nullptr);
  // Appends the "v" of every element of the child array `key` (nothing when missing).
  static void readIntList(KR::XmlDataReader& reader, const char* key, std::vector<int32_t>* out);
  // "enableHint" (true when missing) into `announces`.
  void readEnableHint(KR::XmlDataReader& reader);
  // The keys most puzzles open with, in this order: "suspendable", "briefing",
  // "finish" and "finishTime" (`finishTimeFallback` when missing).
  void readCommonKeys(KR::XmlDataReader& reader, float finishTimeFallback);

  // The view's scene root, null without a loaded scene.
  AE::ISceneNode* sceneRoot() const;
  // Finds a node under the scene root. An empty name finds nothing and logs
  // nothing (the key was left out); a miss logs `line` (null: nothing) with
  // the key and the configuration's name.
  AE::ISceneNode* findNode(const std::string& name, const char* key, const char* line = kCantFindNode) const;
  // findNode, and stops the node found with its children.
  AE::ISceneNode* findStoppedNode(const std::string& name, const char* key, const char* line = kCantFindNode) const;
  // Finds the finish node (key "finish"); when found, enables it if disabled and stops it.
  void bindFinishNode(const char* line = kCantFindNode, const char* key = "finish");
  // Stops the sound node with its children and plays it again.
  static void playSound(AE::ISceneNode* node);
  // Stops the node with its children and shows their first frame.
  static void rest(AE::ISceneNode* node);
  // Shows frame `frame` on the node and its children without playing.
  static void showFrame(AE::ISceneNode* node, int32_t frame);
  // World rectangle of a node: its world position, plus its pixel size.
  static KR::Rect nodeRect(const AE::ISceneNode* node);
  static bool contains(const KR::Rect& rect, float x, float y) {
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
  }
  // The play state's lock timer grows by lockShare(seconds) (script tasks and clicks wait).
  static void lengthenLock(float seconds);
  // SKIP asked while hints are enabled.
  bool skipWanted() const { return skipRequest && announces; }

  // The shared finish: done when solved, skipped or already finished; while
  // done the finish node plays; the report follows once the timer reaches the
  // finish time. Returns whether done.
  bool runFinishSequence(float dt, bool solved);
  // One frame of a finished puzzle's hold: the finish node starts once (`*started`
  // set from then on) and is held at its end after that; the report follows once
  // the timer reaches the finish time, restarting the timer.
  void holdFinish(float dt, bool* started);
  // Sets `finishReported` and calls notifyFinished once.
  void reportFinish();

  bool doneNow = false;
  bool refused = false;
};

}  // namespace HOG
