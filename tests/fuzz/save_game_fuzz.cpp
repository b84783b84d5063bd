// Saved games as the menu checks them and as the loader reads them, with and
// without the view descriptions: whatever the bytes, the answer is a result,
// and a file taken must be taken again once written back. Seeds: `savetool seeds`.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "savetool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace HOG;
  static const SaveTool::SampleShape shape = [] {
    SaveTool::SampleShape s;
    s.views = 3;
    s.triggersPerView = 5;
    s.items = 4;
    s.nodeStates = 3;
    s.arenaSize = 36;
    return s;
  }();
  static const SaveGame::Expected expected = SaveTool::expectedFor(SaveTool::makeSample(shape), shape);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const int check = SaveGame::checkBytes(bytes);
  SaveGame::Data loaded;
  const bool taken = SaveGame::decode(bytes, &expected, &loaded, nullptr);
  // The descriptions only add checks.
  if (taken && check != 0) std::abort();
  if (taken && !SaveGame::decode(SaveGame::encode(loaded), &expected, nullptr, nullptr)) std::abort();
  return 0;
}
