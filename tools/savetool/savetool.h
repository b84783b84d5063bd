#pragma once
// Saved games made, shown and damaged on purpose: the sample game the tests,
// the fuzzers' seeds and the benchmark use, its expected description, a
// readable dump and byte-level damage that can keep the checksum right.
#include <cstdint>
#include <string>

#include "core/game_state/saves/save_game_file.h"

namespace HOG {
namespace SaveTool {

// How much of a game the sample holds.
struct SampleShape {
  int views = 12;
  int triggersPerView = 10;  // every fifth a hidden-object item, every seventh an animation trigger
  int items = 40;
  int heldItems = 6;
  uint32_t nodeStates = 120;  // capacity grows as the game's list does: 1024, 2048, ...
  size_t arenaSize = 12 * 3 * 4;
  int openViews = 2;
  int notebookPages = 4;
  bool cutSceneRunning = false;
};

SaveGame::Data makeSample(const SampleShape& shape = SampleShape());
// What the sample's view descriptions would expect of a file: its pools as
// freshly built (the same slots live), views and extensions.
SaveGame::Expected expectedFor(const SaveGame::Data& data, const SampleShape& shape = SampleShape());
std::string dump(const SaveGame::Data& data);
// Xors the byte at offset (from the file's start) with mask; with fixChecksum
// the checksum is made right again, so only the structure checks can tell.
bool corrupt(std::string* file, size_t offset, uint8_t mask, bool fixChecksum);
// Seed files for the loader's fuzzers: sound samples of several shapes and
// damaged ones. False when a file could not be written.
bool writeSeeds(const std::string& folder);

}  // namespace SaveTool
}  // namespace HOG
