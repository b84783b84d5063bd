#pragma once
// The play state's saved game: one file per player profile ("savegame", the
// profile's save number, ".sav" in the per-user folder), written crash-safe
// when play stops, on the autosave timer and on request, and read back when
// play starts a game that is not new. The live objects are turned into the
// file's stored form field by field (save_game_file.h); a file is applied to
// the game only once all of it, checked against the freshly loaded view
// descriptions, has been accepted.
//
// Main thread; saving and loading hold the view streamer's queue lock for
// their whole run.
#include <string>

#include "core/game_state/saves/save_game_file.h"

namespace HOG {

class Game;

class SaveLoadGameProgressSystem {
 public:
  // The current profile's file; empty without a profile or per-user folder.
  static std::string getSavePath();
  // The game as stored (queued tasks are not run here).
  static SaveGame::Data capture(Game& game);
  // What a file must agree with, from the game as its descriptions built it.
  static SaveGame::Expected expectation(Game& game);
  // Runs the queued tasks, then writes; false (logged, the old file kept) on
  // failure, with the reason for the player, and without a profile (nothing
  // written, no reason).
  static bool save(Game& game, bool flush = true, std::string* reason = nullptr);
  // Reads, checks and applies the current profile's file after resetting the
  // game for it; false leaves a fresh new game. A file that exists but is
  // refused is logged, set aside (setAsideDamaged) so that no save overwrites
  // it unread, and its reason given in refusal.
  static bool load(Game& game, std::string* refusal = nullptr);
  // Renames a refused file to its name with ".damaged" (replacing an earlier
  // damaged copy); false, logged, when it cannot be moved.
  static bool setAsideDamaged(const std::string& path);
  // The menu's question: 0 a sound file, 1 a damaged one, 2 none (or no profile).
  static int checkSaveGame();
  // Lays accepted data over the game (the descriptions must be freshly loaded).
  static void apply(Game& game, const SaveGame::Data& data);
};

}  // namespace HOG
