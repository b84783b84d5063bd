#pragma once
// The headless game driver: starts the real game (the host's start-up, the
// game's application and its states) on the built demo content under the
// offscreen video driver, pushes mouse and key events through the platform's
// injection hooks, steps frames at a fixed time step as the host's loop runs
// them, and reads the game's state. Play-throughs and replays stand on it.
//
//   KR::Test::GameDriver game;
//   ASSERT_TRUE(game.start());
//   game.startToMenu();   // the logos passed, a first run's menu
//   game.enterPlay();     // Play, through the difficulty window
//   game.closeWindow();
//   EXPECT_EQ(game.finish(), 0);
//
// One driver at a time per process (the game's objects are singletons).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class GameApplication;

namespace KR {
namespace Test {

class GameDriver {
 public:
  static constexpr float kStep = 1.0f / 30.0f;

  GameDriver() = default;
  ~GameDriver();
  GameDriver(const GameDriver&) = delete;
  GameDriver& operator=(const GameDriver&) = delete;

  // The host's start-up on the built media; false when another copy runs.
  // In a window, or full screen on the whole display (the first-run
  // player's way, for benchmarks on a display of a player's size).
  bool start(bool fullscreen = false);
  // One pass of the host's loop (runMainLoopPass): the pending window
  // messages, then one tick and one paint at the fixed step (a 100 ms sleep
  // instead while the game is inactive). False once the loop has ended (quit).
  bool step();
  // Steps until the condition holds or the frames run out; whether it held.
  // Frames run far faster than a player's, while the streamer's thread loads
  // views and icons at its own pace: each frame that waits naps a millisecond,
  // so that a busy machine still lets that thread keep up.
  bool stepUntil(const std::function<bool()>& condition, int maxFrames = 600);
  void steps(int count);

  // Input, in window pixels; each takes effect at the next step.
  void moveMouse(int32_t x, int32_t y);
  void pressMouse(int32_t x, int32_t y, int button = 0);
  void releaseMouse(int32_t x, int32_t y, int button = 0);
  // Press, a step, release, a step.
  void click(int32_t x, int32_t y, int button = 0);
  void pressKey(uint8_t virtualKey);
  void releaseKey(uint8_t virtualKey);
  void tapKey(uint8_t virtualKey);
  // The window's close button.
  void closeWindow();
  // The front end's way in. A first run forgets the per-user folder's
  // profiles and saved games; the logos are passed by Escape; true once the
  // main menu is current.
  bool startToMenu(bool firstRun = true);
  // Removes the profile list, options files and saved games of the per-user folder.
  static void forgetProfiles();
  // From the main menu into play: OK on the first run's offered "Player",
  // Play, and the difficulty window's OK for a game not yet begun; true once
  // "Game" is current. `beforeStart` runs right before each click that may
  // start the game, so that what the new game draws at its start (the
  // puzzles' random starts) follows from what it set, not from how many
  // frames the menu ran.
  bool enterPlay(const std::function<void()>& beforeStart = nullptr);
  // Runs the loop out (until quit or maxFrames), shuts the game down as the
  // host does and returns the host's exit code.
  int finish(int maxFrames = 120);

  // Game state.
  GameApplication* application() const { return app; }
  // The current application state's name, empty when none.
  std::string currentState() const;
  // The active view's name; empty until views exist.
  std::string activeView() const;
  // The inventory's item names; empty until the inventory exists.
  std::vector<std::string> inventory() const;
  // The on-screen message shown now (UTF-8), empty when none.
  std::string message() const;
  // A video (the intro) is playing.
  bool videoPlaying() const;
  bool quit() const { return ended; }
  // The last presented frame (RGBA rows, window pixels); false without a device.
  bool readFrame(std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) const;
  // Pixels of the last presented frame (window pixels) within the radius of a
  // point whose channels add up to more than 450 (light ones).
  int brightPixelsAround(int32_t x, int32_t y, int32_t radius) const;
  int32_t frame() const { return frames; }
  // Window pixels of a design point.
  static void designToWindow(float x, float y, int32_t* wx, int32_t* wy);

 private:
  GameApplication* app = nullptr;
  bool ended = false;
  bool finished = false;
  int32_t frames = 0;
};

}  // namespace Test
}  // namespace KR
