// Running out of a fixed pool or of the views' state arena ends the run even
// when the fatal report is answered OK: nothing goes on with a missing block.
// This program answers every report OK, as a player at the box would.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_factory.h"
#include "platform/message_box.h"

namespace KR {
namespace Platform {

MessageBoxResult showMessageBox(const std::string& text, const std::string&, MessageBoxButtons, MessageBoxIcon) {
  std::fprintf(stderr, "%s\n", text.c_str());
  return MessageBoxResult::Ok;
}

bool isHeadless() { return true; }

}  // namespace Platform
}  // namespace KR

namespace {

// Takes one block more than the pool holds; prints what came back for it.
template <typename Take>
void overrun(int capacity, Take take) {
  for (int i = 0; i < capacity; ++i) take();
  std::fprintf(stderr, "went on with %p\n", static_cast<void*>(take()));
  std::fflush(stderr);
}

}  // namespace

TEST(ExhaustedPoolsDeathTest, AnsweredOkTheReportStillEndsTheRun) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_DEATH(
      {
        HOG::ViewFactory factory;
        overrun(HOG::ViewFactory::kViewBlocks, [&] { return factory.createView(); });
      },
      "Failed to allocate memory block on pool for View");
  EXPECT_DEATH(
      {
        HOG::ViewFactory factory;
        overrun(int(HOG::ViewFactory::kArenaSize / HOG::ViewFactory::kStateSize),
                [&] { return factory.allocateViewState(); });
      },
      "Failed to allocate memory block on linear allocator for VariantData");
  EXPECT_DEATH(
      {
        HOG::InventoryItemFactory items;
        overrun(512, [&] { return items.allocateItem(); });
      },
      "ERROR: Failed to allocate memory on pool for inventory item");
}
